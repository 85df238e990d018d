// Start-up without an audio device: the message, and nothing written.

#include "app/VantorForm.h"
#include "platform/window/FakeMessageBox.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>

namespace vantor {
namespace {

std::set<std::filesystem::path> Listing(std::filesystem::path const& folder)
{
    std::set<std::filesystem::path> entries;
    for (auto const& entry : std::filesystem::recursive_directory_iterator(folder))
        entries.insert(entry.path());
    return entries;
}

TEST(FormAudioFailure, ShowsTheErrorAndEndsWithNothingWritten)
{
    // SDL cannot open a driver it does not know, so the engine's Init fails.
    ::setenv("SDL_AUDIODRIVER", "vantor-no-such-driver", 1);
    auto const folder = testing::ScratchFolder();
    std::string const settings = "[#Settings]\r\nVolume=0.25\r\nHandAdded=keep me\r\n[Presets]\r\nManual=1,2\r\n";
    testing::WriteBytes(folder / "Settings.ini", settings);
    auto const before = Listing(folder);
    {
        TVantorForm form({ "song.mp3" }, TAppPaths::InFolder(folder));
        auto messages = std::make_unique<TFakeMessageBox>();
        TFakeMessageBox* shown = messages.get();
        form.Messages = std::move(messages);

        EXPECT_FALSE(form.FormCreate());
        ASSERT_EQ(shown->Shown.size(), 1u);
        EXPECT_EQ(shown->Shown[0].Kind, TMessageKind::mkError);
        EXPECT_EQ(shown->Shown[0].Text, "Could not initialize audio device");
        EXPECT_EQ(shown->Shown[0].Caption, "");
        EXPECT_EQ(form.Window(), nullptr);
        EXPECT_EQ(form.AudioEngine(), nullptr);
        form.FormDestroy(); // a shutdown asked for anyway writes nothing either
    }
    EXPECT_EQ(testing::ReadBytes(folder / "Settings.ini"), settings);
    EXPECT_EQ(Listing(folder), before);
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
}

}
}
