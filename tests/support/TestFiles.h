#pragma once

// Scratch folders and files for tests, under the folder the build gives in VANTOR_TEST_TMP.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

namespace vantor::testing {

// A fresh, empty folder of that name under the tests' scratch root.
inline std::filesystem::path ScratchFolderNamed(std::string_view name)
{
    char const* root = std::getenv("VANTOR_TEST_TMP");
    std::filesystem::path folder = root ? root : std::filesystem::temp_directory_path() / "vantor-test";
    folder /= name;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

// A fresh, empty folder named after the running test.
inline std::filesystem::path ScratchFolder()
{
    auto const* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return ScratchFolderNamed(std::string(info->test_suite_name()) + "." + info->name());
}

inline std::string ReadBytes(std::filesystem::path const& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

inline void WriteBytes(std::filesystem::path const& path, std::string_view bytes)
{
    if (path.has_parent_path())
        std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}
