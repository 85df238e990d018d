// Loading every format a file carries, merging by priority, and saving.

#include "tags/Tags.h"

#include "tags/FormatDetection.h"
#include "tags/MP4TagBase.h"
#include "tags/ResultTranslation.h"
#include "tags/StreamByteSource.h"
#include "tags/VorbisCommentTagBase.h"
#include "tags/WAVTagBase.h"
#include "tags/WMATagBase.h"
#include "tags/apev2/APEv2Tag.h"
#include "tags/audio_attributes/MonkeysAudioInfo.h"
#include "tags/audio_attributes/MusepackInfo.h"
#include "tags/audio_attributes/SpeexInfo.h"
#include "tags/audio_attributes/TTAInfo.h"
#include "tags/audio_attributes/WavPackInfo.h"
#include "tags/id3v1/ID3v1Tag.h"
#include "tags/id3v2/ID3v2Tag.h"
#include "tags/io/FileStream.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace vantor {

namespace {

// A damaged tag of one format never keeps the others from loading.
template <typename F>
void Guarded(F&& step)
{
    try {
        step();
    } catch (...) {
    }
}

void PrepareID3v2(TID3v2Tag& tag)
{
    tag.RemoveUnsynchronisationOnAllFrames();
    tag.DeCompressAllFrames();
}

// Bytes of the APEv2 tag at the end of the file, its header included.
uint64_t APEv2TagSize(const TAPEv2Tag& tag)
{
    constexpr uint32_t FlagHasHeader = 0x80000000u;
    return tag.Loaded ? uint64_t(tag.Size) + ((tag.Flags & FlagHasHeader) ? 32 : 0) : 0;
}

} // namespace

// The WavPack and Musepack readers, when asked for, replace the tag objects' audio answers;
// Monkey's Audio, TTA and Speex, which no tag object knows, are always read.
void TTags::LoadAudioAttributeReaders(const TByteSource& source, bool byContent)
{
    const std::string ext = byContent ? std::string() : UpperExtension(FileName);
    Guarded([&] {
        const uint64_t id3v2 = ID3v2Tag->Loaded && ID3v2Tag->FPosition == 0 ? ID3v2Tag->Size : 0;
        const uint64_t rest = APEv2TagSize(*APEv2Tag) + (ID3v1Tag->Loaded ? 128 : 0);
        if (byContent || ext == ".APE" || ext == ".MAC") {
            auto reader = std::make_unique<TMonkeysAudioInfo>();
            if (reader->LoadFromStream(source, id3v2, rest))
                SourceAudioAttributes->StreamAttributes = std::move(reader);
        }
        if (!SourceAudioAttributes->StreamAttributes && (byContent || ext == ".TTA")) {
            auto reader = std::make_unique<TTTAInfo>();
            if (reader->LoadFromStream(source, id3v2, rest))
                SourceAudioAttributes->StreamAttributes = std::move(reader);
        }
        if (!SourceAudioAttributes->StreamAttributes && (byContent || ext == ".SPX")) {
            auto reader = std::make_unique<TSpeexInfo>();
            if (reader->LoadFromStream(source))
                SourceAudioAttributes->StreamAttributes = std::move(reader);
        }
    });
    if (ParseWavPackAudioAttributes && (byContent || ext == ".WV")) {
        Guarded([&] {
            auto reader = std::make_unique<TWAVPackfile>();
            if (reader->LoadFromStream(source, APEv2TagSize(*APEv2Tag)))
                SourceAudioAttributes->WAVPackAttributes = std::move(reader);
        });
    }
    if (ParseMusePackAudioAttributes && (byContent || ext == ".MPC")) {
        Guarded([&] {
            const uint64_t id3v2 = ID3v2Tag->Loaded && ID3v2Tag->FPosition == 0 ? ID3v2Tag->Size : 0;
            const uint64_t rest = APEv2TagSize(*APEv2Tag) + (ID3v1Tag->Loaded ? 128 : 0);
            auto reader = std::make_unique<TMPEGplus>();
            if (reader->LoadFromStream(source, id3v2, rest))
                SourceAudioAttributes->MusePackAttributes = std::move(reader);
        });
    }
}

