#pragma once

#include <memory>
#include <string>
#include <vector>

namespace vantor {

class TSmartCtrl;

// An ordered list of controls that owns them: removing a control or freeing the list frees it.
class TControlList {
public:
    explicit TControlList(std::string id = "TControlListRandomID");
    virtual ~TControlList();

    TControlList(const TControlList&) = delete;
    TControlList& operator=(const TControlList&) = delete;

    std::string CL_ID;
    // The owning control frees this list when it is destroyed; false for lists shown through
    // TSmartCtrl::LinkList, which belong to somebody else.
    bool CL_AUTO_FREE = true;
    // Whether two controls with the same SC_ID may be added.
    bool CL_ADD_DUPS = true;
    // A manual list is neither painted nor hit-tested by the framework; its owner does both.
    bool clManual = false;

    bool AutoFree() const { return CL_AUTO_FREE; }
    bool AddDuplicates() const { return CL_ADD_DUPS; }
    void SetAddDuplicates(bool value) { CL_ADD_DUPS = value; }

    // Appends control (at index: inserts, clamped to 0..Count). Null gives null. When the list
    // refuses duplicates and a control with the same SC_ID is present, control is freed and
    // null is returned.
    TSmartCtrl* AddControl(std::unique_ptr<TSmartCtrl> control);
    TSmartCtrl* AddControl(std::unique_ptr<TSmartCtrl> control, int index);

    int Count() const { return static_cast<int>(m_controls.size()); }
    // Null outside 0..Count-1.
    TSmartCtrl* Control(int index) const;
    // Index of the first control with that SC_ID (exact, case-sensitive), or -1.
    int ControlIDX(const std::string& id) const;
    // Index of control in this list, or -1.
    int IndexOf(const TSmartCtrl* control) const;
    TSmartCtrl* FindControl(const std::string& id) const;
    bool ControlExists(const std::string& id) const { return ControlIDX(id) >= 0; }

    // Frees the first control with that SC_ID; false when there is none.
    bool RemoveControl(const std::string& id);
    // Frees the control at index; false outside 0..Count-1.
    bool Delete(int index);
    // Takes the control at index out of the list without freeing it; null outside the range.
    std::unique_ptr<TSmartCtrl> Extract(int index);
    // Takes every control out of the list, in order, without freeing them (to reorder them).
    std::vector<std::unique_ptr<TSmartCtrl>> ExtractAll();
    // Room for count controls, for a list about to be filled with many.
    void Reserve(int count);
    // Frees every control.
    void Clear();

protected:
    // Stores control at index (already checked and clamped) and sets its scParentList.
    virtual TSmartCtrl* On_AddControl(std::unique_ptr<TSmartCtrl> control, int index);

private:
    std::vector<std::unique_ptr<TSmartCtrl>> m_controls;
};

// The controls of a list that holds only Ts, as T*: for (TRow* row : TControlsOf<TRow>(list)).
template <class T>
class TControlsOf {
public:
    class iterator {
    public:
        iterator(const TControlList* list, int index)
            : m_list(list)
            , m_index(index)
        {
        }
        T* operator*() const { return static_cast<T*>(m_list->Control(m_index)); }
        iterator& operator++()
        {
            ++m_index;
            return *this;
        }
        bool operator==(const iterator& other) const { return m_index == other.m_index; }

    private:
        const TControlList* m_list;
        int m_index;
    };

    TControlsOf() = default;
    explicit TControlsOf(const TControlList* list)
        : m_list(list)
    {
    }
    iterator begin() const { return iterator(m_list, 0); }
    iterator end() const { return iterator(m_list, size()); }
    int size() const { return m_list ? m_list->Count() : 0; }
    bool empty() const { return size() == 0; }
    // Null outside 0..size-1.
    T* operator[](int index) const { return m_list ? static_cast<T*>(m_list->Control(index)) : nullptr; }

private:
    const TControlList* m_list = nullptr;
};

}
