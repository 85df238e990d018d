// Tags handed over by the audio engine.

#include "tags/Tags.h"

#include "tags/AudioEngineTags.h"
#include "tags/FieldMaps.h"
#include "tags/PictureBlock.h"
#include "tags/WAVTagBase.h"
#include "tags/id3v1/ID3v1Tag.h"
#include "tags/id3v2/ID3v2Tag.h"
#include "tags/io/Base64.h"
#include "tags/io/Bytes.h"
#include "tags/io/TextCodec.h"

#include <cstring>

namespace vantor {

namespace {

TAudioEngineTagSource* EngineSource = nullptr;

// NUL-terminated UTF-8 strings ended by an empty one; never read past the block.
std::vector<std::string> StringSequence(const std::vector<uint8_t>& block)
{
    std::vector<std::string> strings;
    size_t start = 0;
    for (size_t i = 0; i <= block.size(); ++i) {
        if (i == block.size() || block[i] == 0) {
            if (i == start)
                break;
            strings.push_back(
                SanitizeUtf8(std::string_view(reinterpret_cast<const char*>(block.data()) + start, i - start)));
            start = i + 1;
        }
    }
    return strings;
}

// A fixed-size text field of a bext/cart record, up to its first NUL.
std::string RecordText(const uint8_t* p, size_t length)
{
    size_t n = 0;
    while (n < length && p[n])
        ++n;
    return Cp1252ToUtf8(std::string_view(reinterpret_cast<const char*>(p), n));
}

void ReadBext(const std::vector<uint8_t>& block, TBEXTFields& bext)
{
    constexpr size_t RecordSize = 602;
    if (block.size() < RecordSize)
        return;
    const uint8_t* p = block.data();
    bext.Description = RecordText(p, 256);
    bext.Originator = RecordText(p + 256, 32);
    bext.OriginatorReference = RecordText(p + 288, 32);
    bext.OriginationDate = RecordText(p + 320, 10);
    bext.OriginationTime = RecordText(p + 330, 8);
    bext.TimeReference = GetLE64(p + 338);
    bext.Version = GetLE16(p + 346);
    bext.UMID = RecordText(p + 348, 64);
    bext.CodingHistory = RecordText(p + RecordSize, block.size() - RecordSize);
    bext.Loaded = true;
}

void ReadCart(const std::vector<uint8_t>& block, TCARTFields& cart)
{
    constexpr size_t RecordSize = 2048;
    if (block.size() < RecordSize)
        return;
    const uint8_t* p = block.data();
    cart.Version = RecordText(p, 4);
    std::string* texts[] = { &cart.Title, &cart.Artist, &cart.CutID, &cart.ClientID, &cart.Category,
        &cart.Classification, &cart.OutCue };
    for (size_t i = 0; i < 7; ++i)
        *texts[i] = RecordText(p + 4 + 64 * i, 64);
    cart.StartDate = RecordText(p + 452, 10);
    cart.StartTime = RecordText(p + 462, 8);
    cart.EndDate = RecordText(p + 470, 10);
    cart.EndTime = RecordText(p + 480, 8);
    cart.ProducerAppID = RecordText(p + 488, 64);
    cart.ProducerAppVersion = RecordText(p + 552, 64);
    cart.UserDef = RecordText(p + 616, 64);
    cart.LevelReference = int32_t(GetLE32(p + 680));
    for (size_t i = 0; i < 8; ++i) {
        cart.PostTimers[i].Usage = RecordText(p + 684 + 8 * i, 4);
        cart.PostTimers[i].Value = GetLE32(p + 688 + 8 * i);
    }
    cart.Reserved = RecordText(p + 748, 276);
    cart.URL = RecordText(p + 1024, 1024);
    cart.TagText = RecordText(p + RecordSize, block.size() - RecordSize);
    cart.Loaded = true;
}

} // namespace

void SetAudioEngineTagSource(TAudioEngineTagSource* source) { EngineSource = source; }
TAudioEngineTagSource* AudioEngineTagSource() { return EngineSource; }

void TTags::LoadNullTerminatedStrings(const std::string& tagType, const std::vector<std::string>& tagList)
{
    for (const std::string& line : tagList) {
        const size_t eq = line.find('=');
        if (eq == std::string::npos) {
            AddField(tagType, line);
            continue;
        }
        const std::string name = line.substr(0, eq);
        const std::string value = line.substr(eq + 1);
        if (SameTextAscii(name, "METADATA_BLOCK_PICTURE")) {
            std::vector<uint8_t> block;
            TNativePicture decoded;
            if (!Base64Decode(value, block) || !ParsePictureBlock(block.data(), block.size(), decoded))
                continue;
            if (TCoverArt* picture = AddCoverArt("Cover art " + std::to_string(CoverArts.size() + 1))) {
                picture->Stream.Bytes() = std::move(decoded.Data);
                picture->CoverType = decoded.CoverType;
                picture->MIMEType = decoded.MIMEType;
                picture->Description = decoded.Description;
                picture->Width = decoded.Width;
                picture->Height = decoded.Height;
                picture->ColorDepth = decoded.ColorDepth;
                picture->NoOfColors = decoded.NoOfColors;
                picture->PictureFormat = PictureFormatFromMIMEType(decoded.MIMEType);
            }
            continue;
        }
        AddField(name, value);
    }
    Loaded = true;
}

void TTags::LoadNullTerminatedWAVRIFFINFOStrings(const std::vector<std::string>& tagList)
{
    if (WAVTag) {
        WAVTag->Clear();
        for (const std::string& line : tagList) {
            const size_t eq = line.find('=');
            if (eq != std::string::npos)
                WAVTag->SetFrameText(line.substr(0, eq), line.substr(eq + 1));
        }
        WAVTag->MarkLoaded();
    } else {
        // Without a WAV object the frames go straight into the list under their unified names.
        for (const std::string& line : tagList) {
            const size_t eq = line.find('=');
            const std::string name = eq == std::string::npos ? std::string() : RIFFInfoIDToName(line.substr(0, eq));
            if (!name.empty())
                AddField(name, line.substr(eq + 1));
        }
    }
    Loaded = true;
}

int TTags::LoadFromBASS(uint32_t channel)
{
    Clear();
    if (WAVTag) {
        WAVTag->BEXT.Loaded = false;
        WAVTag->CART.Loaded = false;
    }
    TAudioEngineTagSource* engine = EngineSource;
    if (!engine)
        return tlAudioEngineNotLoaded;
    if (!engine->HasTagQuery())
        return tlAudioEngineFunctionMissing;

    auto query = [&](uint32_t type) { return engine->ChannelGetTags(channel, type); };
    if (auto block = query(engineTagID3); block && block->size() >= 128)
        ID3v1Tag->LoadFromMemory(block->data());
    if (auto block = query(engineTagID3v2)) {
        ID3v2Tag->LoadFromMemory(block->data(), block->size());
        ID3v2Tag->RemoveUnsynchronisationOnAllFrames();
        ID3v2Tag->DeCompressAllFrames();
    }
    const std::pair<uint32_t, const char*> stringBlocks[] = {
        { engineTagOgg, "OGG TAG" },
        { engineTagHTTP, "HTTP TAG" },
        { engineTagICY, "ICY TAG" },
        { engineTagMeta, "META TAG" },
        { engineTagAPE, "APE TAG" },
        { engineTagMP4, "MP4 TAG" },
        { engineTagLyrics3, "LYRICS3 TAG" },
        { engineTagMF, "MF TAG" },
        { engineTagRIFFDisp, "RIFF DISP TAG" },
        { engineTagMusicName, "MOD MUSIC NAME" },
        { engineTagWMA, "WMA TAG" },
    };
    for (const auto& [type, label] : stringBlocks)
        if (auto block = query(type))
            LoadNullTerminatedStrings(label, StringSequence(*block));
    if (auto block = query(engineTagRIFFInfo))
        LoadNullTerminatedWAVRIFFINFOStrings(StringSequence(*block));
    if (WAVTag) {
        if (auto block = query(engineTagRIFFBext))
            ReadBext(*block, WAVTag->BEXT);
        if (auto block = query(engineTagRIFFCart))
            ReadCart(*block, WAVTag->CART);
    }
    if (auto block = query(engineTagDSDComment); block && block->size() >= 14) {
        const uint8_t* p = block->data();
        const uint32_t count = GetLE32(p + 10);
        const size_t available = std::min<size_t>(count, block->size() - 14);
        LoadNullTerminatedStrings("DSD IFF TAG",
            {
                "RECORDINGDATE=" + std::to_string(GetLE16(p)) + "-" + std::to_string(p[2]) + "-" + std::to_string(p[3])
                    + " " + std::to_string(p[4]) + ":" + std::to_string(p[5]),
                "COMMENT=" + Cp1252ToUtf8(std::string_view(reinterpret_cast<const char*>(p + 14), available)),
            });
    }
    auto dsdText = [&](uint32_t type, const char* name) {
        if (auto block = query(type)) {
            const auto* text = reinterpret_cast<const char*>(block->data());
            const size_t length = strnlen(text, block->size());
            LoadNullTerminatedStrings("DSD IFF TAG", { name + Cp1252ToUtf8(std::string_view(text, length)) });
        }
    };
    dsdText(engineTagDSDArtist, "ARTIST=");
    dsdText(engineTagDSDTitle, "TITLE=");
    LoadTags();
    return tlSuccess;
}

} // namespace vantor
