#include "ui/views/menu/TagPages.h"

#include "base/CaseFold.h"
#include "base/IniValues.h"
#include "library/CoverThread.h"
#include "library/PlayList.h"
#include "library/PlayerSession.h"
#include "library/TrackData.h"
#include "library/TrackTexts.h"
#include "platform/shell/Shell.h"
#include "tags/Tags.h"
#include "ui/framework/ControlList.h"
#include "ui/framework/LocaleManager.h"
#include "ui/framework/SkinKeys.h"
#include "ui/framework/SmartVCL.h"
#include "ui/framework/ThemeManager.h"
#include "ui/framework/UIScale.h"
#include "ui/views/ViewContext.h"
#include "ui/views/shared/SmartEdit.h"
#include "ui/views/shared/SmartScroll.h"

#include <cstdio>
#include <utility>

namespace vantor {

namespace {

constexpr int kIconSize = 46;
constexpr int kIconArea = 56;
constexpr int kInfoHeight = 430;
constexpr int kCoverSize = 230;

std::string Upper(std::string_view text) { return UpperCase(text); }

TVPlayList* CurrentList(const TViewContext& context)
{
    return context.Session ? context.Session->CurrentPlayList : nullptr;
}

}

// ---- One line --------------------------------------------------------------------------

TTagItem::TTagItem(TCreateKey key, const TViewContext& context, std::string id, TTagsList* list)
    : TSmartCtrl(key)
    , giId(id)
    , giDescription(std::move(id))
    , giSmartGrid(list)
    , m_context(&context)
{
    giValueEdit = AddItem("giValueEdit", Create<TSmartEdit>(&context));
    giValueEdit->seBackgroundImage.clear();
}

bool TTagItem::InIcon(int X, int Y)
{
    int const left = (kIconArea - kIconSize) / 2;
    int const top = (CaptionHeight - kIconSize) / 2;
    return X >= left && X < left + kIconSize && Y >= top && Y < top + kIconSize;
}

void TTagItem::On_Arrange()
{
    giValueEdit->SetPosition(10, CaptionHeight);
    giValueEdit->SetWidth(Width() - 20);
    giValueEdit->SetHeight(Height() - CaptionHeight);
    TSmartCtrl::On_Arrange();
}

void TTagItem::On_Paint(TBitmap& Canvas)
{
    TThemeManager* const theme = m_context->Theme;
    if (!theme)
        return;
    TRect const area = CanvasRect();
    theme->Draw(skin::controls::Tags_Back, Canvas, "TTagItem", area);
    theme->Draw(skin::controls::Tags_Top, Canvas, "TTagItem.Top",
        { area.Left, area.Top, area.Right, area.Top + CaptionHeight });
    std::string const caption = m_context->Locale ? m_context->Locale->Get(giDescription, "#TagNames") : giDescription;
    theme->TextOut(caption, skin::fonts::Tags_Desc, tfLeft | tfVCenter | tfSingleLine | tfEndEllipsis,
        { area.Left + 60, area.Top, area.Right - 40, area.Top + CaptionHeight }, Canvas);
    theme->Draw(tiShowDelete ? skin::icons::Icon_Bin_46 : skin::icons::Icon_Tags_46, Canvas, "TTagItem.Icon",
        TRect::FromSize(
            area.Left + (kIconArea - kIconSize) / 2, area.Top + (CaptionHeight - kIconSize) / 2, kIconSize, kIconSize));
}

void TTagItem::ShowDelete(bool show)
{
    if (tiShowDelete == show)
        return;
    tiShowDelete = show;
    Invalidate(false);
}

TSmartCtrl* TTagItem::On_MouseMove(const TInputData& InputData, bool& ChildNotify)
{
    ShowDelete(giSmartGrid && InIcon(InputData.idXPos, InputData.idYPos));
    return TSmartCtrl::On_MouseMove(InputData, ChildNotify);
}

void TTagItem::On_Leave(const TInputData& InputData)
{
    TSmartCtrl::On_Leave(InputData);
    ShowDelete(false);
}

TSmartCtrl* TTagItem::On_MouseDown(const TInputData& InputData, bool& ChildNotify)
{
    if (giSmartGrid && InIcon(InputData.idXPos, InputData.idYPos)) {
        ChildNotify = false;
        // The line goes now: nothing of it is touched after.
        giSmartGrid->TagItemRemove(*this);
        return nullptr;
    }
    return TSmartCtrl::On_MouseDown(InputData, ChildNotify);
}

// ---- The list --------------------------------------------------------------------------

TTagsList::TTagsList(TCreateKey key, const TViewContext* context)
    : TItemContainer(key, context)
    , m_context(context)
{
    mhScrollValue = LinePitch;
    icOnArrangeProc = [](TItemContainer& container) {
        TControlList& lines = container.ItemList();
        for (int n = 0; n < lines.Count(); ++n) {
            TSmartCtrl* const line = lines.Control(n);
            line->SetWidth(container.Width());
            line->SetHeight(LineHeight);
            line->SetPosition(0, LinePitch * n - container.ScrollPos());
            line->Arrange();
        }
    };
}

TTagItem* TTagsList::AddLine(const std::string& LineID, const std::string& Desc, const std::string& TextValue)
{
    if (TTagItem* const existing = GetLine(LineID))
        return existing;
    TTagItem* const line = AddItem(Create<TTagItem>(*m_context, LineID, this));
    line->giDescription = Desc;
    line->giValueEdit->SetText(TextValue);
    Rearrange();
    return line;
}

TTagItem* TTagsList::GetLine(std::string_view LineID) const
{
    std::string const wanted = Upper(LineID);
    TControlList const& lines = *scLists.GetList(0);
    for (int n = 0; n < lines.Count(); ++n) {
        auto* const line = static_cast<TTagItem*>(lines.Control(n));
        if (Upper(line->giId) == wanted)
            return line;
    }
    return nullptr;
}

bool TTagsList::LineExists(std::string_view LineID) const
{
    TControlList const& lines = *scLists.GetList(0);
    for (int n = 0; n < lines.Count(); ++n)
        if (static_cast<TTagItem*>(lines.Control(n))->giId == LineID)
            return true;
    return false;
}

void TTagsList::TagItemRemove(TTagItem& Item)
{
    TControlList& lines = ItemList();
    for (int n = 0; n < lines.Count(); ++n) {
        if (lines.Control(n) == &Item) {
            RemoveChild(lines, n);
            break;
        }
    }
    Rearrange();
}

void TTagsList::Clear()
{
    ItemList().Clear();
    Rearrange();
}

void TTagsList::Rearrange()
{
    mhScrollBar->SetPos(0);
    Arrange();
    if (m_context && m_context->Host)
        m_context->Host->Invalidate();
}

// ---- The editor page -------------------------------------------------------------------

TTagsHolder::TTagsHolder(TCreateKey key, const TViewContext& context)
    : TMenuHolder(key, context, "Menu.TagsEditor")
{
    mhItemContainer->SetVisible(false);
    thTagsList = AddItem("thTagsGrid", Create<TTagsList>(&context));
    AddButton("Icon.Add.46", "Button.AddTag", asLeft, [this](TMenuButton&, const TInputData&) {
        if (ShowSelectHolder)
            ShowSelectHolder();
    });
    AddButton("Icon.Save.46", "Button.SaveChanges", asRight, [this](TMenuButton&, const TInputData&) { SaveTags(); });
    if (context.Session)
        context.Session->RegisterTrackHolder(this);
}

TTagsHolder::~TTagsHolder()
{
    if (Context().Session)
        Context().Session->UnregisterTrackHolder(this);
}

void TTagsHolder::ReleaseTrack(TTrackData& track)
{
    if (thTrackData != &track)
        return;
    thTrackData = nullptr;
    thTagsList->Clear();
    thHasCover = false;
}

void TTagsHolder::ReadTags(TTrackData& TrackData)
{
    thTrackData = &TrackData;
    thTagsList->Clear();
    std::string const path = TrackData.GetTag(tkFilePath);
    thCover = ReadFirstPicture(path);
    thHasCover = !thCover.IsEmpty();
    TTags tags;
    tags.DeferPictureData = true;
    tags.LoadFromFile(path);
    if (tags.Loaded) {
        for (auto const& tag : tags.Tags) {
            std::string const value = tags.GetTag(tag->Name);
            if (!value.empty())
                thTagsList->AddLine(tag->Name, tag->Name, value);
        }
    }
    RepaintWindow();
}

bool TTagsHolder::SaveTags()
{
    if (!thTrackData)
        return false;
    TTrackData& track = *thTrackData;
    std::string const path = track.GetTag(tkFilePath);
    TTags tags;
    tags.LoadFromFile(path);
    if (!tags.Loaded)
        return false;
    // The file's fields take the lines' values; a field without a line is emptied, and a line
    // without a field adds one.
    std::vector<std::string> names;
    for (auto const& tag : tags.Tags)
        names.push_back(tag->Name);
    for (std::string const& name : names) {
        TTagItem const* const line = thTagsList->GetLine(name);
        tags.SetTag(Upper(line ? line->giId : name), line ? line->giValueEdit->seText : std::string());
    }
    for (int n = 0; n < thTagsList->Count(); ++n) {
        TTagItem const* const line = thTagsList->Line(n);
        bool const inFile = std::any_of(
            names.begin(), names.end(), [&](const std::string& name) { return Upper(name) == Upper(line->giId); });
        if (!inFile)
            tags.SetTag(Upper(line->giId), line->giValueEdit->seText);
    }
    if (tags.SaveToFile(path) != 0)
        return false;
    // The record shows what the file holds now, in the list and in its list's file.
    track.ReadTags();
    track.SaveInfo();
    RepaintWindow();
    return true;
}

void TTagsHolder::Activate()
{
    if (TVPlayList* const list = CurrentList(Context()))
        list->plTagEditMode = true;
    TTrackData* const current = Context().Session ? Context().Session->CurrentTrack : nullptr;
    if (current && current->idPlaying)
        ReadTags(*current);
    TMenuHolder::Activate();
}

void TTagsHolder::Deactivate()
{
    if (TVPlayList* const list = CurrentList(Context()))
        list->plTagEditMode = false;
    TMenuHolder::Deactivate();
}

void TTagsHolder::On_Arrange()
{
    TMenuHolder::On_Arrange();
    thTagsList->SetPosition(10, ListTop);
    thTagsList->SetWidth(Width() - 20);
    thTagsList->SetHeight(std::max(0, Height() - ListTop - BarHeight - 10));
    thTagsList->Arrange();
}

void TTagsHolder::On_Paint(TBitmap& Canvas)
{
    TThemeManager* const theme = Context().Theme;
    if (!theme)
        return;
    TRect const area = CanvasRect();
    theme->Draw(skin::controls::Tags_Info_Back, Canvas, "TTagsHolder.Info",
        { area.Left, area.Top, area.Right, area.Top + kInfoHeight });
    thCoverRect = { area.Left + 30, area.Top + 130, area.Left + 30 + kCoverSize, area.Top + 130 + kCoverSize };
    theme->Draw(skin::controls::CoverBack, Canvas, "TTagsHolder.Cover", thCoverRect);
    theme->Draw(skin::icons::Icon_CD_74, Canvas, "TTagsHolder.CD",
        TRect::FromSize(thCoverRect.Left + (kCoverSize - 74) / 2, thCoverRect.Top + (kCoverSize - 74) / 2, 74, 74));
    if (thHasCover)
        Canvas.StretchBlendFrom(thCover, { 0, 0, thCover.Width(), thCover.Height() }, Scale(thCoverRect));
    if (!thTrackData)
        return;
    TTrackData const& track = *thTrackData;
    TPlayerSession const* const session = Context().Session;
    auto text = [session](std::string_view key) { return session ? session->Text(key) : std::string(key); };
    std::string const path = track.GetTag(tkFilePath);
    char rate[32];
    std::snprintf(rate, sizeof rate, "%g", ParseIniInt64(track.GetTag(tkSampleRate), 0) / 1000.0);
    std::string const lines[5] = {
        Context().Shell ? Context().Shell->ContentTypeDescription(path) : std::string(),
        track.Duration,
        track.GetTag(tkBitrate) + " " + text("ItemData.kbps") + " | " + rate + " " + text("ItemData.khz"),
        ChannelsText(track.GetTag(tkChannels), session),
        SizeText(ParseIniInt64(track.GetTag(tkFileSize), 0), session),
    };
    for (int i = 0; i < 5; ++i)
        theme->TextOut(lines[i], skin::fonts::Item_Title, tfLeft | tfVCenter | tfSingleLine | tfEndEllipsis,
            { area.Left + 300, area.Top + 120 + 50 * i, area.Right - 20, area.Top + 170 + 50 * i }, Canvas);
}

// ---- The field picker ------------------------------------------------------------------

TTagsSelectHolder::TTagsSelectHolder(
    TCreateKey key, const TViewContext& context, TTagsHolder& editor, std::function<void()> back)
    : TMenuHolder(key, context, {})
    , tsTagsHolder(&editor)
    , m_back(std::move(back))
{
    AddButton("Icon.Backward.Back", "Button.GoBack", asLeft, [this](TMenuButton&, const TInputData&) {
        TControlList& lines = mhItemContainer->ItemList();
        for (int n = 0; n < lines.Count(); ++n) {
            auto const* const line = static_cast<TTagItem*>(lines.Control(n));
            if (!line->giValueEdit->seText.empty())
                tsTagsHolder->thTagsList->AddLine(line->giId, line->giId, line->giValueEdit->seText);
        }
        if (m_back)
            m_back();
    });
}

void TTagsSelectHolder::Fill()
{
    mhItemContainer->ItemList().Clear();
    for (std::string_view name : kTagPickerFields)
        if (!tsTagsHolder->thTagsList->LineExists(name))
            mhItemContainer->AddItem(Create<TTagItem>(Context(), std::string(name), nullptr));
    mhItemContainer->mhScrollBar->SetPos(0);
    Arrange();
}

void TTagsSelectHolder::ArrangeProc(TItemContainer& ItemContainer)
{
    TControlList& lines = ItemContainer.ItemList();
    for (int n = 0; n < lines.Count(); ++n) {
        TSmartCtrl* const line = lines.Control(n);
        line->SetWidth(ItemContainer.Width() - 20);
        line->SetHeight(TTagsList::LineHeight);
        line->SetPosition(10, TTagsList::LinePitch * n + 10 - ItemContainer.ScrollPos());
        line->Arrange();
    }
}

void TTagsSelectHolder::Activate()
{
    if (TVPlayList* const list = CurrentList(Context()))
        list->plTagEditMode = true;
    TMenuHolder::Activate();
}

void TTagsSelectHolder::Deactivate()
{
    if (TVPlayList* const list = CurrentList(Context()))
        list->plTagEditMode = false;
    TMenuHolder::Deactivate();
}

}
