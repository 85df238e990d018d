// Reads title, artist, album, track, the front cover and the audio attributes
// of 3,000 typical MP3 files (ID3v2.3 with a 100 KB cover, ID3v1), warm cache,
// once through TTags and once through the peer library. The files are generated
// into a scratch folder when the program starts.
//
// Then the same on a mixed corpus of 3,000 files, six kinds taking turns as in an album
// folder (MP3 with ID3v2.3 and ID3v1, MP3 with ID3v2.4 and a 100 KB cover, FLAC with a cover,
// Ogg Vorbis, Opus, M4A with a cover): reading one kind at a time hides what a file of one
// kind leaves behind for the next. TTags reads it with the pictures and as a listing does,
// with their bytes left in the files; the peer through its generic file reference.

#include "tags/Tags.h"
#include "tags/id3v2/ID3v2Tag.h"
#include "tags/io/FileStream.h"

#include <benchmark/benchmark.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/fileref.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tag.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int FileCount = 3000;

std::vector<std::string>& Files()
{
    static std::vector<std::string> files;
    return files;
}

std::vector<std::string>& MixedFiles()
{
    static std::vector<std::string> files;
    return files;
}

std::filesystem::path ScratchFolder()
{
    return std::filesystem::temp_directory_path() / ("vantor-tags-bench-" + std::to_string(::getpid()));
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

struct TKind {
    const char* Name;
    const char* Encoder; // ffmpeg arguments
    const char* Extension;
    bool Cover;
};

const TKind Kinds[] = {
    { "mp3v23", "-c:a libmp3lame -b:a 128k", ".mp3", false },
    { "mp3v24", "-c:a libmp3lame -b:a 128k", ".mp3", true },
    { "flac", "-c:a flac", ".flac", true },
    { "vorbis", "-c:a libvorbis -q:a 4", ".ogg", false },
    { "opus", "-c:a libopus -b:a 96k", ".opus", false },
    { "m4a", "-c:a aac -b:a 128k", ".m4a", true },
};

// One file of the kind: ten seconds of a tone, tagged like a ripped album track.
void MakeKind(const TKind& kind, const std::string& path)
{
    using namespace vantor;
    const std::string command = "ffmpeg -v error -nostdin -y -f lavfi -i 'sine=frequency=440:duration=10' -ac 2 "
        + std::string(kind.Encoder) + " '" + path + "'";
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "cannot run: %s\n", command.c_str());
        std::exit(1);
    }
    TTags tags;
    tags.LoadFromFile(path);
    tags.SetTag("TITLE", "A typical title");
    tags.SetTag("ARTIST", "A typical artist");
    tags.SetTag("ALBUM", "A typical album");
    tags.SetTag("TRACKNUMBER", "7");
    tags.SetTag("GENRE", "Rock");
    tags.SetTag("YEAR", "2024");
    const std::vector<uint8_t> cover = Cover();
    TMemoryView picture(cover.data(), cover.size());
    if (kind.Cover)
        tags.AddCoverArt("Cover art 1", picture, "image/jpeg")->CoverType = 3;
    const bool mp3 = std::string(kind.Extension) == ".mp3";
    if (mp3)
        tags.ID3v2Tag->MajorVersion = kind.Cover ? 4 : 3;
    if (tags.SaveToFile(path, mp3 ? ttID3v2 : ttAutomatic) != tlSuccess
        || (mp3 && !kind.Cover && tags.SaveToFile(path, ttID3v1) != tlSuccess)) {
        std::fprintf(stderr, "cannot tag %s\n", path.c_str());
        std::exit(1);
    }
}

void MakeMixedFiles()
{
    const std::filesystem::path dir = ScratchFolder() / "mixed";
    std::filesystem::create_directories(dir);
    std::vector<std::string> firsts;
    for (const TKind& kind : Kinds) {
        firsts.push_back((dir / (std::string(kind.Name) + kind.Extension)).string());
        MakeKind(kind, firsts.back());
    }
    for (int i = 0; i < FileCount; ++i) {
        const size_t k = size_t(i) % std::size(Kinds);
        char name[32];
        std::snprintf(name, sizeof name, "track-%04d", i);
        MixedFiles().push_back((dir / (name + std::string(Kinds[k].Extension))).string());
        std::filesystem::copy_file(firsts[k], MixedFiles().back(), std::filesystem::copy_options::overwrite_existing);
    }
}

