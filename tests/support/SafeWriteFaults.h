#pragma once

// Saves made to fail at each step of the safe file writer, and what they must leave behind.

#include "base/SafeFileWriter.h"
#include "tests/support/TestFiles.h"

#include <filesystem>
#include <functional>
#include <set>
#include <string>

#include <gtest/gtest.h>

namespace vantor::testing {

class TFailingStep final : public ISafeWriteFaults {
public:
    explicit TFailingStep(TSafeWriteStep step)
        : m_step(step)
    {
    }
    bool Fails(TSafeWriteStep step) override { return step == m_step; }

private:
    TSafeWriteStep m_step;
};

inline std::set<std::string> FolderEntries(std::filesystem::path const& folder)
{
    std::set<std::string> names;
    for (auto const& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

// Runs save (which tells whether it succeeded) with each step of the safe writer failing in
// turn: each time it must report the failure, leave file byte for byte and leave no file
// behind in the folder. Then, without a fault, the same save must succeed and change the
// file, which shows the failed ones really had something to write.
inline void ExpectFailedSavesKeepTheFile(std::filesystem::path const& file, std::function<bool()> const& save)
{
    std::string const old = ReadBytes(file);
    auto const entries = FolderEntries(file.parent_path());
    for (TSafeWriteStep step :
        { TSafeWriteStep::Open, TSafeWriteStep::Write, TSafeWriteStep::Sync, TSafeWriteStep::Rename }) {
        SCOPED_TRACE("failing step " + std::to_string(static_cast<int>(step)));
        TFailingStep faults(step);
        TSafeWriteFaultScope scope(faults);
        EXPECT_FALSE(save());
        EXPECT_EQ(ReadBytes(file), old);
        EXPECT_EQ(FolderEntries(file.parent_path()), entries);
    }
    EXPECT_TRUE(save());
    EXPECT_NE(ReadBytes(file), old);
    EXPECT_EQ(FolderEntries(file.parent_path()), entries);
}

}
