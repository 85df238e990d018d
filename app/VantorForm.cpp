#include "app/VantorForm.h"

#include "app/TrackDetails.h"
#include "base/IniFile.h"
#include "library/CoverThread.h"
#include "library/PlayQueue.h"
#include "library/PlayerSession.h"
#include "library/PlaylistLoader.h"
#include "library/SelectionOps.h"
#include "library/SpecialLists.h"
#include "library/TrackData.h"
#include "platform/audio/AudioEngine.h"
#include "platform/mpris/MprisService.h"
#include "platform/shell/GioShell.h"
#include "platform/shell/Shell.h"
#include "platform/window/Display.h"
#include "platform/window/EventLoop.h"
#include "platform/window/KeyCodes.h"
#include "platform/window/SdlMessageBox.h"
#include "platform/window/SdlWindow.h"
#include "platform/window/Timer.h"
#include "player/equalizer/Equalizer.h"
#include "player/playback/PlaybackController.h"
#include "player/single_instance/SingleInst.h"
#include "ui/framework/LocaleManager.h"
#include "ui/framework/SmartVCL.h"
#include "ui/framework/ThemeManager.h"
#include "ui/framework/UIScale.h"
#include "ui/views/PlaybackActions.h"
#include "ui/views/controlbar/ControlBar.h"
#include "ui/views/controlbar/ControlBarBottom.h"
#include "ui/views/controlbar/PlayerButtons.h"
#include "ui/views/menu/EqualizerPages.h"
#include "ui/views/menu/EqualizerView.h"
#include "ui/views/menu/ListHolder.h"
#include "ui/views/menu/ListOptionsHolder.h"
#include "ui/views/menu/LyricsPage.h"
#include "ui/views/menu/MenuPanel.h"
#include "ui/views/menu/QueueFilePages.h"
#include "ui/views/menu/SearchHolder.h"
#include "ui/views/menu/SettingsPages.h"
#include "ui/views/menu/TagPages.h"
#include "ui/views/menu/TrackPages.h"
#include "ui/views/playlist/PlayListBar.h"
#include "ui/views/playlist/PlayListPanel.h"
#include "ui/views/shared/SmartEdit.h"
#include "ui/views/shared/SmartTip.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <utility>

