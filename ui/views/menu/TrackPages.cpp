#include "ui/views/menu/TrackPages.h"

#include "library/PlayList.h"
#include "library/PlayQueue.h"
#include "library/PlayerSession.h"
#include "library/SelectionOps.h"
#include "library/TrackData.h"
#include "ui/framework/ControlList.h"
#include "ui/framework/SkinKeys.h"
#include "ui/views/ViewContext.h"
#include "ui/views/menu/MenuPanel.h"
#include "ui/views/playlist/PlayListPanel.h"
#include "ui/views/shared/ItemContainer.h"

namespace vantor {

void TSelectedItem::ActionPress()
{
    if (Context().Session)
        Context().Session->Selection().Remove(*Track);
}

const char* TSelectedItem::ActionIcon() const { return skin::icons::Icon_Selected_46; }

TSelectedHolder::TSelectedHolder(TCreateKey key, const TViewContext& context)
    : TMenuHolder(key, context, "Menu.Selected")
{
    auto selection = [this]() -> TTrackSelection* {
        return Context().Session ? &Context().Session->Selection() : nullptr;
    };
    AddButton("Icon.Selected.46", "Button.ClearSelected", asLeft, [selection](TMenuButton&, const TInputData&) {
        if (TTrackSelection* const s = selection())
            while (!s->Empty())
                s->Remove(*s->Entries().back());
    });
    AddButton("Icon.RemoveFromList.46", "Button.RemoveFromList", asLeft, [selection](TMenuButton&, const TInputData&) {
        if (TTrackSelection* const s = selection())
            RemoveSelected(*s);
    });
    AddButton("Icon.Delete.46", "Button.DeleteFiles", asLeft, [this, selection](TMenuButton&, const TInputData&) {
        if (TTrackSelection* const s = selection(); s && Context().Messages)
            DeleteSelected(*s, *Context().Messages);
    });
    AddButton("Icon.Copy.46", "Button.ClipboardCopy", asLeft, [this, selection](TMenuButton&, const TInputData&) {
        if (TTrackSelection* const s = selection(); s && Context().Shell)
            CopySelected(*s, *Context().Shell);
    });
    AddButton("Icon.Cut.46", "Button.ClipboardCut", asLeft, [this, selection](TMenuButton&, const TInputData&) {
        if (TTrackSelection* const s = selection(); s && Context().Shell)
            CutSelected(*s, *Context().Shell);
    });
    if (TTrackSelection* const s = selection()) {
        s->EntryAdded = [this](TTrackData& track) { AddSelected(track); };
        s->EntryRemoved = [this](TTrackData& track) { AddSelected(track); };
    }
}

TSelectedHolder::~TSelectedHolder()
{
    if (Context().Session) {
        Context().Session->Selection().EntryAdded = nullptr;
        Context().Session->Selection().EntryRemoved = nullptr;
    }
}

void TSelectedHolder::AddSelected(TTrackData& TrackData)
{
    TControlList& items = mhItemContainer->ItemList();
    int found = -1;
    for (int n = 0; n < items.Count(); ++n)
        if (static_cast<TSelectedItem*>(items.Control(n))->Track == &TrackData)
            found = n;
    if (TrackData.tdSelected && found < 0)
        mhItemContainer->AddItem(Create<TSelectedItem>(Context(), TrackData));
    else if (!TrackData.tdSelected && found >= 0)
        mhItemContainer->RemoveChild(items, found);
    mhItemContainer->Arrange();
    ShowCount();
    RepaintWindow();
}

void TSelectedHolder::LoadMenu()
{
    mhItemContainer->ItemList().Clear();
    if (Context().Session)
        for (TTrackData* track : Context().Session->Selection().Entries())
            mhItemContainer->AddItem(Create<TSelectedItem>(Context(), *track));
    ShowCount();
    TMenuHolder::LoadMenu();
}

void TSelectedHolder::Activate()
{
    LoadMenu();
    TMenuHolder::Activate();
}

void TSelectedHolder::ShowCount()
{
    if (mhTabData)
        mhTabData->stSelCount = mhItemContainer->ItemList().Count();
}

TQueueEntry::TQueueEntry(TCreateKey key, const TViewContext& context, TTrackData& track, int index)
    : TTrackEntry(key, context, track)
    , Index(index)
{
}

void TQueueEntry::ActionPress()
{
    if (Context().Session)
        Context().Session->Queue().RemoveFromQueue(Track);
}

const char* TQueueEntry::ActionIcon() const { return skin::icons::Icon_Remove_46; }

TSmartCtrl* TQueueEntry::On_MouseDown(const TInputData& InputData, bool& ChildNotify)
{
    // The queue goes on after this entry.
    if (InputData.idXPos >= ActionWidth && Context().Session)
        Context().Session->QueueIndex = Index;
    return TTrackEntry::On_MouseDown(InputData, ChildNotify);
}

TQueueHolder::TQueueHolder(TCreateKey key, const TViewContext& context)
    : TMenuHolder(key, context, "Menu.PlayQueue")
{
    AddButton("Icon.Remove.46", "Button.ClearQueue", asLeft, [this](TMenuButton&, const TInputData&) {
        if (Context().Session)
            Context().Session->Queue().ClearQueue();
    });
    AddButton("Icon.Load.46", "Button.QueueLoad", asRight, [this](TMenuButton&, const TInputData&) {
        if (ShowFiles)
            ShowFiles();
    });
    AddButton("Icon.Save.46", "Button.QueueSave", asRight, [this](TMenuButton&, const TInputData&) {
        if (ShowSave && Context().Session && Context().Session->Queue().Count() > 0)
            ShowSave();
    });
    if (context.Session)
        context.Session->Queue().Changed = [this] { LoadMenu(); };
}

TQueueHolder::~TQueueHolder()
{
    if (Context().Session)
        Context().Session->Queue().Changed = nullptr;
}

void TQueueHolder::LoadMenu()
{
    mhItemContainer->ItemList().Clear();
    if (Context().Session) {
        TPlayQueue const& queue = Context().Session->Queue();
        for (int n = 0; n < queue.Count(); ++n)
            if (TTrackData* const track = queue.Track(n))
                mhItemContainer->AddItem(Create<TQueueEntry>(Context(), *track, n));
    }
    TMenuHolder::LoadMenu();
    RepaintWindow();
}

void TQueueHolder::Activate()
{
    LoadMenu();
    TMenuHolder::Activate();
}

}
