#pragma once

// What several views do to playback alike: seeking and setting the volume. Each does nothing
// without a playing or paused stream (seeking) or without the settings (volume).

#include <cstdint>

namespace vantor {

struct TViewContext;

// Moves the stream to a byte position, kept within the track.
void SeekTo(const TViewContext& context, int64_t bytes);
// Moves the stream by a number of seconds, forward or back.
void SeekBy(const TViewContext& context, double seconds);
// Sets "Volume" (kept within 0..1) and unmutes; the stream follows.
void SetVolume(const TViewContext& context, double volume);
// Sets the output volume of the stream from the settings (0 while muted).
void ApplyVolume(const TViewContext& context);

}
