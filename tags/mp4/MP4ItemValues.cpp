// Items whose values need translating: track and disc numbers, genre, media
// type and purchase country.

#include "tags/id3v1/ID3v1Genres.h"
#include "tags/io/TextCodec.h"
#include "tags/mp4/MP4Tag.h"

#include <charconv>
#include <utility>

namespace vantor {

namespace {

const char* const GenreText = "\xA9"
                              "gen";

// (number, total) of a trkn or disk value: a 16-bit high word, then a 32-bit
// word whose upper half is the number and lower half the total.
std::pair<uint16_t, uint16_t> NumberAndTotal(const TMP4Tag& tag, const char* id)
{
    const TMP4Atom* atom = tag.FindAtom(id);
    if (!atom || atom->Count() == 0 || !atom->Datas.front()->IsInteger())
        return { 0, 0 };
    const uint32_t low = uint32_t(atom->GetAsInteger48());
    return { uint16_t(low >> 16), uint16_t(low) };
}

struct TMediaType {
    uint16_t Code;
    const char* Name;
};
const TMediaType MediaTypes[] = { { 0, "Movie" }, { 9, "Movie" }, { 1, "Music" }, { 2, "Audiobook" },
    { 6, "Music Video" }, { 10, "TV Show" }, { 11, "Booklet" }, { 14, "Ringtone" } };

struct TCountry {
    uint32_t Code;
    const char* Name;
};
const TCountry Countries[] = {
    { 143441, "United States" },
    { 143442, "France" },
    { 143443, "Germany" },
    { 143444, "United Kingdom" },
    { 143445, "Austria" },
    { 143446, "Belgium" },
    { 143447, "Finland" },
    { 143448, "Greece" },
    { 143449, "Ireland" },
    { 143450, "Italy" },
    { 143451, "Luxembourg" },
    { 143452, "Netherlands" },
    { 143453, "Portugal" },
    { 143454, "Spain" },
    { 143455, "Canada" },
    { 143456, "Sweden" },
    { 143457, "Norway" },
    { 143458, "Denmark" },
    { 143459, "Switzerland" },
    { 143460, "Australia" },
    { 143461, "New Zealand" },
    { 143462, "Japan" },
};

} // namespace

uint16_t TMP4Tag::GetTrack() const { return NumberAndTotal(*this, "trkn").first; }
uint16_t TMP4Tag::GetTotalTracks() const { return NumberAndTotal(*this, "trkn").second; }
uint16_t TMP4Tag::GetDisc() const { return NumberAndTotal(*this, "disk").first; }
uint16_t TMP4Tag::GetTotalDiscs() const { return NumberAndTotal(*this, "disk").second; }

// trkn is 8 bytes: 0, track, total, 0 (16 bits each).
void TMP4Tag::SetTrack(uint16_t track, uint16_t totalTracks)
{
    if (track == 0 && totalTracks == 0)
        DeleteAtom("trkn");
    else
        SetInteger64("trkn", (uint64_t(track) << 32) | (uint64_t(totalTracks) << 16));
}

// disk is 6 bytes: 0, disc, total (16 bits each).
void TMP4Tag::SetDisc(uint16_t disc, uint16_t totalDiscs)
{
    if (disc == 0 && totalDiscs == 0)
        DeleteAtom("disk");
    else
        SetInteger48("disk", (uint64_t(disc) << 16) | totalDiscs);
}

// gnre holds an ID3v1 genre number plus one; other names are "©gen" text.
std::string TMP4Tag::GetGenre() const
{
    const uint16_t number = GetInteger16("gnre");
    if (number >= 1 && number <= ID3v1GenreCount) {
        std::string name = ID3v1GenreName(number - 1);
        if (!name.empty())
            return name;
    }
    return GetText(GenreText);
}

void TMP4Tag::SetGenre(const std::string& genre)
{
    DeleteAllAtoms("gnre");
    DeleteAllAtoms(GenreText);
    if (genre.empty())
        return;
    for (int i = 0; i < ID3v1GenreCount; ++i) {
        if (SameTextAscii(ID3v1GenreName(i), genre)) {
            SetInteger16("gnre", uint16_t(i + 1));
            return;
        }
    }
    SetText(GenreText, genre);
}

// stik is usually one byte; the value is read at the width it was stored in.
std::string TMP4Tag::GetMediaType() const
{
    const TMP4Atom* atom = FindAtom("stik");
    if (!atom || atom->Count() == 0 || !atom->Datas.front()->IsInteger())
        return {};
    const uint64_t code = atom->GetAsInteger();
    for (const TMediaType& type : MediaTypes)
        if (type.Code == code)
            return type.Name;
    return {};
}

void TMP4Tag::SetMediaType(const std::string& media)
{
    for (const TMediaType& type : MediaTypes) {
        if (type.Code != 0 && media == type.Name) {
            SetInteger8("stik", uint8_t(type.Code));
            return;
        }
    }
}

std::string TMP4Tag::GetPurchaseCountry() const
{
    const TMP4Atom* atom = FindAtom("sfID");
    if (!atom || atom->Count() == 0 || !atom->Datas.front()->IsInteger())
        return {};
    const uint64_t code = atom->GetAsInteger();
    if (code == 0)
        return {};
    for (const TCountry& country : Countries)
        if (country.Code == code)
            return country.Name;
    return std::to_string(code);
}

void TMP4Tag::SetPurchaseCountry(const std::string& country)
{
    for (const TCountry& entry : Countries) {
        if (country == entry.Name) {
            SetInteger32("sfID", entry.Code);
            return;
        }
    }
    uint32_t code = 0;
    const auto [end, error] = std::from_chars(country.data(), country.data() + country.size(), code);
    if (error != std::errc() || end != country.data() + country.size())
        code = 0;
    SetInteger32("sfID", code);
}

} // namespace vantor
