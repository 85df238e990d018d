#pragma once

#include "app/settings/Settings.h"

#include <cstdint>
#include <string>

namespace vantor {

class TAudioEngine;
class TEqualizer;
class TVPlayList;
class TTrackData;

enum TPlayerState : uint8_t {
    psPlaying = 0,
    psStopped = 1,
    psPaused = 2,
};

// Process-wide state owned by the main controller. Every subsystem reads it directly; only
// the UI thread writes it.
struct TAppState {
    // Folder of the executable, with a trailing separator: the base of every file the
    // program reads or writes.
    std::string AppPath;
    TPlayerState PlayerState = psStopped;
    TVPlayList* CurrentPlayList = nullptr; // non-owning
    TTrackData* CurrentTrack = nullptr;    // non-owning
    uint32_t StreamHandle = 0;
    // Bytes of the decoded stream; 64-bit, since a long track passes 2 GiB of samples.
    int64_t PlayPosition = 0;
    int64_t TrackLastByte = 0;
    std::string PositionText;
    std::string LengthText;
    int32_t QueueIndex = 0;
    int32_t HistoryLimit = 20;
    // The settings variables, read at start-up and written at shutdown; the views change
    // them directly in between.
    TSettings Settings;
    // Owned by the main controller; null before start-up has made them and after shutdown.
    TAudioEngine* AudioEngine = nullptr;
    TEqualizer* Equalizer = nullptr;
};

extern TAppState App;

// The folder of the running executable with a trailing '/', or "./" when it cannot be found.
std::string ExecutableFolder();

}
