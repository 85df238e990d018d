#pragma once

#include "platform/window/MessageBox.h"

namespace vantor {

class TSdlWindow;

// SDL's message boxes, modal to owner when one is given (non-owning; may be null, as for
// the start-up error shown before any window exists).
class TSdlMessageBox : public IMessageBox {
public:
    explicit TSdlMessageBox(TSdlWindow* owner = nullptr)
        : m_owner(owner)
    {
    }
    void SetOwner(TSdlWindow* owner) { m_owner = owner; }

    void Show(TMessageKind kind, const std::string& text, const std::string& caption = {}) override;
    bool AskYesNo(const std::string& text, const std::string& caption = {}) override;

private:
    TSdlWindow* m_owner;
};

}
