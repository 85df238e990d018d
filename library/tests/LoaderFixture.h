#pragma once

// Shared set-up of the loader and cover tests: a UI dispatcher on the test thread, the hooks
// counting what the hand-offs do, a scratch folder, and helpers to build playlists and files.

#include "library/CoverThread.h"
#include "library/PlayList.h"
#include "library/PlayerSession.h"
#include "library/PlaylistLoader.h"
#include "platform/window/UIDispatcher.h"
#include "tests/support/Waits.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace vantor {

namespace fs = std::filesystem;

class LoaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* tmp = std::getenv("VANTOR_TEST_TMP");
        ASSERT_NE(tmp, nullptr);
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        Root = fs::path(tmp) / (std::string(info->test_suite_name()) + "." + info->name());
        fs::remove_all(Root);
        fs::create_directories(Root / "Playlists");
        Session.SetAppPath(Root.string());
        Session.LoaderHooks.Dispatcher = &Dispatcher;
        Dispatcher.SetWakeHook([this] { ++Queued; });
        Session.LoaderHooks.Resize = [this] { ++Commits; };
        Session.LoaderHooks.PlayPause = [this] { ++PlayPauses; };
        Session.CoverHooks.Interval = std::chrono::milliseconds(2);
    }

    // Runs hand-offs until that many loads have been committed; false when they did not
    // finish in a generous time (call as ASSERT_TRUE(WaitForCommits(n))).
    [[nodiscard]] bool WaitForCommits(int count)
    {
        return vantor::testing::RunPostedUntil(
            Dispatcher, [&] { return Commits >= count; }, std::chrono::seconds(60));
    }

    // A copy of a fixture track at Root / relative.
    fs::path CopyTrack(const std::string& fixture, const fs::path& relative)
    {
        fs::path const target = Root / relative;
        fs::create_directories(target.parent_path());
        fs::copy_file(
            fs::path(VANTOR_TEST_DATA) / "covers/tracks" / fixture, target, fs::copy_options::overwrite_existing);
        return target;
    }

    static void WriteText(const fs::path& path, const std::string& text)
    {
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }

    // A playlist file with one section per track path.
    static void WritePlaylist(const fs::path& path, const std::vector<fs::path>& tracks, const std::string& id = "#7")
    {
        std::string text;
        int section = 100;
        for (const fs::path& track : tracks) {
            text += '[';
            text += std::to_string(section++);
            text += "]\nFilePath=";
            text += track.string();
            text += "\nFileName=";
            text += track.filename().string();
            text += "\nTrackName=";
            text += track.stem().string();
            text += '\n';
        }
        text += "[#Settings]\nCaption=Test\nGroupMode=3\nID=";
        text += id;
        text += '\n';
        WriteText(path, text);
    }

    static std::vector<std::string> Paths(const TVPlayList& list)
    {
        std::vector<std::string> paths;
        for (const auto& track : list.plDataList)
            paths.push_back(track->GetTag(tkFilePath));
        return paths;
    }

    TUIDispatcher Dispatcher;
    // Declared before every list a test makes, so it outlives them.
    TPlayerSession Session;
    fs::path Root;
    int Commits = 0;
    std::atomic<int> Queued { 0 }; // hand-offs queued to the dispatcher so far
    int PlayPauses = 0;
};

}
