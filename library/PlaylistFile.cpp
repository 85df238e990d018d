#include "library/PlaylistFile.h"

#include "app/settings/CaseFold.h"
#include "app/settings/FileIO.h"
#include "app/settings/TextFileEncoding.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace vantor {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// IsValidUtf8 with a fast walk over the ASCII that playlist files mostly are.
bool IsUtf8Text(std::string_view text)
{
    size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        uint64_t word;
        std::memcpy(&word, text.data() + i, sizeof word);
        if (word & 0x8080808080808080ULL)
            break;
    }
    while (i < text.size() && !(static_cast<unsigned char>(text[i]) & 0x80))
        ++i;
    return i == text.size() || IsValidUtf8(text.substr(i));
}

}

std::string_view TrimIniBlanks(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

TPlaylistFile TPlaylistFile::FromPath(const std::filesystem::path& path)
{
    std::optional<std::string> bytes = ReadWholeFile(path);
    if (!bytes)
        return FromText({});
    // The common case, UTF-8 without a mark, is taken as it is instead of being copied.
    bool const marked = bytes->starts_with("\xEF\xBB\xBF") || bytes->starts_with("\xFF\xFE") || bytes->starts_with("\xFE\xFF");
    if (!marked && IsUtf8Text(*bytes))
        return FromText(std::move(*bytes));
    return FromBytes(*bytes);
}

TPlaylistFile TPlaylistFile::FromBytes(std::string_view bytes) { return FromText(DecodeTextFile(bytes).text); }

TPlaylistFile TPlaylistFile::FromText(std::string text)
{
    TPlaylistFile file;
    file.m_text = std::make_unique<std::string>(std::move(text));
    file.Parse();
    return file;
}

void TPlaylistFile::Parse()
{
    std::string_view text = *m_text;
    // One section per track: size the index once instead of rehashing as it grows.
    m_byName.reserve(static_cast<size_t>(std::count(text.begin(), text.end(), '[')));
    constexpr size_t kNone = static_cast<size_t>(-1);
    size_t current = kNone; // lines before the first section belong to none
    std::vector<size_t> owners; // section of each value
    bool interleaved = false;   // values of a section came back after another section's
    while (!text.empty()) {
        size_t const lf = text.find('\n');
        std::string_view line = text.substr(0, lf);
        text.remove_prefix(lf == std::string_view::npos ? text.size() : lf + 1);
        while (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        std::string_view const trimmed = TrimIniBlanks(line);
        if (trimmed.empty())
            continue;
        if (trimmed.front() == '[') {
            size_t const close = trimmed.find(']');
            std::string_view const name = close == std::string_view::npos ? std::string_view()
                                                                          : TrimIniBlanks(trimmed.substr(1, close - 1));
            if (!name.empty()) {
                auto const [it, added] = m_byName.emplace(FoldCase(name), m_sections.size());
                if (added)
                    m_sections.push_back({ name, {} });
                current = it->second;
                continue;
            }
        }
        size_t const equals = trimmed.find('=');
        if (current == kNone || equals == std::string_view::npos || trimmed.front() == ';' || trimmed.front() == '[')
            continue;
        std::string_view const key = TrimIniBlanks(trimmed.substr(0, equals));
        if (key.empty())
            continue;
        if (!owners.empty() && owners.back() > current)
            interleaved = true;
        m_values.emplace_back(key, TrimIniBlanks(trimmed.substr(equals + 1)));
        owners.push_back(current);
    }

    // A section written in several blocks reads as one: group the values by section, keeping
    // file order within each (a counting sort, only needed when blocks were interleaved).
    std::vector<size_t> counts(m_sections.size() + 1, 0);
    for (size_t owner : owners)
        ++counts[owner + 1];
    for (size_t i = 1; i < counts.size(); ++i)
        counts[i] += counts[i - 1];
    if (interleaved) {
        std::vector<TValue> grouped(m_values.size());
        std::vector<size_t> next(counts.begin(), counts.end() - 1);
        for (size_t i = 0; i < m_values.size(); ++i)
            grouped[next[owners[i]]++] = m_values[i];
        m_values = std::move(grouped);
    }
    for (size_t i = 0; i < m_sections.size(); ++i)
        m_sections[i].Values = std::span<const TValue>(m_values.data() + counts[i], counts[i + 1] - counts[i]);
}

const TPlaylistFile::TSection* TPlaylistFile::Find(std::string_view name) const
{
    auto const found = m_byName.find(FoldCase(name));
    return found == m_byName.end() ? nullptr : &m_sections[found->second];
}

std::string_view TPlaylistFile::Value(std::string_view section, std::string_view key, std::string_view defValue) const
{
    TSection const* const found = Find(section);
    return found ? Value(*found, key, defValue) : defValue;
}

std::string_view TPlaylistFile::Value(TSection const& section, std::string_view key, std::string_view defValue)
{
    for (auto const& [name, value] : section.Values) {
        if (EqualsNoCase(name, key))
            return value;
    }
    return defValue;
}

}

namespace vantor {

namespace {

bool IsStorableKey(std::string_view key)
{
    return !key.empty() && key.find_first_of("=\r\n") == std::string_view::npos && key.front() != '['
        && key.front() != ';';
}

}

bool TPlaylistWriter::Section(std::string_view name)
{
    name = TrimIniBlanks(name);
    if (name.empty() || name.find_first_of("]\r\n") != std::string_view::npos)
        return false;
    m_text += '[';
    m_text += IsValidUtf8(name) ? std::string(name) : ToValidUtf8(name);
    m_text += "]\n";
    return true;
}

void TPlaylistWriter::Value(std::string_view key, std::string_view value)
{
    key = TrimIniBlanks(key);
    if (!IsStorableKey(key))
        return;
    size_t const start = m_text.size();
    m_text += key;
    m_text += '=';
    m_text += value;
    for (size_t i = start; i < m_text.size(); ++i) {
        if (m_text[i] == '\r' || m_text[i] == '\n')
            m_text[i] = ' ';
    }
    if (!IsValidUtf8(std::string_view(m_text).substr(start)))
        m_text.replace(start, std::string::npos, ToValidUtf8(std::string_view(m_text).substr(start)));
    m_text += '\n';
}

void TPlaylistWriter::RawLine(std::string_view line)
{
    m_text += line;
    m_text += '\n';
}

std::string KeepLinesOutside(std::string_view text, std::initializer_list<std::string_view> drop,
                             std::vector<std::string_view>& dropped)
{
    std::string kept;
    kept.reserve(text.size());
    bool dropping = false;
    while (!text.empty()) {
        size_t const lf = text.find('\n');
        std::string_view line = text.substr(0, lf);
        text.remove_prefix(lf == std::string_view::npos ? text.size() : lf + 1);
        while (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        std::string_view const trimmed = TrimIniBlanks(line);
        if (!trimmed.empty() && trimmed.front() == '[') {
            size_t const close = trimmed.find(']');
            std::string_view const name = close == std::string_view::npos ? std::string_view()
                                                                          : TrimIniBlanks(trimmed.substr(1, close - 1));
            if (!name.empty()) {
                dropping = false;
                for (std::string_view const section : drop)
                    dropping = dropping || EqualsNoCase(name, section);
                if (dropping)
                    continue;
            }
        }
        if (dropping) {
            if (trimmed.find('=') != std::string_view::npos)
                dropped.push_back(line);
            continue;
        }
        kept += line;
        kept += '\n';
    }
    return kept;
}

}
