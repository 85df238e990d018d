#include "library/TrackTags.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <limits>

namespace vantor {

int TTrackTags::FindFold(TTagKey fold) const
{
    TEntry const* const entries = Entries();
    for (uint32_t i = 0; i < m_count; ++i) {
        if (entries[i].Fold == fold)
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
    return std::string(index < 0 ? defValue : Value(Entry(index)));
}

std::string TTrackTags::Get(TKnownKey key, std::string_view defValue) const
{
    int const index = Find(key);
    return std::string(index < 0 ? defValue : Value(Entry(index)));
}

std::string_view TTrackTags::View(TKnownKey key) const
{
    int const index = Find(key);
    return index < 0 ? std::string_view() : Value(Entry(index));
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
    // A value taken from this dictionary would move with the block below.
    std::string own;
    auto const inBlock = [this](const char* p) {
        std::less<const char*> const before;
        const char* const start = Text();
        return m_block && !before(p, start) && before(p, start + m_textCapacity);
    };
    if (!value.empty() && inBlock(value.data())) {
        own.assign(value);
        value = own;
    }
    if (index >= 0) {
        TEntry& entry = Entries()[index];
        if (value.size() <= entry.Length) {
            if (!value.empty())
                std::memcpy(Text() + entry.Offset, value.data(), value.size());
            m_garbage += entry.Length - static_cast<uint32_t>(value.size());
            entry.Length = static_cast<uint32_t>(value.size());
            return index;
        }
        m_garbage += entry.Length;
        entry.Length = 0;
    }
    // Offsets are 32-bit: the text never passes 4 GiB, a value that would is cut.
    constexpr size_t kMaxText = std::numeric_limits<uint32_t>::max();
    size_t const live = m_textSize - m_garbage;
    value = value.substr(0, kMaxText - live);
    uint32_t const entries = index >= 0 ? m_count : m_count + 1;
    if (entries > m_entryCapacity || m_textSize + value.size() > m_textCapacity) {
        // Replaced values are dropped on the way; a block mostly made of them is not grown.
        uint32_t const entryRoom =
            entries > m_entryCapacity ? std::max<uint32_t>(4, m_entryCapacity * 2) : m_entryCapacity;
        size_t const wanted = live + value.size();
        size_t const textRoom = m_textSize + value.size() <= m_textCapacity ? m_textCapacity
            : m_garbage > wanted                                            ? wanted
                                 : std::max<size_t>(wanted, size_t(m_textCapacity) * 2);
        Relocate(entryRoom, std::min(textRoom, kMaxText));
    }
    auto const offset = m_textSize;
    if (!value.empty())
        std::memcpy(Text() + offset, value.data(), value.size());
    m_textSize += static_cast<uint32_t>(value.size());
    if (index >= 0) {
        TEntry& entry = Entries()[index];
        entry.Offset = offset;
        entry.Length = static_cast<uint32_t>(value.size());
        return index;
    }
    Entries()[m_count] = { key, fold, offset, static_cast<uint32_t>(value.size()) };
    return static_cast<int>(m_count++);
}

void TTrackTags::Relocate(uint32_t entryCapacity, size_t textCapacity)
{
    size_t const bytes = entryCapacity * sizeof(TEntry) + textCapacity;
    std::unique_ptr<std::byte[]> block(bytes ? new std::byte[bytes] : nullptr);
    auto* const entries = reinterpret_cast<TEntry*>(block.get());
    char* const text = reinterpret_cast<char*>(block.get()) + entryCapacity * sizeof(TEntry);
    uint32_t size = 0;
    for (uint32_t i = 0; i < m_count; ++i) {
        TEntry entry = Entries()[i];
        if (entry.Length)
            std::memcpy(text + size, Text() + entry.Offset, entry.Length);
        entry.Offset = size;
        size += entry.Length;
        entries[i] = entry;
    }
    m_block = std::move(block);
    m_entryCapacity = entryCapacity;
    m_textCapacity = static_cast<uint32_t>(textCapacity);
    m_textSize = size;
    m_garbage = 0;
}

void TTrackTags::Reserve(size_t entries, size_t textBytes)
{
    constexpr size_t kMaxText = std::numeric_limits<uint32_t>::max();
    textBytes = std::min(textBytes, kMaxText);
    if (entries > m_entryCapacity || textBytes > m_textCapacity)
        Relocate(static_cast<uint32_t>(std::max<size_t>(entries, m_entryCapacity)),
            std::max<size_t>(textBytes, m_textCapacity));
}

void TTrackTags::Clear()
{
    m_count = 0;
    m_textSize = 0;
    m_garbage = 0;
}

void TTrackTags::Shrink()
{
    if (m_count < m_entryCapacity || m_textSize - m_garbage < m_textCapacity)
        Relocate(m_count, m_textSize - m_garbage);
}

}
