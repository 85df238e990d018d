// The audio properties the ID3v2 reader collects: MPEG audio behind the tag, WAV/RF64,
// AIFF/AIFC, DSF and DSDIFF containers around it.

#include "tags/id3v2/ID3v2Tag.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace vantor {

namespace {

uint32_t SamplesPerFrame(const TMPEGHeaderX& Info)
{
    if (Info.Layer == tmpegl1)
        return 384;
    if (Info.Layer == tmpegl3 && Info.Version != tmpegv1)
        return 576;
    return 1152;
}

// Size of an ID3v1 tag at the end of the file and of a Lyrics3 v2 block in front of it.
uint64_t TrailingTagsSize(const TByteSource& Stream)
{
    const uint64_t FileSize = Stream.Size();
    uint8_t Tail[143];
    // An APE footer at the end wins: its own bytes can put "TAG" there.
    if (FileSize < 128 || !Stream.ReadExact(FileSize - 128, Tail + 15, 128) || std::memcmp(Tail + 15, "TAG", 3) != 0
        || std::memcmp(Tail + 15 + 96, "APETAGEX", 8) == 0)
        return 0;
    uint64_t Total = 128;
    if (FileSize >= 143 && Stream.ReadExact(FileSize - 143, Tail, 15) && std::memcmp(Tail + 6, "LYRICS200", 9) == 0) {
        uint32_t Length = 0;
        const auto [End, Error] =
            std::from_chars(reinterpret_cast<const char*>(Tail), reinterpret_cast<const char*>(Tail + 6), Length);
        if (Error == std::errc() && End == reinterpret_cast<const char*>(Tail + 6) && Length + 143 <= FileSize)
            Total += Length + 15;
    }
    return Total;
}

// A VBR header with a frame count of 0 is broken; the time then comes from the estimate.
bool KnowsFrameCount(const TMPEGHeaderX& Info) { return Info.VBR && Info.FrameCount != 0; }

// True when the bytes at Start open a stream of another format (FLAC, Ogg, MP4, Monkey's
// Audio, WavPack, Musepack, TTA, ASF): its data can hold a false frame sync anywhere, and
// looking for one through a large picture costs more than reading the whole tag.
bool OpensOtherFormat(const TByteSource& Stream, uint64_t Start)
{
    uint8_t Head[8] = {};
    if (!Stream.ReadExact(Start, Head, sizeof Head))
        return false;
    static constexpr const char* Magics[] = { "fLaC", "OggS", "MAC ", "wvpk", "MPCK", "TTA1" };
    for (const char* Magic : Magics)
        if (std::memcmp(Head, Magic, 4) == 0)
            return true;
    static constexpr uint8_t Asf[4] = { 0x30, 0x26, 0xB2, 0x75 };
    return std::memcmp(Head, "MP+", 3) == 0 || std::memcmp(Head + 4, "ftyp", 4) == 0
        || std::memcmp(Head, Asf, sizeof Asf) == 0;
}

} // namespace

void TID3v2Tag::ReadContainerAudio(const TByteSource& Stream)
{
    if (FSourceFileType == sftWAVE || FSourceFileType == sftRF64) {
        TWaveAudio Audio;
        ReadWaveAudio(Stream, Audio);
        WAVInfo = Audio.Fmt;
        SampleCount = Audio.SampleCount;
        FPlayTime = Audio.PlayTime;
        BitRate = Audio.BitRate;
    } else if (FSourceFileType == sftAIFF) {
        TAIFFAudio Audio;
        ReadAIFFAudio(Stream, Audio);
        AIFFInfo = Audio.Info;
        SampleCount = Audio.Info.SampleFrames;
        FPlayTime = Audio.PlayTime;
        BitRate = Audio.BitRate;
    } else if (FSourceFileType == sftDSF) {
        ReadDSFInfo(Stream, DSFInfo);
        SampleCount = DSFInfo.SampleCount;
        FPlayTime = DSFInfo.PlayTime;
        BitRate = DSFInfo.BitRate();
    } else if (FSourceFileType == sftDFF) {
        DFFInfo.LoadFromStream(Stream);
        SampleCount = DFFInfo.SampleCount;
        FPlayTime = DFFInfo.PlayTime;
        BitRate = DFFInfo.BitRate;
    }
}

