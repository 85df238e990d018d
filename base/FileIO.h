#pragma once

// Whole-file reads. Files are written through base/SafeFileWriter.h.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vantor {

// The bytes of a regular file, or nothing when it is missing, not a regular file or cannot
// be read. Reads at most the size the file has when opened.
std::optional<std::string> ReadWholeFile(std::filesystem::path const& path);

// The bytes of a regular file, read as ReadWholeFile does, into memory taken from the system
// for it alone: a file of many megabytes is then neither cleared before the read nor brought
// in page by page.
class TFileBytes {
public:
    static std::optional<TFileBytes> Read(std::filesystem::path const& path);

    TFileBytes(TFileBytes&& other) noexcept;
    TFileBytes& operator=(TFileBytes&& other) noexcept;
    TFileBytes(const TFileBytes&) = delete;
    TFileBytes& operator=(const TFileBytes&) = delete;
    ~TFileBytes();

    std::string_view View() const { return { m_data, m_size }; }

private:
    TFileBytes() = default;
    void Release();

    char* m_data = nullptr;
    size_t m_size = 0;
    size_t m_mapped = 0;
};

}
