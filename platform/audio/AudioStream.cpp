#include "platform/audio/AudioStream.h"

#include "platform/audio/Decoder.h"
#include "platform/audio/StreamDecoder.h"
#include "platform/audio/StreamRenderer.h"

#include <algorithm>

namespace vantor {

std::unique_ptr<TAudioStream> TAudioStream::Open(const TMediaSource& source, int outputRate)
{
    auto decoder = TDecoder::Open(source, outputRate);
    if (!decoder)
        return nullptr;
    std::unique_ptr<TAudioStream> stream(new TAudioStream);
    stream->m_shared = std::make_unique<TStreamShared>(
        decoder->SourceRate(), decoder->SourceChannels(), outputRate, decoder->EstimatedFrames());
    stream->m_renderer = std::make_unique<TStreamRenderer>(*stream->m_shared);
    stream->m_decoder = std::make_unique<TStreamDecoder>(*stream->m_shared, std::move(decoder));
    // The decoder starts filling the queue at once, so playback can begin without a wait.
    stream->m_thread = std::thread([d = stream->m_decoder.get()] { d->Run(); });
    return stream;
}

TAudioStream::~TAudioStream()
{
    m_shared->Quit.store(true, std::memory_order_release);
    m_shared->WakeDecoder();
    if (m_thread.joinable())
        m_thread.join();
}

bool TAudioStream::Ended() const
{
    const TProgress progress = TProgress::Unpack(m_shared->Progress.load(std::memory_order_acquire));
    return progress.Matches(m_shared->SeekSeq.load(std::memory_order_relaxed)) && progress.Ended;
}

void TAudioStream::Seek(int64_t frame)
{
    m_shared->SeekTarget.store(frame, std::memory_order_relaxed);
    m_shared->SeekSeq.fetch_add(1, std::memory_order_release);
    m_shared->WakeDecoder();
}

bool TAudioStream::Play(bool restart)
{
    if (restart || Ended())
        Seek(0);
    m_shared->State.store(int(TPlayState::Playing), std::memory_order_release);
    return true;
}

bool TAudioStream::Pause()
{
    if (State() != TChannelState::Playing)
        return false;
    m_shared->State.store(int(TPlayState::Paused), std::memory_order_release);
    return true;
}

void TAudioStream::Stop() { m_shared->State.store(int(TPlayState::Stopped), std::memory_order_release); }

TChannelState TAudioStream::State() const
{
    switch (TPlayState(m_shared->State.load(std::memory_order_acquire))) {
    case TPlayState::Playing: return Ended() ? TChannelState::Stopped : TChannelState::Playing;
    case TPlayState::Paused: return TChannelState::Paused;
    case TPlayState::Stopped: break;
    }
    return TChannelState::Stopped;
}

int64_t TAudioStream::LengthBytes() const
{
    return m_shared->LengthFrames.load(std::memory_order_acquire) * BytesPerFrame();
}

int64_t TAudioStream::PositionBytes() const
{
    const uint32_t seq = m_shared->SeekSeq.load(std::memory_order_relaxed);
    const TProgress progress = TProgress::Unpack(m_shared->Progress.load(std::memory_order_acquire));
    // Until the output has played audio from a new position, that position is the answer.
    if (!progress.Matches(seq))
        return m_shared->SeekTarget.load(std::memory_order_relaxed) * BytesPerFrame();
    const int64_t length = m_shared->LengthFrames.load(std::memory_order_acquire);
    int64_t frame = progress.Frame;
    // The container's length can be short of the real one; the end is only reported at the end.
    if (!progress.Ended)
        frame = std::min(frame, std::max<int64_t>(length - 1, 0));
    return frame * BytesPerFrame();
}

bool TAudioStream::SetPositionBytes(int64_t bytes)
{
    if (bytes < 0)
        return false;
    const int64_t frame = bytes / BytesPerFrame();
    if (frame > m_shared->LengthFrames.load(std::memory_order_acquire))
        return false;
    // A stream that played to its end stays halted until it is played again.
    if (State() == TChannelState::Stopped)
        m_shared->State.store(int(TPlayState::Stopped), std::memory_order_release);
    Seek(frame);
    return true;
}

double TAudioStream::BytesToSeconds(int64_t bytes) const
{
    return double(bytes) / double(BytesPerFrame()) / double(m_shared->SourceRate);
}

uint32_t TAudioStream::Underruns() const { return m_shared->Underruns.load(std::memory_order_relaxed); }

void TAudioStream::PrepareToFollow()
{
    if (Ended())
        Seek(0);
}

void TAudioStream::SetGain(float factor)
{
    m_shared->Gain.store(std::clamp(factor, 0.0f, 16.0f), std::memory_order_relaxed);
}

void TAudioStream::SetVolume(float volume)
{
    m_shared->Volume.store(std::clamp(volume, 0.0f, 1.0f), std::memory_order_relaxed);
}

void TAudioStream::SetPan(float pan) { m_shared->Pan.store(std::clamp(pan, -1.0f, 1.0f), std::memory_order_relaxed); }

float TAudioStream::Volume() const { return m_shared->Volume.load(std::memory_order_relaxed); }

float TAudioStream::Pan() const { return m_shared->Pan.load(std::memory_order_relaxed); }

int TAudioStream::AddFx()
{
    for (int i = 0; i < TStreamShared::kMaxFx; ++i) {
        if (m_fxUsed[i])
            continue;
        m_fxUsed[i] = true;
        TFxSlot& slot = m_shared->Fx[i];
        slot.Gain.store(0.0f, std::memory_order_relaxed);
        slot.Version.fetch_add(1, std::memory_order_release);
        slot.Serial.fetch_add(1, std::memory_order_release);
        slot.Active.store(true, std::memory_order_release);
        return i;
    }
    return -1;
}

void TAudioStream::SetFx(int slot, const TPeakingEqParams& params)
{
    TFxSlot& fx = m_shared->Fx[slot];
    fx.Center.store(params.Center, std::memory_order_relaxed);
    fx.Bandwidth.store(params.Bandwidth, std::memory_order_relaxed);
    fx.Gain.store(params.Gain, std::memory_order_relaxed);
    fx.Version.fetch_add(1, std::memory_order_release);
}

TPeakingEqParams TAudioStream::Fx(int slot) const
{
    const TFxSlot& fx = m_shared->Fx[slot];
    return { fx.Center.load(std::memory_order_relaxed), fx.Bandwidth.load(std::memory_order_relaxed),
        fx.Gain.load(std::memory_order_relaxed) };
}

void TAudioStream::RemoveFx(int slot)
{
    m_fxUsed[slot] = false;
    m_shared->Fx[slot].Active.store(false, std::memory_order_release);
}

}
