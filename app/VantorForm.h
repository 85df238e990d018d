#pragma once

// TVantorForm: the main controller. It runs the start-up sequence, owns the audio engine, the
// equalizer, the window, the host of the control tree and the locale manager, lays out the
// top-level views, receives the arguments of later starts, and runs the shutdown sequence
// that writes the settings back.
//
//   TVantorForm form(arguments, paths, &guard);
//   if (!form.FormCreate()) return 1;   // nothing shown, nothing written
//   form.FormShow();
//   form.Run();                         // until the window closes, SIGINT or SIGTERM
//   form.FormDestroy();

#include "platform/window/InputTypes.h"
#include "platform/window/MessageBox.h"
#include "player/paths/AppPaths.h"
#include "player/settings/Settings.h"
#include "ui/views/ViewContext.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vantor {

class TAudioEngine;
class TControlBar;
class TControlBarBottom;
class TMenuPanel;
class TPlayListBar;
class TEqualizer;
class TEventLoop;
class TLocaleManager;
class TMprisService;
class TPlayListPanel;
class TPlaybackController;
class TPlayerSession;
class TVPlayList;
class TSingleInst;
class TSdlWindow;
class TSmartVCL;
class TGioShell;
class TTimer;
class TTrackDetails;

// The smallest client area, in logical units, at which every bar keeps room for its parts and
// every tab of the side menu shows.
inline constexpr int kMinimumClientWidth = 1800;
inline constexpr int kMinimumClientHeight = 1200;

class TVantorForm {
public:
    // arguments: the files of the command line. paths: where the program's files are read
    // and written. guard (non-owning, may be null): the single-instance guard whose later
    // starts this form serves; it must outlive the form.
    TVantorForm(std::vector<std::string> arguments, TAppPaths paths, TSingleInst* guard = nullptr);
    ~TVantorForm();
    TVantorForm(const TVantorForm&) = delete;
    TVantorForm& operator=(const TVantorForm&) = delete;

    // The start-up sequence. False when the program must end at once (no audio device: the
    // message "Could not initialize audio device" has been shown); nothing has been shown or
    // written otherwise.
    bool FormCreate();
    // Shows the window, sized to the form, with the keyboard focus.
    void FormShow();
    // Runs the event loop until the window is closed or SIGINT or SIGTERM arrives.
    void Run();
    // The shutdown sequence; runs once, also from the destructor when it was not called.
    void FormDestroy();

    // Lays out the top-level views to the client area; nothing happens before every view
    // exists.
    void VclResize();
    // The host's key callbacks: the modifier keys switch the current playlist's modes, and
    // the media keys act as they do from the media-key service.
    void GlobalKeyDown(uint16_t Key, TShiftState Shift);
    void GlobalKeyUp(uint16_t Key, TShiftState Shift);
    // A media key (vkMediaPlayPause, vkMediaStop, vkMediaNextTrack, vkMediaPrevTrack).
    void WMHotkey(uint16_t Key);

    // Settings.ini: read at start-up (this also sizes and places the window),
    // written at shutdown.
    void LoadSettings();
    void SaveSettings();
    // The "Presets" section of Settings.ini: the preset list and the starting preset.
    void LoadEqualizerPresets();

    // The arguments of a later start: they go to the default list, and the window comes to
    // the front.
    void HandleParam(std::vector<std::string> const& Param);
    // Paths handed over by later starts before the default list existed, in arrival order;
    // the command-line step takes them.
    std::vector<std::string> const& HandedOverFiles() const { return m_handedOver; }

    // Where the controller's messages appear: SDL boxes, replaced by a fake in tests.
    std::unique_ptr<IMessageBox> Messages;

    // The settings variables: read at start-up, written at shutdown, changed by the views in
    // between.
    TSettings Settings;

    // The 500 ms position timer, disabled until a track plays.
    std::unique_ptr<TTimer> PlayTimer;
    // False until every top-level view exists; layout does nothing while it is false.
    bool vtAllCreated = false;
    // Play, pause, stop, next and previous; made once the locale is loaded, freed once the
    // shutdown has saved the settings.
    std::unique_ptr<TPlaybackController> Playback;