namespace vantor {

namespace {

constexpr int kSampleRate = 44100;
constexpr int kInstancePollMs = 100;
constexpr int kMediaKeyPollMs = 50;
constexpr int kShellPollMs = 50;
constexpr int kDeviceCheckMs = 1000;

}

TVantorForm::TVantorForm(std::vector<std::string> arguments, TAppPaths paths, TSingleInst* guard)
    : Messages(std::make_unique<TSdlMessageBox>())
    , m_arguments(std::move(arguments))
    , m_paths(std::move(paths))
    , m_guard(guard)
    , m_session(std::make_unique<TPlayerSession>(m_paths.DataFolder()))
{
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
    // The controller lets go of the play timer, so it goes first.
    FreePlayback();
    m_instanceTimer.reset();
    m_deviceTimer.reset();
    m_mprisTimer.reset();
    m_shellTimer.reset();
    PlayTimer.reset();
}

bool TVantorForm::FormCreate()
{
    // Later starts hand their arguments to HandleParam.
    if (m_guard) {
        m_guard->fOnProcessParam = [this](std::vector<std::string> const& Param) { HandleParam(Param); };
        m_guard->fOnEnsureRestore = [this] { EnsureRestore(); };
    }
    // Nothing counts as created until every view exists.
    vtAllCreated = false;

    m_loop = std::make_unique<TEventLoop>();
    ServeLaterStarts();
    // Without a device the program ends here: no window, no file written.
    if (!InitAudioEngine()) {
        Messages->Show(TMessageKind::mkError, "Could not initialize audio device");
        return false;
    }
    RegisterMediaKeys();
    m_equalizer = std::make_unique<TEqualizer>(
        m_audio.get(), Settings, [this] { return Playback ? Playback->StreamHandle : 0u; });
    PlayTimer = std::make_unique<TTimer>(m_loop->Timers(), 500);

    LoadSettings();
    LoadEqualizerPresets();

    m_locale = std::make_unique<TLocaleManager>(m_paths.ShippedFolder(), Settings.LanguageFile,
        m_paths.Portable() ? std::filesystem::path() : m_paths.UserFolder());
    CreatePlaybackController();

    m_host = std::make_unique<TSmartVCL>(m_geometry.ClientWidth, m_geometry.ClientHeight);
    m_host->OnResizeProc = [this] { VclResize(); };
    m_host->OnKeyDownProc = [this](uint16_t key, TShiftState shift) { GlobalKeyDown(key, shift); };
    m_host->OnKeyUpProc = [this](uint16_t key, TShiftState shift) { GlobalKeyUp(key, shift); };
    m_window = std::make_unique<TSdlWindow>(
        *m_loop, *m_host, m_geometry.ClientWidth, m_geometry.ClientHeight, m_geometry.Left, m_geometry.Top);
    m_host->Window = m_window.get();
    // Narrower or lower, the position bar and the list would have no room left.
    m_window->SetMinimumSize(Scale(kMinimumClientWidth), Scale(kMinimumClientHeight));
    m_host->Timers = &m_loop->Timers();
    // FFmpeg loads once the first frame is out: neither the start nor the first track waits.
    m_window->OnFirstPresent = [audio = m_audio.get()] { audio->PreloadDecoding(); };

    m_host->ThemeManager->UnknownAuthor = m_locale->Get("Unknown.ThemeAuthor");
    m_host->ThemeManager->Load(m_paths.ThemeFile(Settings.ThemeName).string());

    CreateViews();
    LoadPlaylists();
    vtAllCreated = true;
    VclResize();
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
    // Loads that finish from here on must not start playback again.
    m_session->LoaderHooks.PlayPause = nullptr;
    StopPlay();
    FinishLoads();
    SaveSettings();
    FreePlayback();
    PlayTimer.reset();
    m_instanceTimer.reset();
    m_deviceTimer.reset();
    m_shellTimer.reset();
    m_equalizer.reset();
    DisconnectViews();
    // The window goes before the host it feeds; the host takes every view with it, and the
    // playlists stop their threads while the loop's dispatcher still runs their hand-offs.
    m_window.reset();
    m_panel = nullptr;
    m_controlBar = nullptr;
    m_playListBar = nullptr;
    m_bottomBar = nullptr;
    m_menuPanel = nullptr;
    m_host.reset();
    m_session->LoaderHooks.Dispatcher = nullptr;
    m_session->SetLocale(nullptr);
    m_locale.reset();
    UnregisterMediaKeys();
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
    m_geometry = LoadSettingsFile(m_paths.SettingsFile(), Settings, ScreenDpi());
    m_session->LastPlayListID = Settings.LastPlayListID;
}

void TVantorForm::SaveSettings()
{
    // Without a current playlist "LastPlayList" is left as the file has it.
    std::optional<std::string> lastPlayList;
    if (m_session->CurrentPlayList)
        lastPlayList = m_session->CurrentPlayList->plID;
    std::optional<TEqualizerGains> manual;
    std::vector<TNamedGains> seeds;
    if (m_equalizer) {
        manual = m_equalizer->ManualGains();
        seeds = m_equalizer->PresetsToSeed();
    }
    SaveSettingsFile(m_paths.SettingsFile(), Settings, Geometry(), manual, lastPlayList, seeds);
    if (m_panel)
        m_panel->SaveAll();
}

void TVantorForm::LoadEqualizerPresets()
{
    if (m_equalizer)
        m_equalizer->LoadPresets(TIniFile(m_paths.SettingsFile(), TIniAccess::WholeFile));
}

void TVantorForm::HandleParam(std::vector<std::string> const& Param)
{
    if (!Param.empty())
        m_handOverPlay = Param;
    AddToDefaultList(Param);
    EnsureRestore();
}

bool TVantorForm::InitAudioEngine()
{
    auto engine = std::make_unique<TAudioEngine>();
    if (!engine->Init(kSampleRate))
        return false;
    m_audio = std::move(engine);
    m_deviceTimer = std::make_unique<TTimer>(m_loop->Timers(), kDeviceCheckMs);
    m_deviceTimer->OnTimer = [engine = m_audio.get()] { engine->KeepOutput(); };
    m_deviceTimer->SetEnabled(true);
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

// The handed-over paths join the default list's tracks (a path it holds already is skipped by
// the load), which becomes current and plays. Paths that arrive before the default list
// exists wait here.
void TVantorForm::AddToDefaultList(std::vector<std::string> const& files)
{
    TDefaultList* const list = m_session->Special.Default;
    if (!list) {
        m_handedOver.insert(m_handedOver.end(), files.begin(), files.end());
        return;
    }
    list->plDropList.insert(list->plDropList.end(), files.begin(), files.end());
    if (list->plDropList.empty())
        return;
    list->plPlayFile = true;
    Load_Start(*list, true, true, false);
}

void TVantorForm::VclResize()
{
    if (!vtAllCreated || !m_host || !m_panel || !m_menuPanel)
        return;
    // The two bars on top, the bottom bar along the bottom edge, the side menu on the right
    // between them and the playlist panel left of it; the current list fills the panel.
    // With "MenuOnTop" an opened menu covers the playlists instead of narrowing them.
    int const width = Unscale(m_host->ClientWidth());
    int const height = Unscale(m_host->ClientHeight());
    int const top = TControlBar::BarHeight;
    int const listsTop = top + TPlayListBar::BarHeight;
    int const bottom = TControlBarBottom::BarHeight;
    auto place = [](TSmartCtrl* view, int left, int top, int width, int height) {
        view->SetPosition(left, top);
        view->SetWidth(std::max(0, width));
        view->SetHeight(std::max(0, height));
    };
    place(m_controlBar, 0, 0, width, top);
    place(m_playListBar, 0, top, width, TPlayListBar::BarHeight);
    place(m_bottomBar, 0, height - bottom, width, bottom);
    int const menuWidth = m_menuPanel->Width();
    place(m_menuPanel, width - menuWidth, top, menuWidth, height - top - bottom);
    int const listsWidth = width - (Settings.MenuOnTop ? TMenuPanel::TabColumnWidth : menuWidth);
    place(m_panel, 0, listsTop, listsWidth, height - listsTop - bottom);
    if (TPlayListView* const view = m_panel->ViewOf(m_session->CurrentPlayList)) {
        view->SetWidth(m_panel->Width());
        view->SetHeight(m_panel->Height());
    }
}

void TVantorForm::RepaintList(const TVPlayList& list)
{
    if (TPlayListView* const view = m_panel ? m_panel->ViewOf(&list) : nullptr)
        view->Invalidate(false);
}

void TVantorForm::ArrangeList(TVPlayList& list)
{
    if (TPlayListView* const view = m_panel ? m_panel->ViewOf(&list) : nullptr) {
        view->ArrangeGroups();
        view->CalculateScroll();
        view->Invalidate(false);
    }
}

void TVantorForm::GlobalKeyDown(uint16_t Key, TShiftState Shift)
{
    if (Key == vkMediaPlayPause || Key == vkMediaStop || Key == vkMediaNextTrack || Key == vkMediaPrevTrack) {
        WMHotkey(Key);
        return;
    }
    // A text field keeps Space, the arrows, Home and End for its text.
    bool const typing = m_host && dynamic_cast<const TSmartEdit*>(m_host->CM_FOCUSE.Get());
    if (!typing)
        PlayerKey(Key);
    // Ctrl, Shift and Alt switch the current playlist's delete, location and select modes;
    // with no current playlist nothing happens.
    TVPlayList* const list = m_session->CurrentPlayList;
    if (!list)
        return;
    if (Shift & ssCtrl)
        list->plDeleteMode = true;
    if (Shift & ssShift)
        list->plLocationMode = true;
    if (Shift & ssAlt)
        list->plSelectMode = true;
    RepaintList(*list);
}

void TVantorForm::PlayerKey(uint16_t Key)
{
    constexpr double kSeekSeconds = 5;
    constexpr double kVolumeStep = 0.05;
    // The keys work before the views exist too.
    TViewContext context = m_views;
    context.Playback = Playback.get();
    context.Settings = &Settings;
    switch (Key) {
    case vkSpace:
        if (Playback)
            Playback->PlayPauseKey();
        break;
    case vkLeft:
    case vkRight: SeekBy(context, Key == vkLeft ? -kSeekSeconds : kSeekSeconds); break;
    case vkUp:
    case vkDown: SetVolume(context, Settings.Volume + (Key == vkUp ? kVolumeStep : -kVolumeStep)); break;
    case vkPrior:
    case vkNext:
    case vkHome:
    case vkEnd: {
        TPlayListView* const view = m_panel ? m_panel->ViewOf(m_session->CurrentPlayList) : nullptr;
        if (!view)
            return;
        TVPlayList const& list = view->List();
        int const page = std::max(1, view->Height() - TPlayListLayout::PageMargin);
        int target = Key == vkHome ? 0 : list.plScrollMax;
        if (Key == vkPrior || Key == vkNext)
            target = list.plScroll + (Key == vkNext ? page : -page);
        view->SetScroll(target);
        break;
    }
    default: return;
    }
    if (m_bottomBar)
        m_bottomBar->Invalidate(false);
}

void TVantorForm::GlobalKeyUp(uint16_t, TShiftState Shift)
{
    TVPlayList* const list = m_session->CurrentPlayList;
    if (!list)
        return;
    if (!(Shift & ssCtrl))
        list->plDeleteMode = false;
    if (!(Shift & ssShift))
        list->plLocationMode = false;
    if (!(Shift & ssAlt))
        list->plSelectMode = false;
    RepaintList(*list);
}

void TVantorForm::WMHotkey(uint16_t Key)
{
    if (!Playback)
        return;
    switch (Key) {
    case vkMediaPlayPause: Playback->PlayPauseKey(); break;
    case vkMediaStop: Playback->StopPlay(); break;
    case vkMediaNextTrack: Playback->PlayNext(0); break;
    case vkMediaPrevTrack: Playback->PlayPrevious(); break;
    default: break;
    }
}

// Media keys reach the player through the session bus's media-player interface, which
// desktops map their keys onto; without a bus the player runs without them.
void TVantorForm::RegisterMediaKeys()
{
    TMprisPlayer player;
    player.PlayPause = [this] { WMHotkey(vkMediaPlayPause); };
    player.Stop = [this] { WMHotkey(vkMediaStop); };
    player.Next = [this] { WMHotkey(vkMediaNextTrack); };
    player.Previous = [this] { WMHotkey(vkMediaPrevTrack); };
    player.Play = [this] {
        if (Playback && Playback->PlayerState != psPlaying)
            WMHotkey(vkMediaPlayPause);
    };
    player.Pause = [this] {
        if (Playback && Playback->PlayerState == psPlaying)
            WMHotkey(vkMediaPlayPause);
    };
    player.Raise = [this] { EnsureRestore(); };
    player.Quit = [] { TEventLoop::RequestQuit(); };
    player.PlaybackStatus = [this] {
        switch (Playback ? Playback->PlayerState : psStopped) {
        case psPlaying: return std::string("Playing");
        case psPaused: return std::string("Paused");
        default: return std::string("Stopped");
        }
    };
    player.Metadata = [this] {
        TMprisMetadata data;
        TTrackData const* const track = m_session->CurrentTrack;
        if (!track)
            return data;
        std::string const path = track->GetTag(tkFilePath);
        data.TrackID = "/org/vantor/Track/" + std::to_string(std::hash<std::string> {}(path));
        data.Title = track->GetTag(tkTrackName);
        data.Artist = track->GetTag(tkArtist);
        data.Album = track->GetTag(tkAlbum);
        data.Url = FileUri(path);
        double const seconds = StreamSeconds();
        data.LengthMicroseconds = seconds > 0 ? static_cast<int64_t>(seconds * 1e6) : 0;
        TTrackDetails::TDetails const& details = m_trackDetails->For(path);
        data.TrackNumber = details.TrackNumber;
        data.AlbumArtist = details.AlbumArtist;
        data.Genre = details.Genre;
        data.ArtUrl = details.ArtUrl;
        return data;
    };
    player.PositionMicroseconds = [this] {
        if (!Playback || !Playback->AudioEngine || Playback->StreamHandle == 0)
            return int64_t(0);
        TAudioEngine& engine = *Playback->AudioEngine;
        double const seconds =
            engine.ChannelBytes2Seconds(Playback->StreamHandle, engine.ChannelGetPosition(Playback->StreamHandle));
        return seconds > 0 ? static_cast<int64_t>(seconds * 1e6) : int64_t(0);
    };
    player.CanSeek = [this] { return Playback && Playback->PlayingOrPaused() && StreamSeconds() > 0; };
    // The engine counts bytes: the position is the same share of the length in both.
    player.SetPositionMicroseconds = [this](int64_t microseconds) {
        double const seconds = StreamSeconds();
        if (!Playback || !Playback->PlayingOrPaused() || seconds <= 0)
            return false;
        TAudioEngine& engine = *Playback->AudioEngine;
        int64_t const length = engine.ChannelGetLength(Playback->StreamHandle);
        double const share = std::clamp(static_cast<double>(microseconds) / 1e6 / seconds, 0.0, 1.0);
        if (!engine.ChannelSetPosition(Playback->StreamHandle, std::llround(share * static_cast<double>(length))))
            return false;
        Playback->PlayPosition = engine.ChannelGetPosition(Playback->StreamHandle);
        return true;
    };
    // Shuffle and repeat are options of the current list, as its buttons are.
    player.Shuffle = [this] { return m_session->CurrentPlayList && m_session->CurrentPlayList->vtShuffle; };
    player.SetShuffle = [this](bool on) {
        if (Playback && m_session->CurrentPlayList && m_session->CurrentPlayList->vtShuffle != on)
            Playback->ToggleShuffle();
    };
    // The player repeats whole lists only: "Track" asks for the nearest it has.
    player.LoopStatus = [this] {
        return std::string(m_session->CurrentPlayList && m_session->CurrentPlayList->vtRepeat ? "Playlist" : "None");
    };
    player.SetLoopStatus = [this](std::string const& status) {
        bool const on = status != "None";
        if (Playback && m_session->CurrentPlayList && m_session->CurrentPlayList->vtRepeat != on)
            Playback->ToggleRepeat();
    };
    player.Volume = [this] { return Settings.Volume; };
    player.SetVolume = [this](double volume) {
        Settings.Volume = std::clamp(volume, 0.0, 1.0);
        if (Playback && Playback->AudioEngine && !Settings.Muted)
            Playback->AudioEngine->ChannelSetAttribute(
                Playback->StreamHandle, TChannelAttribute::Volume, static_cast<float>(Settings.Volume));
    };
    player.CanGoNext = [this] { return Playback && Playback->PeekedNext(); };
    player.CanGoPrevious = [this] { return Playback && Playback->PeekedPrevious(); };
    player.CanPlay = [this] {
        TPlayerSession const& session = *m_session;
        return session.CurrentTrack || (session.CurrentPlayList && session.CurrentPlayList->TrackCount() > 0);
    };

    auto service = std::make_unique<TMprisService>(std::move(player));
    if (!service->Available())
        return;
    m_trackDetails = std::make_unique<TTrackDetails>(m_paths.CacheFolder());
    m_mpris = std::move(service);
    m_mprisTimer = std::make_unique<TTimer>(m_loop->Timers(), kMediaKeyPollMs);
    m_mprisTimer->OnTimer = [this] { m_mpris->Dispatch(); };
    m_mprisTimer->SetEnabled(true);
}

void TVantorForm::UnregisterMediaKeys()
{
    m_mprisTimer.reset();
    m_mpris.reset();
    m_trackDetails.reset();
}

double TVantorForm::StreamSeconds() const
{
    if (!Playback || !Playback->AudioEngine || Playback->StreamHandle == 0)
        return 0;
    TAudioEngine const& engine = *Playback->AudioEngine;
    double const seconds =
        engine.ChannelBytes2Seconds(Playback->StreamHandle, engine.ChannelGetLength(Playback->StreamHandle));
    return seconds > 0 ? seconds : 0;
}

// The controller speaks through the locale, so it follows the locale manager.
void TVantorForm::CreatePlaybackController()
{
    Playback = std::make_unique<TPlaybackController>(*m_session, Settings, *Messages, m_locale.get(), PlayTimer.get());
    Playback->AudioEngine = m_audio.get();
    Playback->Equalizer = m_equalizer.get();
    // The control bars and rows that show playback join with their views; until then only
    // the media-key service follows the state.
    Playback->Hooks.StateChanged = [this] {
        if (m_mpris)
            m_mpris->PropertiesChanged();
    };
    Playback->Hooks.Seeked = [this] {
        if (m_mpris)
            m_mpris->Seeked();
    };

    m_session->LoaderHooks.PlayPause = [this] {
        TDefaultList* const list = m_session->Special.Default;
        if (list && !m_handOverPlay.empty())
            Playback->PlayHandedOver(*list, std::exchange(m_handOverPlay, {}));
        else
            Playback->Pause();
    };
    m_session->LoaderHooks.RefillShuffle = [](TVPlayList& list) { TPlaybackController::PopulateShuffleList(list); };
    m_session->Hooks.StopPlayback = [this] { Playback->StopPlay(); };
}

void TVantorForm::StopPlay()
{
    if (Playback)
        Playback->StopPlay();
}

// The hooks into the controller go first: loads still finishing must not reach it.
void TVantorForm::FreePlayback()
{
    m_session->LoaderHooks.PlayPause = nullptr;
    m_session->LoaderHooks.RefillShuffle = nullptr;
    m_session->Hooks.StopPlayback = nullptr;
    m_views.Playback = nullptr;
    Playback.reset();
}

// The other top-level views join with their subsystems.
void TVantorForm::CreateViews()
{
    m_views.Theme = m_host->ThemeManager.get();
    m_views.Locale = m_locale.get();
    m_views.Playback = Playback.get();
    m_views.Session = m_session.get();
    m_views.Messages = Messages.get();
    m_views.Host = m_host.get();
    m_views.Settings = &Settings;
    m_shell = std::make_unique<TGioShell>();
    m_views.Shell = m_shell.get();
    m_shellTimer = std::make_unique<TTimer>(m_loop->Timers(), kShellPollMs);
    m_shellTimer->OnTimer = [shell = m_shell.get()] { shell->Dispatch(); };
    m_shellTimer->SetEnabled(true);
    // In paint order: later views are painted over earlier ones and hit first.
    m_controlBar = m_host->AddControl("ControlBar", TSmartCtrl::Create<TControlBar>(m_views));
    m_playListBar = m_host->AddControl("PlayListBar", TSmartCtrl::Create<TPlayListBar>(m_views));
    m_bottomBar = m_host->AddControl("ControlBarBottom", TSmartCtrl::Create<TControlBarBottom>(m_views));
    m_panel = m_host->AddControl("PlayListPanel", TSmartCtrl::Create<TPlayListPanel>(*m_session, &m_views));
    m_views.PlayLists = m_panel;
    m_menuPanel = m_host->AddControl("MenuPanel", TSmartCtrl::Create<TMenuPanel>(m_views));
    m_menuPanel->SetWidth(TMenuPanel::TabColumnWidth);
    m_menuPanel->Relayout = [this] { VclResize(); };
    auto* const listsPage = static_cast<TListHolder*>(
        m_menuPanel->AddHolder("ListHolder", TSmartCtrl::Create<TListHolder>(m_views), TSmartTabBar::tbPlayLists));
    auto* const queuePage = static_cast<TQueueHolder*>(
        m_menuPanel->AddHolder("QueueHolder", TSmartCtrl::Create<TQueueHolder>(m_views), TSmartTabBar::tbQueue));
    auto const queues = std::filesystem::path(m_session->AppPath()) / kQueuesFolder;
    auto const backToQueue = [menu = m_menuPanel, queuePage] { menu->ShowHolder(queuePage, true); };
    m_menuPanel->AddHolder("QueueFilesHolder", TSmartCtrl::Create<TQueueFilesHolder>(m_views, queues, backToQueue));
    m_menuPanel->AddHolder("QueueFilesSaveHolder", TSmartCtrl::Create<TQueueSaveHolder>(m_views, queues, backToQueue));
    queuePage->ShowFiles = [menu = m_menuPanel] { menu->ShowHolder("QueueFilesHolder", true); };
    queuePage->ShowSave = [menu = m_menuPanel] { menu->ShowHolder("QueueFilesSaveHolder", true); };
    m_menuPanel->AddHolder("mhSelectedHolder", TSmartCtrl::Create<TSelectedHolder>(m_views), TSmartTabBar::tbSelected);
    auto* const optionsPage = static_cast<TListOptionsHolder*>(m_menuPanel->AddHolder("mhListOptionsHolder",
        TSmartCtrl::Create<TListOptionsHolder>(
            m_views, [menu = m_menuPanel, listsPage] { menu->ShowHolder(listsPage, true); })));
    listsPage->ShowOptions = [menu = m_menuPanel, optionsPage](TVPlayList& list) {
        optionsPage->PopulateSettings(list);
        menu->ShowHolder(optionsPage, false);
    };
    listsPage->ListRemoved = [optionsPage](const TVPlayList& list) { optionsPage->ReleasePlayList(list); };
    m_menuPanel->AddHolder("SearchHolder", TSmartCtrl::Create<TSearchHolder>(m_views), TSmartTabBar::tbSearch);
    auto* const lyricsPage = static_cast<TLyricsHolder*>(
        m_menuPanel->AddHolder("LyricsHolder", TSmartCtrl::Create<TLyricsHolder>(m_views), TSmartTabBar::tbLyrics));
    auto* const tagsPage = static_cast<TTagsHolder*>(
        m_menuPanel->AddHolder("TagsHolder", TSmartCtrl::Create<TTagsHolder>(m_views), TSmartTabBar::tbTags));
    auto* const picker = static_cast<TTagsSelectHolder*>(m_menuPanel->AddHolder("TagsSelectHolder",
        TSmartCtrl::Create<TTagsSelectHolder>(
            m_views, *tagsPage, [menu = m_menuPanel, tagsPage] { menu->ShowHolder(tagsPage, false); })));
    tagsPage->ShowSelectHolder = [menu = m_menuPanel, picker] {
        picker->Fill();
        menu->ShowHolder(picker, false);
    };
    auto* const settingsPage = m_menuPanel->AddHolder("SettingsHolder",
        TSmartCtrl::Create<TSettingsHolder>(
            m_views, [menu = m_menuPanel](const std::string& id) { menu->ShowHolder(id, true); }));
    auto const backToSettings = [menu = m_menuPanel, settingsPage] { menu->ShowHolder(settingsPage, true); };
    auto* const themesPage = static_cast<TThemesHolder*>(
        m_menuPanel->AddHolder("ThemesHolder", TSmartCtrl::Create<TThemesHolder>(m_views, m_paths, backToSettings)));
    themesPage->Changed = [this] { VclResize(); };
    auto* const languagePage = static_cast<TLanguagesHolder*>(m_menuPanel->AddHolder(
        "LanguageHolder", TSmartCtrl::Create<TLanguagesHolder>(m_views, *m_locale, m_paths, backToSettings)));
    // The theme's default author is a text of the language.
    languagePage->Changed = [this] {
        m_host->ThemeManager->UnknownAuthor = m_locale->Get("Unknown.ThemeAuthor");
        VclResize();
    };
    m_menuPanel->AddHolder("AboutHolder", TSmartCtrl::Create<TAboutHolder>(m_views, backToSettings));
    // The settings belong to no tab: whatever tab was lit goes out.
    m_bottomBar->cbMainButton->OpenSettings = [menu = m_menuPanel] {
        menu->Collapse();
        menu->ShowHolder("SettingsHolder", true);
    };
    auto* const eqPage = static_cast<TEQHolder*>(
        m_menuPanel->AddHolder("EQHolder", TSmartCtrl::Create<TEQHolder>(m_views), TSmartTabBar::tbEqualizer));
    m_menuPanel->AddHolder("EQPresetsHolder",
        TSmartCtrl::Create<TEQPresetsHolder>(
            m_views, [menu = m_menuPanel, eqPage] { menu->ShowHolder(eqPage, false); }));
    eqPage->ShowPresets = [menu = m_menuPanel] { menu->ShowHolder("EQPresetsHolder", true); };
    m_bottomBar->tpEQButton->Toggled = [eqPage] { eqPage->Equalizer->UpdateSliders(); };
    m_panel->ShowTags = [tagsPage](TTrackData& track) { tagsPage->ReadTags(track); };
    m_panel->ShowLyrics = [lyricsPage](TTrackData& track) { lyricsPage->ReadLyrics(track, true); };
    m_views.Tip = m_host->AddControl("mpTip", TSmartCtrl::Create<TSmartTip>(&m_views));
    m_panel->MessageBox = Messages.get();
    m_panel->Changed = [this] {
        VclResize();
        m_host->Invalidate();
    };
    ConnectPlaylistWorkers(*m_session, m_loop->Dispatcher());
    m_panel->StartLoad = [](TVPlayList& list, bool activate) { Load_Start(list, true, activate, false); };
    m_session->SetLocale(m_locale.get());

    TUIDispatcher* const dispatcher = &m_loop->Dispatcher();
    m_session->LoaderHooks.Repaint = [this, dispatcher] {
        if (dispatcher->IsUIThread())
            m_host->Invalidate();
        else
            dispatcher->Post([this] {
                if (m_host)
                    m_host->Invalidate();
            });
    };
    m_session->LoaderHooks.Resize = [this] { VclResize(); };
    // Playback and loading progress show in the bottom bar and in the playing row. Loaders
    // report from their threads, once per track read: one repaint waits on the UI thread at
    // a time.
    Playback->Hooks.RepaintBottomBar = [this] { m_bottomBar->Invalidate(false); };
    // Timed lyrics follow the position at each update and let go when a track starts or stops.
    Playback->Hooks.RepaintControlBar = [this, lyricsPage] {
        m_controlBar->Invalidate(false);
        lyricsPage->FollowPlayback();
    };
    Playback->Hooks.TrackInfoChanged = [this, lyricsPage] {
        m_controlBar->UpdateINFO();
        lyricsPage->FollowPlayback();
    };
    Playback->Hooks.RepaintRow = [this](TTrackData& track) {
        if (track.tdPlayList)
            RepaintList(*track.tdPlayList);
    };
    m_session->Hooks.RepaintBottomBar = [this, dispatcher] {
        if (m_bottomBarRepaintPosted.exchange(true))
            return;
        dispatcher->Post([this] {
            m_bottomBarRepaintPosted = false;
            if (m_bottomBar)
                m_bottomBar->Invalidate(false);
        });
    };
    m_session->CoverHooks.RepaintList = [this](TVPlayList& list) { RepaintList(list); };
    // Covers are prepared at the header's size on screen.
    m_session->CoverHooks.CoverSize = [](const TVPlayList&, const TGroupData&, int& width, int& height) {
        width = height = Scale(playlist_layout::HeaderSize);
    };
    m_session->CoverHooks.GroupShown = [this](const TVPlayList& list, const TGroupData& group) {
        TPlayListView const* const view = m_panel->ViewOf(&list);
        return view && view->GroupShown(group);
    };
    m_session->LoaderHooks.Arrange = [this](TVPlayList& list) { ArrangeList(list); };
    m_session->LoaderHooks.Activate = [this](TVPlayList& list) { m_panel->SetActiveList(&list); };
    m_session->Hooks.Grouped = [this](TVPlayList& list) { ArrangeList(list); };
}

// The hooks above point into the host and this form: they go before the views do, so the
// hand-offs that still run while the lists stop their threads reach no freed view.
void TVantorForm::DisconnectViews()
{
    m_session->LoaderHooks.Repaint = nullptr;
    m_session->Hooks.RepaintBottomBar = nullptr;
    if (Playback) {
        Playback->Hooks.RepaintBottomBar = nullptr;
        Playback->Hooks.RepaintControlBar = nullptr;
        Playback->Hooks.TrackInfoChanged = nullptr;
        Playback->Hooks.RepaintRow = nullptr;
    }
    m_session->LoaderHooks.Resize = nullptr;
    m_session->LoaderHooks.Arrange = nullptr;
    m_session->LoaderHooks.Activate = nullptr;
    m_session->CoverHooks.RepaintList = nullptr;
    m_session->CoverHooks.GroupShown = nullptr;
    m_session->CoverHooks.CoverSize = nullptr;
    m_session->Hooks.Grouped = nullptr;
    if (m_panel) {
        m_panel->Changed = nullptr;
        m_panel->MessageBox = nullptr;
        m_panel->ShowTags = nullptr;
        m_panel->ShowLyrics = nullptr;
    }
    // The side menu's pages follow the lists, the queue and the selection, and let go of them
    // when they go: so they go first, while all of those still exist.
    if (m_menuPanel) {
        m_host->CM_LIST.RemoveControl("MenuPanel");
        m_menuPanel = nullptr;
    }
}

// Every list starts loading on its own thread; the one named by "LastPlayList"
// becomes current when its load starts.
void TVantorForm::LoadPlaylists()
{
    if (m_panel)
        m_panel->LoadPlaylists();
}

// Files given on the command line replace what the default list held, and play once loaded.
void TVantorForm::PlayCommandLine()
{
    TDefaultList* const list = m_session->Special.Default;
    if (!list)
        return;
    list->plDropList.insert(list->plDropList.end(), m_arguments.begin(), m_arguments.end());
    // Paths handed over while the form was being created come after the command line.
    list->plDropList.insert(list->plDropList.end(), m_handedOver.begin(), m_handedOver.end());
    m_handedOver.clear();
    if (list->plDropList.empty())
        return;
    // The first load (the list's file) must not take the arguments, and nothing may load
    // while the list is cleared.
    std::vector<std::string> drop = std::exchange(list->plDropList, {});
    Load_Stop(*list);
    list->ClearList();
    // Whether or not that load got to read the file, its tracks stay out: the list holds
    // exactly the arguments.
    list->plFileRead = true;
    list->plDropList = std::move(drop);
    list->plPlayFile = true;
    Load_Start(*list, true, true, false);
}

// Loads in progress finish before the playlists are saved, so what they add is kept.
void TVantorForm::FinishLoads()
{
    if (!m_panel)
        return;
    for (TVPlayList* list : m_panel->PlayLists())
        Load_Stop(*list);
}

}
