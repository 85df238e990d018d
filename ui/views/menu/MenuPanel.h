#pragma once

// TMenuPanel: the side menu along the window's right edge. Its column of tabs (playlists,
// queue, selection, lyrics, tag editor, equalizer, search) is always shown, 100 units wide;
// a tab opens its page to the left of the column, 750 units wide, and closes it again.

#include "ui/framework/SmartCtrl.h"
#include "ui/views/shared/ButtonState.h"

#include <functional>
#include <string>

namespace vantor {

struct TViewContext;
class TMenuHolder;
class TMenuPanel;

class TSmartTab : public TSmartCtrl {
public:
    static constexpr int TipDuration = 1000; // ms
    static constexpr int TipGap = 50;        // between the tip's right edge and the tab

    TSmartTab(TCreateKey key, const TViewContext& context, TMenuPanel& panel, std::string icon, std::string caption);

    std::string stIcon;    // skin key
    std::string stCaption; // language key of its page's caption
    bool stActive = false;
    TButtonState stState = bsNormal;
    TMenuHolder* stHolder = nullptr; // its page; none opens nothing (non-owning)
    int stSelCount = 0;              // shown instead of the icon when positive

protected:
    void On_Paint(TBitmap& Canvas) override;
    void On_Enter(const TInputData& InputData) override;
    void On_Leave(const TInputData& InputData) override;
    TSmartCtrl* On_MouseDown(const TInputData& InputData, bool& ChildNotify) override;

private:
    const TViewContext* m_context; // non-owning
    TMenuPanel* m_panel;           // non-owning: the panel owns the tab bar
};

class TSmartTabBar : public TSmartCtrl {
public:
    static constexpr int TabCount = 7;
    enum TTabIndex { tbPlayLists, tbQueue, tbSelected, tbLyrics, tbTags, tbEqualizer, tbSearch };

    TSmartTabBar(TCreateKey key, const TViewContext& context, TMenuPanel& panel);
    TSmartTab* Tab(int index) const;

protected:
    void On_Paint(TBitmap& Canvas) override;
    void On_Resize() override;

private:
    const TViewContext* m_context; // non-owning
};

// The delete-mode switch at the bottom of the tab column.
class TModeButton : public TSmartCtrl {
public:
    explicit TModeButton(TCreateKey key, const TViewContext& context);

protected:
    void On_Paint(TBitmap& Canvas) override;
    void On_Enter(const TInputData& InputData) override;
    void On_Leave(const TInputData& InputData) override;
    TSmartCtrl* On_MouseDown(const TInputData& InputData, bool& ChildNotify) override;

private:
    const TViewContext* m_context; // non-owning
    void ShowTip();
};

class TMenuPanel : public TSmartCtrl {
public:
    static constexpr int TabColumnWidth = 100;
    static constexpr int OpenWidth = 850;

    TMenuPanel(TCreateKey key, const TViewContext& context);

    TSmartTabBar* TabBar = nullptr; // child, in the list "TopControls"
    TModeButton* mpModeButton = nullptr;
    TMenuHolder* mpHolder = nullptr; // the page shown (non-owning)
    bool mpCollapsed = true;         // only the tab column shows
    // The window lays its views out again (the panel's width changed).
    std::function<void()> Relayout;

    // Adds a page under an ID, hidden; tab: the tab that opens it, if any.
    TMenuHolder* AddHolder(const std::string& id, std::unique_ptr<TMenuHolder> holder, int tab = -1);
    // Opens a page (filling it first with Load); the panel widens to show it.
    void ShowHolder(TMenuHolder* MenuHolder, bool Load);
    void ShowHolder(const std::string& HolderID, bool Load);
    // Hides the page; only the tab column stays.
    void Collapse();
    // A press on a tab: opens its page, or closes it when it is the page shown.
    void TabPressed(TSmartTab& tab, const TInputData& input);

protected:
    void On_Paint(TBitmap& Canvas) override;
    void On_Resize() override;
    void On_Arrange() override;

private:
    const TViewContext* m_context; // non-owning
    void SetPanelWidth(int width);
};

}
