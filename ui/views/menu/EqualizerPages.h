#pragma once

// The equalizer page (the sliders, the response curve and the balance) and the page of presets
// it opens, one entry per preset.

#include "ui/views/menu/MenuHolder.h"
#include "ui/views/shared/ButtonState.h"

#include <functional>

namespace vantor {

class TEQPresetData;
class TEQPresetsHolder;
class TSmartBalance;
class TSmartEqualizer;

class TEQHolder : public TMenuHolder {
public:
    static constexpr int Margin = 10;
    static constexpr int BalanceGap = 50; // between the equalizer and the balance

    TEQHolder(TCreateKey key, const TViewContext& context);

    TSmartEqualizer* Equalizer = nullptr; // child "Equalizer"
    TSmartBalance* eqBalance = nullptr;   // child "eqBalance"
    // Fills and opens the preset page.
    std::function<void()> ShowPresets;

    void Activate() override;

protected:
    void On_Arrange() override;
};

// One preset: the bin on the left takes the entry off the page (the preset stays); a press
// elsewhere applies the preset while the equalizer is on.
class TEQPresetItem : public TSmartCtrl {
public:
    static constexpr int DeleteWidth = 64;

    TEQPresetItem(TCreateKey key, const TViewContext& context, TEQPresetsHolder& holder, TEQPresetData& data);

    TEQPresetData* piData;     // non-owning: the equalizer keeps its presets for the program's run
    bool piShowDelete = false; // the pointer is over the bin
    bool piHoverOver = false;

protected:
    void On_Paint(TBitmap& Canvas) override;
    void On_Leave(const TInputData& InputData) override;
    TSmartCtrl* On_MouseMove(const TInputData& InputData, bool& ChildNotify) override;
    TSmartCtrl* On_MouseDown(const TInputData& InputData, bool& ChildNotify) override;

private:
    const TViewContext* m_context; // non-owning
    TEQPresetsHolder* m_holder;    // non-owning: the page owns the entry
};

class TEQPresetsHolder : public TMenuHolder {
public:
    // back: returns to the equalizer page.
    TEQPresetsHolder(TCreateKey key, const TViewContext& context, std::function<void()> back);

    // One entry per preset, in the equalizer's order.
    void LoadMenu() override;
    // Takes an entry off the page; the preset itself stays.
    void RemovePresetItem(TEQPresetItem& Item);

private:
    std::function<void()> m_back;
};

}
