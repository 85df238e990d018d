#include "base/IniFile.h"

#include "base/CaseFold.h"
#include "base/FileIO.h"
#include "base/IniValues.h"
#include "base/SafeFileWriter.h"

#include <algorithm>
#include <utility>

namespace vantor {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool ValidKey(std::string_view key)
{
    key = TrimBlanks(key);
    return !key.empty() && key.find_first_of("=\r\n") == std::string_view::npos && key.front() != '['
        && key.front() != ';';
}

bool ValidSection(std::string_view section)
{
    section = TrimBlanks(section);
    return !section.empty() && section.find_first_of("]\r\n") == std::string_view::npos;
}

std::string OneLine(std::string_view value)
{
    std::string out(TrimBlanks(value));
    std::replace(out.begin(), out.end(), '\r', ' ');
    std::replace(out.begin(), out.end(), '\n', ' ');
    return std::string(TrimBlanks(out));
}

}

TIniFile::TIniFile(std::filesystem::path path, TIniAccess access)
    : m_path(std::move(path))
    , m_access(access)
{
    std::optional<std::string> bytes = ReadWholeFile(m_path);
    m_wasRead = bytes.has_value();
    std::error_code ec;
    m_unreadable = !m_wasRead && std::filesystem::exists(std::filesystem::symlink_status(m_path, ec));
    Parse(bytes ? *bytes : std::string());
}

TIniFile TIniFile::FromBytes(std::string_view bytes)
{
    TIniFile file;
    file.m_wasRead = true;
    file.Parse(bytes);
    return file;
}

void TIniFile::Parse(std::string_view bytes)
{
    TDecodedText const decoded = DecodeTextFile(bytes);
    std::string_view text = decoded.text;
    m_encoding = decoded.encoding;
    m_lineEnding = DetectLineEnding(text);
    m_blocks.clear();
    m_blocks.emplace_back();

    while (!text.empty()) {
        size_t const lf = text.find('\n');
        std::string_view line = text.substr(0, lf);
        text.remove_prefix(lf == std::string_view::npos ? text.size() : lf + 1);
        // every CR before the LF: a line kept with a trailing CR would read back differently
        while (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);

        std::string_view const trimmed = TrimBlanks(line);
        if (!trimmed.empty() && trimmed.front() == '[') {
            size_t const close = trimmed.find(']');
            std::string_view const name =
                close == std::string_view::npos ? std::string_view() : TrimBlanks(trimmed.substr(1, close - 1));
            if (!name.empty()) {
                TBlock block;
                block.hasHeader = true;
                block.name = name;
                block.nameFold = FoldCase(name);
                block.header = line;
                m_blocks.push_back(std::move(block));
                continue;
            }
        }
        TLine entry;
        entry.raw = line;
        size_t const equals = trimmed.find('=');
        if (equals != std::string_view::npos && trimmed.front() != ';' && trimmed.front() != '[') {
            std::string_view const key = TrimBlanks(trimmed.substr(0, equals));
            if (!key.empty()) {
                entry.key = key;
                entry.keyFold = FoldCase(key);
                entry.value = TrimBlanks(trimmed.substr(equals + 1));
            }
        }
        m_blocks.back().lines.push_back(std::move(entry));
    }
    RebuildIndex();
}

void TIniFile::RebuildIndex()
{
    m_index.clear();
    for (size_t i = 1; i < m_blocks.size(); ++i)
        m_index[m_blocks[i].nameFold].push_back(i);
}

std::vector<size_t> const* TIniFile::BlocksOf(std::string_view sectionFold) const
{
    auto const found = m_index.find(std::string(sectionFold));
    return found == m_index.end() ? nullptr : &found->second;
}

TIniFile::TLine* TIniFile::FindLine(std::string_view section, std::string_view key)
{
    return const_cast<TLine*>(std::as_const(*this).FindLine(section, key));
}

TIniFile::TLine const* TIniFile::FindLine(std::string_view section, std::string_view key) const
{
    auto const* blocks = BlocksOf(FoldCase(TrimBlanks(section)));
    if (!blocks)
        return nullptr;
    std::string const keyFold = FoldCase(TrimBlanks(key));
    for (size_t const b : *blocks)
        for (TLine const& line : m_blocks[b].lines)
            if (!line.key.empty() && line.keyFold == keyFold)
                return &line;
    return nullptr;
}

bool TIniFile::SectionExists(std::string_view section) const
{
    return BlocksOf(FoldCase(TrimBlanks(section))) != nullptr;
}

bool TIniFile::ValueExists(std::string_view section, std::string_view key) const
{
    return FindLine(section, key) != nullptr;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) const
{
    TLine const* line = FindLine(section, key);
    return line ? line->value : std::string(defaultValue);
}

int32_t TIniFile::ReadInteger(std::string_view section, std::string_view key, int32_t defaultValue) const
{
    TLine const* line = FindLine(section, key);
    return line ? ParseIniInteger(line->value, defaultValue) : defaultValue;
}

int64_t TIniFile::ReadInt64(std::string_view section, std::string_view key, int64_t defaultValue) const
{
    TLine const* line = FindLine(section, key);
    return line ? ParseIniInt64(line->value, defaultValue) : defaultValue;
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool defaultValue) const
{
    TLine const* line = FindLine(section, key);
    return line ? ParseIniBool(line->value, defaultValue) : defaultValue;
}

double TIniFile::ReadFloat(std::string_view section, std::string_view key, double defaultValue) const
{
    TLine const* line = FindLine(section, key);
    return line ? ParseIniFloat(line->value, defaultValue) : defaultValue;
}

