#pragma once

#include <string>
#include <vector>

namespace vantor {

class TControlList;

// The ordered child lists of a control. It does not own them: the control owns the lists it
// created, and linked lists belong to somebody else. Painting goes from the first list to the
// last, hit testing from the last to the first.
class TListContainer {
public:
    void AddList(TControlList* list);
    void InsertList(int index, TControlList* list);
    // Null outside 0..Count-1.
    TControlList* GetList(int index) const;
    // The first list with exactly that CL_ID, or null.
    TControlList* FindList(const std::string& id) const;
    int IndexOf(const TControlList* list) const;
    // Takes the list at index out of the container; false outside the range.
    bool RemoveAt(int index);
    int Count() const { return static_cast<int>(m_lists.size()); }

private:
    std::vector<TControlList*> m_lists;
};

}
