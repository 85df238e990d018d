#pragma once

// The reading side of playlist files, built for lists of 100,000 tracks: the file's text is
// decoded once, sections are found by their header lines alone, and a section's values are
// views into the text, split into lines only when they are walked. The syntax is the INI
// files' (base/IniFile.h): "[name]" lines start sections, "key=value" lines belong to
// them, names compare without regard to case, blanks around names and values are dropped, a
// section written twice reads as one, a key's first occurrence wins, and anything else is
// ignored.

#include "base/FileIO.h"

#include <cstddef>
#include <filesystem>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace vantor {

class TPlaylistFile {
public:
    using TValue = std::pair<std::string_view, std::string_view>; // key, value

    // The key lines of a section body, in file order, parsed as they are walked.
    class TValues {
    public:
        class iterator {
        public:
            using iterator_category = std::forward_iterator_tag;
            using value_type = TValue;
            using difference_type = std::ptrdiff_t;
            using pointer = const TValue*;
            using reference = const TValue&;

            iterator() = default;
            explicit iterator(std::string_view rest)
                : m_rest(rest)
            {
                Next();
            }
            reference operator*() const { return m_value; }
            pointer operator->() const { return &m_value; }
            iterator& operator++()
            {
                Next();
                return *this;
            }
            iterator operator++(int)
            {
                iterator old = *this;
                Next();
                return old;
            }
            bool operator==(const iterator& other) const
            {
                return m_done == other.m_done && (m_done || m_rest.data() == other.m_rest.data());
            }

        private:
            void Next();
            std::string_view m_rest;
            TValue m_value;
            bool m_done = true;
        };

        explicit TValues(std::string_view body)
            : m_body(body)
        {
        }
        iterator begin() const { return iterator(m_body); }
        iterator end() const { return iterator(); }

    private:
        std::string_view m_body;
    };

    struct TSection {
        std::string_view Name; // spelled as at its first occurrence
        std::string_view Body; // the text between its header and the next section's
        TValues Values() const { return TValues(Body); }
    };

    // A missing or unreadable file reads as an empty one. With names in only, just the
    // sections of those names (without regard to case) are kept, and the rest is skipped over.
    using TOnly = std::initializer_list<std::string_view>;
    static TPlaylistFile FromPath(const std::filesystem::path& path, TOnly only = {});
    static TPlaylistFile FromBytes(std::string_view bytes, TOnly only = {});

    TPlaylistFile(TPlaylistFile&&) = default;
    TPlaylistFile& operator=(TPlaylistFile&&) = default;

    // In file order of their first occurrence.
    std::vector<TSection> const& Sections() const { return m_sections; }
    TSection const* Find(std::string_view name) const;
    // The first value of key in section, or defValue.
    std::string_view Value(std::string_view section, std::string_view key, std::string_view defValue = {}) const;
    static std::string_view Value(TSection const& section, std::string_view key, std::string_view defValue = {});

private:
    TPlaylistFile() = default;
    void Parse(TOnly only);
    static TPlaylistFile FromText(std::string text, TOnly only);

    // The UTF-8 text, either as read or decoded; the views point into it. Held on the heap so
    // that moving the file keeps them valid.
    std::unique_ptr<TFileBytes> m_bytes;
    std::unique_ptr<std::string> m_text;
    std::string_view m_view;
    // The bodies of sections written in several blocks, joined (rare).
    std::vector<std::unique_ptr<std::string>> m_joined;
    std::vector<TSection> m_sections;
    std::unordered_map<std::string, size_t> m_byName; // folded name -> section
};

}

namespace vantor {

// text without the blanks (spaces, tabs) around it.
std::string_view TrimIniBlanks(std::string_view text);
// True for UTF-8 without a byte-order mark: such a file is its own text.
bool IsPlainUtf8(std::string_view bytes);

// The writing side: builds playlist file text line by line with the INI files' rules (a key
// that cannot be stored is left out, CR and LF in a value become spaces, ill-formed UTF-8
// becomes U+FFFD), so a 100,000-track list is written without an INI object per line.
class TPlaylistWriter {
public:
    // False (and nothing written) for a name that cannot be a section.
    bool Section(std::string_view name);
    void Value(std::string_view key, std::string_view value);
    // Lines taken over unchanged.
    void RawLine(std::string_view line);
    void Reserve(size_t bytes) { m_text.reserve(bytes); }
    std::string const& Text() const { return m_text; }
    std::string TakeText() { return std::move(m_text); }

private:
    std::string m_text;
};

// Writes the lines of text outside the sections named in drop (compared without case),
// unchanged; the key lines of the first of those sections go to dropped, without its header.
void KeepLinesOutside(std::string_view text, std::initializer_list<std::string_view> drop,
    std::vector<std::string_view>& dropped, TPlaylistWriter& kept);

}