std::vector<std::string> TIniFile::ReadSections() const
{
    std::vector<std::string> names;
    for (size_t i = 1; i < m_blocks.size(); ++i)
        if (m_index.at(m_blocks[i].nameFold).front() == i)
            names.push_back(m_blocks[i].name);
    return names;
}

std::vector<std::string> TIniFile::ReadSection(std::string_view section) const
{
    std::vector<std::string> keys;
    if (auto const* blocks = BlocksOf(FoldCase(TrimBlanks(section))))
        for (size_t const b : *blocks)
            for (TLine const& line : m_blocks[b].lines)
                if (!line.key.empty())
                    keys.push_back(line.key);
    return keys;
}

std::vector<std::pair<std::string, std::string>> TIniFile::ReadSectionValues(std::string_view section) const
{
    std::vector<std::pair<std::string, std::string>> pairs;
    if (auto const* blocks = BlocksOf(FoldCase(TrimBlanks(section))))
        for (size_t const b : *blocks)
            for (TLine const& line : m_blocks[b].lines)
                if (!line.key.empty())
                    pairs.emplace_back(line.key, line.value);
    return pairs;
}

bool TIniFile::EnsureSection(std::string_view section)
{
    if (!ValidSection(section))
        return false;
    std::string const name = ToValidUtf8(TrimBlanks(section));
    if (SectionExists(name))
        return true;
    AppendSection(name);
    return Changed();
}

bool TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value)
{
    if (!ValidSection(section) || !ValidKey(key))
        return false;
    // Text in memory stays valid UTF-8: one stray byte would make the whole file read back
    // as an 8-bit code page.
    std::string const sectionText = ToValidUtf8(TrimBlanks(section));
    std::string const keyText = ToValidUtf8(TrimBlanks(key));
    section = sectionText;
    key = keyText;
    std::string const stored = ToValidUtf8(OneLine(value));

    if (TLine* line = FindLine(section, key)) {
        if (line->value == stored && m_access == TIniAccess::WholeFile)
            return true;
        line->value = stored;
        line->raw = line->key + "=" + stored;
        return Changed();
    }

    TLine entry;
    entry.key = key;
    entry.keyFold = FoldCase(key);
    entry.value = stored;
    entry.raw = entry.key + "=" + stored;

    if (auto const* blocks = BlocksOf(FoldCase(section))) {
        // at the end of the section's first block, before the blank lines that separate it
        // from the next section
        auto& lines = m_blocks[blocks->front()].lines;
        auto insertAt = lines.end();
        while (insertAt != lines.begin() && TrimBlanks(std::prev(insertAt)->raw).empty())
            --insertAt;
        lines.insert(insertAt, std::move(entry));
    } else {
        AppendSection(section).lines.push_back(std::move(entry));
    }
    return Changed();
}

TIniFile::TBlock& TIniFile::AppendSection(std::string_view name)
{
    TBlock& block = m_blocks.emplace_back();
    block.hasHeader = true;
    block.name = name;
    block.nameFold = FoldCase(name);
    block.header = "[" + block.name + "]";
    m_index[block.nameFold].push_back(m_blocks.size() - 1);
    return block;
}

bool TIniFile::WriteInteger(std::string_view section, std::string_view key, int64_t value)
{
    return WriteString(section, key, FormatIniInteger(value));
}

bool TIniFile::WriteBool(std::string_view section, std::string_view key, bool value)
{
    return WriteString(section, key, FormatIniBool(value));
}

bool TIniFile::WriteFloat(std::string_view section, std::string_view key, double value)
{
    return WriteString(section, key, FormatIniFloat(value));
}

bool TIniFile::DeleteKey(std::string_view section, std::string_view key)
{
    auto const* blocks = BlocksOf(FoldCase(TrimBlanks(section)));
    if (!blocks)
        return true;
    std::string const keyFold = FoldCase(TrimBlanks(key));
    bool removed = false;
    for (size_t const b : *blocks) {
        auto& lines = m_blocks[b].lines;
        auto const end = std::remove_if(lines.begin(), lines.end(),
            [&](TLine const& line) { return !line.key.empty() && line.keyFold == keyFold; });
        removed = removed || end != lines.end();
        lines.erase(end, lines.end());
    }
    return removed ? Changed() : true;
}

bool TIniFile::EraseSection(std::string_view section)
{
    std::string const sectionFold = FoldCase(TrimBlanks(section));
    if (!BlocksOf(sectionFold))
        return true;
    std::vector<TBlock> kept;
    kept.reserve(m_blocks.size());
    for (size_t i = 0; i < m_blocks.size(); ++i)
        if (i == 0 || m_blocks[i].nameFold != sectionFold)
            kept.push_back(std::move(m_blocks[i]));
    m_blocks = std::move(kept);
    RebuildIndex();
    return Changed();
}

bool TIniFile::Clear()
{
    m_blocks.clear();
    m_blocks.emplace_back();
    m_index.clear();
    return Changed();
}

bool TIniFile::Changed() { return m_access == TIniAccess::KeyByKey ? UpdateFile() : true; }

std::string TIniFile::ToBytes() const
{
    std::string_view const eol = m_lineEnding == TLineEnding::CRLF ? "\r\n" : "\n";
    std::string text;
    for (TBlock const& block : m_blocks) {
        if (block.hasHeader) {
            text += block.header;
            text += eol;
        }
        for (TLine const& line : block.lines) {
            text += line.raw;
            text += eol;
        }
    }
    return EncodeTextFile(text, m_encoding);
}

bool TIniFile::UpdateFile()
{
    if (m_path.empty() || m_unreadable)
        return false;
    return ReplaceFileContents(m_path, ToBytes());
}

}
