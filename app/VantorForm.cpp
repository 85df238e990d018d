#include "app/VantorForm.h"

#include "app/AppState.h"
#include "app/equalizer/Equalizer.h"
#include "app/settings/IniFile.h"
#include "app/settings/UIScale.h"
#include "app/single_instance/SingleInst.h"
#include "platform/audio/AudioEngine.h"
#include "platform/window/Display.h"
#include "platform/window/EventLoop.h"
#include "platform/window/SdlMessageBox.h"
#include "platform/window/SdlWindow.h"
#include "platform/window/Timer.h"
#include "ui/framework/LocaleManager.h"
#include "ui/framework/SmartVCL.h"
#include "ui/framework/ThemeManager.h"

#include <optional>
#include <utility>

namespace vantor {

namespace {

constexpr int kSampleRate = 44100;
constexpr int kInstancePollMs = 100;

}

TVantorForm::TVantorForm(std::vector<std::string> arguments, std::string appPath, TSingleInst* guard)
    : Messages(std::make_unique<TSdlMessageBox>())
    , m_arguments(std::move(arguments))
    , m_guard(guard)
{
    App = TAppState {};
    App.AppPath = std::move(appPath);
    if (App.AppPath.empty() || App.AppPath.back() != '/')
        App.AppPath += '/';
}

TVantorForm::~TVantorForm()
{
    FormDestroy();
    // Also after a start-up that ended early: nothing may point into this form any more, and
    // the timers go before their loop.
    if (m_guard) {
        m_guard->fOnProcessParam = nullptr;
        m_guard->fOnEnsureRestore = nullptr;
    }
    m_instanceTimer.reset();
    PlayTimer.reset();
    App.Equalizer = nullptr;
    App.AudioEngine = nullptr;
}

bool TVantorForm::FormCreate()
{
    // Step 1: later starts hand their arguments to HandleParam.
    if (m_guard) {
        m_guard->fOnProcessParam = [this](std::vector<std::string> const& Param) { HandleParam(Param); };
        m_guard->fOnEnsureRestore = [this] { EnsureRestore(); };
    }
    // Steps 2-3: the state starts from its initial values (set by the constructor).
    vtAllCreated = false;
    vtHistoryIDX = 0;

    m_loop = std::make_unique<TEventLoop>();
    ServeLaterStarts();
    // Without a device the program ends here: no window, no file written.
    if (!InitAudioEngine()) {
        Messages->Show(TMessageKind::mkError, "Could not initialize audio device");
        return false;
    }
    RegisterMediaKeys();
    CreatePlaybackLists();
    m_equalizer = std::make_unique<TEqualizer>(m_audio.get(), App);
    App.Equalizer = m_equalizer.get();
    PlayTimer = std::make_unique<TTimer>(m_loop->Timers(), 500);

    LoadSettings();
    LoadEqualizerPresets();

    m_locale = std::make_unique<TLocaleManager>(App.AppPath, App.Settings.LanguageFile);

    m_host = std::make_unique<TSmartVCL>(m_geometry.ClientWidth, m_geometry.ClientHeight);
    SetSmartVCL(m_host.get());
    m_host->OnResizeProc = [this] { VclResize(); };
    m_host->OnKeyDownProc = [this](uint16_t key, TShiftState shift) { GlobalKeyDown(key, shift); };
    m_host->OnKeyUpProc = [this](uint16_t key, TShiftState shift) { GlobalKeyUp(key, shift); };
    m_window = std::make_unique<TSdlWindow>(*m_loop, *m_host, m_geometry.ClientWidth, m_geometry.ClientHeight,
        m_geometry.Left, m_geometry.Top);
    m_host->Window = m_window.get();
    m_host->Timers = &m_loop->Timers();

    m_host->ThemeManager->UnknownAuthor = m_locale->Get("Unknown.ThemeAuthor");
    m_host->ThemeManager->Load(App.AppPath + "Theme/" + App.Settings.ThemeName + "/ThemeData.qxs");

    CreateViews();
    LoadPlaylists();
    RegisterDropTarget();
    vtAllCreated = true;
    PlayCommandLine();
    m_created = true;
    return true;
}

void TVantorForm::FormShow()
{
    if (!m_window)
        return;
    m_window->Show();
    m_window->Raise();
}

void TVantorForm::Run()
{
    if (m_loop && m_created)
        m_loop->Run();
}

void TVantorForm::FormDestroy()
{
    if (!m_created || m_destroyed)
        return;
    m_destroyed = true;
    StopPlay();
    SaveSettings();
    PlayTimer.reset();
    m_instanceTimer.reset();
    FreePlaybackLists();
    App.Equalizer = nullptr;
    m_equalizer.reset();
    // The window goes before the host it feeds; the host takes every view with it.
    m_window.reset();
    SetSmartVCL(nullptr);
    m_host.reset();
    m_locale.reset();
    UnregisterMediaKeys();
    App.AudioEngine = nullptr;
    m_audio.reset();
    m_loop.reset();
}

TWindowGeometry TVantorForm::Geometry() const
{
    if (!m_window || !m_host)
        return m_geometry;
    TRect const bounds = m_window->Bounds();
    return { m_host->ClientWidth(), m_host->ClientHeight(), bounds.Left, bounds.Top };
}

void TVantorForm::LoadSettings()
{
    // Whether the screen's resolution matters is only known once "AutoScaling" is read.
    m_geometry = LoadSettingsFile(SettingsFilePath(App.AppPath), App.Settings, ScreenDpi());
}

void TVantorForm::SaveSettings()
{
    // The current playlist joins with the playlists; until then "LastPlayList" is left as the
    // file has it.
    std::optional<TEqualizerGains> manual;
    std::vector<TNamedGains> seeds;
    if (m_equalizer) {
        manual = m_equalizer->ManualGains();
        seeds = m_equalizer->PresetsToSeed();
    }
    SaveSettingsFile(SettingsFilePath(App.AppPath), App.Settings, Geometry(), manual, std::nullopt, seeds);
}

void TVantorForm::LoadEqualizerPresets()
{
    if (m_equalizer)
        m_equalizer->LoadPresets(TIniFile(SettingsFilePath(App.AppPath), TIniAccess::WholeFile));
}

void TVantorForm::HandleParam(std::vector<std::string> const& Param)
{
    AddToDefaultList(Param);
    EnsureRestore();
}

bool TVantorForm::InitAudioEngine()
{
    auto engine = std::make_unique<TAudioEngine>();
    if (!engine->Init(kSampleRate))
        return false;
    m_audio = std::move(engine);
    App.AudioEngine = m_audio.get();
    return true;
}

void TVantorForm::ServeLaterStarts()
{
    if (!m_guard)
        return;
    m_instanceTimer = std::make_unique<TTimer>(m_loop->Timers(), kInstancePollMs);
    m_instanceTimer->OnTimer = [guard = m_guard] { guard->ServeMessages(); };
    m_instanceTimer->SetEnabled(true);
}

void TVantorForm::EnsureRestore()
{
    if (!m_window)
        return;
    m_window->Show();
    m_window->Raise();
}

// The default list joins with the playlists; until then the handed-over paths wait here for
// it to load and play them.
void TVantorForm::AddToDefaultList(std::vector<std::string> const& files)
{
    m_handedOver.insert(m_handedOver.end(), files.begin(), files.end());
}

void TVantorForm::VclResize()
{
    // The top-level views and their layout join with the views; until the control bar
    // exists there is nothing to place.
    if (!vtAllCreated || !m_host || !m_host->CM_LIST.FindControl("ControlBar"))
        return;
}

void TVantorForm::GlobalKeyDown(uint16_t, TShiftState)
{
    // Ctrl, Shift and Alt switch the current playlist's delete, location and select modes;
    // with no current playlist nothing happens.
    if (!App.CurrentPlayList)
        return;
}

void TVantorForm::GlobalKeyUp(uint16_t, TShiftState)
{
    if (!App.CurrentPlayList)
        return;
}

// Start-up and shutdown steps whose subsystems join later. Each stays an empty, named step
// so the order of the sequence is visible here.
void TVantorForm::RegisterMediaKeys() { }
void TVantorForm::CreatePlaybackLists() { }
void TVantorForm::CreateViews() { }
void TVantorForm::LoadPlaylists() { }
void TVantorForm::PlayCommandLine() { }
void TVantorForm::StopPlay() { }
void TVantorForm::FreePlaybackLists() { }
void TVantorForm::UnregisterMediaKeys() { }

// SDL delivers files dropped from the file manager to the window without registration; the
// host routes them to the control under the pointer.
void TVantorForm::RegisterDropTarget() { }

}
