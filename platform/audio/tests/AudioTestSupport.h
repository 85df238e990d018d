#pragma once

#include "platform/audio/AudioEngine.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <numbers>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vantor::test {

inline std::string Fixture(const std::string& name) { return std::string(VANTOR_TEST_DATA) + "/audio/" + name; }

// A scratch folder for the running test, created on first use: the tests of one program run
// side by side, so files they write under the same name must not meet.
inline std::filesystem::path TempDir()
{
    const char* base = std::getenv("VANTOR_TEST_TMP");
    std::filesystem::path dir = base ? base : (std::filesystem::temp_directory_path() / "vantor-audio-test");
    if (const auto* info = ::testing::UnitTest::GetInstance()->current_test_info())
        dir /= std::string(info->test_suite_name()) + "." + info->name();
    std::filesystem::create_directories(dir);
    return dir;
}

// Sets an environment variable for the lifetime of the object (SDL's disk audio driver is
// chosen this way).
class TScopedEnv {
public:
    TScopedEnv(const char* name, const std::string& value)
        : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        setenv(name, value.c_str(), 1);
    }
    ~TScopedEnv()
    {
        if (m_old)
            setenv(m_name, m_old->c_str(), 1);
        else
            unsetenv(m_name);
    }
    TScopedEnv(const TScopedEnv&) = delete;
    TScopedEnv& operator=(const TScopedEnv&) = delete;

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

inline void WriteBytes(const std::filesystem::path& path, const std::vector<char>& bytes)
{
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

inline std::vector<char> ReadBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// What SDL's disk audio driver recorded (interleaved stereo float), from the first sound on.
inline std::vector<float> RecordedSound(const std::filesystem::path& rawFile)
{
    const auto bytes = ReadBytes(rawFile);
    std::vector<float> samples(bytes.size() / sizeof(float));
    std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(float));
    size_t first = 0;
    while (first < samples.size() && std::abs(samples[first]) < 1e-4f)
        ++first;
    return std::vector<float>(samples.begin() + long(first & ~size_t(1)), samples.end());
}

// Writes a 16-bit PCM WAV file whose samples come from signal(seconds, channel).
inline void WriteWav(const std::filesystem::path& path, int rate, int channels, double seconds,
    const std::function<double(double, int)>& signal)
{
    const auto frames = static_cast<uint32_t>(std::lround(seconds * rate));
    const uint32_t dataSize = frames * channels * 2;
    std::vector<char> out;
    auto put = [&out](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out.push_back(char((value >> (8 * i)) & 0xFF));
    };
    out.insert(out.end(), { 'R', 'I', 'F', 'F' });
    put(36 + dataSize, 4);
    out.insert(out.end(), { 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ' });
    put(16, 4);
    put(1, 2);
    put(channels, 2);
    put(rate, 4);
    put(rate * channels * 2, 4);
    put(channels * 2, 2);
    put(16, 2);
    out.insert(out.end(), { 'd', 'a', 't', 'a' });
    put(dataSize, 4);
    for (uint32_t i = 0; i < frames; ++i) {
        for (int ch = 0; ch < channels; ++ch) {
            const double v = std::clamp(signal(double(i) / rate, ch), -1.0, 1.0);
            put(uint32_t(int32_t(std::lround(v * 32767.0))) & 0xFFFF, 2);
        }
    }
    WriteBytes(path, out);
}

// A sine on every channel.
inline std::function<double(double, int)> Sine(double frequency, double amplitude)
{
    return [=](double t, int) { return amplitude * std::sin(2.0 * std::numbers::pi * frequency * t); };
}

// Ten one-second tones, 200 Hz in second 0 up to 1100 Hz in second 9.
inline double StepFrequency(double second) { return 200.0 + 100.0 * std::floor(second); }

// Amplitude of one frequency in a channel of interleaved stereo, over frames [begin, begin+count).
inline double ToneAmplitude(
    std::span<const float> stereo, int channel, double frequency, int rate, size_t begin, size_t count)
{
    if ((begin + count) * 2 > stereo.size())
        return -1.0;
    double re = 0.0;
    double im = 0.0;
    for (size_t i = 0; i < count; ++i) {
        const double phase = 2.0 * std::numbers::pi * frequency * double(i) / rate;
        const double x = stereo[2 * (begin + i) + channel];
        re += x * std::cos(phase);
        im -= x * std::sin(phase);
    }
    return 2.0 * std::hypot(re, im) / double(count);
}

inline double Db(double ratio) { return 20.0 * std::log10(ratio); }

// An engine on a manual null output that records everything it renders.
struct TManualEngine {
    TManualEngine()
    {
        TNullOutputOptions options;
        options.Clock = TNullOutputOptions::TClock::Manual;
        options.Capture = [out = Output](
                              std::span<const float> block) { out->insert(out->end(), block.begin(), block.end()); };
        Engine.InitNull(options);
    }

    // Renders until the stream stops or the time is up; returns the seconds rendered.
    double PlayOut(TChannelHandle handle, double limit = 30.0)
    {
        double rendered = 0.0;
        while (rendered < limit && Engine.ChannelIsActive(handle) == TChannelState::Playing) {
            Engine.Advance(0.05);
            rendered += 0.05;
        }
        return rendered;
    }

    std::span<const float> Captured() const { return *Output; }

    std::shared_ptr<std::vector<float>> Output = std::make_shared<std::vector<float>>();
    TAudioEngine Engine;
};

}