void TID3v2Tag::FindMPEGAudio(const TByteSource& Stream, uint64_t Start)
{
    if (OpensOtherFormat(Stream, Start))
        return;
    const std::optional<uint64_t> Sync = FindMPEGAudioFrame(Stream, Start);
    if (!Sync)
        return;
    FSourceFileType = sftMPEG;
    if (!ParseAudioAttributes || !ReadMPEGFrame(Stream, *Sync, MPEGInfo))
        return;
    BitRate = MPEGInfo.BitRate;
    if (KnowsFrameCount(MPEGInfo))
        SampleCount = MPEGInfo.FrameCount * SamplesPerFrame(MPEGInfo);
    else
        FTrailingTagsSize = TrailingTagsSize(Stream);
}

double TID3v2Tag::PlayTime()
{
    if (FPlayTime != 0)
        return FPlayTime;
    const int TLEN = FrameExists("TLEN");
    if (TLEN >= 0) {
        const std::string Text = GetUnicodeText(TLEN);
        uint64_t Milliseconds = 0;
        std::from_chars(Text.data(), Text.data() + Text.size(), Milliseconds);
        FPlayTime = double(Milliseconds) / 1000;
        if (FPlayTime != 0)
            return FPlayTime;
    }
    if (FSourceFileType != sftMPEG)
        return FPlayTime;
    if (KnowsFrameCount(MPEGInfo)) {
        // The frame duration follows from the layer and sample rate (26.12 ms for 44.1 kHz
        // layer 3, 36 ms for 32 kHz); 26 ms is only the usual case.
        FPlayTime = MPEGInfo.SampleRate != 0
            ? double(MPEGInfo.FrameCount) * SamplesPerFrame(MPEGInfo) / MPEGInfo.SampleRate
            : double(MPEGInfo.FrameCount) * 0.026;
    } else if (BitRate != 0) {
        // From the first frame: a second tag or junk in front of it is no audio.
        const uint64_t Front = MPEGInfo.Position;
        const uint64_t Audio = FFileSize > Front + FTrailingTagsSize ? FFileSize - Front - FTrailingTagsSize : 0;
        FPlayTime = double(Audio) * 8 / 1000 / BitRate;
    }
    return FPlayTime;
}

TAudioPropertySet TID3v2Tag::AudioProperties()
{
    TAudioPropertySet P;
    switch (FSourceFileType) {
    case sftMPEG:
        P.Channels = MPEGInfo.ChannelMode == tmpegcmMono ? 1 : MPEGInfo.ChannelMode == tmpegcmUnknown ? 0 : 2;
        P.SamplesPerSec = MPEGInfo.SampleRate;
        P.StopsBitsPerSampleWalk = MPEGInfo.SampleRate != 0;
        P.PlayTime = PlayTime();
        P.SampleCount = SampleCount;
        P.BitRate = BitRate;
        break;
    case sftWAVE:
    case sftRF64:
        P.Channels = WAVInfo.Channels;
        P.SamplesPerSec = WAVInfo.SamplesPerSec;
        P.BitsPerSample = WAVInfo.BitsPerSample;
        P.PlayTime = PlayTime();
        P.SampleCount = SampleCount;
        P.BitRate = BitRate;
        break;
    case sftAIFF:
        P.Channels = AIFFInfo.Channels;
        P.SamplesPerSec = RoundProperty<uint32_t>(AIFFInfo.SampleRate);
        P.BitsPerSample = AIFFInfo.SampleSize;
        P.PlayTime = PlayTime();
        P.SampleCount = AIFFInfo.SampleFrames;
        P.BitRate = BitRate;
        break;
    case sftDSF:
        P.Channels = uint16_t(std::min<uint32_t>(DSFInfo.ChannelNumber, 0xFFFF));
        P.SamplesPerSec = DSFInfo.SamplingFrequency;
        P.BitsPerSample = uint16_t(std::min<uint32_t>(DSFInfo.BitsPerSample, 0xFFFF));
        P.PlayTime = DSFInfo.PlayTime;
        P.SampleCount = DSFInfo.SampleCount;
        P.BitRate = DSFInfo.BitRate();
        break;
    case sftDFF:
        P.Channels = DFFInfo.ChannelNumber;
        P.SamplesPerSec = DFFInfo.SampleRate;
        P.BitsPerSample = 1;
        P.PlayTime = DFFInfo.PlayTime;
        P.SampleCount = DFFInfo.SampleCount;
        P.BitRate = DFFInfo.BitRate;
        break;
    default: break;
    }
    return P;
}

} // namespace vantor
