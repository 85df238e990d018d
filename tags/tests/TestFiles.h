#pragma once
// Helpers shared by the tag library's tests: fixtures, scratch copies, bytes as vectors. The
// scratch folders are the ones every test uses (tests/support/TestFiles.h).

#include "tests/support/TestFiles.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace vantor::test {

inline std::string Fixture(const std::string& name) { return std::string(VANTOR_TEST_DATA) + "/tags/" + name; }

// A fresh scratch folder per test name.
inline std::filesystem::path ScratchDir(const std::string& name) { return testing::ScratchFolderNamed(name); }

inline std::vector<uint8_t> ReadBytes(const std::filesystem::path& path)
{
    const std::string bytes = testing::ReadBytes(path);
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

inline void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    testing::WriteBytes(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

// Copies a fixture into the scratch folder and returns the copy's path.
inline std::string ScratchCopy(const std::string& fixture, const std::filesystem::path& dir, const std::string& as = "")
{
    const std::filesystem::path target = dir / (as.empty() ? std::filesystem::path(fixture).filename().string() : as);
    std::filesystem::copy_file(Fixture(fixture), target, std::filesystem::copy_options::overwrite_existing);
    return target.string();
}

inline std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

inline void Append(std::vector<uint8_t>& to, const std::vector<uint8_t>& bytes)
{
    to.insert(to.end(), bytes.begin(), bytes.end());
}

} // namespace vantor::test
