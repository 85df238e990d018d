#pragma once

// TTrackTags: the dictionary of a track record, kept compact because a library holds
// hundreds of thousands of records: one text buffer holding every value and a small vector of
// (key, fold, offset, length) entries, in the order the keys were first stored.

#include "library/TrackKeys.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

class TTrackTags {
public:
    struct TEntry {
        TTagKey Key;  // spelling id
        TTagKey Fold; // folded id, what look-ups compare
        uint32_t Offset;
        uint32_t Length;
    };

    int Count() const { return static_cast<int>(m_entries.size()); }
    bool Empty() const { return m_entries.empty(); }
    TEntry const& Entry(int index) const { return m_entries[static_cast<size_t>(index)]; }
    std::string_view Value(TEntry const& entry) const
    {
        return std::string_view(m_text).substr(entry.Offset, entry.Length);
    }
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
    size_t HeapBytes() const { return m_entries.capacity() * sizeof(TEntry) + m_text.capacity(); }
    // Drops spare capacity (after a record was filled).
    void Shrink();

private:
    int FindFold(TTagKey fold) const;
    int SetEntry(int index, TTagKey key, TTagKey fold, std::string_view value);

    std::vector<TEntry> m_entries;
    std::string m_text;
    uint32_t m_garbage = 0; // bytes of replaced values still in m_text
};

}
