#pragma once
// Helpers shared by the tag library's tests: fixtures, scratch copies, bytes.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace vantor::test {

inline std::string Fixture(const std::string& name) { return std::string(VANTOR_TEST_DATA) + "/tags/" + name; }

// A fresh scratch folder per test name.
inline std::filesystem::path ScratchDir(const std::string& name) {
  const char* base = std::getenv("VANTOR_TEST_TMP");
  std::filesystem::path dir =
      (base ? std::filesystem::path(base) : std::filesystem::temp_directory_path() / "vantor-tags-test") / name;
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

inline std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// Copies a fixture into the scratch folder and returns the copy's path.
inline std::string ScratchCopy(const std::string& fixture, const std::filesystem::path& dir, const std::string& as = "") {
  const std::filesystem::path target = dir / (as.empty() ? std::filesystem::path(fixture).filename().string() : as);
  std::filesystem::copy_file(Fixture(fixture), target, std::filesystem::copy_options::overwrite_existing);
  return target.string();
}

inline std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

inline void Append(std::vector<uint8_t>& to, const std::vector<uint8_t>& bytes) { to.insert(to.end(), bytes.begin(), bytes.end()); }

} // namespace vantor::test
