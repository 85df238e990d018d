#pragma once

// INI-style text files: "[Section]" lines, each followed by "key=value" lines.
//
// Section and key names compare without regard to case (Unicode case folding). Keys and
// values are trimmed of surrounding blanks; values are single lines. Reading a key finds its
// first occurrence; a section written twice in the file reads as one (its blocks in file
// order). Everything the program does not know (other sections, other keys, comments, blank
// lines, unparsable lines) is kept in place and in order when the file is written back.
//
// Two access styles:
//  - TIniAccess::KeyByKey: every Write*/Delete*/Erase* call writes the whole file at once and
//    returns whether that worked. Reads come from the content read when the object was made.
//    For many keys at once prefer WholeFile and one UpdateFile(): the result is the same file.
//  - TIniAccess::WholeFile: changes stay in memory until UpdateFile().
//
// Text in memory is UTF-8. A file that starts with a UTF-16 byte-order mark (LE or BE) is
// written back as UTF-16 with that mark; a UTF-8 mark is kept; a file that is not valid UTF-8
// is read as Windows-1252 and written back as UTF-8. New files are UTF-8 without a mark and
// use LF line ends; an existing file keeps its line-end style (LF or CR LF).
//
// Writing goes to a temporary file in the same folder which is flushed and then renamed over
// the old file: a failed write returns false and leaves the old file intact. A missing,
// unreadable or malformed file reads as whatever lines could be understood, never fails; a file
// that exists but cannot be read is never overwritten.

#include "base/TextFileEncoding.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace vantor {

enum class TIniAccess {
    KeyByKey,
    WholeFile,
};

class TIniFile {
public:
    // Reads the file at path; a missing or unreadable file gives an empty one.
    explicit TIniFile(std::filesystem::path path, TIniAccess access = TIniAccess::WholeFile);

    // A file held in memory only (tests, fuzzing); UpdateFile() fails for it.
    static TIniFile FromBytes(std::string_view bytes);

    std::filesystem::path const& Path() const { return m_path; }
    TIniAccess Access() const { return m_access; }
    TTextEncoding Encoding() const { return m_encoding; }
    TLineEnding LineEnding() const { return m_lineEnding; }
    // Whether the file existed and could be read when this object was made.
    bool WasRead() const { return m_wasRead; }
    // Whether something exists at the path that could not be read (no permission, not a
    // regular file). Writing is then refused, so content never seen is never overwritten.
    bool Unreadable() const { return m_unreadable; }

    // --- reading ---
    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const;
    std::string ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) const;
    // Typed reads use the encodings of IniValues.h; an absent or unparsable value gives the
    // default.
    int32_t ReadInteger(std::string_view section, std::string_view key, int32_t defaultValue) const;
    int64_t ReadInt64(std::string_view section, std::string_view key, int64_t defaultValue) const;
    bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;
    double ReadFloat(std::string_view section, std::string_view key, double defaultValue) const;

    // Section names in file order, each once (spelled as at its first occurrence).
    std::vector<std::string> ReadSections() const;
    // Key names of a section in file order, duplicates included.
    std::vector<std::string> ReadSection(std::string_view section) const;
    // Key/value pairs of a section in file order, duplicates included.
    std::vector<std::pair<std::string, std::string>> ReadSectionValues(std::string_view section) const;

    // --- writing ---
    // Sets the first occurrence of the key, or appends the key to the section (the section to
    // the file) when absent. CR and LF in a value become spaces, so one value stays one line;
    // ill-formed UTF-8 becomes U+FFFD.
    // A key that is empty, holds "=", CR or LF or starts with "[" or ";", or a section name
    // that is empty or holds "]", CR or LF, cannot be stored: the call returns false and
    // changes nothing.
    bool WriteString(std::string_view section, std::string_view key, std::string_view value);
    bool WriteInteger(std::string_view section, std::string_view key, int64_t value);
    bool WriteBool(std::string_view section, std::string_view key, bool value);
    bool WriteFloat(std::string_view section, std::string_view key, double value);
    // Appends the section without keys when it does not exist yet (an emptied list keeps its
    // section). False for a section name that cannot be stored.
    bool EnsureSection(std::string_view section);
    // Removes every occurrence of the key from the section. True when the key is gone (and,
    // for KeyByKey, the file was written).
    bool DeleteKey(std::string_view section, std::string_view key);
    // Removes the section with all its keys (every block of that name).
    bool EraseSection(std::string_view section);
    // Removes every section and line.
    bool Clear();

    // Writes the whole content to the file (temporary file, flush, rename).
    bool UpdateFile();
    // The bytes UpdateFile() would write, in the file's encoding and line-end style.
    std::string ToBytes() const;

private:
    struct TLine {
        std::string raw;     // the line as read (re-made when the value changes)
        std::string key;     // empty for lines that are not key=value
        std::string keyFold; // case-folded key
        std::string value;
    };
    struct TBlock {
        bool hasHeader = false; // false only for the lines before the first section
        std::string name;
        std::string nameFold;
        std::string header; // the raw "[name]" line
        std::vector<TLine> lines;
    };

    TIniFile() = default;
    void Parse(std::string_view text);
    void RebuildIndex();
    TBlock& AppendSection(std::string_view name);
    std::vector<size_t> const* BlocksOf(std::string_view sectionFold) const;
    TLine const* FindLine(std::string_view section, std::string_view key) const;
    TLine* FindLine(std::string_view section, std::string_view key);
    bool Changed();

    std::filesystem::path m_path;
    TIniAccess m_access = TIniAccess::WholeFile;
    TTextEncoding m_encoding = TTextEncoding::Utf8;
    TLineEnding m_lineEnding = TLineEnding::LF;
    bool m_wasRead = false;
    bool m_unreadable = false;
    std::vector<TBlock> m_blocks; // m_blocks[0] holds the lines before the first section
    // folded section name -> indices into m_blocks, in file order
    std::unordered_map<std::string, std::vector<size_t>> m_index;
};

}
