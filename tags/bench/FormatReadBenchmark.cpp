// Reads title, artist, album, track, the first picture and the audio attributes (length, bit
// rate, sample rate, channels) of 3,000 typical files of each of FLAC (100 KB picture), Ogg
// Vorbis, Opus, M4A/AAC (100 KB "covr" picture) and WMA (100 KB WM/Picture), warm cache, once
// through TTags and once through the peer library; WMA also as the track scan reads it, with
// the picture's bytes left in the file. The files are made once (ffmpeg, then our own tag writer) into a
// cache folder of the build and reused by later runs.

#include "tags/Tags.h"
#include "tags/io/FileStream.h"

#include <benchmark/benchmark.h>
#include <taglib/asffile.h>
#include <taglib/asfpicture.h>
#include <taglib/flacfile.h>
#include <taglib/flacpicture.h>
#include <taglib/mp4coverart.h>
#include <taglib/mp4file.h>
#include <taglib/mp4tag.h>
#include <taglib/opusfile.h>
#include <taglib/vorbisfile.h>
#include <taglib/xiphcomment.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int FileCount = 3000;
// Bumped whenever the generated files change, so an old cache is rebuilt.
constexpr const char* CacheVersion = "1";

enum class TFormat { Flac, Vorbis, Opus, M4A, WMA };

struct TFormatInfo {
    const char* Name;
    const char* Extension;
    const char* Encoder; // ffmpeg arguments
    bool Picture;
};

const TFormatInfo& Info(TFormat format)
{
    static const TFormatInfo infos[] = {
        { "FLAC", ".flac", "-c:a flac", true },
        { "OggVorbis", ".ogg", "-c:a libvorbis -q:a 4", false },
        { "Opus", ".opus", "-c:a libopus -b:a 96k", false },
        { "M4A", ".m4a", "-c:a aac -b:a 128k -movflags +faststart", true },
        { "WMA", ".wma", "-c:a wmav2 -b:a 128k", true },
    };
    return infos[int(format)];
}

std::vector<std::string>& Files(TFormat format)
{
    static std::vector<std::string> files[5];
    return files[int(format)];
}

std::filesystem::path CacheFolder(TFormat format)
{
    return std::filesystem::path(VANTOR_BENCH_CACHE) / Info(format).Name;
}

// A 100 KB "JPEG": the signature, then noise that does not compress.
std::vector<uint8_t> Cover()
{
    std::vector<uint8_t> cover(100 * 1024);
    std::mt19937 random(7);
    for (auto& b : cover)
        b = uint8_t(random());
    cover[0] = 0xFF;
    cover[1] = 0xD8;
    return cover;
}

// Ten seconds of two tones, tagged like a ripped album track.
void MakeFirstFile(TFormat format, const std::string& path)
{
    const std::string command = "ffmpeg -v error -nostdin -y -f lavfi -i "
                                "'aevalsrc=0.4*sin(2*PI*440*t)|0.4*sin(2*PI*554*t):s=44100:d=10' "
        + std::string(Info(format).Encoder) + " '" + path + "'";
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "cannot run: %s\n", command.c_str());
        std::exit(1);
    }
    using namespace vantor;
    TTags tags;
    tags.LoadFromFile(path);
    tags.SetTag("TITLE", "A typical title");
    tags.SetTag("ARTIST", "A typical artist");
    tags.SetTag("ALBUM", "A typical album");
    tags.SetTag("ALBUMARTIST", "A typical artist");
    tags.SetTag("TRACKNUMBER", "7");
    tags.SetTag("TOTALTRACKS", "12");
    tags.SetTag("DISCNUMBER", "1");
    tags.SetTag("GENRE", "Rock");
    tags.SetTag("YEAR", "2024");
    tags.SetTag("COMMENT", "Ripped from the original CD");
    const std::vector<uint8_t> cover = Cover();
    TMemoryView picture(cover.data(), cover.size());
    if (Info(format).Picture)
        tags.AddCoverArt("Cover art 1", picture, "image/jpeg")->CoverType = 3;
    if (tags.SaveToFile(path) != tlSuccess) {
        std::fprintf(stderr, "cannot tag %s\n", path.c_str());
        std::exit(1);
    }
}

// Made when a benchmark of the format first runs, so a filtered run makes only its own.
void MakeFiles(TFormat format)
{
    if (!Files(format).empty())
        return;
    const std::filesystem::path dir = CacheFolder(format);
    const std::filesystem::path stamp = dir / "complete";
    for (int i = 0; i < FileCount; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "track-%04d", i);
        Files(format).push_back((dir / (name + std::string(Info(format).Extension))).string());
    }
    std::string version;
    std::ifstream(stamp) >> version;
    if (version == CacheVersion)
        return;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    MakeFirstFile(format, Files(format)[0]);
    for (int i = 1; i < FileCount; ++i)
        std::filesystem::copy_file(Files(format)[0], Files(format)[size_t(i)]);
    std::ofstream(stamp) << CacheVersion;
}

