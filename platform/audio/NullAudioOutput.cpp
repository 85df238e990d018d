#include "platform/audio/NullAudioOutput.h"

#include "platform/audio/Mixer.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace vantor {

namespace {
constexpr int kBlocksPerSecond = 100;
}

TNullAudioOutput::TNullAudioOutput(TNullOutputOptions options, int sampleRate, TMixer& mixer)
    : m_options(std::move(options))
    , m_rate(sampleRate)
    , m_mixer(mixer)
    , m_buffer(2 * static_cast<size_t>(sampleRate / kBlocksPerSecond))
{
    if (m_options.Clock != TNullOutputOptions::TClock::Manual)
        m_thread = std::thread([this] { Run(); });
}

TNullAudioOutput::~TNullAudioOutput()
{
    m_stop.store(true, std::memory_order_release);
    if (m_thread.joinable())
        m_thread.join();
}

bool TNullAudioOutput::Advance(double seconds)
{
    if (m_options.Clock != TNullOutputOptions::TClock::Manual || !(seconds >= 0.0))
        return false;
    const int block = m_rate / kBlocksPerSecond;
    for (int64_t left = std::llround(seconds * m_rate); left > 0;) {
        const int frames = int(std::min<int64_t>(left, block));
        RenderBlock(frames);
        left -= frames;
    }
    return true;
}

void TNullAudioOutput::RenderBlock(int frames)
{
    m_played = m_mixer.Render(m_buffer.data(), frames, true);
    if (m_options.Capture)
        m_options.Capture(std::span<const float>(m_buffer.data(), 2 * static_cast<size_t>(frames)));
}

void TNullAudioOutput::Run()
{
    using Clock = std::chrono::steady_clock;
    const int block = m_rate / kBlocksPerSecond;
    const double speed = m_options.Speed > 0.0 ? m_options.Speed : 1.0;
    const auto start = Clock::now();
    int64_t rendered = 0;
    while (!m_stop.load(std::memory_order_acquire)) {
        RenderBlock(block);
        rendered += block;
        if (m_options.Clock == TNullOutputOptions::TClock::RealTime) {
            const std::chrono::duration<double> due(double(rendered) / (m_rate * speed));
            std::this_thread::sleep_until(start + std::chrono::duration_cast<Clock::duration>(due));
        } else if (!m_played) {
            // Free running with nothing to play: do not spin.
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
}

}
