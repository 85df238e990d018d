#include "ui/views/PlaybackActions.h"

#include "platform/audio/AudioEngine.h"
#include "player/playback/PlaybackController.h"
#include "player/settings/Settings.h"
#include "ui/views/ViewContext.h"

#include <algorithm>
#include <cmath>

namespace vantor {

namespace {

TAudioEngine* StreamEngine(const TViewContext& context)
{
    TPlaybackController const* const playback = context.Playback;
    if (!playback || !playback->PlayingOrPaused() || !playback->AudioEngine || playback->StreamHandle == 0)
        return nullptr;
    return playback->AudioEngine;
}

}

void SeekTo(const TViewContext& context, int64_t bytes)
{
    TAudioEngine* const engine = StreamEngine(context);
    if (!engine)
        return;
    TPlaybackController& playback = *context.Playback;
    int64_t const position = std::clamp<int64_t>(bytes, 0, std::max<int64_t>(0, playback.TrackLastByte));
    if (!engine->ChannelSetPosition(playback.StreamHandle, position))
        return;
    playback.PlayPosition = position;
    if (playback.Hooks.Seeked)
        playback.Hooks.Seeked();
}

void SeekBy(const TViewContext& context, double seconds)
{
    TAudioEngine* const engine = StreamEngine(context);
    if (!engine)
        return;
    TPlaybackController const& playback = *context.Playback;
    // The engine counts bytes; a second is the same share of the length in both.
    double const length = engine->ChannelBytes2Seconds(playback.StreamHandle, playback.TrackLastByte);
    if (length <= 0)
        return;
    double const bytesPerSecond = static_cast<double>(playback.TrackLastByte) / length;
    SeekTo(context, playback.PlayPosition + static_cast<int64_t>(std::llround(seconds * bytesPerSecond)));
}

void SetVolume(const TViewContext& context, double volume)
{
    if (!context.Settings)
        return;
    context.Settings->Volume = std::clamp(volume, 0.0, 1.0);
    context.Settings->Muted = false;
    ApplyVolume(context);
}

void ApplyVolume(const TViewContext& context)
{
    TPlaybackController const* const playback = context.Playback;
    if (!playback || !playback->AudioEngine || playback->StreamHandle == 0 || !context.Settings)
        return;
    float const volume = context.Settings->Muted ? 0.0f : static_cast<float>(context.Settings->Volume);
    playback->AudioEngine->ChannelSetAttribute(playback->StreamHandle, TChannelAttribute::Volume, volume);
}

}
