#pragma once

#include "platform/audio/AudioOutput.h"

#include <cstdint>
#include <memory>

namespace vantor {

class TMixer;

// The default SDL audio device (PipeWire, PulseAudio or ALSA, whichever SDL finds), stereo
// float at the requested rate; SDL converts when the device wants another format.
class TSdlAudioOutput : public TAudioOutput {
public:
    static std::unique_ptr<TSdlAudioOutput> Open(int sampleRate, TMixer& mixer);
    ~TSdlAudioOutput() override;
    bool Lost() const override;

private:
    explicit TSdlAudioOutput(TMixer& mixer)
        : m_mixer(mixer)
    {
    }
    static void Callback(void* user, uint8_t* stream, int length);

    TMixer& m_mixer;
    uint32_t m_device = 0;
};

}