void MakeFiles()
{
    using namespace vantor;
    const std::filesystem::path dir = ScratchFolder();
    std::filesystem::create_directories(dir);
    const std::string first = (dir / "track-0000.mp3").string();
    std::filesystem::copy_file(std::string(VANTOR_SOURCE_DIR) + "/tests/data/audio/sine.mp3", first,
        std::filesystem::copy_options::overwrite_existing);
    const std::vector<uint8_t> cover = Cover();
    TTags tags;
    tags.SetTag("TITLE", "A typical title");
    tags.SetTag("ARTIST", "A typical artist");
    tags.SetTag("ALBUM", "A typical album");
    tags.SetTag("TRACKNUMBER", "7");
    tags.SetTag("TOTALTRACKS", "12");
    tags.SetTag("GENRE", "Rock");
    tags.SetTag("YEAR", "2024");
    TMemoryView picture(cover.data(), cover.size());
    tags.AddCoverArt("Cover art 1", picture, "image/jpeg")->CoverType = 3;
    if (tags.SaveToFile(first, ttID3v2) != tlSuccess || tags.SaveToFile(first, ttID3v1) != tlSuccess)
        std::abort();
    Files().push_back(first);
    for (int i = 1; i < FileCount; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "track-%04d.mp3", i);
        Files().push_back((dir / name).string());
        std::filesystem::copy_file(first, Files().back(), std::filesystem::copy_options::overwrite_existing);
    }
}

void BM_VantorTags(benchmark::State& state)
{
    for (auto _ : state) {
        size_t checksum = 0;
        for (const std::string& file : Files()) {
            vantor::TTags tags;
            tags.LoadFromFile(file);
            checksum += tags.GetTag("TITLE").size() + tags.GetTag("ARTIST").size() + tags.GetTag("ALBUM").size()
                + tags.GetTag("TRACKNUMBER").size();
            if (tags.CoverArtCount() > 0)
                checksum += tags.CoverArts[0]->Stream.Size();
            const auto& audio = *tags.SourceAudioAttributes;
            checksum += size_t(audio.PlayTime() * 1000) + audio.BitRate() + audio.SamplesPerSec() + audio.Channels();
        }
        benchmark::DoNotOptimize(checksum);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * FileCount);
}

void BM_PeerLibrary(benchmark::State& state)
{
    for (auto _ : state) {
        size_t checksum = 0;
        for (const std::string& file : Files()) {
            TagLib::MPEG::File mp3(file.c_str(), true, TagLib::AudioProperties::Average);
            if (TagLib::Tag* tag = mp3.tag())
                checksum += tag->title().size() + tag->artist().size() + tag->album().size() + tag->track();
            if (TagLib::ID3v2::Tag* id3v2 = mp3.ID3v2Tag()) {
                const auto& pictures = id3v2->frameListMap()["APIC"];
                if (!pictures.isEmpty())
                    checksum += static_cast<TagLib::ID3v2::AttachedPictureFrame*>(pictures.front())->picture().size();
            }
            if (const auto* audio = mp3.audioProperties())
                checksum += size_t(audio->lengthInMilliseconds()) + size_t(audio->bitrate())
                    + size_t(audio->sampleRate()) + size_t(audio->channels());
        }
        benchmark::DoNotOptimize(checksum);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * FileCount);
}

// The mixed corpus through TTags: with the picture bytes, or as a listing reads (deferred).
void BM_VantorTagsMixed(benchmark::State& state)
{
    const bool deferred = state.range(0) != 0;
    for (auto _ : state) {
        size_t checksum = 0;
        for (const std::string& file : MixedFiles()) {
            vantor::TTags tags;
            tags.DeferPictureData = deferred;
            tags.ParseOggPlayTime = true;
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
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(MixedFiles().size()));
}

void BM_PeerLibraryMixed(benchmark::State& state)
{
    for (auto _ : state) {
        size_t checksum = 0;
        for (const std::string& file : MixedFiles()) {
            TagLib::FileRef ref(file.c_str(), true, TagLib::AudioProperties::Average);
            if (const TagLib::Tag* tag = ref.tag())
                checksum += tag->title().size() + tag->artist().size() + tag->album().size() + tag->track();
            if (const auto* audio = ref.audioProperties())
                checksum += size_t(audio->lengthInMilliseconds()) + size_t(audio->bitrate())
                    + size_t(audio->sampleRate()) + size_t(audio->channels());
        }
        benchmark::DoNotOptimize(checksum);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(MixedFiles().size()));
}

BENCHMARK(BM_VantorTags)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeerLibrary)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VantorTagsMixed)->ArgName("deferred")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeerLibraryMixed)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    MakeFiles();
    MakeMixedFiles();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(ScratchFolder());
    return 0;
}
