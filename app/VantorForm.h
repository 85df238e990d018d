#pragma once

// TVantorForm: the main controller. It runs the start-up sequence, owns the window, the host
// of the control tree and the locale manager, lays out the top-level views, and runs the
// shutdown sequence that writes the settings back.
//
//   TVantorForm form(arguments);
//   if (!form.FormCreate()) return 1;   // nothing shown, nothing written
//   form.FormShow();
//   form.Run();                         // until the window closes, SIGINT or SIGTERM
//   form.FormDestroy();

#include "app/settings/Settings.h"
#include "platform/window/InputTypes.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vantor {

class TEventLoop;
class TLocaleManager;
class TSdlWindow;
class TSmartVCL;
class TTimer;

class TVantorForm {
public:
    // arguments: the command line without the executable's own name. appPath: the folder
    // the program's files live in (the executable's folder in the program).
    TVantorForm(std::vector<std::string> arguments, std::string appPath);
    ~TVantorForm();
    TVantorForm(const TVantorForm&) = delete;
    TVantorForm& operator=(const TVantorForm&) = delete;

    // The start-up sequence. False when the program must end at once; nothing has been
    // shown or written then.
    bool FormCreate();
    // Shows the window, sized to the form, with the keyboard focus.
    void FormShow();
    // Runs the event loop until the window is closed or SIGINT or SIGTERM arrives.
    void Run();
    // The shutdown sequence; runs once, also from the destructor when it was not called.
    void FormDestroy();

    // Lays out the top-level views; nothing happens before every view exists.
    void VclResize();
    // The host's key callbacks: the modifier keys switch the current playlist's modes.
    void GlobalKeyDown(uint16_t Key, TShiftState Shift);
    void GlobalKeyUp(uint16_t Key, TShiftState Shift);

    // Settings.ini in AppPath: read at start-up (this also sizes and places the window),
    // written at shutdown.
    void LoadSettings();
    void SaveSettings();

    // The 500 ms position timer, disabled until a track plays.
    std::unique_ptr<TTimer> PlayTimer;
    // False until every top-level view exists; layout does nothing while it is false.
    bool vtAllCreated = false;
    int32_t vtHistoryIDX = 0;

    TSmartVCL* Host() const { return m_host.get(); }
    TLocaleManager* Locale() const { return m_locale.get(); }
    TSdlWindow* Window() const { return m_window.get(); }
    TEventLoop* Loop() const { return m_loop.get(); }
    // Client geometry in device pixels: as read from the settings until the window exists,
    // then the window's own.
    TWindowGeometry Geometry() const;

private:
    void InitAudioEngine();
    void RegisterMediaKeys();
    void CreatePlaybackLists();
    void LoadEqualizerPresets();
    void CreateViews();
    void LoadPlaylists();
    void RegisterDropTarget();
    void PlayCommandLine();
    void StopPlay();
    void FreePlaybackLists();
    void UnregisterMediaKeys();

    std::vector<std::string> m_arguments;
    std::unique_ptr<TEventLoop> m_loop;
    std::unique_ptr<TLocaleManager> m_locale;
    std::unique_ptr<TSmartVCL> m_host;
    std::unique_ptr<TSdlWindow> m_window;
    TWindowGeometry m_geometry;
    bool m_created = false;
    bool m_destroyed = false;
};

}