int TTags::LoadFromFile(const std::string& fileName)
{
    Clear();
    TFileStream file;
    if (!file.Open(fileName))
        return tlErrorOpeningFile;

    // One open file serves every format: opening the file once per format costs more than
    // reading the few bytes most of them look at.
    Guarded([&] {
        file.Seek(0);
        APEv2Tag->DeferPictureData = DeferPictureData;
        if (APEv2Tag->LoadFromStream(file) == 0 || APEv2Tag->Loaded)
            APEv2Tag->FileName = fileName;
    });
    Guarded([&] {
        if (FlacTag && file.Seek(0)) {
            FlacTag->DeferPictureData = DeferPictureData;
            FlacTag->LoadFromStream(file);
        }
    });
    Guarded([&] {
        file.Seek(0);
        if (ID3v1Tag->LoadFromStream(file) == 0)
            ID3v1Tag->FileName = fileName;
    });
    Guarded([&] {
        TStreamByteSource source(file);
        ID3v2Tag->DeferPictureData = DeferPictureData;
        if (ID3v2Tag->LoadFromStream(source) < 4)
            ID3v2Tag->FileName = fileName;
        PrepareID3v2(*ID3v2Tag);
    });
    Guarded([&] {
        if (MP4Tag && file.Seek(0)) {
            MP4Tag->DeferPictureData = DeferPictureData;
            MP4Tag->LoadFromStream(file);
        }
    });
    Guarded([&] {
        if (OggVorbisAndOpusTag && file.Seek(0)) {
            OggVorbisAndOpusTag->ParsePlayTime = ParseOggPlayTime;
            OggVorbisAndOpusTag->DeferPictureData = DeferPictureData;
            OggVorbisAndOpusTag->LoadFromStream(file);
        }
    });
    Guarded([&] {
        if (WAVTag && file.Seek(0))
            WAVTag->LoadFromStream(file);
    });
    if (!ID3v2Tag->Loaded)
        Guarded([&] {
            if (WMATag && file.Seek(0)) {
                WMATag->DeferPictureData = DeferPictureData;
                WMATag->LoadFromStream(file);
            }
        });

    FileName = fileName;
    {
        TStreamByteSource source(file);
        LoadAudioAttributeReaders(source, false);
    }
    AudioFormat = DetectAudioFormat(file);
    for (TTagType type : { ttAPEv2, ttFlac, ttID3v1, ttID3v2, ttMP4, ttOpusVorbis, ttWAV, ttWMA })
        Loaded = Loaded || IsLoaded(type);
    LoadTags();
    return tlSuccess;
}

int TTags::LoadFromStream(TStream& stream)
{
    Clear();
    if (stream.Size() == 0)
        return tlErrorOpeningFile;
    // Each format reads from position 0; one whose start cannot be set is skipped.
    auto fromStart = [&stream](auto&& load) {
        Guarded([&] {
            if (stream.Seek(0))
                load();
        });
    };
    fromStart([&] {
        APEv2Tag->DeferPictureData = false; // nothing to fetch the bytes from later
        APEv2Tag->LoadFromStream(stream);
    });
    fromStart([&] {
        if (FlacTag) {
            FlacTag->DeferPictureData = false;
            FlacTag->LoadFromStream(stream);
        }
    });
    fromStart([&] { ID3v1Tag->LoadFromStream(stream); });
    fromStart([&] {
        TStreamByteSource source(stream);
        ID3v2Tag->DeferPictureData = false; // nothing to fetch the bytes from later
        ID3v2Tag->LoadFromStream(source);
        PrepareID3v2(*ID3v2Tag);
    });
    fromStart([&] {
        if (MP4Tag) {
            MP4Tag->DeferPictureData = false;
            MP4Tag->LoadFromStream(stream);
        }
    });
    fromStart([&] {
        if (OggVorbisAndOpusTag) {
            OggVorbisAndOpusTag->ParsePlayTime = ParseOggPlayTime;
            OggVorbisAndOpusTag->DeferPictureData = false;
            OggVorbisAndOpusTag->LoadFromStream(stream);
        }
    });
    fromStart([&] {
        if (WAVTag)
            WAVTag->LoadFromStream(stream);
    });
    {
        TStreamByteSource source(stream);
        LoadAudioAttributeReaders(source, true);
    }
    stream.Seek(0);

    FileName.clear();
    for (TTagType type : { ttAPEv2, ttFlac, ttID3v1, ttID3v2, ttMP4, ttOpusVorbis, ttWAV, ttWMA })
        Loaded = Loaded || IsLoaded(type);
    LoadTags();
    return tlSuccess;
}

int TTags::LoadFromMemory(const void* address, int64_t size)
{
    if (!address || size <= 0) {
        Clear();
        return tlFileNotFound;
    }
    TMemoryView view(address, size_t(size));
    return LoadFromStream(view);
}

void TTags::LoadTags()
{
    for (int i = int(TagLoadPriority.size()) - 1; i >= 0; --i) {
        const TTagType type = TagLoadPriority[size_t(i)];
        if (!IsLoaded(type))
            continue;
        Guarded([&] {
            switch (type) {
            case ttAPEv2: LoadAPEv2Tags(); break;
            case ttFlac: LoadFlacTags(); break;
            case ttID3v1: LoadID3v1Tags(); break;
            case ttID3v2: LoadID3v2Tags(); break;
            case ttMP4: LoadMP4Tags(); break;
            case ttOpusVorbis: LoadOggVorbisAndOpusTags(); break;
            case ttWAV: LoadWAVTags(); break;
            case ttWMA: LoadWMATags(); break;
            default: break;
            }
        });
    }
}

