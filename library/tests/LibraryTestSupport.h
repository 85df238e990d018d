#pragma once

// Scratch folders and small builders shared by the library tests.

#include "library/PlayList.h"
#include "library/PlayerSession.h"
#include "library/SpecialLists.h"
#include "tests/support/TestFiles.h"

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

namespace vantor::testing {

// A test with its own session whose AppPath is a scratch folder with "Playlists/" and
// "Queues/".
class LibraryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Root = ScratchFolder();
        std::filesystem::create_directories(Root / "Playlists");
        std::filesystem::create_directories(Root / "Queues");
        Session.SetAppPath(Root.string());
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
    // Declared before every list a test makes, so it outlives them.
    TPlayerSession Session;
};

}
