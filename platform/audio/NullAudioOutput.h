#pragma once

#include "platform/audio/AudioEngine.h"
#include "platform/audio/AudioOutput.h"

#include <atomic>
#include <thread>
#include <vector>

namespace vantor {

class TMixer;

// An output without a device. Its clock is the audio it renders: it waits for the decoders
// instead of skipping, so positions follow rendered time exactly.
class TNullAudioOutput : public TAudioOutput {
public:
    TNullAudioOutput(TNullOutputOptions options, int sampleRate, TMixer& mixer);
    ~TNullAudioOutput() override;

    bool Advance(double seconds) override;

private:
    void Run();
    void RenderBlock(int frames);

    TNullOutputOptions m_options;
    const int m_rate;
    TMixer& m_mixer;
    std::vector<float> m_buffer;
    bool m_played = false;
    std::atomic<bool> m_stop { false };
    std::thread m_thread;
};

}
