#pragma once

// The frame every side-menu page shares: a caption bar on top, the page's items in a scrolling
// container, and an actions bar of icon buttons at the bottom.

#include "ui/framework/SmartCtrl.h"
#include "ui/views/shared/ButtonState.h"

#include <functional>
#include <string>

namespace vantor {

struct TViewContext;
class TItemContainer;
class TMenuPanel;
class TSmartTab;

enum TButtonAlign { asLeft, asRight };

// One icon button of an actions bar; hovering shows its caption in the tip.
class TMenuButton : public TSmartCtrl {
public:
    using TMenuButtonAction = std::function<void(TMenuButton& sender, const TInputData& input)>;

    static constexpr int ButtonWidth = 80;
    static constexpr int ButtonPitch = 90;

    TMenuButton(TCreateKey key, const TViewContext& context, std::string icon, std::string caption, TButtonAlign align,
        TMenuButtonAction action);

    TButtonState mBState = bsNormal;
    std::string mbCaption; // language key of the tip
    std::string mbIcon;    // entry of the group "Icons"
    TMenuButtonAction mbAction;
    TButtonAlign mbAlign;

protected:
    void On_Paint(TBitmap& Canvas) override;
    void On_Enter(const TInputData& InputData) override;
    void On_Leave(const TInputData& InputData) override;
    TSmartCtrl* On_MouseDown(const TInputData& InputData, bool& ChildNotify) override;

private:
    const TViewContext* m_context; // non-owning
};

class TMenuCaptionBar : public TSmartCtrl {
public:
    TMenuCaptionBar(TCreateKey key, const TViewContext& context);
    std::string cbCaption; // language key; empty shows nothing

protected:
    void On_Paint(TBitmap& Canvas) override;

private:
    const TViewContext* m_context; // non-owning
};

// The bar of buttons: left-aligned ones from the left edge, right-aligned ones from the right.
class TMenuActionsBar : public TSmartCtrl {
public:
    TMenuActionsBar(TCreateKey key, const TViewContext& context);

protected:
    void On_Paint(TBitmap& Canvas) override;
    void On_Arrange() override;

private:
    const TViewContext* m_context; // non-owning
};

class TMenuHolder : public TSmartCtrl {
public:
    static constexpr int BarHeight = 100;

    TMenuHolder(TCreateKey key, const TViewContext& context, std::string caption);

    TMenuActionsBar* mhActionsBar = nullptr;
    TMenuCaptionBar* mhCaptionBar = nullptr;
    TSmartTab* mhTabData = nullptr; // its tab, if any (non-owning)
    TItemContainer* mhItemContainer = nullptr;

    TMenuButton* AddButton(
        std::string icon, std::string caption, TButtonAlign align, TMenuButton::TMenuButtonAction action);

    // Places the page's items in its container (by default stacked, 90 high, 100 apart).
    virtual void ArrangeProc(TItemContainer& ItemContainer);
    // The page was shown or hidden.
    virtual void Activate();
    virtual void Deactivate();
    // Fills the page.
    virtual void LoadMenu();

protected:
    void On_Arrange() override;
    void RepaintWindow();
    const TViewContext& Context() const { return *m_context; }

private:
    const TViewContext* m_context; // non-owning
};

}
