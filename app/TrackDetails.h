#pragma once

// TTrackDetails: what the media-player interface tells of the current track beyond the
// track record: the track number, the album artist and the genre as the file's tags hold
// them, and the cover, written as a picture file into the cache folder so that the desktop
// can show it by its file URL. The file's tags are read once per track; the cover written for
// the track before is removed, and so is the last one when the object goes. UI thread.
//
//   TTrackDetails details(paths.CacheFolder());
//   TTrackDetails::TDetails const& d = details.For(track->GetTag(tkFilePath));

#include <cstdint>
#include <filesystem>
#include <string>

namespace vantor {

class TTrackDetails {
public:
    struct TDetails {
        int32_t TrackNumber = 0; // 0: none
        std::string AlbumArtist;
        std::string Genre;
        std::string ArtUrl; // empty: no cover, or it could not be written
    };

    explicit TTrackDetails(std::filesystem::path cacheFolder);
    ~TTrackDetails();
    TTrackDetails(const TTrackDetails&) = delete;
    TTrackDetails& operator=(const TTrackDetails&) = delete;

    // The details of the audio file at path; all empty when it cannot be read.
    TDetails const& For(std::string const& path);

private:
    void RemoveCover();

    std::filesystem::path m_cacheFolder;
    std::string m_path; // the file the details are of
    bool m_read = false;
    TDetails m_details;
    std::filesystem::path m_cover; // the picture file written, or empty
};

// The number at the start of a track-number field ("3", "03/12"); 0 when there is none or
// it does not fit.
int32_t LeadingTrackNumber(std::string const& field);

}
