#include "platform/audio/SdlAudioOutput.h"

#include "platform/audio/Mixer.h"

#include <SDL.h>

namespace vantor {

namespace {
constexpr int kDeviceFrames = 1024; // about 23 ms at 44.1 kHz
}

std::unique_ptr<TSdlAudioOutput> TSdlAudioOutput::Open(int sampleRate, TMixer& mixer)
{
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return nullptr;
    std::unique_ptr<TSdlAudioOutput> output(new TSdlAudioOutput(mixer));
    SDL_AudioSpec wanted {};
    wanted.freq = sampleRate;
    wanted.format = AUDIO_F32SYS;
    wanted.channels = 2;
    wanted.samples = kDeviceFrames;
    wanted.callback = &TSdlAudioOutput::Callback;
    wanted.userdata = output.get();
    SDL_AudioSpec obtained {};
    output->m_device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (output->m_device == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return nullptr;
    }
    SDL_PauseAudioDevice(output->m_device, 0);
    return output;
}

TSdlAudioOutput::~TSdlAudioOutput()
{
    // Closing waits for the device thread, so no callback runs after this.
    SDL_CloseAudioDevice(m_device);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool TSdlAudioOutput::Lost() const
{
    // SDL reports a device it has disabled after losing it as stopped.
    return SDL_GetAudioDeviceStatus(m_device) == SDL_AUDIO_STOPPED;
}

void TSdlAudioOutput::Callback(void* user, uint8_t* stream, int length)
{
    auto* self = static_cast<TSdlAudioOutput*>(user);
    const int frames = length / int(2 * sizeof(float));
    self->m_mixer.Render(reinterpret_cast<float*>(stream), frames, false);
}

}
