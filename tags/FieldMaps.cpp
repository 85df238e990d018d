#include "tags/FieldMaps.h"

#include "tags/io/TextCodec.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <utility>

namespace vantor {

namespace {

// Views, not C strings: a lookup compares the lengths before any byte.
struct TPair {
    std::string_view Native;
    std::string_view Name;
};

constexpr TPair ID3v2Map[] = {
    { "TPE1", "ARTIST" },
    { "TIT2", "TITLE" },
    { "TPE2", "ALBUMARTIST" },
    { "TCOM", "COMPOSER" },
    { "TIT3", "SUBTITLE" },
    { "TPE4", "MIXARTIST" },
    { "TALB", "ALBUM" },
    { "TCOP", "COPYRIGHT" },
    { "TIT1", "GROUPING" },
    { "TCON", "GENRE" },
    { "TDRL", "RELEASEDATE" },
    { "TDRC", "RECORDINGDATE" },
    { "TYER", "YEAR" },
    { "TRCK", "TRACKNUMBER" },
    { "TPOS", "DISCNUMBER" },
    { "TBPM", "BPM" },
    { "TKEY", "KEY" },
    { "TPE3", "CONDUCTOR" },
    { "TEXT", "LYRICIST" },
    { "TPRO", "PRODUCED" },
    { "TSTU", "STUDIO" },
    { "TPUB", "PUBLISHER" },
    { "TENC", "ENCODEDBY" },
    { "TSSE", "SOFTWARESETTINGS" },
    { "TSRC", "ISRC" },
    { "TSST", "DISCSUBTITLE" },
    { "TLAN", "LANGUAGE" },
    { "TMED", "MEDIA" },
    { "TIPL", "TIPL" },
    { "TMCL", "TMCL" },
    { "TMOO", "MOOD" },
    { "COMM", "COMMENT" },
    { "USLT", "LYRICS" },
    { "TSOP", "ARTISTSORT" },
    { "TSOT", "TITLESORT" },
    { "TSO2", "ALBUMARTISTSORT" },
    { "TSOA", "ALBUMSORT" },
    { "TOPE", "ORIGINALARTIST" },
    { "TOAL", "ORIGINALTITLE" },
    { "TOLY", "ORIGINALLYRICIST" },
    { "TOFN", "ORIGINALFILENAME" },
    { "TDOR", "ORIGINALRELEASEDATE" },
    { "WOAR", "ARTISTURL" },
    { "WOAF", "AUDIOFILEURL" },
    { "WCOM", "BUYCDURL" },
    { "WPUB", "PUBLISHERURL" },
    { "WORS", "RADIOSTATIONURL" },
    { "WCOP", "COPYRIGHTURL" },
    { "WOAS", "OFFICIALAUDIOSOURCEURL" },
    { "WPAY", "PAYMENTURL" },
    { "TOWN", "FILEOWNER" },
    { "TRSN", "RADIOSTATIONNAME" },
    { "TRSO", "RADIOSTATIONOWNER" },
};

const TPair MP4Map[] = {
    { "\xA9"
      "ART",
        "ARTIST" },
    { "\xA9"
      "nam",
        "TITLE" },
    { "aART", "ALBUMARTIST" },
    { "\xA9"
      "wrt",
        "COMPOSER" },
    { "\xA9"
      "alb",
        "ALBUM" },
    { "cprt", "COPYRIGHT" },
    { "\xA9"
      "grp",
        "GROUPING" },
    { "\xA9"
      "day",
        "RELEASEDATE" },
    { "pgap", "GAPLESSPLAYBACK" },
    { "cpil", "PARTOFCOMPILATION" },
    { "tmpo", "BPM" },
    { "SErg", "RATING" },
    { "tvnn", "TVNETWORK" },
    { "tvsh", "SHOW" },
    { "tven", "EPISODE" },
    { "tvsn", "SEASONNUMBER" },
    { "tves", "EPISODENUMBER" },
    { "hdvd", "HDVIDEO" },
    { "desc", "DESCRIPTION" },
    { "ldes", "LONGDESCRIPTION" },
    { "\xA9"
      "cmt",
        "COMMENT" },
    { "stdo", "STUDIO" },
    { "TPUB", "PUBLISHER" },
    { "\xA9"
      "enc",
        "ENCODEDBY" },
    { "\xA9"
      "too",
        "ENCODERTOOL" },
    { "TIPL", "TIPL" },
    { "TMCL", "TMCL" },
    { "\xA9"
      "lyr",
        "LYRICS" },
    { "soar", "ARTISTSORT" },
    { "sonm", "TITLESORT" },
    { "soaa", "ALBUMARTISTSORT" },
    { "soal", "ALBUMSORT" },
    { "soco", "COMPOSERSORT" },
    { "sosn", "SHOWSORT" },
    { "pcst", "PODCAST" },
    { "purl", "PODCASTURL" },
    { "keyw", "PODCASTKEYWORDS" },
    { "catg", "PODCASTCATEGORY" },
    { "apID", "PURCHASEACCOUNT" },
    { "akID", "PURCHASEACCOUNTTYPE" },
    { "purd", "PURCHASEDATE" },
    { "SEpc", "PLAYCOUNT" },
};

const TPair RIFFInfoMap[] = {
    { "IART", "ARTIST" },
    { "INAM", "TITLE" },
    { "ICOM", "COMPOSER" },
    { "IURL", "URL" },
    { "IALB", "ALBUM" },
    { "IPRD", "ALBUM" },
    { "ICOP", "COPYRIGHT" },
    { "BCPR", "COPYRIGHT" },
    { "IGNR", "GENRE" },
    { "ICRD", "RECORDINGDATE" },
    { "IYER", "YEAR" },
    { "ITRK", "TRACKNUMBER" },
    { "itrk", "TRACKNUMBER" },
    { "IBPM", "BPM" },
    { "BKEY", "KEY" },
    { "BTPO", "TEMPO" },
    { "IENG", "PRODUCED" },
    { "STDO", "STUDIO" },
    { "IPUB", "PUBLISHER" },
    { "ITCH", "ENCODEDBY" },
    { "ISFT", "ENCODERTOOL" },
    { "IKEY", "KEYWORDS" },
    { "ISRF", "MEDIA" },
    { "TIPL", "TIPL" },
    { "TMCL", "TMCL" },
    { "BEND", "MUSICEND" },
    { "BERG", "MUSICENERGY" },
    { "BTXR", "MUSICTEXTURE" },
    { "HKST", "HOOKSTART" },
    { "HKEN", "HOOKEND" },
    { "ICMT", "COMMENT" },
    { "ILYR", "LYRICS" },
    { "ISBJ", "SUBJECT" },
    { "IARL", "ARCHIVAL LOCATION" },
};

const TPair WMAMap[] = {
    { "Author", "ARTIST" },
    { "Title", "TITLE" },
    { "WM/AlbumArtist", "ALBUMARTIST" },
    { "WM/Composer", "COMPOSER" },
    { "WM/SubTitle", "SUBTITLE" },
    { "WM/ModifiedBy", "MIXARTIST" },
    { "WM/AlbumTitle", "ALBUM" },
    { "Copyright", "COPYRIGHT" },
    { "WM/ContentGroupDescription", "GROUPING" },
    { "WM/Genre", "GENRE" },
    { "WM/ReleaseYear", "RELEASEDATE" },
    { "WM/Year", "RECORDINGDATE" },
    { "WM/Track", "TRACKNUMBER" },
    { "WM/PartOfSet", "DISC" },
    { "WM/BeatsPerMinute", "BPM" },
    { "WM/InitialKey", "KEY" },
    { "WM/Conductor", "CONDUCTOR" },
    { "WM/Writer", "LYRICIST" },
    { "WM/Produced", "PRODUCED" },
    { "WM/Studio", "STUDIO" },
    { "WM/Publisher", "PUBLISHER" },
    { "WM/EncodedBy", "ENCODEDBY" },
    { "WM/EncodingSettings", "SOFTWARESETTINGS" },
    { "WM/ISRC", "ISRC" },
    { "WM/CatalogNo", "CATALOGNUMBER" },
    { "WM/SetSubTitle", "DISCSUBTITLE" },
    { "WM/PartOfSeries", "PARTOFSERIES" },
    { "WM/Language", "LANGUAGE" },
    { "WM/Media", "MEDIA" },
    { "WM/Producer", "PRODUCER" },
    { "WM/Arranger", "ARRANGER" },
    { "WM/Engineer", "ENGINEER" },
    { "WM/DJMixer", "DJMIXER" },
    { "WM/Mixer", "MIXER" },
    { "WM/TIPL", "TIPL" },
    { "WM/TMCL", "TMCL" },
    { "WM/SharedUserRating", "RATING" },
    { "WM/Popularity", "POPULARITY" },
    { "WM/Quality", "QUALITY" },
    { "WM/Mood", "MOOD" },
    { "WM/Situation", "SITUATION" },
    { "WM/Preference", "PREFERENCE" },
    { "Description", "COMMENT" },
    { "WM/Lyrics", "LYRICS" },
    { "WM/Tempo", "TEMPO" },
    { "WM/ArtistSortOrder", "ARTISTSORT" },
    { "WM/TitleSortOrder", "TITLESORT" },
    { "WM/AlbumArtistSortOrder", "ALBUMARTISTSORT" },
    { "WM/AlbumSortOrder", "ALBUMSORT" },
    { "WM/OriginalArtist", "ORIGINALARTIST" },
    { "WM/OriginalTitle", "ORIGINALTITLE" },
    { "WM/OriginalLyricist", "ORIGINALLYRICIST" },
    { "WM/OriginalFilename", "ORIGINALFILENAME" },
    { "WM/OriginalReleaseYear", "ORIGINALRELEASEDATE" },
    { "WM/PromotionURL", "URL" },
    { "WM/AuthorURL", "ARTISTURL" },
    { "WM/AudioFileURL", "AUDIOFILEURL" },
    { "WM/BuyCDURL", "BUYCDURL" },
    { "WM/PublisherURL", "PUBLISHERURL" },
    { "WM/RadioURL", "RADIOSTATIONURL" },
    { "CopyrightURL", "COPYRIGHTURL" },
    { "WM/AudioSourceURL", "OFFICIALAUDIOSOURCEURL" },
    { "WM/PaymentURL", "PAYMENTURL" },
    { "WM/FileOwner", "FILEOWNER" },
    { "WM/RadioStationName", "RADIOSTATIONNAME" },
    { "WM/RadioStationOwner", "RADIOSTATIONOWNER" },
    { "WM/Playcount", "PLAYCOUNT" },
};

template <size_t N>
std::string NativeToName(const TPair (&map)[N], const std::string& native, bool caseInsensitive = false)
{
    for (const TPair& pair : map)
        if (caseInsensitive ? SameTextAscii(native, pair.Native) : native == pair.Native)
            return std::string(pair.Name);
    return "";
}

// The first entry with the name wins (names with two native ids save to the first).
template <size_t N>
std::string NameToNative(const TPair (&map)[N], const std::string& upperName)
{
    for (const TPair& pair : map)
        if (upperName == pair.Name)
            return std::string(pair.Native);
    return "";
}

} // namespace

// Every id of the table has four characters, compared as one word: a tag's frames are looked
// up twice each on every load.
static_assert(std::ranges::all_of(ID3v2Map, [](const TPair& pair) { return pair.Native.size() == 4; }));

std::string ID3v2FrameIDToName(const std::string& frameID)
{
    if (frameID.size() != 4)
        return "";
    for (const TPair& pair : ID3v2Map)
        if (std::memcmp(pair.Native.data(), frameID.data(), 4) == 0)
            return std::string(pair.Name);
    return "";
}

std::string NameToID3v2FrameID(const std::string& name)
{
    const std::string upper = UpperAscii(name);
    if (upper == "TRACK")
        return "TRCK";
    if (upper == "DISC")
        return "TPOS";
    return NameToNative(ID3v2Map, upper);
}

TID3v2FrameKind ID3v2FrameKind(const std::string& id)
{
    if (id == "PCNT")
        return fkPlayCounter;
    if (id == "SESC" || id == "SEBR" || id == "SEFC" || id == "GEOB" || id == "APIC")
        return fkBinary;
    if (id == "WXXX")
        return fkUserURL;
    if (!id.empty() && id[0] == 'W')
        return fkURL;
    if (id == "TIPL" || id == "TMCL")
        return fkList;
    if (id == "COMM" || id == "USLT")
        return fkContent;
    if (id == "TXXX")
        return fkUserText;
    if (!id.empty() && id[0] == 'T')
        return fkText;
    return fkBinary;
}

std::string MP4AtomToName(const std::string& atomID) { return NativeToName(MP4Map, atomID); }

std::string NameToMP4Atom(const std::string& name)
{
    const std::string upper = UpperAscii(name);
    // These are kept in free-form atoms.
    if (upper == "RATING" || upper == "PLAYCOUNT" || upper == "PUBLISHER")
        return "";
    if (upper == "ALBUM ARTIST")
        return "aART";
    if (upper == "RELEASE DATE" || upper == "YEAR")
        return "\xA9"
               "day";
    if (upper == "PART OF COMPILATION")
        return "cpil";
    return NameToNative(MP4Map, upper);
}

std::string RIFFInfoIDToName(const std::string& infoID) { return NativeToName(RIFFInfoMap, infoID); }

std::string NameToRIFFInfoID(const std::string& name)
{
    const std::string upper = UpperAscii(name);
    if (upper == "ALBUM")
        return "IPRD";
    if (upper == "TRACK")
        return "ITRK";
    return NameToNative(RIFFInfoMap, upper);
}

std::string WMAAttributeToName(const std::string& attribute) { return NativeToName(WMAMap, attribute, true); }

std::string NameToWMAAttribute(const std::string& name)
{
    const std::string upper = UpperAscii(name);
    if (upper == "YEAR" || upper == "RECORDINGDATE")
        return "WM/Year";
    if (upper == "TRACKNUMBER" || upper == "TRACK")
        return "WM/TrackNumber";
    if (upper == "DISCNUMBER" || upper == "DISC")
        return "WM/PartOfSet";
    return NameToNative(WMAMap, upper);
}

} // namespace vantor
