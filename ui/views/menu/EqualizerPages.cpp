#include "ui/views/menu/EqualizerPages.h"

#include "player/equalizer/Equalizer.h"
#include "player/playback/PlaybackController.h"
#include "ui/framework/ControlList.h"
#include "ui/framework/SkinKeys.h"
#include "ui/framework/SmartVCL.h"
#include "ui/framework/ThemeManager.h"
#include "ui/views/ViewContext.h"
#include "ui/views/menu/EqualizerView.h"
#include "ui/views/shared/ItemContainer.h"

#include <utility>

namespace vantor {

namespace {

constexpr int kIconSize = 46;

TEqualizer* EqualizerOf(const TViewContext& context)
{
    return context.Playback ? context.Playback->Equalizer : nullptr;
}

}

TEQHolder::TEQHolder(TCreateKey key, const TViewContext& context)
    : TMenuHolder(key, context, "Menu.Equalizer")
{
    mhItemContainer->SetVisible(false);
    Equalizer = AddItem("Equalizer", Create<TSmartEqualizer>(context));
    eqBalance = AddItem("eqBalance", Create<TSmartBalance>(context));
    AddButton("Icon.Load.46", "Button.LoadPreset", asRight, [this](TMenuButton&, const TInputData&) {
        if (ShowPresets)
            ShowPresets();
    });
}

void TEQHolder::Activate()
{
    Equalizer->UpdateSliders();
    eqBalance->UpdateBalance();
    TMenuHolder::Activate();
}

void TEQHolder::On_Arrange()
{
    TMenuHolder::On_Arrange();
    // Just under the caption bar: the curve and the sliders, then the balance.
    int const width = Width() - 2 * Margin;
    int const top = BarHeight + Margin;
    Equalizer->SetPosition(Margin, top);
    Equalizer->SetWidth(width);
    Equalizer->SetHeight(TSmartEqualizer::CurveHeight + TSmartEqualizer::SliderHeight);
    eqBalance->SetPosition(Margin, Equalizer->Top() + Equalizer->Height() + BalanceGap);
    eqBalance->SetWidth(width);
    eqBalance->SetHeight(TSmartBalance::BalanceHeight);
}

TEQPresetItem::TEQPresetItem(TCreateKey key, const TViewContext& context, TEQPresetsHolder& holder, TEQPresetData& data)
    : TSmartCtrl(key)
    , piData(&data)
    , m_context(&context)
    , m_holder(&holder)
{
}

void TEQPresetItem::On_Paint(TBitmap& Canvas)
{
    TThemeManager* const theme = m_context->Theme;
    if (!theme)
        return;
    TRect const area = CanvasRect();
    theme->Draw(piHoverOver ? skin::controls::ListItem : skin::controls::PlayListItem, Canvas, "TEQPresetItem", area);
    theme->Draw(skin::controls::PlaylistItem_Left, Canvas, "TEQPresetItem.Left",
        { area.Left, area.Top, area.Left + DeleteWidth, area.Bottom });
    const char* const icon = piShowDelete ? skin::icons::Icon_Bin_46
        : piData->pdActivePreset          ? skin::icons::Icon_Selected_46
                                          : skin::icons::Icon_EQ_46;
    theme->Draw(icon, Canvas, "TEQPresetItem.Icon",
        TRect::FromSize(area.Left + 9, area.Top + (area.Height() - kIconSize) / 2, kIconSize, kIconSize));
    TTextFlags const flags = tfLeft | tfVCenter | tfSingleLine | tfEndEllipsis;
    // Without a second line the caption takes the whole height.
    int const captionBottom = piData->pdDescription.empty() ? area.Bottom : area.Top + 50;
    theme->TextOut(piData->pdCaption, skin::fonts::Item_Title, flags,
        { area.Left + 84, area.Top, area.Right - 20, captionBottom }, Canvas);
    if (!piData->pdDescription.empty())
        theme->TextOut(piData->pdDescription, skin::fonts::Item_Title2, flags,
            { area.Left + 114, area.Top + 50, area.Right - 20, area.Bottom }, Canvas);
}

void TEQPresetItem::On_Leave(const TInputData& InputData)
{
    TSmartCtrl::On_Leave(InputData);
    piShowDelete = false;
    piHoverOver = false;
    Invalidate(false);
}

TSmartCtrl* TEQPresetItem::On_MouseMove(const TInputData& InputData, bool& ChildNotify)
{
    ChildNotify = false;
    bool const overBin = InputData.idXPos < DeleteWidth;
    if (overBin != piShowDelete || !piHoverOver) {
        piShowDelete = overBin;
        piHoverOver = true;
        Invalidate(false);
    }
    return this;
}

TSmartCtrl* TEQPresetItem::On_MouseDown(const TInputData& InputData, bool& ChildNotify)
{
    ChildNotify = false;
    if (InputData.idXPos < DeleteWidth) {
        // The entry goes: nothing of it is touched after this.
        m_holder->RemovePresetItem(*this);
        return nullptr;
    }
    TEqualizer* const equalizer = EqualizerOf(*m_context);
    if (equalizer && m_context->Settings && m_context->Settings->EqualizerOn) {
        equalizer->ApplyEqPreset(piData);
        // Every entry's mark changes.
        if (m_context->Host)
            m_context->Host->Invalidate();
    }
    return this;
}

TEQPresetsHolder::TEQPresetsHolder(TCreateKey key, const TViewContext& context, std::function<void()> back)
    : TMenuHolder(key, context, "Menu.EqPresets")
    , m_back(std::move(back))
{
    AddButton("Icon.Backward.Back", "Button.GoBack", asLeft, [this](TMenuButton&, const TInputData&) {
        if (m_back)
            m_back();
    });
}

void TEQPresetsHolder::LoadMenu()
{
    // The entries go: nothing may keep pointing at one.
    if (Context().Host)
        Context().Host->Reset();
    mhItemContainer->ItemList().Clear();
    if (TEqualizer* const equalizer = EqualizerOf(Context()))
        for (auto const& preset : equalizer->EqPresetList)
            mhItemContainer->AddItem(Create<TEQPresetItem>(Context(), *this, *preset));
    TMenuHolder::LoadMenu();
}

void TEQPresetsHolder::RemovePresetItem(TEQPresetItem& Item)
{
    TControlList& items = mhItemContainer->ItemList();
    for (int n = 0; n < items.Count(); ++n) {
        if (items.Control(n) != &Item)
            continue;
        if (Context().Host)
            Context().Host->Reset();
        mhItemContainer->RemoveChild(items, n);
        break;
    }
    mhItemContainer->Arrange();
    RepaintWindow();
}

}
