// The main window's keyboard handling: media keys drive playback, Ctrl, Shift and Alt switch
// the current playlist's delete, location and select modes while they are held.

#include "app/VantorForm.h"
#include "library/PlayQueue.h"
#include "library/tests/LibraryTestSupport.h"
#include "platform/audio/AudioEngine.h"
#include "platform/audio/tests/AudioTestSupport.h"
#include "platform/window/FakeMessageBox.h"
#include "platform/window/KeyCodes.h"
#include "player/playback/PlaybackController.h"

#include <gtest/gtest.h>

#include <array>

namespace vantor::testing {
namespace {

class FormKeys : public LibraryTest {
protected:
    void SetUp() override
    {
        LibraryTest::SetUp();
        Form = std::make_unique<TVantorForm>(std::vector<std::string> {}, TAppPaths::InFolder(Root));
        TNullOutputOptions options;
        options.Clock = TNullOutputOptions::TClock::Manual;
        ASSERT_TRUE(Engine.InitNull(options));
        Form->Playback =
            std::make_unique<TPlaybackController>(Form->Session(), Form->Settings, Messages, nullptr, nullptr);
        Form->Playback->AudioEngine = &Engine;

        List = std::make_unique<TVPlayList>(Form->Session());
        for (char const* name : { "A", "B", "C" }) {
            std::filesystem::path const path = Root / "music" / (std::string(name) + ".wav");
            std::filesystem::create_directories(path.parent_path());
            test::WriteWav(path, 44100, 2, 1.0, test::Sine(440.0, 0.2));
            List->AppendTrack(Track({ { "FilePath", path.string() }, { "TrackName", name } }));
        }
        List->GroupPlaylist(gmTrackName, false);
        Form->Session().CurrentPlayList = List.get();
    }

    void TearDown() override
    {
        // The list belongs to the form's session, so it goes first.
        List.reset();
        Form.reset();
        Engine.Free();
        LibraryTest::TearDown();
    }

    std::string Playing() const
    {
        TTrackData const* const track = Form->Session().CurrentTrack;
        return track ? track->GetTag("TrackName") : "-";
    }

    std::array<bool, 3> Modes() const { return { List->plDeleteMode, List->plLocationMode, List->plSelectMode }; }

    TAudioEngine Engine;
    TFakeMessageBox Messages;
    std::unique_ptr<TVantorForm> Form;
    std::unique_ptr<TVPlayList> List;
};

TEST_F(FormKeys, MediaKeysDrivePlayback)
{
    Form->GlobalKeyDown(vkMediaPlayPause, 0);
    EXPECT_EQ(Playing(), "A") << "stopped: play starts with the current list's first track";
    EXPECT_EQ(Form->Playback->PlayerState, psPlaying);
    Form->GlobalKeyDown(vkMediaPlayPause, 0);
    EXPECT_EQ(Form->Playback->PlayerState, psPaused);
    Form->GlobalKeyDown(vkMediaPlayPause, 0);
    EXPECT_EQ(Form->Playback->PlayerState, psPlaying);
    Form->GlobalKeyDown(vkMediaNextTrack, 0);
    EXPECT_EQ(Playing(), "B");
    Form->GlobalKeyDown(vkMediaNextTrack, 0);
    EXPECT_EQ(Playing(), "C");
    Form->GlobalKeyDown(vkMediaPrevTrack, 0);
    EXPECT_EQ(Playing(), "B");
    // A media key pressed with a modifier is still only the media key.
    Form->GlobalKeyDown(vkMediaStop, ssCtrl | ssShift | ssAlt);
    EXPECT_EQ(Form->Playback->PlayerState, psStopped);
    EXPECT_EQ(Modes(), (std::array<bool, 3> { false, false, false }));
    EXPECT_TRUE(Messages.Shown.empty());

    // Without a playback controller (before start-up made one) the keys do nothing.
    Form->Playback.reset();
    for (uint16_t key : { vkMediaPlayPause, vkMediaStop, vkMediaNextTrack, vkMediaPrevTrack })
        Form->GlobalKeyDown(key, 0);
    EXPECT_EQ(Playing(), "B");
}

TEST_F(FormKeys, PlayerKeysPlaySeekAndChangeTheVolume)
{
    Form->GlobalKeyDown(vkSpace, 0);
    ASSERT_EQ(Form->Playback->PlayerState, psPlaying);
    EXPECT_EQ(Playing(), "A");
    // The tracks are 0.2 s long: a seek forward ends at the last byte, one back at the start.
    Form->GlobalKeyDown(vkRight, 0);
    EXPECT_EQ(Form->Playback->PlayPosition, Form->Playback->TrackLastByte);
    Form->GlobalKeyDown(vkLeft, 0);
    EXPECT_EQ(Form->Playback->PlayPosition, 0);
    Form->GlobalKeyDown(vkSpace, 0);
    EXPECT_EQ(Form->Playback->PlayerState, psPaused);

    Form->Settings.Volume = 0.5;
    Form->Settings.Muted = true;
    Form->GlobalKeyDown(vkUp, 0);
    EXPECT_DOUBLE_EQ(Form->Settings.Volume, 0.55);
    EXPECT_FALSE(Form->Settings.Muted);
    Form->Settings.Volume = 0.02;
    Form->GlobalKeyDown(vkDown, 0);
    EXPECT_DOUBLE_EQ(Form->Settings.Volume, 0.0) << "the volume stays within 0..1";
}

TEST_F(FormKeys, ModifiersSwitchTheListsModesWhileHeld)
{
    struct TCase {
        uint16_t Key;
        TShiftState Down;          // the modifiers held after the key went down
        std::array<bool, 3> Modes; // delete, location, select
    };
    for (TCase const& c :
        { TCase { vkControl, ssCtrl, { true, false, false } }, TCase { vkShift, ssShift, { false, true, false } },
            TCase { vkMenu, ssAlt, { false, false, true } }, TCase { 'A', ssCtrl | ssAlt, { true, false, true } },
            TCase { vkShift, ssCtrl | ssShift | ssAlt, { true, true, true } } }) {
        SCOPED_TRACE(c.Key);
        Form->GlobalKeyDown(c.Key, c.Down);
        EXPECT_EQ(Modes(), c.Modes);
        Form->GlobalKeyUp(c.Key, 0);
        EXPECT_EQ(Modes(), (std::array<bool, 3> { false, false, false }));
    }
    // Letting go of one modifier ends its mode only.
    Form->GlobalKeyDown(vkShift, ssCtrl | ssShift);
    Form->GlobalKeyUp(vkShift, ssCtrl);
    EXPECT_EQ(Modes(), (std::array<bool, 3> { true, false, false }));
    Form->GlobalKeyUp(vkControl, 0);
    EXPECT_EQ(Modes(), (std::array<bool, 3> { false, false, false }));

    // Without a current list nothing changes, and nothing breaks.
    Form->Session().CurrentPlayList = nullptr;
    Form->GlobalKeyDown(vkControl, ssCtrl);
    EXPECT_EQ(Modes(), (std::array<bool, 3> { false, false, false }));
    Form->GlobalKeyUp(vkControl, 0);
}

}
}
