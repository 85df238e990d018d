#pragma once

// Scratch folders and small builders shared by the library tests.

#include "app/AppState.h"
#include "library/PlayList.h"
#include "library/SpecialLists.h"
#include "tests/support/TestFiles.h"

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

namespace vantor::testing {

// A test with its own AppPath (a scratch folder with "Playlists/" and "Queues/") and the
// process-wide state reset before and after.
class LibraryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Root = ScratchFolder();
        std::filesystem::create_directories(Root / "Playlists");
        std::filesystem::create_directories(Root / "Queues");
        App.AppPath = Root.string() + "/";
        App.CurrentPlayList = nullptr;
        App.CurrentTrack = nullptr;
        App.QueueIndex = 0;
        App.HistoryLimit = 20;
        App.Settings.LastPlayListID.clear();
    }
    void TearDown() override
    {
        App.CurrentPlayList = nullptr;
        App.CurrentTrack = nullptr;
        SpecialLists() = {};
    }

    // An empty file to stand for an audio file.
    std::string AudioFile(const std::string& name, size_t size = 0)
    {
        std::filesystem::path const path = Root / "music" / name;
        WriteBytes(path, std::string(size, 'x'));
        return path.string();
    }

    // A track with the given tags ("FilePath" first when given).
    static std::unique_ptr<TTrackData> Track(std::initializer_list<std::pair<const char*, std::string>> tags)
    {
        auto track = std::make_unique<TTrackData>();
        for (auto const& [key, value] : tags)
            track->SetTag(key, value);
        track->UpdateDuration();
        return track;
    }

    std::filesystem::path Root;
};

}
