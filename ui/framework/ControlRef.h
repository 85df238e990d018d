#pragma once

#include <memory>

namespace vantor {

class TSmartCtrl;

// A non-owning reference to a control that reads as null once the control is freed. Dispatch
// and the host keep their hover and focus references in these, because a control's own action
// may free it, its page or a whole subtree.
class TControlRef {
public:
    TControlRef() = default;
    TControlRef(TSmartCtrl* control); // implicit: a reference is taken wherever a pointer is stored

    TSmartCtrl* Get() const { return m_token.expired() ? nullptr : m_control; }
    explicit operator bool() const { return Get() != nullptr; }
    TSmartCtrl* operator->() const { return Get(); }
    void Clear() { *this = TControlRef(); }

private:
    TSmartCtrl* m_control = nullptr;
    std::weak_ptr<const void> m_token;
};

}
