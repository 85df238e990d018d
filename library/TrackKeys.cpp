#include "library/TrackKeys.h"

#include "base/CaseFold.h"

#include <array>
#include <deque>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <unordered_map>

namespace vantor {

namespace {

constexpr std::array<std::string_view, tkKnownKeyCount> kKnownNames = {
    "FilePath",
    "Directory",
    "FileSize",
    "FileName",
    "TrackName",
    "Artist",
    "Album",
    "Year",
    "Bitrate",
    "SampleRate",
    "PlayTime",
    "Channels",
    "Genre",
    "Rating",
    "HasLyrics",
    "PlayCount",
};

bool AsciiEqualNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        char y = b[i];
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

// Every spelling ever stored, with its folded id. Grows only; ids are indices.
class TKeyTable {
public:
    TKeyTable()
    {
        for (TTagKey id = 0; id < tkKnownKeyCount; ++id) {
            m_names.emplace_back(kKnownNames[id]);
            m_folds.push_back(id);
            m_bySpelling.emplace(m_names.back(), id);
            m_byFold.emplace(FoldCase(m_names.back()), id);
        }
    }

    TTagKey Intern(std::string_view spelling)
    {
        {
            std::shared_lock lock(m_mutex);
            if (auto it = m_bySpelling.find(std::string(spelling)); it != m_bySpelling.end())
                return it->second;
        }
        std::string fold = FoldCase(spelling);
        std::unique_lock lock(m_mutex);
        if (auto it = m_bySpelling.find(std::string(spelling)); it != m_bySpelling.end())
            return it->second;
        auto const id = static_cast<TTagKey>(m_names.size());
        auto const [foldIt, inserted] = m_byFold.emplace(std::move(fold), id);
        m_names.emplace_back(spelling);
        m_folds.push_back(inserted ? id : foldIt->second);
        m_bySpelling.emplace(m_names.back(), id);
        return id;
    }

    bool FindFold(std::string_view name, TTagKey& fold) const
    {
        std::string const folded = FoldCase(name);
        std::shared_lock lock(m_mutex);
        auto const it = m_byFold.find(folded);
        if (it == m_byFold.end())
            return false;
        fold = it->second;
        return true;
    }

    TTagKey Fold(TTagKey key) const
    {
        if (key < tkKnownKeyCount)
            return key;
        std::shared_lock lock(m_mutex);
        return key < m_folds.size() ? m_folds[key] : key;
    }

    std::string Name(TTagKey key) const
    {
        if (key < tkKnownKeyCount)
            return std::string(kKnownNames[key]);
        std::shared_lock lock(m_mutex);
        return key < m_names.size() ? m_names[key] : std::string();
    }

private:
    mutable std::shared_mutex m_mutex;
    std::deque<std::string> m_names;
    std::deque<TTagKey> m_folds;
    std::unordered_map<std::string, TTagKey> m_bySpelling;
    std::unordered_map<std::string, TTagKey> m_byFold;
};

TKeyTable& Table()
{
    static TKeyTable table;
    return table;
}

// The known key spelled exactly so, or one spelled differently in ASCII case.
int KnownKey(std::string_view name, bool exact)
{
    for (TTagKey id = 0; id < tkKnownKeyCount; ++id) {
        if (exact ? name == kKnownNames[id] : AsciiEqualNoCase(name, kKnownNames[id]))
            return static_cast<int>(id);
    }
    return -1;
}

}

TTagKey InternTagKey(std::string_view spelling)
{
    if (int const known = KnownKey(spelling, true); known >= 0)
        return static_cast<TTagKey>(known);
    return Table().Intern(spelling);
}

bool FindTagKeyFold(std::string_view name, TTagKey& fold)
{
    // The common case, a known name in any ASCII case, needs no folding and no lock.
    if (int const known = KnownKey(name, false); known >= 0) {
        fold = static_cast<TTagKey>(known);
        return true;
    }
    return Table().FindFold(name, fold);
}

TTagKey TagKeyFold(TTagKey key) { return Table().Fold(key); }

std::string TagKeyName(TTagKey key) { return Table().Name(key); }

}
