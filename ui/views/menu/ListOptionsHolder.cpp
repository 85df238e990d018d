#include "ui/views/menu/ListOptionsHolder.h"

#include "base/CaseFold.h"
#include "library/PlayList.h"
#include "library/PlayerSession.h"
#include "library/PlaylistLoader.h"
#include "platform/shell/Shell.h"
#include "platform/window/MessageBox.h"
#include "ui/framework/ControlList.h"
#include "ui/framework/SkinKeys.h"
#include "ui/framework/SmartVCL.h"
#include "ui/framework/ThemeManager.h"
#include "ui/views/ViewContext.h"
#include "ui/views/shared/ItemContainer.h"
#include "ui/views/shared/SmartEdit.h"

#include <algorithm>
#include <utility>

namespace vantor {

namespace {

// The page's layout, as on the search page: the field under the caption bar, the entries
// below it.
constexpr int kMargin = 10;
constexpr int kFieldGap = 20;
constexpr int kEntryHeight = 90;
constexpr int kEntryPitch = 100;
constexpr int kIconSize = 46;
constexpr int kTextIndent = 20;

std::string Text(const TViewContext& context, std::string_view key)
{
    return context.Session ? context.Session->Text(key) : std::string(key);
}

// The last part of a folder's path ("/" for the root).
std::string FolderName(const std::string& path)
{
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/')
        trimmed.pop_back();
    size_t const slash = trimmed.find_last_of('/');
    return slash == std::string::npos || trimmed.size() == 1 ? trimmed : trimmed.substr(slash + 1);
}

}

TLinkedFolderItem::TLinkedFolderItem(
    TCreateKey key, const TViewContext& context, std::string folder, std::function<void(TLinkedFolderItem&)> remove)
    : TSmartCtrl(key)
    , Caption(std::move(folder))
    , m_context(&context)
    , m_remove(std::move(remove))
{
}

void TLinkedFolderItem::On_Paint(TBitmap& Canvas)
{
    TThemeManager* const theme = m_context->Theme;
    if (!theme)
        return;
    TRect const area = CanvasRect();
    theme->Draw(m_state == bsNormal ? skin::controls::PlayListItem : skin::controls::ListItem, Canvas,
        "TLinkedFolderItem", area);
    TRect const action { area.Left, area.Top, area.Left + ActionWidth, area.Bottom };
    theme->Draw(skin::controls::PlaylistItem_Left, Canvas, "TLinkedFolderItem.Left", action);
    theme->Draw(skin::icons::Icon_Remove_46, Canvas, "TLinkedFolderItem.Remove",
        TRect::FromSize(action.Left + (ActionWidth - kIconSize) / 2, action.Top + (action.Height() - kIconSize) / 2,
            kIconSize, kIconSize));
    int const middle = area.Top + area.Height() / 2;
    TTextFlags const flags = tfLeft | tfVCenter | tfSingleLine | tfEndEllipsis;
    int const left = area.Left + ActionWidth + kTextIndent;
    theme->TextOut(FolderName(Caption), skin::fonts::Menu_Item_Title, flags,
        { left, area.Top, area.Right - kTextIndent, middle }, Canvas);
    theme->TextOut(
        Caption, skin::fonts::Menu_Item_Desc, flags, { left, middle, area.Right - kTextIndent, area.Bottom }, Canvas);
}

void TLinkedFolderItem::On_Enter(const TInputData& InputData)
{
    TSmartCtrl::On_Enter(InputData);
    m_state = bsActive;
    Invalidate(false);
}

void TLinkedFolderItem::On_Leave(const TInputData& InputData)
{
    TSmartCtrl::On_Leave(InputData);
    m_state = bsNormal;
    Invalidate(false);
}

TSmartCtrl* TLinkedFolderItem::On_MouseDown(const TInputData& InputData, bool& ChildNotify)
{
    ChildNotify = false;
    if (InputData.idXPos < ActionWidth && m_remove) {
        // The entry goes now: nothing of it is touched after.
        std::function<void(TLinkedFolderItem&)> const remove = m_remove;
        remove(*this);
        return nullptr;
    }
    return this;
}

TListOptionsHolder::TListOptionsHolder(TCreateKey key, const TViewContext& context, std::function<void()> back)
    : TMenuHolder(key, context, "Button.PlaylistOptions")
    , m_back(std::move(back))
{
    loListName = AddItem(Create<TSmartEdit>(&context), "TopList");
    loListName->seShowDescription = true;
    loListName->seDescText = "Menu.PlaylistName";
    AddButton("Icon.Backward.Back", "Button.GoBack", asLeft, [this](TMenuButton&, const TInputData&) { GoBack(); });
    AddButton("Icon.Add.46", "Button.LinkFolder", asRight, [this](TMenuButton&, const TInputData&) { LinkFolder(); });
    AddButton("Icon.Refresh.46", "Button.Rescan", asRight, [this](TMenuButton&, const TInputData&) { ReScan(); });
}

void TListOptionsHolder::PopulateSettings(TVPlayList& PlayList)
{
    m_playList = &PlayList;
    m_pickTarget = std::make_shared<TVPlayList* const>(&PlayList);
    loListName->SetText(PlayList.plCaption);
    // The entries go: nothing may keep pointing at one.
    if (Context().Host)
        Context().Host->Reset();
    mhItemContainer->ItemList().Clear();
    for (std::string const& folder : PlayList.plLinkedFolders)
        AddFolderItem(folder);
    TMenuHolder::LoadMenu();
}

void TListOptionsHolder::ReleasePlayList(const TVPlayList& PlayList)
{
    if (m_playList != &PlayList)
        return;
    m_playList = nullptr;
    m_pickTarget.reset();
    loListName->SetText({});
    if (Context().Host)
        Context().Host->Reset();
    mhItemContainer->ItemList().Clear();
    mhItemContainer->Arrange();
}

void TListOptionsHolder::GoBack()
{
    std::string const& name = loListName->seText;
    if (m_playList && m_playList->plCanRename && name.find_first_not_of(" \t") != std::string::npos
        && name != m_playList->plCaption) {
        m_playList->plCaption = name;
        if (!m_playList->SaveToFile() && Context().Messages)
            Context().Messages->Show(TMessageKind::mkError, "Unable to write to " + m_playList->SavePath().string());
    }
    if (m_back)
        m_back();
}

bool TListOptionsHolder::LinkFolder()
{
    if (!m_playList || !Context().Shell)
        return false;
    std::weak_ptr<TVPlayList* const> const target = m_pickTarget;
    return Context().Shell->PickFolder(PickerTitle, PickerAcceptLabel, [this, target](const TFolderPick& pick) {
        // The page, or the list it showed, may be gone by now.
        if (std::shared_ptr<TVPlayList* const> const list = target.lock())
            Answered(**list, pick);
    });
}

void TListOptionsHolder::Answered(TVPlayList& PlayList, const TFolderPick& Pick)
{
    if (Pick.Result == TFolderPickResult::fpUnavailable) {
        if (Context().Messages)
            Context().Messages->Show(TMessageKind::mkError, Text(Context(), "Messages.NoFolderDialog"));
        return;
    }
    std::vector<std::string>& folders = PlayList.plLinkedFolders;
    // A folder is linked once.
    if (Pick.Result != TFolderPickResult::fpPicked
        || std::any_of(
            folders.begin(), folders.end(), [&](std::string const& folder) { return EqualsNoCase(folder, Pick.Path); }))
        return;
    folders.push_back(Pick.Path);
    SaveLinks();
    AddFolderItem(Pick.Path);
    mhItemContainer->Arrange();
    RepaintWindow();
}

void TListOptionsHolder::ReScan()
{
    if (m_playList)
        vantor::ReScan(*m_playList);
}

void TListOptionsHolder::RemoveFolder(TLinkedFolderItem& Item)
{
    if (m_playList) {
        std::vector<std::string>& folders = m_playList->plLinkedFolders;
        auto const found = std::find_if(folders.begin(), folders.end(),
            [&](std::string const& folder) { return EqualsNoCase(folder, Item.Caption); });
        if (found != folders.end()) {
            folders.erase(found);
            SaveLinks();
        }
    }
    TControlList& items = mhItemContainer->ItemList();
    for (int n = 0; n < items.Count(); ++n) {
        if (items.Control(n) == &Item) {
            mhItemContainer->RemoveChild(items, n);
            break;
        }
    }
    mhItemContainer->Arrange();
    RepaintWindow();
}

void TListOptionsHolder::SaveLinks()
{
    // A link made or undone outlasts a crash; the track sections are left as they are.
    if (!m_playList->SaveToFile() && Context().Messages)
        Context().Messages->Show(TMessageKind::mkError, "Unable to write to " + m_playList->SavePath().string());
}

void TListOptionsHolder::AddFolderItem(const std::string& Folder)
{
    mhItemContainer->AddItem(
        Create<TLinkedFolderItem>(Context(), Folder, [this](TLinkedFolderItem& item) { RemoveFolder(item); }));
}

void TListOptionsHolder::On_Arrange()
{
    TMenuHolder::On_Arrange();
    loListName->SetPosition(kMargin, BarHeight + kMargin);
    loListName->SetWidth(Width() - 2 * kMargin);
    loListName->SetHeight(FieldHeight);
}

void TListOptionsHolder::ArrangeProc(TItemContainer& ItemContainer)
{
    // The entries start below the field.
    int const top = kMargin + FieldHeight + kFieldGap;
    TControlList& items = ItemContainer.ItemList();
    for (int n = 0; n < items.Count(); ++n) {
        TSmartCtrl* const item = items.Control(n);
        item->SetWidth(ItemContainer.Width() - 2 * kMargin);
        item->SetHeight(kEntryHeight);
        item->SetPosition(kMargin, top + kEntryPitch * n - ItemContainer.ScrollPos());
    }
}

}
