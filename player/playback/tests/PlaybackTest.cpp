// The playback controller on a null output whose clock the tests move: play order, repeat,
// queue, history, shuffle, pause, offsets, play counts and the three error messages.

#include "player/playback/PlaybackController.h"

#include "base/IniFile.h"
#include "library/GroupData.h"
#include "library/PlayQueue.h"
#include "library/tests/LibraryTestSupport.h"
#include "platform/audio/AudioEngine.h"
#include "platform/audio/tests/AudioTestSupport.h"
#include "platform/window/FakeMessageBox.h"
#include "player/equalizer/Equalizer.h"

#include <algorithm>
#include <chrono>
#include <set>
#include <thread>

namespace vantor::testing {
namespace {

constexpr double kTrackSeconds = 0.25;

class Playback : public LibraryTest {
protected:
    void SetUp() override
    {
        LibraryTest::SetUp();
        TNullOutputOptions options;
        options.Clock = TNullOutputOptions::TClock::Manual;
        ASSERT_TRUE(Engine.InitNull(options));
        Controller = std::make_unique<TPlaybackController>(Session, Settings, Messages, nullptr, nullptr);
        Controller->AudioEngine = &Engine;
    }

    void TearDown() override
    {
        Controller.reset();
        Lists.clear();
        Engine.Free();
        LibraryTest::TearDown();
    }

    // A current list of short tones named after the tracks, in this play order.
    TVPlayList& MakeList(std::vector<std::string> const& names)
    {
        auto list = std::make_unique<TVPlayList>(Session);
        for (std::string const& name : names) {
            std::filesystem::path const path = Root / "music" / (name + ".wav");
            std::filesystem::create_directories(path.parent_path());
            test::WriteWav(path, 44100, 2, kTrackSeconds, test::Sine(440.0, 0.2));
            list->AppendTrack(Track({ { "FilePath", path.string() }, { "TrackName", name } }));
        }
        list->GroupPlaylist(gmTrackName, false);
        Session.CurrentPlayList = list.get();
        Lists.push_back(std::move(list));
        return *Lists.back();
    }

    TTrackData* Find(std::string const& name) const
    {
        for (auto const& list : Lists)
            for (auto const& track : list->plDataList)
                if (track->GetTag("TrackName") == name)
                    return track.get();
        return nullptr;
    }

    std::string Playing() const { return Session.CurrentTrack ? Session.CurrentTrack->GetTag("TrackName") : "-"; }

    // Plays the current track to its end and lets the position timer react.
    std::string Ends()
    {
        Engine.Advance(kTrackSeconds + 0.1);
        Controller->PlayTimerTimer();
        return Playing();
    }

