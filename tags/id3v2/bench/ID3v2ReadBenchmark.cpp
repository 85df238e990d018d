// Reading the tag and the audio properties of MP3 files shaped like a music library: an
// ID3v2.3 tag with ten text frames and a 100 KB cover, MPEG audio with a Xing header, and an
// ID3v1 tag at the end.

#include "tags/id3v2/ID3v2Tag.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace {

using namespace vantor;
namespace fs = std::filesystem;

constexpr int FileCount = 300;

std::vector<uint8_t> MakeFile(std::mt19937& Random, int Index)
{
    TID3v2Tag Tag;
    for (const char* Id : { "TIT2", "TPE1", "TALB", "TPE2", "TCON", "TYER", "TRCK", "TCOM", "TENC", "TSSE" })
        Tag.SetUnicodeText(Id, std::string(Id) + " value of file " + std::to_string(Index));
    std::vector<uint8_t> Cover(100 * 1024);
    for (auto& B : Cover)
        B = uint8_t(Random());
    Cover[0] = 0xFF, Cover[1] = 0xD8;
    Tag.SetUnicodeCoverPictureFromStream(Tag.AddFrame("APIC"), "front", Cover, "image/jpeg", 3);
    std::vector<uint8_t> File;
    Tag.SaveTagToStream(File, 1024);
    std::vector<uint8_t> Audio(400 * 1024);
    for (size_t I = 0; I < Audio.size(); I += 418) {
        const uint8_t Header[4] = { 0xFF, 0xFB, 0x90, 0x64 };
        std::copy(Header, Header + 4, Audio.begin() + ptrdiff_t(I));
    }
    const char Xing[] = "Xing\0\0\0\x03\0\0\x03\xE8\0\x06\x40\0";
    std::copy(Xing, Xing + 16, Audio.begin() + 36);
    File.insert(File.end(), Audio.begin(), Audio.end());
    std::vector<uint8_t> ID3v1(128, 0);
    ID3v1[0] = 'T', ID3v1[1] = 'A', ID3v1[2] = 'G';
    File.insert(File.end(), ID3v1.begin(), ID3v1.end());
    return File;
}

const std::vector<fs::path>& Files()
{
    static const std::vector<fs::path> Paths = [] {
        const fs::path Dir = fs::temp_directory_path() / "vantor-id3v2-bench";
        fs::create_directories(Dir);
        std::mt19937 Random(1);
        std::vector<fs::path> Out;
        for (int I = 0; I < FileCount; ++I) {
            Out.push_back(Dir / ("track" + std::to_string(I) + ".mp3"));
            if (fs::exists(Out.back()))
                continue;
            const std::vector<uint8_t> Bytes = MakeFile(Random, I);
            std::ofstream(Out.back(), std::ios::binary)
                .write(reinterpret_cast<const char*>(Bytes.data()), std::streamsize(Bytes.size()));
        }
        return Out;
    }();
    return Paths;
}

void ReadTagsAndAudio(benchmark::State& State)
{
    const std::vector<fs::path>& Paths = Files();
    for (auto _ : State) {
        for (const fs::path& P : Paths) {
            TID3v2Tag Tag;
            Tag.LoadFromFile(P);
            Tag.RemoveUnsynchronisationOnAllFrames();
            Tag.DeCompressAllFrames();
            benchmark::DoNotOptimize(Tag.GetUnicodeText("TIT2"));
            const uint8_t* Picture;
            size_t Size;
            std::string Mime, Description;
            uint32_t Type;
            uint8_t Encoding;
            Tag.GetCoverPictureInfoPointer(Tag.FrameExists("APIC"), Picture, Size, Mime, Description, Type, Encoding);
            benchmark::DoNotOptimize(Tag.AudioProperties());
        }
    }
    State.SetItemsProcessed(int64_t(State.iterations()) * FileCount);
}
BENCHMARK(ReadTagsAndAudio)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
