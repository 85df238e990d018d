#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <thread>
#include <unordered_map>

namespace vantor {

class TMixer;
class TAudioOutput;
class TAudioStream;

// 32-bit handles of streams and effects; 0 is never a valid handle.
using TChannelHandle = uint32_t;
using TFxHandle = uint32_t;

enum class TChannelState { Stopped, Playing, Paused };

enum class TChannelAttribute {
    Volume = 2, // 0.0 (silent) to 1.0
    Pan = 3,    // -1.0 (left only) to +1.0 (right only)
};

enum class TEffectType {
    ParamEq = 7, // one peaking filter
};

// Parameters of a peaking filter. Accepted ranges: centre 80 Hz to 16 kHz (and below half the
// output rate), bandwidth 1 to 36 semitones, gain -15 to +15 dB.
struct TPeakingEqParams {
    float Center = 1000.0f;
    float Bandwidth = 12.0f;
    float Gain = 0.0f;
};

// Output without a device, for tests and tools. Time is the output's own clock: it renders
// whatever the playing streams provide and waits for their decoders rather than skipping.
struct TNullOutputOptions {
    enum class TClock {
        RealTime,    // renders at Speed times the real rate on its own thread
        FreeRunning, // renders as fast as the decoders deliver, on its own thread
        Manual,      // renders only inside TAudioEngine::Advance, on the caller's thread
    };
    TClock Clock = TClock::RealTime;
    double Speed = 1.0;
    // Receives every rendered block (interleaved stereo float at the output rate), on the
    // thread that renders it.
    std::function<void(std::span<const float>)> Capture;
};

// The audio engine: decodes files with FFmpeg on one thread per stream, mixes the playing
// streams with their effects, volume and pan, and plays the mix through SDL or a null output.
// Positions and lengths are bytes of the decoded stream as 16-bit samples at the file's own
// rate and channel count; a stream that has played to its end reports a position equal to its
// length and the state Stopped.
//
// Every call must come from one thread (the UI thread). Calls on handle 0, on a freed handle or
// before Init fail without effect. Decoding and output never run on the calling thread, and no
// call waits for them except StreamFree and Free (which end a decoder thread).
class TAudioEngine {
public:
    TAudioEngine();
    ~TAudioEngine();
    TAudioEngine(const TAudioEngine&) = delete;
    TAudioEngine& operator=(const TAudioEngine&) = delete;

    // Opens the default output device at sampleRate (stereo); false when no device could be
    // opened or the engine is already initialised.
    bool Init(int sampleRate = 44100);
    // Uses a null output instead of a device.
    bool InitNull(TNullOutputOptions options, int sampleRate = 44100);
    // Frees every stream and closes the output.
    void Free();
    bool IsInitialized() const { return m_output != nullptr; }
    int OutputRate() const { return m_outputRate; }

    // When the device has gone away, opens the default device again; the streams carry on
    // there. True while an output works. Called now and then by the UI thread.
    bool KeepOutput();
    // Manual null output only: renders the given span of output time, waiting for the decoders
    // as needed. False with any other output.
    bool Advance(double seconds);

    // Loads FFmpeg on a thread of its own, so that the first stream created later does not
    // wait for it (the libraries load on first use otherwise). Does nothing when called again.
    void PreloadDecoding();

    // Creates a stopped stream at position 0; 0 when the file cannot be opened or holds no
    // decodable audio.
    TChannelHandle StreamCreateFile(const std::string& path);
    // The same from bytes in memory (copied).
    TChannelHandle StreamCreateMemory(std::span<const std::byte> bytes);
    // Stops output of the stream and releases the handle and its effects.
    bool StreamFree(TChannelHandle handle);

    // Starts or resumes playback where it halted; restart (or a stream that has played to its
    // end) starts from the beginning.
    bool ChannelPlay(TChannelHandle handle, bool restart = false);
    // Halts a playing stream; false when it is not playing.
    bool ChannelPause(TChannelHandle handle);
    // Halts the stream; its position is kept.
    bool ChannelStop(TChannelHandle handle);
    // Stopped for an invalid handle.
    TChannelState ChannelIsActive(TChannelHandle handle) const;

    // Bytes; -1 for an invalid handle. The length is the container's duration until the decoder
    // reaches the end, then the exact decoded length.
    int64_t ChannelGetLength(TChannelHandle handle) const;
    int64_t ChannelGetPosition(TChannelHandle handle) const;
    // Moves playback to a byte position (rounded down to a whole frame) within 0..length; the
    // new position is reported at once and heard within one output period.
    bool ChannelSetPosition(TChannelHandle handle, int64_t bytes);
    // Output periods in which the playing stream's decoder had too little ready (heard as a
    // gap); 0 for an invalid handle.
    uint32_t ChannelGetUnderruns(TChannelHandle handle) const;
    // Seconds of a byte count of the stream; -1 for an invalid handle.
    double ChannelBytes2Seconds(TChannelHandle handle, int64_t bytes) const;

    // Volume and pan, clamped to their ranges; effective immediately, also while playing.
    bool ChannelSetAttribute(TChannelHandle handle, TChannelAttribute attribute, float value);
    bool ChannelGetAttribute(TChannelHandle handle, TChannelAttribute attribute, float& value) const;

    // A fixed gain applied before volume and pan (ReplayGain), as a factor from 0 to 16; 1
    // when never set. Effective immediately.
    bool ChannelSetGain(TChannelHandle handle, float factor);

    // Gapless playback: when handle has played to its end, next starts playing with the
    // following output sample, inside the same output period; its rate and channels may
    // differ, as every stream is converted to the output's format. A link is used once, and a
    // stream has one link at most (a later call replaces it); next 0 removes it. Freeing either
    // stream removes the link. With handle already at its end, next starts at once.
    bool ChannelSetNext(TChannelHandle handle, TChannelHandle next);

    // Adds a flat peaking filter to the stream; 0 on failure. Priority is accepted for the call
    // shape only: the filters are linear, so their order does not change the result.
    TFxHandle ChannelSetFX(TChannelHandle handle, TEffectType type, int priority);
    bool FXSetParameters(TFxHandle fx, const TPeakingEqParams& params);
    bool FXGetParameters(TFxHandle fx, TPeakingEqParams& params) const;
    bool ChannelRemoveFX(TChannelHandle handle, TFxHandle fx);

private:
    bool Start(std::unique_ptr<TAudioOutput> output, int sampleRate);
    TChannelHandle Register(std::unique_ptr<TAudioStream> stream);
    TAudioStream* Find(TChannelHandle handle) const;
    uint32_t NextHandle();

    struct TFxRef {
        TChannelHandle Stream;
        int Slot;
    };

    std::unique_ptr<TMixer> m_mixer;
    std::unique_ptr<TAudioOutput> m_output;
    std::unordered_map<TChannelHandle, std::unique_ptr<TAudioStream>> m_streams;
    std::unordered_map<TFxHandle, TFxRef> m_effects;
    uint32_t m_lastHandle = 0;
    int m_outputRate = 0;
    bool m_deviceOutput = false;
    std::thread m_preload; // joined by the destructor
};

}
