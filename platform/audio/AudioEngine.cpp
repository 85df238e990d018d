#include "platform/audio/AudioEngine.h"

#include "platform/audio/AudioStream.h"
#include "platform/audio/FFmpegLibrary.h"
#include "platform/audio/Mixer.h"
#include "platform/audio/NullAudioOutput.h"
#include "platform/audio/SdlAudioOutput.h"
#include "platform/audio/StreamRenderer.h"

#include <cmath>
#include <vector>

namespace vantor {

namespace {

bool ValidEq(const TPeakingEqParams& p, int outputRate)
{
    // Written as ranges that hold, so NaN (which would poison the filter state) fails them.
    return p.Center >= 80.0f && p.Center <= 16000.0f && p.Center < 0.5f * float(outputRate) && p.Bandwidth >= 1.0f
        && p.Bandwidth <= 36.0f && p.Gain >= -15.0f && p.Gain <= 15.0f;
}

}

TAudioEngine::TAudioEngine() = default;

TAudioEngine::~TAudioEngine()
{
    Free();
    if (m_preload.joinable())
        m_preload.join();
}

bool TAudioEngine::Init(int sampleRate)
{
    if (m_output || sampleRate <= 0)
        return false;
    auto mixer = std::make_unique<TMixer>();
    auto output = TSdlAudioOutput::Open(sampleRate, *mixer);
    if (!output)
        return false;
    m_mixer = std::move(mixer);
    m_output = std::move(output);
    m_outputRate = sampleRate;
    m_deviceOutput = true;
    return true;
}

bool TAudioEngine::KeepOutput()
{
    if (!m_deviceOutput || (m_output && !m_output->Lost()))
        return m_output != nullptr;
    // The lost device's thread ends before the new one starts calling the mixer.
    m_output.reset();
    m_output = TSdlAudioOutput::Open(m_outputRate, *m_mixer);
    return m_output != nullptr;
}

bool TAudioEngine::InitNull(TNullOutputOptions options, int sampleRate)
{
    if (m_output || sampleRate < 100)
        return false;
    m_mixer = std::make_unique<TMixer>();
    m_output = std::make_unique<TNullAudioOutput>(std::move(options), sampleRate, *m_mixer);
    m_outputRate = sampleRate;
    return true;
}

void TAudioEngine::Free()
{
    std::vector<TChannelHandle> handles;
    for (const auto& entry : m_streams)
        handles.push_back(entry.first);
    for (TChannelHandle handle : handles)
        StreamFree(handle);
    m_output.reset();
    m_mixer.reset();
    m_outputRate = 0;
    m_deviceOutput = false;
}

bool TAudioEngine::Advance(double seconds) { return m_output && m_output->Advance(seconds); }

void TAudioEngine::PreloadDecoding()
{
    if (!m_preload.joinable())
        m_preload = std::thread([] { FFmpeg(); });
}

uint32_t TAudioEngine::NextHandle()
{
    do {
        ++m_lastHandle;
    } while (m_lastHandle == 0 || m_streams.count(m_lastHandle) || m_effects.count(m_lastHandle));
    return m_lastHandle;
}

TChannelHandle TAudioEngine::Register(std::unique_ptr<TAudioStream> stream)
{
    if (!stream || !m_mixer->Attach(&stream->Renderer()))
        return 0;
    const TChannelHandle handle = NextHandle();
    m_streams.emplace(handle, std::move(stream));
    return handle;
}

TChannelHandle TAudioEngine::StreamCreateFile(const std::string& path)
{
    if (!m_output || path.empty())
        return 0;
    TMediaSource source;
    source.Path = path;
    return Register(TAudioStream::Open(source, m_outputRate));
}

TChannelHandle TAudioEngine::StreamCreateMemory(std::span<const std::byte> bytes)
{
    if (!m_output || bytes.empty())
        return 0;
    TMediaSource source;
    source.Bytes = std::make_shared<const std::vector<std::byte>>(bytes.begin(), bytes.end());
    return Register(TAudioStream::Open(source, m_outputRate));
}

bool TAudioEngine::StreamFree(TChannelHandle handle)
{
    auto it = m_streams.find(handle);
    if (it == m_streams.end())
        return false;
    // Unlinked before the detach, whose wait covers a hand-over that took the link just now.
    TStreamRenderer* renderer = &it->second->Renderer();
    for (const auto& entry : m_streams) {
        if (entry.second->Renderer().Next() == renderer)
            entry.second->Renderer().SetNext(nullptr);
    }
    m_mixer->Detach(renderer);
    std::erase_if(m_effects, [handle](const auto& entry) { return entry.second.Stream == handle; });
    m_streams.erase(it);
    return true;
}

TAudioStream* TAudioEngine::Find(TChannelHandle handle) const
{
    auto it = m_streams.find(handle);
    return it == m_streams.end() ? nullptr : it->second.get();
}

bool TAudioEngine::ChannelPlay(TChannelHandle handle, bool restart)
{
    TAudioStream* stream = Find(handle);
    return stream && stream->Play(restart);
}

bool TAudioEngine::ChannelPause(TChannelHandle handle)
{
    TAudioStream* stream = Find(handle);
    return stream && stream->Pause();
}

bool TAudioEngine::ChannelStop(TChannelHandle handle)
{
    TAudioStream* stream = Find(handle);
    if (!stream)
        return false;
    stream->Stop();
    return true;
}

TChannelState TAudioEngine::ChannelIsActive(TChannelHandle handle) const
{
    const TAudioStream* stream = Find(handle);
    return stream ? stream->State() : TChannelState::Stopped;
}

int64_t TAudioEngine::ChannelGetLength(TChannelHandle handle) const
{
    const TAudioStream* stream = Find(handle);
    return stream ? stream->LengthBytes() : -1;
}

int64_t TAudioEngine::ChannelGetPosition(TChannelHandle handle) const
{
    const TAudioStream* stream = Find(handle);
    return stream ? stream->PositionBytes() : -1;
}

uint32_t TAudioEngine::ChannelGetUnderruns(TChannelHandle handle) const
{
    const TAudioStream* stream = Find(handle);
    return stream ? stream->Underruns() : 0;
}

bool TAudioEngine::ChannelSetPosition(TChannelHandle handle, int64_t bytes)
{
    TAudioStream* stream = Find(handle);
    return stream && stream->SetPositionBytes(bytes);
}

double TAudioEngine::ChannelBytes2Seconds(TChannelHandle handle, int64_t bytes) const
{
    const TAudioStream* stream = Find(handle);
    return stream && bytes >= 0 ? stream->BytesToSeconds(bytes) : -1.0;
}

bool TAudioEngine::ChannelSetAttribute(TChannelHandle handle, TChannelAttribute attribute, float value)
{
    TAudioStream* stream = Find(handle);
    if (!stream || std::isnan(value))
        return false;
    switch (attribute) {
    case TChannelAttribute::Volume: stream->SetVolume(value); return true;
    case TChannelAttribute::Pan: stream->SetPan(value); return true;
    }
    return false;
}

bool TAudioEngine::ChannelGetAttribute(TChannelHandle handle, TChannelAttribute attribute, float& value) const
{
    const TAudioStream* stream = Find(handle);
    if (!stream)
        return false;
    switch (attribute) {
    case TChannelAttribute::Volume: value = stream->Volume(); return true;
    case TChannelAttribute::Pan: value = stream->Pan(); return true;
    }
    return false;
}

bool TAudioEngine::ChannelSetGain(TChannelHandle handle, float factor)
{
    TAudioStream* stream = Find(handle);
    if (!stream || std::isnan(factor))
        return false;
    stream->SetGain(factor);
    return true;
}

bool TAudioEngine::ChannelSetNext(TChannelHandle handle, TChannelHandle next)
{
    TAudioStream* stream = Find(handle);
    TAudioStream* following = Find(next);
    if (!stream || (next != 0 && (!following || following == stream)))
        return false;
    if (following)
        following->PrepareToFollow();
    stream->Renderer().SetNext(following ? &following->Renderer() : nullptr);
    return true;
}

TFxHandle TAudioEngine::ChannelSetFX(TChannelHandle handle, TEffectType type, int)
{
    TAudioStream* stream = Find(handle);
    if (!stream || type != TEffectType::ParamEq)
        return 0;
    const int slot = stream->AddFx();
    if (slot < 0)
        return 0;
    const TFxHandle fx = NextHandle();
    m_effects.emplace(fx, TFxRef { handle, slot });
    return fx;
}

bool TAudioEngine::FXSetParameters(TFxHandle fx, const TPeakingEqParams& params)
{
    auto it = m_effects.find(fx);
    if (it == m_effects.end() || !ValidEq(params, m_outputRate))
        return false;
    Find(it->second.Stream)->SetFx(it->second.Slot, params);
    return true;
}

bool TAudioEngine::FXGetParameters(TFxHandle fx, TPeakingEqParams& params) const
{
    auto it = m_effects.find(fx);
    if (it == m_effects.end())
        return false;
    params = Find(it->second.Stream)->Fx(it->second.Slot);
    return true;
}

bool TAudioEngine::ChannelRemoveFX(TChannelHandle handle, TFxHandle fx)
{
    auto it = m_effects.find(fx);
    if (it == m_effects.end() || it->second.Stream != handle)
        return false;
    Find(handle)->RemoveFx(it->second.Slot);
    m_effects.erase(it);
    return true;
}

}
