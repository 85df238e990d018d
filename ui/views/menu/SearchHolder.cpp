#include "ui/views/menu/SearchHolder.h"

#include "library/PlayList.h"
#include "library/PlayerSession.h"
#include "ui/framework/ControlList.h"
#include "ui/framework/SkinKeys.h"
#include "ui/framework/SmartVCL.h"
#include "ui/framework/ThemeManager.h"
#include "ui/views/ViewContext.h"
#include "ui/views/shared/ItemContainer.h"
#include "ui/views/shared/SmartEdit.h"
#include "ui/views/shared/SmartScroll.h"

namespace vantor {

namespace {

constexpr int kMargin = 10;
constexpr int kFieldGap = 20;

// The number of results, beside the field.
class TSearchCount : public TSmartCtrl {
public:
    TSearchCount(TCreateKey key, const TViewContext& context, const int& found)
        : TSmartCtrl(key)
        , m_context(&context)
        , m_found(&found)
    {
    }

protected:
    void On_Paint(TBitmap& Canvas) override
    {
        if (!m_context->Theme || !m_context->Session)
            return;
        std::string const text = m_context->Session->Text("Search.Found") + " " + std::to_string(*m_found);
        m_context->Theme->TextOut(text, skin::fonts::Search_Result_Count,
            tfCenter | tfVCenter | tfSingleLine | tfEndEllipsis, CanvasRect(), Canvas);
    }

private:
    const TViewContext* m_context; // non-owning
    const int* m_found;            // the page's count
};

}

void TSearchItem::ActionPress() { PlayPress({}); }

TSearchHolder::TSearchHolder(TCreateKey key, const TViewContext& context)
    : TMenuHolder(key, context, "Menu.Search")
{
    shSearchEdit = AddItem(Create<TSmartEdit>(&context), "TopList");
    shSearchEdit->seShowDescription = true;
    shSearchEdit->seDescText = "Menu.Search";
    shSearchEdit->seTextChanged = [this](TSmartEdit&) { Search(); };
    m_count = AddItem(Create<TSearchCount>(context, shFound), "TopList");
    AddButton("Icon.Remove.46", "Button.ClearSearch", asLeft, [this](TMenuButton&, const TInputData&) {
        shSearchEdit->SetText({});
        ClearResults();
        RepaintWindow();
    });
    if (context.Session)
        context.Session->RegisterTrackHolder(this);
}

TSearchHolder::~TSearchHolder()
{
    if (Context().Session)
        Context().Session->UnregisterTrackHolder(this);
}

void TSearchHolder::ClearResults()
{
    // The host's hover and focus references let go of freed entries by themselves, and the
    // field keeps the focus.
    mhItemContainer->ItemList().Clear();
    shFound = 0;
}

void TSearchHolder::Search()
{
    ClearResults();
    if (Context().Session) {
        for (TTrackData* track : DoSearch(*Context().Session, shSearchEdit->seText)) {
            mhItemContainer->AddItem(Create<TSearchItem>(Context(), *track));
            ++shFound;
        }
    }
    mhItemContainer->mhScrollBar->SetPos(0);
    mhItemContainer->Arrange();
    RepaintWindow();
}

void TSearchHolder::ReleaseTrack(TTrackData& track)
{
    TControlList& items = mhItemContainer->ItemList();
    for (int n = items.Count() - 1; n >= 0; --n) {
        if (static_cast<TSearchItem*>(items.Control(n))->Track != &track)
            continue;
        mhItemContainer->RemoveChild(items, n);
        --shFound;
    }
    mhItemContainer->Arrange();
}

void TSearchHolder::Activate()
{
    // The active list may have changed since: the results follow it.
    Search();
    TMenuHolder::Activate();
}

void TSearchHolder::On_Arrange()
{
    TMenuHolder::On_Arrange();
    shSearchEdit->SetPosition(kMargin, BarHeight + kMargin);
    shSearchEdit->SetWidth(Width() - 2 * kMargin - CountWidth);
    shSearchEdit->SetHeight(FieldHeight);
    m_count->SetPosition(Width() - kMargin - CountWidth, BarHeight + kMargin);
    m_count->SetWidth(CountWidth);
    m_count->SetHeight(FieldHeight);
}

void TSearchHolder::ArrangeProc(TItemContainer& ItemContainer)
{
    // The results start below the field.
    int const top = kMargin + FieldHeight + kFieldGap;
    TControlList& items = ItemContainer.ItemList();
    for (int n = 0; n < items.Count(); ++n) {
        TSmartCtrl* const item = items.Control(n);
        item->SetWidth(ItemContainer.Width() - 2 * kMargin);
        item->SetHeight(90);
        item->SetPosition(kMargin, top + 100 * n - ItemContainer.ScrollPos());
    }
}

}
