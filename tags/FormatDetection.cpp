#include "tags/FormatDetection.h"

#include "tags/StreamByteSource.h"
#include "tags/audio_attributes/MusepackInfo.h"
#include "tags/audio_attributes/WavPackInfo.h"
#include "tags/io/Bytes.h"
#include "tags/io/FileStream.h"
#include "tags/io/TextCodec.h"

#include <cstring>

namespace vantor {

namespace {

bool Is(const uint8_t* bytes, const char* text, size_t n) { return std::memcmp(bytes, text, n) == 0; }

// Size of a leading ID3v2 tag (header included), 0 when there is none.
uint64_t LeadingID3v2Size(TStream& stream)
{
    const auto header = stream.ReadAt(0, 10);
    if (header.size() != 10 || !Is(header.data(), "ID3", 3))
        return 0;
    return uint64_t(GetSyncsafe32(header.data() + 6)) + 10;
}

bool IsMPEGSecondByte(uint8_t b)
{
    switch (b) {
    case 0xE3:
    case 0xF2:
    case 0xF3:
    case 0xF9:
    case 0xFA:
    case 0xFB:
    case 0xFC:
    case 0xFD: return true;
    default: return false;
    }
}

TAudioFormat Detect(TStream& stream)
{
    const uint64_t start = LeadingID3v2Size(stream);
    // Short streams read as zeros beyond their end, which match no signature.
    auto head = stream.ReadAt(start, 16);
    head.resize(16, 0);
    const uint8_t* h = head.data();
    if (Is(h, "RIFF", 4))
        return afWAV;
    if (Is(h, "RF64", 4))
        return afRF64;
    if (Is(h, "MAC", 3))
        return afMonkeysAudio;
    if (Is(h, "OFR ", 4))
        return afOptimFROG;
    if (Is(h, "MP+", 3))
        return afMusepack;
    if (Is(h, "fLaC", 4))
        return afFlac;
    if (Is(h, "DSD ", 4))
        return afDSF;
    if (Is(h, "FRM8", 4) && Is(h + 12, "DSD ", 4))
        return afDSDIFF;
    if (Is(h, "OggS", 4)) {
        // The first page holds one packet that names the codec: the FLAC mapping
        // at offset 29, the Vorbis, Opus and Theora identification headers at 28.
        const auto packet = stream.ReadAt(start + 28, 8);
        if (packet.size() >= 5 && Is(packet.data() + 1, "FLAC", 4))
            return afOggFlac;
        if (packet.size() >= 7 && Is(packet.data(), "\x01vorbis", 7))
            return afOggVorbis;
        if (packet.size() >= 8 && Is(packet.data(), "OpusHead", 8))
            return afOpus;
        if (packet.size() >= 7 && Is(packet.data(), "\x80theora", 7))
            return afOggTheora;
    }
    if (Is(h, "FORM", 4)) {
        if (Is(h + 8, "AIFF", 4))
            return afAIFF;
        if (Is(h + 8, "AIFC", 4))
            return afAIFC;
    }
    if (Is(h + 4, "ftyp", 4))
        return afMP4;
    // The GUID of the ASF header object.
    if (Is(h, "\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C", 16))
        return afWMA;
    {
        TStreamByteSource source(stream);
        if (TWAVPackfile().LoadFromStream(source, 0))
            return afWavPack;
        if (TMPEGplus().LoadFromStream(source, start, 0))
            return afMusepack;
    }

    // A frame sync near the start: at most 1025 attempts, one byte each.
    const auto window = stream.ReadAt(start, 1026);
    const auto& bytes = window;
    size_t at = 0;
    for (int attempt = 0; attempt < 1025 && at < bytes.size(); ++attempt) {
        if (window[at++] != 0xFF)
            continue;
        if (at >= bytes.size())
            break;
        if (IsMPEGSecondByte(window[at++]))
            return afMPEG;
    }
    return afUnknown;
}

} // namespace

TAudioFormat DetectAudioFormat(TStream& stream)
{
    try {
        const uint64_t position = stream.Position();
        const TAudioFormat format = Detect(stream);
        stream.Seek(position);
        return format;
    } catch (...) {
        return afUnknown;
    }
}

TAudioFormat DetectAudioFormat(const std::string& fileName)
{
    TFileStream file;
    if (!file.Open(fileName))
        return afUnknown;
    return DetectAudioFormat(file);
}

std::vector<TTagType> NaturalTagTypes(TAudioFormat format)
{
    switch (format) {
    case afMonkeysAudio:
    case afOptimFROG:
    case afMusepack:
    case afWavPack: return { ttAPEv2 };
    case afFlac:
    case afOggFlac: return { ttFlac };
    case afMPEG:
    case afAIFF:
    case afAIFC:
    case afDSF:
    case afDSDIFF: return { ttID3v2 };
    case afWAV:
    case afRF64: return { ttID3v2, ttWAV };
    case afMP4: return { ttMP4 };
    case afOpus:
    case afOggVorbis:
    case afOggTheora: return { ttOpusVorbis };
    default: return {};
    }
}

std::string UpperExtension(const std::string& fileName)
{
    const size_t slash = fileName.rfind('/');
    const size_t dot = fileName.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return "";
    return UpperAscii(fileName.substr(dot));
}

TTagTypes TagTypesOfFileName(const std::string& fileName)
{
    const std::string ext = UpperExtension(fileName);
    auto in = [&ext](std::initializer_list<const char*> list) {
        for (const char* e : list)
            if (ext == e)
                return true;
        return false;
    };
    if (in({ ".WAV", ".WAVE", ".RF64", ".BWF" }))
        return TagTypeBit(ttID3v2) | TagTypeBit(ttWAV);
    if (in({ ".APE", ".MPC", ".WV", ".OFR" }))
        return TagTypeBit(ttAPEv2);
    if (in({ ".MP4", ".M4A", ".M4B", ".ALAC" }))
        return TagTypeBit(ttMP4);
    if (in({ ".WMA", ".WMV", ".ASF" }))
        return TagTypeBit(ttWMA);
    if (in({ ".FLAC", ".FLA", ".FLC", ".OGA" }))
        return TagTypeBit(ttFlac);
    if (in({ ".OGG", ".OPUS", ".OGV" }))
        return TagTypeBit(ttOpusVorbis);
    if (in({ ".MPG", ".MP1", ".MP2", ".MP3", ".MPA", ".AIFF", ".AIF", ".AIFC", ".AFC", ".DSF", ".DFF" }))
        return TagTypeBit(ttID3v2);
    return TagTypeBit(ttAPEv2);
}

} // namespace vantor
