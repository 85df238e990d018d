#include "app/TrackDetails.h"

#include "base/SafeFileWriter.h"
#include "platform/shell/Shell.h"
#include "tags/CoverArt.h"
#include "tags/Tags.h"

#include <charconv>
#include <functional>
#include <system_error>

namespace vantor {

namespace fs = std::filesystem;

namespace {

char const* Extension(TTagPictureFormat format)
{
    switch (format) {
    case tpfJPEG: return ".jpg";
    case tpfPNG: return ".png";
    case tpfBMP: return ".bmp";
    case tpfGIF: return ".gif";
    case tpfUnknown: break;
    }
    return nullptr;
}

// Through the one safe writer, so a reader never sees half a picture.
bool WriteFileWhole(fs::path const& file, std::vector<uint8_t> const& bytes)
{
    return ReplaceFileContents(file, std::string_view(reinterpret_cast<char const*>(bytes.data()), bytes.size()));
}

}

int32_t LeadingTrackNumber(std::string const& field)
{
    size_t start = 0;
    while (start < field.size() && field[start] == ' ')
        ++start;
    int32_t number = 0;
    auto const result = std::from_chars(field.data() + start, field.data() + field.size(), number);
    return result.ec == std::errc() && number > 0 ? number : 0;
}

TTrackDetails::TTrackDetails(fs::path cacheFolder)
    : m_cacheFolder(std::move(cacheFolder))
{
}

TTrackDetails::~TTrackDetails() { RemoveCover(); }

void TTrackDetails::RemoveCover()
{
    if (m_cover.empty())
        return;
    std::error_code error;
    fs::remove(m_cover, error);
    m_cover.clear();
}

TTrackDetails::TDetails const& TTrackDetails::For(std::string const& path)
{
    if (m_read && path == m_path)
        return m_details;
    m_read = true;
    m_path = path;
    m_details = {};
    RemoveCover();
    std::error_code error;
    if (!fs::is_regular_file(path, error))
        return m_details;
    TTags tags;
    try {
        tags.LoadFromFile(path);
    } catch (const std::exception&) {
        return m_details;
    }
    if (!tags.Loaded)
        return m_details;
    m_details.TrackNumber = LeadingTrackNumber(tags.GetTag("TRACKNUMBER"));
    m_details.AlbumArtist = tags.GetTag("ALBUMARTIST");
    m_details.Genre = tags.GetTag("GENRE");
    if (tags.CoverArts.empty())
        return m_details;
    TCoverArt const& art = *tags.CoverArts.front();
    std::vector<uint8_t> const& bytes = art.Stream.Bytes();
    TTagPictureFormat format = art.PictureFormat;
    if (format == tpfUnknown)
        format = PictureFormatFromBytes(bytes.data(), bytes.size());
    char const* const extension = Extension(format);
    if (!extension || bytes.empty())
        return m_details;
    // Named after the track, so that a new cover gets a new address and is shown anew.
    fs::path const file = m_cacheFolder / ("cover-" + std::to_string(std::hash<std::string> {}(path)) + extension);
    fs::create_directories(m_cacheFolder, error);
    if (!WriteFileWhole(file, bytes))
        return m_details;
    m_cover = file;
    m_details.ArtUrl = FileUri(file.string());
    return m_details;
}

}