int TTags::SaveStep(TTagType type, const std::string& fileName, TStream* stream)
{
    try {
        if (stream)
            stream->Seek(0);
        switch (type) {
        case ttAPEv2: return SaveAPEv2Tag(fileName, stream);
        case ttFlac: return SaveFlacTag(fileName, stream);
        case ttID3v1: return SaveID3v1Tag(fileName, stream);
        case ttID3v2: return SaveID3v2Tag(fileName, stream);
        case ttMP4: return SaveMP4Tag(fileName, stream);
        case ttOpusVorbis: return SaveOggVorbisAndOpusTag(fileName, stream);
        case ttWAV: return SaveWAVTag(fileName, stream);
        case ttWMA: return SaveWMATag(fileName, stream);
        default: return FormatErrorCode;
        }
    } catch (...) {
        return FormatErrorCode;
    }
}

int TTags::SaveToFile(const std::string& fileName, TTagType tagType)
{
    // Pictures left in the loaded file are written back whole: read them before the file changes.
    if (!LoadCoverArtData())
        return tlErrorOpeningFile;
    struct stat before { };
    const bool hadTime = ::stat(fileName.c_str(), &before) == 0;

    int result = tlError;
    if (tagType >= ttAPEv2 && tagType <= ttWMA) {
        result =
            HasFormatObject(tagType) ? TranslateResult(tagType, SaveStep(tagType, fileName, nullptr)) : tlNotSupported;
    } else if (tagType == ttAutomatic) {
        bool counted = false;
        bool ran = false;
        bool saved = false;
        auto run = [&](TTagType type) {
            if (!HasFormatObject(type))
                return;
            const int code = TranslateResult(type, SaveStep(type, fileName, nullptr));
            ran = true;
            // A later format with nothing to write (and no tag to take out) leaves the file as an
            // earlier successful step made it: that save did not fail.
            if (!(saved && (code == tlEmptyTag || code == tlEmptyFrames)))
                result = code;
            saved = saved || code == tlSuccess;
            if (code == tlSuccess && type != ttID3v1)
                counted = true;
        };
        // Paths on this system are case-sensitive: only the very file that was loaded
        // is known to carry the loaded formats.
        // A loaded WAV object brings the ID3v2 tag along: the INFO, bext and cart chunks hold no
        // pictures, lyrics or names without an INFO id, which would otherwise be dropped.
        if (fileName == FileName)
            for (TTagType type : { ttAPEv2, ttFlac, ttID3v1, ttID3v2, ttMP4, ttOpusVorbis, ttWAV, ttWMA })
                if (IsLoaded(type) || (type == ttID3v2 && IsLoaded(ttWAV)))
                    run(type);
        if (!counted)
            for (TTagType type : NaturalTagTypes(DetectAudioFormat(fileName)))
                run(type);
        if (!counted) {
            const TTagTypes types = TagTypesOfFileName(fileName);
            for (TTagType type : { ttAPEv2, ttFlac, ttID3v1, ttID3v2, ttMP4, ttOpusVorbis, ttWAV, ttWMA })
                if (HasTagType(types, type))
                    run(type);
        }
        if (!ran)
            result = tlNotSupported;
    }

    if (PreserveFileDate && hadTime) {
        const struct timespec times[2] = { before.st_atim, before.st_mtim };
        ::utimensat(AT_FDCWD, fileName.c_str(), times, 0);
    }
    return result;
}

int TTags::SaveToStream(TStream& stream, TTagType tagType)
{
    if (!LoadCoverArtData())
        return tlErrorOpeningFile;
    if (tagType == ttWMA)
        return tlNotSupported;
    if (tagType >= ttAPEv2 && tagType <= ttWAV)
        return HasFormatObject(tagType) ? TranslateResult(tagType, SaveStep(tagType, "", &stream)) : tlNotSupported;
    if (tagType != ttAutomatic)
        return tlError;
    const TAudioFormat format = DetectAudioFormat(stream);
    if (format == afOggTheora)
        return tlError;
    // A failed step fails the save even when a later one succeeds: what only the failed tag
    // can hold (a WAV file's custom fields and pictures go to ID3v2) is not in the stream. A
    // step with nothing to write (and no tag to take out) neither fails nor saves.
    int failure = tlSuccess;
    int nothingWritten = tlError;
    bool saved = false;
    for (TTagType type : NaturalTagTypes(format)) {
        if (!HasFormatObject(type))
            continue;
        const int code = TranslateResult(type, SaveStep(type, "", &stream));
        if (code == tlSuccess)
            saved = true;
        else if (code == tlEmptyTag || code == tlEmptyFrames)
            nothingWritten = code;
        else if (failure == tlSuccess)
            failure = code;
    }
    if (failure != tlSuccess)
        return failure;
    return saved ? tlSuccess : nothingWritten;
}

} // namespace vantor
