#include "ui/views/shared/SmartScroll.h"

#include "ui/framework/SkinKeys.h"
#include "ui/framework/ThemeManager.h"
#include "ui/views/ViewContext.h"

#include <algorithm>
#include <cmath>

namespace vantor {

TSmartScroll::TSmartScroll(TCreateKey key, const TViewContext* context)
    : TSmartCtrl(key)
    , m_context(context)
{
    SetVisible(false);
}

void TSmartScroll::SetMax(int Value)
{
    ssMax = std::max(Value, 0);
    ssPos = std::min(ssPos, ssMax);
    SetVisible(ssMax > 0);
    Arrange();
    Invalidate(true);
}

void TSmartScroll::SetPos(int Value)
{
    ssPos = std::clamp(Value, 0, ssMax);
    Arrange();
    Invalidate(true);
}

void TSmartScroll::On_Arrange()
{
    TSmartCtrl::On_Arrange();
    int const travel = Height() - ssPanHeight;
    int const knob = ssMax > 0 && travel > 0
        ? static_cast<int>(std::nearbyint(static_cast<double>(travel) * ssPos / ssMax))
        : (ssMax > 0 ? 0 : ssPos);
    ssPanPoint = knob + ssPanHeight / 2;
}

void TSmartScroll::On_Resize()
{
    TSmartCtrl::On_Resize();
    ssPos = 0;
    Arrange();
}

void TSmartScroll::On_Paint(TBitmap& Canvas)
{
    TThemeManager* const theme = m_context ? m_context->Theme : nullptr;
    if (!theme)
        return;
    TRect const area = CanvasRect();
    theme->Draw(skin::controls::ScrollBar_Knob, Canvas, "TSmartScroll",
        { area.Left + 5, area.Top + ssPanPoint - 40, area.Right - 5, area.Top + ssPanPoint + 40 });
}

void TSmartScroll::PressAt(const TInputData& InputData)
{
    int const half = ssPanHeight / 2;
    int const travel = Height() - ssPanHeight;
    // A bar no taller than the knob has nowhere to move it.
    if (travel <= 0)
        return;
    int const y = std::clamp(InputData.idYPos, half, Height() - half);
    ssPos = static_cast<int>(std::nearbyint(static_cast<double>(ssMax) * (y - half) / travel));
    Arrange();
    if (ssAction) {
        TScrollAction const action = ssAction;
        action(*this, InputData);
    }
    Invalidate(true);
}

TSmartCtrl* TSmartScroll::On_MouseDown(const TInputData& InputData, bool& ChildNotify)
{
    ChildNotify = false;
    if (InputData.idButton == mbLeft)
        PressAt(InputData);
    return this;
}

TSmartCtrl* TSmartScroll::On_MouseMove(const TInputData& InputData, bool& ChildNotify)
{
    ChildNotify = false;
    if (InputData.idShift & ssLeft)
        PressAt(InputData);
    return this;
}

}
