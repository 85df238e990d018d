#pragma once

// TAlphabetPanel: the column of jump letters that slides over the left edge of a playlist. It
// makes one button per letter of the list's alphabet (made again whenever the list is
// regrouped), lays them out in rows, and a press on a letter scrolls the list to its group.

#include "library/GroupData.h"
#include "ui/framework/SmartCtrl.h"
#include "ui/views/shared/ButtonState.h"

#include <cstdint>
#include <vector>

namespace vantor {

struct TViewContext;
class TItemContainer;
class TPlayListView;
class TAlphabetPanel;

// One jump letter.
class TGroupLetterButton : public TSmartCtrl {
public:
    TGroupLetterButton(TCreateKey key, TGroupLetter letter, TAlphabetPanel& panel, const TViewContext* context);

    TGroupLetter Letter; // its group, key and caption
    TButtonState glState = bsNormal;
    bool glActive = false; // its group's header is on screen

protected:
    void On_Paint(TBitmap& Canvas) override;
    void On_Enter(const TInputData& InputData) override;
    void On_Leave(const TInputData& InputData) override;
    TSmartCtrl* On_MouseDown(const TInputData& InputData, bool& ChildNotify) override;
    TSmartCtrl* On_MouseUp(const TInputData& InputData, bool& ChildNotify) override;

private:
    TAlphabetPanel* m_panel;       // non-owning: the panel outlives its letters
    const TViewContext* m_context; // non-owning
    void SetState(TButtonState state);
};

class TAlphabetPanel : public TSmartCtrl {
public:
    TAlphabetPanel(TCreateKey key, TPlayListView& playList, const TViewContext* context);

    TPlayListView* apPlayList;        // non-owning: the list owns the panel
    TItemContainer* apList = nullptr; // a child, ID "apList"

    // The letter buttons, made again first when the list was regrouped since.
    std::vector<TGroupLetterButton*> Letters();
    // Scrolls the list to the letter's group; nothing when the letter is out of date.
    void Jump(const TGroupLetterButton& letter);

protected:
    void On_Show() override;
    void On_Resize() override;
    void On_Paint(TBitmap& Canvas) override;

private:
    const TViewContext* m_context; // non-owning
    // The list's groups version the buttons were made for; none before the first.
    uint64_t m_lettersVersion = UINT64_MAX;
    void SyncLetters();
    void PlaceList();
    // Rows of letters: their widths follow the grouping, a row breaks before the right margin.
    void ArrangeLetters();
};

}