    // The player's state: current list and track, queue, history, selection and the special
    // lists. It lives as long as the form, so it outlives every list and view.
    TPlayerSession& Session() const { return *m_session; }

    TAudioEngine* AudioEngine() const { return m_audio.get(); }
    TEqualizer* Equalizer() const { return m_equalizer.get(); }
    TSmartVCL* Host() const { return m_host.get(); }
    TLocaleManager* Locale() const { return m_locale.get(); }
    TSdlWindow* Window() const { return m_window.get(); }
    TEventLoop* Loop() const { return m_loop.get(); }
    // The playlist panel, a top-level view owned by the host; null before it exists.
    TPlayListPanel* PlayListPanel() const { return m_panel; }
    // Client geometry in device pixels: as read from the settings until the window exists,
    // then the window's own.
    TWindowGeometry Geometry() const;

private:
    // Space plays or pauses, Left and Right seek, Up and Down change the volume, Page Up,
    // Page Down, Home and End scroll the current list.
    void PlayerKey(uint16_t Key);
    // Repaints the view showing list, when it has one.
    void RepaintList(const TVPlayList& list);
    // Lays the view showing list out again (its groups or rows changed) and repaints it.
    void ArrangeList(TVPlayList& list);
    bool InitAudioEngine();
    void RegisterMediaKeys();
    // Seconds of the stream's whole length, 0 without a stream.
    double StreamSeconds() const;
    void CreatePlaybackController();
    void ServeLaterStarts();
    void EnsureRestore();
    void AddToDefaultList(std::vector<std::string> const& files);
    void CreateViews();
    void DisconnectViews();
    void LoadPlaylists();
    void PlayCommandLine();
    void StopPlay();
    void FinishLoads();
    void FreePlayback();
    void UnregisterMediaKeys();

    std::vector<std::string> m_arguments;
    TAppPaths m_paths;
    TSingleInst* m_guard; // non-owning
    std::vector<std::string> m_handedOver;
    // The paths of the latest later start, played once the default list has loaded them.
    std::vector<std::string> m_handOverPlay;
    // Declared before the host, whose lists belong to it.
    std::unique_ptr<TPlayerSession> m_session;
    std::unique_ptr<TAudioEngine> m_audio;
    std::unique_ptr<TEqualizer> m_equalizer;
    std::unique_ptr<TEventLoop> m_loop;
    // Serves the single-instance socket on the UI thread.
    std::unique_ptr<TTimer> m_instanceTimer;
    // The media-key service on the session bus (null without a bus) and the timer that runs
    // its requests on the UI thread.
    std::unique_ptr<TMprisService> m_mpris;
    std::unique_ptr<TTimer> m_mprisTimer;
    // The current track's details and cover file for the service.
    std::unique_ptr<TTrackDetails> m_trackDetails;
    // Reopens the default audio device when the one in use goes away.
    std::unique_ptr<TTimer> m_deviceTimer;
    std::unique_ptr<TLocaleManager> m_locale;
    // The desktop's trash, clipboard, file manager, content types and folder dialog, for the
    // views, and the timer that runs the dialog's answers on the UI thread.
    std::unique_ptr<TGioShell> m_shell;
    std::unique_ptr<TTimer> m_shellTimer;
    std::unique_ptr<TSmartVCL> m_host;
    std::unique_ptr<TSdlWindow> m_window;
    TPlayListPanel* m_panel = nullptr; // owned by the host
    // The top-level views, owned by the host.
    TControlBar* m_controlBar = nullptr;
    TPlayListBar* m_playListBar = nullptr;
    TControlBarBottom* m_bottomBar = nullptr;
    TMenuPanel* m_menuPanel = nullptr;
    std::atomic<bool> m_bottomBarRepaintPosted { false };
    // What every view is made with; filled when the views are created.
    TViewContext m_views;
    TWindowGeometry m_geometry;
    bool m_created = false;
    bool m_destroyed = false;
};

}
