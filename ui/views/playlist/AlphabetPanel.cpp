#include "ui/views/playlist/AlphabetPanel.h"

#include "ui/framework/ControlList.h"
#include "ui/framework/SkinKeys.h"
#include "ui/framework/SmartVCL.h"
#include "ui/framework/ThemeManager.h"
#include "ui/views/ViewContext.h"
#include "ui/views/playlist/PlayListView.h"
#include "ui/views/shared/ItemContainer.h"

#include <utility>

namespace vantor {

namespace {

constexpr int kLetterSize = 80;
constexpr int kLetterGap = 5;
constexpr int kLineGap = 4;
constexpr int kFirstLeft = 10;
constexpr int kFirstTop = 18;
constexpr int kRightMargin = 10;
constexpr int kLetterScrollWidth = 40;

// Years take half a row; values that read as words or numbers with units take a whole one.
int LetterWidth(TGroupMode mode, int panelWidth)
{
    switch (mode) {
    case gmYear: return (panelWidth - 50) / 2;
    case gmGenre:
    case gmBitrate:
    case gmSize:
    case gmDuration:
    case gmRating: return panelWidth - 50;
    default: return kLetterSize;
    }
}

}

TGroupLetterButton::TGroupLetterButton(
    TCreateKey key, TGroupLetter letter, TAlphabetPanel& panel, const TViewContext* context)
    : TSmartCtrl(key)
    , Letter(std::move(letter))
    , m_panel(&panel)
    , m_context(context)
{
}

void TGroupLetterButton::SetState(TButtonState state)
{
    if (glState == state)
        return;
    glState = state;
    Invalidate(true);
}

void TGroupLetterButton::On_Paint(TBitmap& Canvas)
{
    TThemeManager* const theme = m_context ? m_context->Theme : nullptr;
    if (!theme)
        return;
    TRect const area = CanvasRect();
    if (glActive || glState == bsPressed)
        theme->Draw(skin::controls::PLayerButtonPressed, Canvas, "TGroupLetter", area);
    else if (glState == bsActive)
        theme->Draw(skin::controls::PLayerButtonActive, Canvas, "TGroupLetter", area);
    theme->TextOut(Letter.glCaption, skin::fonts::GroupLetter_Caption,
        tfCenter | tfVCenter | tfSingleLine | tfEndEllipsis, area, Canvas);
}

void TGroupLetterButton::On_Enter(const TInputData& InputData)
{
    TSmartCtrl::On_Enter(InputData);
    SetState(bsActive);
}

void TGroupLetterButton::On_Leave(const TInputData& InputData)
{
    TSmartCtrl::On_Leave(InputData);
    SetState(bsNormal);
}

TSmartCtrl* TGroupLetterButton::On_MouseDown(const TInputData& InputData, bool& ChildNotify)
{
    ChildNotify = false;
    if (InputData.idButton != mbLeft)
        return this;
    SetState(bsPressed);
    m_panel->Jump(*this);
    return this;
}

TSmartCtrl* TGroupLetterButton::On_MouseUp(const TInputData&, bool& ChildNotify)
{
    ChildNotify = false;
    SetState(bsActive);
    return this;
}

TAlphabetPanel::TAlphabetPanel(TCreateKey key, TPlayListView& playList, const TViewContext* context)
    : TSmartCtrl(key)
    , apPlayList(&playList)
    , m_context(context)
{
    SetVisible(false);
    apList = AddItem("apList", "TopList", Create<TItemContainer>(context));
    apList->icScrollWidth = kLetterScrollWidth;
    apList->icOnArrangeProc = [this](TItemContainer&) { ArrangeLetters(); };
}

std::vector<TGroupLetterButton*> TAlphabetPanel::Letters()
{
    SyncLetters();
    std::vector<TGroupLetterButton*> letters;
    TControlList& items = apList->ItemList();
    letters.reserve(static_cast<size_t>(items.Count()));
    for (int n = 0; n < items.Count(); ++n)
        letters.push_back(static_cast<TGroupLetterButton*>(items.Control(n)));
    return letters;
}

void TAlphabetPanel::SyncLetters()
{
    TVPlayList const& list = apPlayList->List();
    if (m_lettersVersion == list.GroupsVersion())
        return;
    m_lettersVersion = list.GroupsVersion();
    apList->ItemList().Clear();
    for (TGroupLetter const& letter : list.Letters())
        apList->AddItem(Create<TGroupLetterButton>(letter, *this, m_context));
    apList->Arrange();
}

void TAlphabetPanel::Jump(const TGroupLetterButton& letter)
{
    if (m_lettersVersion != apPlayList->List().GroupsVersion())
        return;
    apPlayList->ScrollToGroup(letter.Letter.glGroup);
}

void TAlphabetPanel::On_Show()
{
    TSmartCtrl::On_Show();
    // A hidden panel is not resized: the letters' container catches up here.
    PlaceList();
    SyncLetters();
    apPlayList->ShowActiveLetters();
    apList->Arrange();
}

void TAlphabetPanel::On_Resize()
{
    PlaceList();
    TSmartCtrl::On_Resize();
}

void TAlphabetPanel::PlaceList()
{
    apList->SetPosition(0, 0);
    apList->SetWidth(Width());
    apList->SetHeight(Height());
}

void TAlphabetPanel::On_Paint(TBitmap& Canvas)
{
    SyncLetters();
    if (TThemeManager* const theme = m_context ? m_context->Theme : nullptr)
        theme->Draw(skin::controls::Alphabet_Panel_Back, Canvas, "TAlphabetPanel", CanvasRect());
}

void TAlphabetPanel::ArrangeLetters()
{
    int const panelWidth = apList->Width();
    int const width = LetterWidth(apPlayList->List().plGroupMode, panelWidth);
    int left = kFirstLeft;
    int top = kFirstTop - apList->ScrollPos();
    bool first = true;
    TControlList& items = apList->ItemList();
    for (int n = 0; n < items.Count(); ++n) {
        TSmartCtrl* const letter = items.Control(n);
        if (!first) {
            left += width + kLetterGap;
            if (left + width > panelWidth - kRightMargin) {
                left = kFirstLeft;
                top += kLetterSize + kLineGap;
            }
        }
        first = false;
        letter->SetWidth(width);
        letter->SetHeight(kLetterSize);
        letter->SetPosition(left, top);
    }
    apList->CalculateScroll();
    if (m_context && m_context->Host)
        m_context->Host->Invalidate();
}

}
