#include "ui/framework/ListContainer.h"

#include "ui/framework/ControlList.h"

#include <algorithm>

namespace vantor {

void TListContainer::AddList(TControlList* list)
{
    if (list)
        m_lists.push_back(list);
}

void TListContainer::InsertList(int index, TControlList* list)
{
    if (!list)
        return;
    index = std::clamp(index, 0, Count());
    m_lists.insert(m_lists.begin() + index, list);
}

TControlList* TListContainer::GetList(int index) const
{
    if (index < 0 || index >= Count())
        return nullptr;
    return m_lists[static_cast<size_t>(index)];
}

TControlList* TListContainer::FindList(const std::string& id) const
{
    for (TControlList* list : m_lists)
        if (list->CL_ID == id)
            return list;
    return nullptr;
}

int TListContainer::IndexOf(const TControlList* list) const
{
    auto const it = std::find(m_lists.begin(), m_lists.end(), list);
    return it == m_lists.end() ? -1 : static_cast<int>(it - m_lists.begin());
}

bool TListContainer::RemoveAt(int index)
{
    if (index < 0 || index >= Count())
        return false;
    m_lists.erase(m_lists.begin() + index);
    return true;
}

}
