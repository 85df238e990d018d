// Reads title, artist, album, track, the front cover and the audio attributes
// of 3,000 typical MP3 files (ID3v2.3 with a 100 KB cover, ID3v1), warm cache,
// once through TTags and once through the peer library. The files are generated
// into a scratch folder when the program starts.

#include "tags/Tags.h"
#include "tags/io/FileStream.h"

#include <benchmark/benchmark.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <unistd.h>

namespace {

constexpr int FileCount = 3000;

std::vector<std::string>& Files()
{
    static std::vector<std::string> files;
    return files;
}

std::filesystem::path ScratchFolder()
{
    return std::filesystem::temp_directory_path() / ("vantor-tags-bench-" + std::to_string(::getpid()));
}

void MakeFiles()
{
    using namespace vantor;
    const std::filesystem::path dir = ScratchFolder();
    std::filesystem::create_directories(dir);
    const std::string first = (dir / "track-0000.mp3").string();
    std::filesystem::copy_file(std::string(VANTOR_SOURCE_DIR) + "/tests/data/audio/sine.mp3", first,
        std::filesystem::copy_options::overwrite_existing);
    // A 100 KB "JPEG": the signature, then noise that does not compress.
    std::vector<uint8_t> cover(100 * 1024);
    std::mt19937 random(7);
    for (auto& b : cover)
        b = uint8_t(random());
    cover[0] = 0xFF;
    cover[1] = 0xD8;
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

BENCHMARK(BM_VantorTags)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeerLibrary)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    MakeFiles();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(ScratchFolder());
    return 0;
}
