#pragma once

// TTrackTags: the dictionary of a track record, kept compact because a library holds
// hundreds of thousands of records: one heap block holding a small array of (key, fold,
// offset, length) entries, in the order the keys were first stored, followed by the text of
// every value.

#include "library/TrackKeys.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace vantor {

class TTrackTags {
public:
    struct TEntry {
        TTagKey Key;  // spelling id
        TTagKey Fold; // folded id, what look-ups compare
        uint32_t Offset;
        uint32_t Length;
    };

    TTrackTags() = default;
    TTrackTags(const TTrackTags&) = delete;
    TTrackTags& operator=(const TTrackTags&) = delete;

    int Count() const { return static_cast<int>(m_count); }
    bool Empty() const { return m_count == 0; }
    TEntry const& Entry(int index) const { return Entries()[index]; }
    std::string_view Value(TEntry const& entry) const { return { Text() + entry.Offset, entry.Length }; }
    std::string KeyName(int index) const { return TagKeyName(Entry(index).Key); }

    // Index of the first entry whose key equals name without regard to case, or -1.
    int Find(std::string_view name) const;
    int Find(TKnownKey key) const;
    // The value of the first matching entry; defValue when there is none.
    std::string Get(std::string_view name, std::string_view defValue = {}) const;
    std::string Get(TKnownKey key, std::string_view defValue = {}) const;
    // A view of the value, valid until the next change; empty when absent.
    std::string_view View(TKnownKey key) const;

    // Replaces the value of the first matching entry (its spelling stays), or appends an entry
    // with this spelling. Returns the entry's index.
    int Set(std::string_view name, std::string_view value);
    int Set(TKnownKey key, std::string_view value);
    void Clear();
    // Room for entries and text bytes, so that filling a record allocates once.
    void Reserve(size_t entries, size_t textBytes);
    // Bytes held on the heap, for memory accounting.
    size_t HeapBytes() const { return m_entryCapacity * sizeof(TEntry) + m_textCapacity; }
    // Drops replaced values and spare capacity (after a record was filled).
    void Shrink();

private:
    int FindFold(TTagKey fold) const;
    int SetEntry(int index, TTagKey key, TTagKey fold, std::string_view value);
    // Moves everything into a block of exactly this room, dropping replaced values.
    void Relocate(uint32_t entryCapacity, size_t textCapacity);

    TEntry* Entries() const { return reinterpret_cast<TEntry*>(m_block.get()); }
    char* Text() const { return reinterpret_cast<char*>(m_block.get()) + m_entryCapacity * sizeof(TEntry); }

    std::unique_ptr<std::byte[]> m_block;
    uint32_t m_count = 0;
    uint32_t m_entryCapacity = 0;
    uint32_t m_textSize = 0;
    uint32_t m_textCapacity = 0;
    uint32_t m_garbage = 0; // bytes of replaced values still in the text
};

}
