#pragma once

#include <string>

namespace vantor {

enum class TMessageKind {
    mkPlain,
    mkInfo,
    mkError,
};

// Message boxes, behind an interface so that tests can answer them (FakeMessageBox.h).
class IMessageBox {
public:
    virtual ~IMessageBox() = default;
    // Shows text and waits until the user closes the box.
    virtual void Show(TMessageKind kind, const std::string& text, const std::string& caption = {}) = 0;
    // Asks a yes/no question; true for yes. A box that cannot be shown answers no.
    virtual bool AskYesNo(const std::string& text, const std::string& caption = {}) = 0;
};

}