// deferPictures: as the track scan reads, the size of the picture known, its bytes not read.
void Ours(benchmark::State& state, TFormat format, bool deferPictures)
{
    MakeFiles(format);
    const bool ogg = format == TFormat::Vorbis || format == TFormat::Opus;
    for (auto _ : state) {
        size_t checksum = 0;
        for (const std::string& file : Files(format)) {
            vantor::TTags tags;
            tags.ParseOggPlayTime = ogg; // the length, as the peer gives it
            tags.DeferPictureData = deferPictures;
            tags.LoadFromFile(file);
            checksum += tags.GetTag("TITLE").size() + tags.GetTag("ARTIST").size() + tags.GetTag("ALBUM").size()
                + tags.GetTag("TRACKNUMBER").size();
            if (tags.CoverArtCount() > 0)
                checksum += tags.CoverArts[0]->Size();
            const auto& audio = *tags.SourceAudioAttributes;
            checksum += size_t(audio.PlayTime() * 1000) + audio.BitRate() + audio.SamplesPerSec() + audio.Channels();
        }
        benchmark::DoNotOptimize(checksum);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * FileCount);
}

size_t TagSum(TagLib::Tag* tag)
{
    return tag ? tag->title().size() + tag->artist().size() + tag->album().size() + tag->track() : 0;
}

size_t PropertiesSum(const TagLib::AudioProperties* audio)
{
    return audio ? size_t(audio->lengthInMilliseconds()) + size_t(audio->bitrate()) + size_t(audio->sampleRate())
            + size_t(audio->channels())
                 : 0;
}

size_t XiphPictureSum(TagLib::Ogg::XiphComment* comment)
{
    if (!comment)
        return 0;
    const auto pictures = comment->pictureList();
    return pictures.isEmpty() ? 0 : pictures.front()->data().size();
}

size_t PeerRead(TFormat format, const char* file)
{
    const auto style = TagLib::AudioProperties::Average;
    switch (format) {
    case TFormat::Flac: {
        TagLib::FLAC::File f(file, true, style);
        const auto pictures = f.pictureList();
        return TagSum(f.tag()) + PropertiesSum(f.audioProperties())
            + (pictures.isEmpty() ? 0 : pictures.front()->data().size());
    }
    case TFormat::Vorbis: {
        TagLib::Ogg::Vorbis::File f(file, true, style);
        return TagSum(f.tag()) + PropertiesSum(f.audioProperties()) + XiphPictureSum(f.tag());
    }
    case TFormat::Opus: {
        TagLib::Ogg::Opus::File f(file, true, style);
        return TagSum(f.tag()) + PropertiesSum(f.audioProperties()) + XiphPictureSum(f.tag());
    }
    case TFormat::M4A: {
        TagLib::MP4::File f(file, true, style);
        size_t sum = TagSum(f.tag()) + PropertiesSum(f.audioProperties());
        if (TagLib::MP4::Tag* tag = f.tag(); tag && tag->contains("covr")) {
            const auto covers = tag->item("covr").toCoverArtList();
            if (!covers.isEmpty())
                sum += covers.front().data().size();
        }
        return sum;
    }
    case TFormat::WMA: {
        TagLib::ASF::File f(file, true, style);
        size_t sum = TagSum(f.tag()) + PropertiesSum(f.audioProperties());
        if (TagLib::ASF::Tag* tag = f.tag(); tag && tag->contains("WM/Picture")) {
            const auto& pictures = tag->attributeListMap()["WM/Picture"];
            if (!pictures.isEmpty())
                sum += pictures.front().toPicture().picture().size();
        }
        return sum;
    }
    }
    return 0;
}

void Peer(benchmark::State& state, TFormat format)
{
    MakeFiles(format);
    for (auto _ : state) {
        size_t checksum = 0;
        for (const std::string& file : Files(format))
            checksum += PeerRead(format, file.c_str());
        benchmark::DoNotOptimize(checksum);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * FileCount);
}

} // namespace

int main(int argc, char** argv)
{
    for (TFormat format : { TFormat::Flac, TFormat::Vorbis, TFormat::Opus, TFormat::M4A, TFormat::WMA }) {
        const std::string name = Info(format).Name;
        benchmark::RegisterBenchmark(("Vantor/" + name).c_str(), Ours, format, false)->Unit(benchmark::kMillisecond);
        if (format == TFormat::WMA)
            benchmark::RegisterBenchmark(("Vantor/" + name + "/deferred").c_str(), Ours, format, true)
                ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("Peer/" + name).c_str(), Peer, format)->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