    TAudioEngine Engine;
    TPlayQueue& Queue = Session.Queue();
    THistory& History = Session.History();
    TSettings Settings;
    TFakeMessageBox Messages;
    std::unique_ptr<TPlaybackController> Controller;
    std::vector<std::unique_ptr<TVPlayList>> Lists;
};

TEST_F(Playback, PlaysInOrderAndStopsAtTheEndUnlessRepeated)
{
    TVPlayList& list = MakeList({ "A", "B", "C" });
    Controller->PlayPauseKey(); // stopped: the first track of the current list
    EXPECT_EQ(Playing(), "A");
    EXPECT_EQ(Ends(), "B");
    EXPECT_EQ(Ends(), "C");
    EXPECT_TRUE(list.plAllPlayed) << "the end is noted when the last track starts";
    EXPECT_EQ(Ends(), "C");
    EXPECT_EQ(Controller->PlayerState, psPlaying);
    EXPECT_EQ(Find("A")->tdPlayCount, 1);
    EXPECT_EQ(Find("B")->tdPlayCount, 1);
    EXPECT_EQ(Find("C")->tdPlayCount, 0) << "the last track has no next one";
    EXPECT_TRUE(Messages.Shown.empty());

    Controller->ToggleRepeat();
    EXPECT_FALSE(list.plAllPlayed);
    Controller->PlayFile(Find("B"), true, 0);
    EXPECT_EQ(Ends(), "C");
    EXPECT_EQ(Ends(), "A");
    EXPECT_EQ(Find("C")->tdPlayCount, 1);
}

TEST_F(Playback, StartingATrackAgainLetsAFinishedListGoOn)
{
    MakeList({ "A", "B" });
    Controller->PlayFile(Find("B"), true, 0);
    EXPECT_EQ(Ends(), "B");
    Controller->PlayFile(Find("A"), true, 0);
    EXPECT_EQ(Ends(), "B");
}

TEST_F(Playback, QueuedTracksComeFirstThenTheirListGoesOn)
{
    MakeList({ "A", "B", "C", "D", "E" });
    Controller->PlayFile(Find("A"), true, 0);
    Queue.AddToQueue(Find("D"));
    Queue.AddToQueue(Find("B"));
    EXPECT_EQ(Ends(), "D");
    EXPECT_EQ(Ends(), "B");
    EXPECT_EQ(Ends(), "C");
    EXPECT_EQ(Session.QueueIndex, 2);
}

TEST_F(Playback, ATrackQueuedWhileTheLastOnePlaysWaits)
{
    MakeList({ "A", "B" });
    Controller->PlayFile(Find("B"), true, 0);
    Queue.AddToQueue(Find("A"));
    EXPECT_EQ(Ends(), "B");
    Controller->PlayNext(0);
    EXPECT_EQ(Playing(), "A") << "next still takes the queue";
}

TEST_F(Playback, HistoryGoesBackToItsOldestEntryAndForwardAgain)
{
    MakeList({ "A", "B", "C", "D" });
    for (char const* name : { "A", "B", "C" })
        Controller->PlayFile(Find(name), true, 0);
    std::vector<std::string> heard;
    for (int i = 0; i < 3; ++i) {
        Controller->PlayPrevious();
        heard.push_back(Playing());
    }
    for (int i = 0; i < 3; ++i) {
        Controller->PlayNext(0);
        heard.push_back(Playing());
    }
    EXPECT_EQ(heard, (std::vector<std::string> { "B", "A", "A", "B", "C", "D" }));
    EXPECT_EQ(Controller->PeekedPrevious(), Find("C"));
}

TEST_F(Playback, ShufflePlaysEveryTrackOnceARound)
{
    std::vector<std::string> const names { "A", "B", "C", "D", "E", "F" };
    TVPlayList& list = MakeList(names);
    Controller->ToggleShuffle();
    ASSERT_EQ(list.plShuffleList.size(), names.size());
    Controller->PlayNext(0);
    std::multiset<std::string> round { Playing() };
    for (size_t i = 1; i < names.size(); ++i)
        round.insert(Ends());
    EXPECT_EQ(round, std::multiset<std::string>(names.begin(), names.end()));
    std::string const last = Playing();
    EXPECT_EQ(Ends(), last) << "without repeat nothing follows the round";

    Controller->ToggleRepeat();
    Controller->PlayFile(Find(last), true, 0);
    // The next round was prepared as its predecessor's last track started, and follows it.
    EXPECT_EQ(list.plShuffleList.size(), names.size());
    TTrackData* const first = Controller->PeekedNext();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(Ends(), first->GetTag("TrackName"));
}

// The next track's stream is linked ahead, so it plays from the joint on, before the timer
// notices the end; the tick then moves on as it always did (play count, history).
TEST_F(Playback, TheNextTrackTakesOverAtTheJointBeforeTheTick)
{
    MakeList({ "A", "B", "C" });
    Controller->PlayFile(Find("A"), true, 0);
    Engine.Advance(kTrackSeconds + 0.1);
    EXPECT_EQ(Playing(), "A");
    Controller->PlayTimerTimer();
    EXPECT_EQ(Playing(), "B");
    uint32_t const stream = Controller->StreamHandle;
    EXPECT_EQ(Engine.ChannelIsActive(stream), TChannelState::Playing);
    EXPECT_NEAR(Engine.ChannelBytes2Seconds(stream, Engine.ChannelGetPosition(stream)), 0.1, 0.03);
    EXPECT_EQ(Controller->PlayPosition, Engine.ChannelGetPosition(stream));
    EXPECT_EQ(Find("A")->tdPlayCount, 1);
    EXPECT_EQ(History.Count(), 2);
    EXPECT_EQ(Controller->PeekedNext(), Find("C"));
}

// The prepared stream sounds like the current one from its first sample, and at the tick its
// filters follow what the equalizer did meanwhile (here: switched off).
TEST_F(Playback, ThePreparedStreamCarriesTheEqualizer)
{
    std::filesystem::path const ini = Root / "Settings.ini";
    WriteBytes(ini.string(), "[Presets]\nDefault=0\nManual=0\nRock=5,4,2,-1,-2,-1,2,4,5,5\n");
    TEqualizer eq(&Engine, Settings, [this] { return Controller->StreamHandle; });
    eq.LoadPresets(TIniFile(ini));
    Controller->Equalizer = &eq;
    MakeList({ "A", "B" });
    eq.SetEqualizerOn(true);
    eq.ApplyEqPresetByID("Rock");
    Controller->PlayFile(Find("A"), true, 0);
    eq.SetEqualizerOn(false);
    EXPECT_EQ(Ends(), "B");
    for (TFxHandle const fx : eq.EqFxHandles) {
        TPeakingEqParams params;
        ASSERT_TRUE(Engine.FXGetParameters(fx, params));
        EXPECT_EQ(params.Gain, 0.0f);
        EXPECT_TRUE(Engine.ChannelRemoveFX(Controller->StreamHandle, fx)) << "a filter of the new stream";
    }
    Controller->Equalizer = nullptr;
}

// A track queued after the next one was prepared replaces it before the joint; "next" pressed
// in the last seconds plays the prepared track from its beginning.
TEST_F(Playback, ThePreparedTrackFollowsChangesAndNext)
{
    MakeList({ "A", "B", "C", "D" });
    Controller->PlayFile(Find("A"), true, 0);
    Queue.AddToQueue(Find("C"));
    Engine.Advance(0.05);
    Controller->PlayTimerTimer();
    Engine.Advance(kTrackSeconds);
    Controller->PlayTimerTimer();
    EXPECT_EQ(Playing(), "C");
    EXPECT_GT(Engine.ChannelGetPosition(Controller->StreamHandle), 0) << "took over at the joint";

    Controller->PlayNext(0);
    EXPECT_EQ(Playing(), "D");
    EXPECT_EQ(Engine.ChannelGetPosition(Controller->StreamHandle), 0);
    EXPECT_EQ(Engine.ChannelIsActive(Controller->StreamHandle), TChannelState::Playing);
}

TEST_F(Playback, PauseResumesButAnotherTrackStartsFromItsBeginning)
{
    MakeList({ "A", "B" });
    Controller->PlayFile(Find("A"), true, 0);
    Engine.Advance(0.1);
    Controller->Pause();
    EXPECT_EQ(Controller->PlayerState, psPaused);

    Controller->PlayFile(Find("B"), true, 0);
    EXPECT_EQ(Playing(), "B");
    EXPECT_EQ(Controller->PlayerState, psPlaying);
    EXPECT_EQ(Engine.ChannelGetPosition(Controller->StreamHandle), 0);
    EXPECT_FALSE(Find("A")->idPlaying);
    EXPECT_TRUE(Find("B")->idPlaying);

    Engine.Advance(0.1);
    Controller->Pause();
    int64_t const halted = Engine.ChannelGetPosition(Controller->StreamHandle);
    EXPECT_GT(halted, 0);
    Controller->Pause();
    EXPECT_EQ(Controller->PlayerState, psPlaying);
    EXPECT_EQ(Engine.ChannelGetPosition(Controller->StreamHandle), halted);
    EXPECT_EQ(Playing(), "B");
}

TEST_F(Playback, NextWithAnOffsetStartsPartWayAndStopKeepsTheTrack)
{
    MakeList({ "A", "B" });
    Controller->PlayFile(Find("A"), true, 0);
    Controller->PlayNext(30);
    EXPECT_EQ(Playing(), "B");
    double const length = static_cast<double>(Engine.ChannelGetLength(Controller->StreamHandle));
    EXPECT_NEAR(static_cast<double>(Engine.ChannelGetPosition(Controller->StreamHandle)) / length, 0.30, 0.01);

    Engine.Advance(0.05);
    Controller->PlayTimerTimer();
    EXPECT_EQ(Controller->LengthText, "00:00");
    EXPECT_GT(Controller->PlayPosition, 0);

    Controller->StopPlay();
    EXPECT_EQ(Controller->PlayerState, psStopped);
    EXPECT_EQ(Controller->StreamHandle, 0u);
    EXPECT_EQ(Controller->PlayPosition, 0);
    EXPECT_EQ(Playing(), "B");
    EXPECT_FALSE(Find("B")->idPlaying);
    Controller->Pause(); // the play button: the stopped track again, from its beginning
    EXPECT_EQ(Playing(), "B");
    EXPECT_EQ(Engine.ChannelGetPosition(Controller->StreamHandle), 0);
}

TEST_F(Playback, FilesThatCannotPlayAreReportedWithTheirPath)
{
    MakeList({ "A", "B" });
    Controller->PlayFile(Find("A"), true, 0);
    uint32_t const playing = Controller->StreamHandle;

    std::string const missing = Find("B")->GetTag("FilePath");
    std::filesystem::remove(missing);
    Controller->PlayFile(Find("B"), true, 0);
    ASSERT_EQ(Messages.Shown.size(), 1u);
    EXPECT_EQ(Messages.Shown[0].Text, "Error.CannotOpen " + missing);
    EXPECT_EQ(Controller->StreamHandle, playing) << "what played goes on";
    EXPECT_EQ(Engine.ChannelIsActive(playing), TChannelState::Playing);

    // Text renamed to .mp3: the engine refuses it, the old stream is gone and nothing plays.
    std::string const text = (Root / "music" / "notes.mp3").string();
    WriteBytes(text, "just some words, no audio at all");
    Find("B")->SetTag("FilePath", text);
    Controller->PlayFile(Find("B"), true, 0);
    ASSERT_EQ(Messages.Shown.size(), 2u);
    EXPECT_EQ(Messages.Shown[1].Text, "Error.CannotLoad " + text);
    EXPECT_EQ(Engine.ChannelIsActive(playing), TChannelState::Stopped);
    EXPECT_EQ(Controller->PlayerState, psStopped);
    Controller->PlayTimerTimer(); // nothing to follow, nothing happens
    EXPECT_EQ(Playing(), "B");
}

TEST_F(Playback, AFileDeletedWhileItPlaysEndsAndTheNextFollows)
{
    MakeList({ "A", "B" });
    Controller->PlayFile(Find("A"), true, 0);
    std::filesystem::remove(Find("A")->GetTag("FilePath"));
    EXPECT_EQ(Ends(), "B");
    EXPECT_TRUE(Messages.Shown.empty());
}

TEST_F(Playback, RemovingThePlayingTrackStopsItsStream)
{
    TVPlayList& list = MakeList({ "A", "B" });
    Controller->PlayFile(Find("B"), true, 0);
    uint32_t const stream = Controller->StreamHandle;
    list.RemoveTrack(Find("B"), false);
    EXPECT_EQ(Session.CurrentTrack, nullptr);
    EXPECT_EQ(Controller->PlayerState, psStopped);
    EXPECT_EQ(Engine.ChannelIsActive(stream), TChannelState::Stopped);
    EXPECT_EQ(Controller->PeekedPrevious(), nullptr);
}

// ReplayGain measured at the device: the fixture's tags ask for -6.02 dB (track) and
// -12.04 dB (album); a file without them gets the pre-amp.
TEST_F(Playback, ReplayGainSetsTheLevelAtTheOutput)
{
    struct TCase {
        const char* Name;
        std::string File;
        int Mode;
        double Preamp;
        double Level; // of the 1 kHz sine at half of full scale
    };
    const TCase cases[] = {
        { "off", test::Fixture("replaygain.flac"), 0, 0.0, 0.5 },
        { "track", test::Fixture("replaygain.flac"), 1, 0.0, 0.25 },
        { "album", test::Fixture("replaygain.flac"), 2, 0.0, 0.125 },
        { "pre-amp", test::Fixture("sine.flac"), 1, -6.02, 0.25 },
    };
    Settings.Volume = 1.0;
    for (const TCase& c : cases) {
        Settings.ReplayGain = c.Mode;
        Settings.ReplayGainPreamp = c.Preamp;
        auto list = std::make_unique<TVPlayList>(Session);
        list->AppendTrack(Track({ { "FilePath", c.File }, { "TrackName", c.Name } }));
        list->GroupPlaylist(gmTrackName, false);
        TTrackData* const track = list->plDataList.front().get();
        Lists.push_back(std::move(list));

        const auto rawFile = test::TempDir() / (std::string(c.Mode == 0 ? "off" : "on") + c.Name + ".raw");
        {
            test::TScopedEnv driver("SDL_AUDIODRIVER", "disk");
            test::TScopedEnv file("SDL_DISKAUDIOFILE", rawFile.string());
            TAudioEngine device;
            ASSERT_TRUE(device.Init(44100));
            Controller->AudioEngine = &device;
            Controller->PlayFile(track, false, 0);
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
            while (test::RecordedSound(rawFile).size() < 2 * 8000 && std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            Controller->StopPlay();
            Controller->AudioEngine = &Engine;
        }
        const auto out = test::RecordedSound(rawFile);
        ASSERT_GE(out.size(), 2u * 8000) << c.Name;
        for (int ch = 0; ch < 2; ++ch)
            EXPECT_NEAR(test::ToneAmplitude(out, ch, 1000.0, 44100, 882, 4410), c.Level, 0.01 * c.Level)
                << c.Name << " channel " << ch;
    }
}

TEST_F(Playback, HandedOverPathsPlayFirstEvenWhilePlaying)
{
    TVPlayList& list = MakeList({ "A", "B", "C" });
    Controller->PlayFile(Find("A"), true, 0);
    Controller->PlayHandedOver(list, { (Root / "elsewhere.mp3").string(), Find("C")->GetTag("FilePath") });
    EXPECT_EQ(Playing(), "C");
    EXPECT_EQ(Controller->PlayerState, psPlaying);
    Controller->PlayHandedOver(list, { (Root / "music").string() });
    EXPECT_EQ(Playing(), "A") << "a folder plays its first track";
    Controller->PlayHandedOver(list, { (Root / "nothing-here").string() });
    EXPECT_EQ(Controller->PlayerState, psPaused) << "no handed-over track: the play/pause toggle";
}

}
}
