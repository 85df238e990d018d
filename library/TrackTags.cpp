#include "library/TrackTags.h"

#include <algorithm>
#include <limits>

namespace vantor {

int TTrackTags::FindFold(TTagKey fold) const
{
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].Fold == fold)
            return static_cast<int>(i);
    }
    return -1;
}

int TTrackTags::Find(std::string_view name) const
{
    TTagKey fold = 0;
    if (!FindTagKeyFold(name, fold))
        return -1;
    return FindFold(fold);
}

int TTrackTags::Find(TKnownKey key) const { return FindFold(key); }

std::string TTrackTags::Get(std::string_view name, std::string_view defValue) const
{
    int const index = Find(name);
    return std::string(index < 0 ? defValue : Value(m_entries[static_cast<size_t>(index)]));
}

std::string TTrackTags::Get(TKnownKey key, std::string_view defValue) const
{
    int const index = Find(key);
    return std::string(index < 0 ? defValue : Value(m_entries[static_cast<size_t>(index)]));
}

std::string_view TTrackTags::View(TKnownKey key) const
{
    int const index = Find(key);
    return index < 0 ? std::string_view() : Value(m_entries[static_cast<size_t>(index)]);
}

int TTrackTags::Set(std::string_view name, std::string_view value)
{
    TTagKey const key = InternTagKey(name);
    TTagKey const fold = TagKeyFold(key);
    return SetEntry(FindFold(fold), key, fold, value);
}

int TTrackTags::Set(TKnownKey key, std::string_view value) { return SetEntry(FindFold(key), key, key, value); }

int TTrackTags::SetEntry(int index, TTagKey key, TTagKey fold, std::string_view value)
{
    if (index >= 0) {
        TEntry& entry = m_entries[static_cast<size_t>(index)];
        if (value.size() <= entry.Length) {
            m_text.replace(entry.Offset, value.size(), value);
            m_garbage += entry.Length - static_cast<uint32_t>(value.size());
            entry.Length = static_cast<uint32_t>(value.size());
            return index;
        }
        m_garbage += entry.Length;
        entry.Length = 0;
        if (m_garbage > 64 && m_garbage > m_text.size() / 2)
            Shrink();
    }
    // Offsets are 32-bit: the buffer never passes 4 GiB, a value that would is cut.
    constexpr size_t kMaxText = std::numeric_limits<uint32_t>::max();
    if (m_text.size() + value.size() > kMaxText) {
        Shrink();
        value = value.substr(0, kMaxText - m_text.size());
    }
    auto const offset = static_cast<uint32_t>(m_text.size());
    m_text.append(value);
    if (index >= 0) {
        TEntry& entry = m_entries[static_cast<size_t>(index)];
        entry.Offset = offset;
        entry.Length = static_cast<uint32_t>(value.size());
        return index;
    }
    m_entries.push_back({ key, fold, offset, static_cast<uint32_t>(value.size()) });
    return static_cast<int>(m_entries.size() - 1);
}

void TTrackTags::Reserve(size_t entries, size_t textBytes)
{
    m_entries.reserve(entries);
    m_text.reserve(std::min<size_t>(textBytes, std::numeric_limits<uint32_t>::max()));
}

void TTrackTags::Clear()
{
    m_entries.clear();
    m_text.clear();
    m_garbage = 0;
}

void TTrackTags::Shrink()
{
    if (m_garbage > 0) {
        std::string packed;
        packed.reserve(m_text.size() - m_garbage);
        for (TEntry& entry : m_entries) {
            auto const offset = static_cast<uint32_t>(packed.size());
            packed.append(m_text, entry.Offset, entry.Length);
            entry.Offset = offset;
        }
        m_text = std::move(packed);
        m_garbage = 0;
    } else {
        m_text.shrink_to_fit();
    }
    m_entries.shrink_to_fit();
}

}
