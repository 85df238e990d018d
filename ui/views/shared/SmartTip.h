#pragma once

// TSmartTip: the floating tip of the window. A hover target pops it up with a translated text
// for a while; a one-shot timer hides it again.

#include "ui/framework/SmartCtrl.h"

#include <memory>
#include <string>
#include <string_view>

namespace vantor {

struct TViewContext;
class TTimer;

class TSmartTip : public TSmartCtrl {
public:
    static constexpr int DefaultWidth = 400;
    static constexpr int DefaultHeight = 100;

    TSmartTip(TCreateKey key, const TViewContext* context);
    ~TSmartTip() override;

    std::string mtCaption;

    // Shows the translation of the key Text at Pos (logical, in the window).
    void PopUp(std::string_view Text, int Duration, TPoint Pos);
    // Shows the translation of the key Text where the tip is, as wide as the text needs; a
    // Duration of zero or more hides it after that many milliseconds.
    void PopUp(std::string_view Text, int Duration);
    // The same with a text already translated.
    void PopUpCaption(std::string Caption, int Duration);
    void Hide();

protected:
    void On_Paint(TBitmap& Canvas) override;

private:
    const TViewContext* m_context;   // non-owning
    std::unique_ptr<TTimer> mtTimer; // made on first use, on the window's timers
    void RepaintWindow();
};

}
