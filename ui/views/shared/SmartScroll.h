#pragma once

// TSmartScroll: a vertical scroll bar that is only its knob. A press or a drag with the left
// button moves the knob there and reports the new position; it hides itself while there is
// nothing to scroll.

#include "ui/framework/SmartCtrl.h"

#include <functional>

namespace vantor {

struct TViewContext;

class TSmartScroll : public TSmartCtrl {
public:
    using TScrollAction = std::function<void(TSmartScroll& sender, const TInputData& input)>;

    TSmartScroll(TCreateKey key, const TViewContext* context);

    int ssPos = 0;
    int ssMax = 0;
    int ssPanHeight = 100;  // the knob's travel height
    TScrollAction ssAction; // after a change by the user
    int ssPanPoint = 0;     // the knob's centre

    // ssMax := max(Value, 0); the bar shows only while it is above 0.
    void SetMax(int Value);
    // ssPos := Value within 0..ssMax.
    void SetPos(int Value);

protected:
    void On_Paint(TBitmap& Canvas) override;
    void On_Resize() override;
    void On_Arrange() override;
    TSmartCtrl* On_MouseDown(const TInputData& InputData, bool& ChildNotify) override;
    TSmartCtrl* On_MouseMove(const TInputData& InputData, bool& ChildNotify) override;

private:
    const TViewContext* m_context; // non-owning; null draws nothing
    void PressAt(const TInputData& InputData);
};

}
