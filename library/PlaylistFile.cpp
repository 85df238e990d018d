#include "library/PlaylistFile.h"

#include "base/CaseFold.h"
#include "base/FileIO.h"
#include "base/TextFileEncoding.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace vantor {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The next line of text, without its LF and the CRs before it; text moves past it.
std::string_view TakeLine(std::string_view& text)
{
    size_t const lf = text.find('\n');
    std::string_view line = text.substr(0, lf);
    text.remove_prefix(lf == std::string_view::npos ? text.size() : lf + 1);
    while (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

// The section a trimmed "[name]" line starts, or empty when it starts none.
std::string_view SectionName(std::string_view trimmed)
{
    if (trimmed.empty() || trimmed.front() != '[')
        return {};
    size_t const close = trimmed.find(']');
    return close == std::string_view::npos ? std::string_view() : TrimIniBlanks(trimmed.substr(1, close - 1));
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

bool IsPlainUtf8(std::string_view bytes)
{
    if (bytes.starts_with("\xEF\xBB\xBF") || bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF"))
        return false;
    // A fast walk over the ASCII that playlist files mostly are, then the full check.
    size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        uint64_t word;
        std::memcpy(&word, bytes.data() + i, sizeof word);
        if (word & 0x8080808080808080ULL)
            break;
    }
    while (i < bytes.size() && !(static_cast<unsigned char>(bytes[i]) & 0x80))
        ++i;
    return i == bytes.size() || IsValidUtf8(bytes.substr(i));
}

TPlaylistFile TPlaylistFile::FromPath(const std::filesystem::path& path, TOnly only)
{
    std::optional<TFileBytes> bytes = TFileBytes::Read(path);
    if (!bytes)
        return FromText({}, only);
    // The common case, UTF-8 without a mark, is taken as it is instead of being copied.
    std::string_view const view = bytes->View();
    if (!IsPlainUtf8(view))
        return FromBytes(view, only);
    TPlaylistFile file;
    file.m_bytes = std::make_unique<TFileBytes>(std::move(*bytes));
    file.m_view = file.m_bytes->View();
    file.Parse(only);
    return file;
}

TPlaylistFile TPlaylistFile::FromBytes(std::string_view bytes, TOnly only)
{
    return FromText(DecodeTextFile(bytes).text, only);
}

TPlaylistFile TPlaylistFile::FromText(std::string text, TOnly only)
{
    TPlaylistFile file;
    file.m_text = std::make_unique<std::string>(std::move(text));
    file.m_view = *file.m_text;
    file.Parse(only);
    return file;
}

void TPlaylistFile::Parse(TOnly only)
{
    std::string_view const text = m_view;
    // One section per track: size the index once instead of rehashing as it grows.
    if (only.size() == 0)
        m_byName.reserve(static_cast<size_t>(std::count(text.begin(), text.end(), '[')));
    constexpr size_t kNone = static_cast<size_t>(-1);
    size_t current = kNone; // lines before the first section belong to none
    size_t bodyStart = 0;
    std::vector<std::pair<size_t, std::string_view>> laterBlocks; // of sections written again
    auto const closeBlock = [&](size_t end) {
        if (current == kNone)
            return;
        std::string_view const body = text.substr(bodyStart, end - bodyStart);
        if (m_sections[current].Body.data() == nullptr)
            m_sections[current].Body = body;
        else
            laterBlocks.emplace_back(current, body);
    };

    // Only a line whose first non-blank character is "[" can start a section, so the text is
    // searched for "[" rather than split into lines.
    size_t pos = 0;
    while (pos < text.size()) {
        size_t const bracket = text.find('[', pos);
        if (bracket == std::string_view::npos)
            break;
        size_t lineStart = bracket;
        while (lineStart > 0 && IsBlank(text[lineStart - 1]))
            --lineStart;
        std::string_view rest = text.substr(bracket);
        std::string_view const line = TakeLine(rest);
        pos = text.size() - rest.size();
        if (lineStart > 0 && text[lineStart - 1] != '\n')
            continue;
        std::string_view const name = SectionName(TrimIniBlanks(line));
        if (name.empty())
            continue;
        closeBlock(lineStart);
        bool const wanted = only.size() == 0
            || std::any_of(only.begin(), only.end(), [name](std::string_view o) { return EqualsNoCase(name, o); });
        if (!wanted) {
            current = kNone;
            continue;
        }
        auto const [it, added] = m_byName.emplace(FoldCase(name), m_sections.size());
        if (added)
            m_sections.push_back({ name, {} });
        current = it->second;
        bodyStart = pos;
    }
    closeBlock(text.size());

    // A section written in several blocks reads as one: its blocks are joined in file order.
    std::stable_sort(
        laterBlocks.begin(), laterBlocks.end(), [](auto const& a, auto const& b) { return a.first < b.first; });
    for (size_t i = 0; i < laterBlocks.size();) {
        size_t const section = laterBlocks[i].first;
        auto joined = std::make_unique<std::string>(m_sections[section].Body);
        for (; i < laterBlocks.size() && laterBlocks[i].first == section; ++i) {
            if (!joined->empty() && joined->back() != '\n')
                *joined += '\n';
            *joined += laterBlocks[i].second;
        }
        m_sections[section].Body = *joined;
        m_joined.push_back(std::move(joined));
    }
}

void TPlaylistFile::TValues::iterator::Next()
{
    while (!m_rest.empty()) {
        std::string_view const line = TrimIniBlanks(TakeLine(m_rest));
        size_t const equals = line.find('=');
        if (line.empty() || equals == std::string_view::npos || line.front() == ';' || line.front() == '[')
            continue;
        std::string_view const key = TrimIniBlanks(line.substr(0, equals));
        if (key.empty())
            continue;
        m_value = { key, TrimIniBlanks(line.substr(equals + 1)) };
        m_done = false;
        return;
    }
    m_done = true;
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
    for (auto const& [name, value] : section.Values()) {
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

void KeepLinesOutside(std::string_view text, std::initializer_list<std::string_view> drop,
    std::vector<std::string_view>& dropped, TPlaylistWriter& kept)
{
    enum { keeping, collecting, dropping } state = keeping;
    while (!text.empty()) {
        std::string_view const line = TakeLine(text);
        std::string_view const trimmed = TrimIniBlanks(line);
        if (std::string_view const name = SectionName(trimmed); !name.empty()) {
            state = keeping;
            for (size_t i = 0; i < drop.size() && state == keeping; ++i) {
                if (EqualsNoCase(name, drop.begin()[i]))
                    state = i == 0 ? collecting : dropping;
            }
            if (state != keeping)
                continue;
        }
        if (state == keeping)
            kept.RawLine(line);
        else if (state == collecting && trimmed.find('=') != std::string_view::npos)
            dropped.push_back(line);
    }
}

}
