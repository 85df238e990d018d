#include "ui/views/menu/ListHolder.h"

#include "library/PlayList.h"
#include "library/PlayerSession.h"
#include "library/SpecialLists.h"
#include "library/TrackData.h"
#include "ui/framework/ControlList.h"
#include "ui/framework/SkinKeys.h"
#include "ui/framework/SmartVCL.h"
#include "ui/framework/ThemeManager.h"
#include "ui/views/ViewContext.h"
#include "ui/views/playlist/PlayListPanel.h"
#include "ui/views/shared/ItemContainer.h"

#include <string>

namespace vantor {

namespace {

constexpr int kEntryHeight = 92;
constexpr int kEntryPitch = 102;
constexpr int kIconSize = 46;
constexpr int kTextLeft = 108;

}

TListItem::TListItem(TCreateKey key, const TViewContext& context, TVPlayList& playList)
    : TSmartCtrl(key)
    , liPlayList(&playList)
    , m_context(&context)
{
}

void TListItem::On_Paint(TBitmap& Canvas)
{
    TThemeManager* const theme = m_context->Theme;
    if (!theme)
        return;
    TRect const area = CanvasRect();
    TPlayerSession const& session = liPlayList->Session();
    if (session.CurrentPlayList == liPlayList || liState != bsNormal)
        theme->Draw(skin::controls::ListItem, Canvas, "TListItem", area);
    int const middle = area.Top + area.Height() / 2;
    theme->Draw(liPlayList->plIcon, Canvas, "TListItem.Icon",
        TRect::FromSize(area.Left + 23, area.Top + (area.Height() - kIconSize) / 2, kIconSize, kIconSize));
    TTextFlags const flags = tfLeft | tfVCenter | tfSingleLine | tfEndEllipsis;
    theme->TextOut(session.Text(liPlayList->plCaption), skin::fonts::Menu_Item_Title, flags,
        { area.Left + kTextLeft, area.Top, area.Right - 80, middle }, Canvas);
    std::string description = std::to_string(liPlayList->TrackCount()) + " " + session.Text("PlayList.Tracks");
    if (liPlayList == session.Special.Radio) {
        description += ' ';
        description += session.Text("PlayList.Stations");
    }
    theme->TextOut(description, skin::fonts::Menu_Item_Desc, flags,
        { area.Left + kTextLeft, middle, area.Right - 80, area.Bottom }, Canvas);
    TTrackData const* const playing = session.CurrentTrack;
    if (playing && playing->tdPlayList == liPlayList)
        theme->Draw(skin::icons::Icon_Track_46, Canvas, "TListItem.Playing",
            TRect::FromSize(area.Right - 69, area.Top + (area.Height() - kIconSize) / 2, kIconSize, kIconSize));
}

void TListItem::On_Enter(const TInputData& InputData)
{
    TSmartCtrl::On_Enter(InputData);
    liState = bsActive;
    Invalidate(false);
}

void TListItem::On_Leave(const TInputData& InputData)
{
    TSmartCtrl::On_Leave(InputData);
    liState = bsNormal;
    Invalidate(false);
}

TSmartCtrl* TListItem::On_MouseDown(const TInputData&, bool& ChildNotify)
{
    ChildNotify = false;
    if (m_context->PlayLists)
        m_context->PlayLists->SetActiveList(liPlayList);
    if (m_context->Host)
        m_context->Host->Invalidate();
    return this;
}

TListHolder::TListHolder(TCreateKey key, const TViewContext& context)
    : TMenuHolder(key, context, "Menu.PlayLists")
{
    AddButton("Icon.Add.46", "Button.AddPlaylist", asLeft, [this](TMenuButton&, const TInputData&) {
        if (TPlayListPanel* const panel = Context().PlayLists)
            panel->AddPlaylist({}, true);
    });
    AddButton("Icon.Remove.46", "Button.RemovePlaylist", asLeft, [this](TMenuButton&, const TInputData&) {
        TPlayListPanel* const panel = Context().PlayLists;
        if (panel && Context().Session && Context().Session->CurrentPlayList)
            panel->RemovePlaylist(Context().Session->CurrentPlayList);
    });
    AddButton("Icon.Menu.46", "Button.PlaylistOptions", asRight, [this](TMenuButton&, const TInputData&) {
        if (ShowOptions && Context().Session && Context().Session->CurrentPlayList)
            ShowOptions(*Context().Session->CurrentPlayList);
    });
    if (TPlayListPanel* const panel = context.PlayLists) {
        panel->PlaylistAdded = [this](TVPlayList& list) { AddPlaylist(list); };
        panel->PlaylistRemoved = [this](TVPlayList& list) { RemoveListItem(list); };
    }
}

TListHolder::~TListHolder()
{
    if (TPlayListPanel* const panel = Context().PlayLists) {
        panel->PlaylistAdded = nullptr;
        panel->PlaylistRemoved = nullptr;
    }
}

void TListHolder::LoadMenu()
{
    TPlayListPanel const* const panel = Context().PlayLists;
    // The entries go: nothing may keep pointing at one.
    if (Context().Host)
        Context().Host->Reset();
    mhItemContainer->ItemList().Clear();
    if (panel)
        for (TVPlayList* list : panel->PlayLists())
            mhItemContainer->AddItem(Create<TListItem>(Context(), *list));
    TMenuHolder::LoadMenu();
}

void TListHolder::AddPlaylist(TVPlayList& PlayList)
{
    mhItemContainer->AddItem(Create<TListItem>(Context(), PlayList));
    mhItemContainer->Arrange();
}

void TListHolder::RemoveListItem(const TVPlayList& PlayList)
{
    TControlList& items = mhItemContainer->ItemList();
    for (int n = items.Count() - 1; n >= 0; --n)
        if (static_cast<TListItem*>(items.Control(n))->liPlayList == &PlayList)
            mhItemContainer->RemoveChild(items, n);
    mhItemContainer->Arrange();
    if (ListRemoved)
        ListRemoved(PlayList);
}

void TListHolder::Activate()
{
    LoadMenu();
    TMenuHolder::Activate();
}

void TListHolder::ArrangeProc(TItemContainer& ItemContainer)
{
    TControlList& items = ItemContainer.ItemList();
    for (int n = 0; n < items.Count(); ++n) {
        TSmartCtrl* const item = items.Control(n);
        item->SetWidth(ItemContainer.Width());
        item->SetHeight(kEntryHeight);
        item->SetPosition(0, kEntryPitch * n + 10 - ItemContainer.ScrollPos());
    }
}

}
