#include "ui/framework/ControlList.h"

#include "ui/framework/SmartCtrl.h"

#include <algorithm>

namespace vantor {

TControlList::TControlList(std::string id)
    : CL_ID(std::move(id))
{
}

TControlList::~TControlList() { Clear(); }

TSmartCtrl* TControlList::AddControl(std::unique_ptr<TSmartCtrl> control)
{
    return AddControl(std::move(control), Count());
}

TSmartCtrl* TControlList::AddControl(std::unique_ptr<TSmartCtrl> control, int index)
{
    if (!control)
        return nullptr;
    if (!CL_ADD_DUPS && ControlExists(control->SC_ID))
        return nullptr; // control goes out of scope here: a refused control is freed
    return On_AddControl(std::move(control), std::clamp(index, 0, Count()));
}

TSmartCtrl* TControlList::On_AddControl(std::unique_ptr<TSmartCtrl> control, int index)
{
    control->scParentList = this;
    TSmartCtrl* const added = control.get();
    m_controls.insert(m_controls.begin() + index, std::move(control));
    return added;
}

TSmartCtrl* TControlList::Control(int index) const
{
    if (index < 0 || index >= Count())
        return nullptr;
    return m_controls[static_cast<size_t>(index)].get();
}

int TControlList::ControlIDX(const std::string& id) const
{
    for (size_t i = 0; i < m_controls.size(); ++i)
        if (m_controls[i]->SC_ID == id)
            return static_cast<int>(i);
    return -1;
}

int TControlList::IndexOf(const TSmartCtrl* control) const
{
    for (size_t i = 0; i < m_controls.size(); ++i)
        if (m_controls[i].get() == control)
            return static_cast<int>(i);
    return -1;
}

TSmartCtrl* TControlList::FindControl(const std::string& id) const { return Control(ControlIDX(id)); }

bool TControlList::RemoveControl(const std::string& id) { return Delete(ControlIDX(id)); }

bool TControlList::Delete(int index)
{
    // Taken out first and freed after, so the list is consistent while the control's
    // destructor runs.
    return Extract(index) != nullptr;
}

std::unique_ptr<TSmartCtrl> TControlList::Extract(int index)
{
    if (index < 0 || index >= Count())
        return nullptr;
    std::unique_ptr<TSmartCtrl> control = std::move(m_controls[static_cast<size_t>(index)]);
    m_controls.erase(m_controls.begin() + index);
    control->scParentList = nullptr;
    return control;
}

std::vector<std::unique_ptr<TSmartCtrl>> TControlList::ExtractAll()
{
    std::vector<std::unique_ptr<TSmartCtrl>> controls;
    controls.swap(m_controls);
    for (auto& control : controls)
        control->scParentList = nullptr;
    return controls;
}

void TControlList::Reserve(int count) { m_controls.reserve(static_cast<size_t>(std::max(count, 0))); }

void TControlList::Clear()
{
    // Freed from a detached vector so that destructors reaching back into this list see it
    // empty rather than half torn down.
    ExtractAll().clear();
}

}
