#pragma once

// What every view is given when it is made: the services it may use, all owned by the main
// controller and outliving every view. A view keeps the context and asks it, instead of
// reaching for anything process-wide.

namespace vantor {

class IMessageBox;
class IShell;
class TLocaleManager;
class TPlayListPanel;
class TPlaybackController;
class TPlayerSession;
struct TSettings;
class TSmartTip;
class TSmartVCL;
class TThemeManager;

struct TViewContext {
    TThemeManager* Theme = nullptr;          // skins, fonts and colours
    const TLocaleManager* Locale = nullptr;  // the user's language
    TPlaybackController* Playback = nullptr; // play, pause, next, previous, shuffle, repeat
    TPlayerSession* Session = nullptr;       // current list and track, queue, history, selection
    TPlayListPanel* PlayLists = nullptr;     // every playlist; the current one is shown
    IShell* Shell = nullptr;                 // the file manager, the clipboard and the trash
    IMessageBox* Messages = nullptr;         // questions and errors
    TSmartVCL* Host = nullptr;               // the window's control tree: invalidation, focus
    TSettings* Settings = nullptr;           // volume, mute, equalizer and the other settings
    TSmartTip* Tip = nullptr;                // the floating tip of hover targets
};

}
