#pragma once

// TMenuPanel: the side menu along the window's right edge. Its column of tabs (playlists,
// queue, selection, lyrics, tag editor, equalizer, search) is always shown, 100 units wide;
// the pages the tabs open are built on it.

#include "ui/framework/SmartCtrl.h"

#include <string>

namespace vantor {

struct TViewContext;

class TSmartTab : public TSmartCtrl {
public:
    static constexpr int TipDuration = 1000; // ms
    static constexpr int TipGap = 50;        // between the tip's right edge and the tab

    // panelCollapsed: the menu panel's state; tips show only while it is collapsed.
    TSmartTab(
        TCreateKey key, const TViewContext& context, std::string icon, std::string caption, const bool& panelCollapsed);

    std::string stIcon;    // skin key
    std::string stCaption; // language key of its page's caption
    bool stActive = false;
    bool stHot = false;
    int stSelCount = 0; // shown instead of the icon when positive

protected:
    void On_Paint(TBitmap& Canvas) override;
    void On_Enter(const TInputData& InputData) override;
    void On_Leave(const TInputData& InputData) override;

private:
    const TViewContext* m_context; // non-owning
    const bool* m_panelCollapsed;  // non-owning
};

class TSmartTabBar : public TSmartCtrl {
public:
    static constexpr int TabCount = 7;

    TSmartTabBar(TCreateKey key, const TViewContext& context, const bool& panelCollapsed);
    TSmartTab* Tab(int index) const;

protected:
    void On_Paint(TBitmap& Canvas) override;
    void On_Resize() override;

private:
    const TViewContext* m_context; // non-owning
};

class TMenuPanel : public TSmartCtrl {
public:
    static constexpr int TabColumnWidth = 100;

    TMenuPanel(TCreateKey key, const TViewContext& context);

    TSmartTabBar* TabBar = nullptr; // child, in the list "TopControls"
    bool mpCollapsed = true;        // only the tab column shows

protected:
    void On_Paint(TBitmap& Canvas) override;
    void On_Resize() override;

private:
    const TViewContext* m_context; // non-owning
};

}
