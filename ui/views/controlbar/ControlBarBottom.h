#pragma once

// TControlBarBottom: the bar along the window's bottom edge with the transport buttons, the
// position and volume bars, the switches and, in the corner, the menu button.

#include "ui/framework/SmartCtrl.h"

#include <functional>

namespace vantor {

struct TViewContext;
class TEQButton;
class TMuteButton;
class TNextButton;
class TPlayButton;
class TPreviousButton;
class TRepeatButton;
class TShuffleButton;
class TTrackProgress;
class TVolumeProgress;

// The menu button: opens the side menu's settings page.
class TMainButton : public TSmartCtrl {
public:
    TMainButton(TCreateKey key, const TViewContext& context);
    // Opens the settings page; unset, a press only repaints.
    std::function<void()> OpenSettings;
    bool gbState = false; // under the pointer

protected:
    void On_Paint(TBitmap& Canvas) override;
    void On_Enter(const TInputData& InputData) override;
    void On_Leave(const TInputData& InputData) override;
    TSmartCtrl* On_MouseDown(const TInputData& InputData, bool& ChildNotify) override;

private:
    const TViewContext* m_context; // non-owning
};

class TControlBarBottom : public TSmartCtrl {
public:
    static constexpr int BarHeight = 108;

    TControlBarBottom(TCreateKey key, const TViewContext& context);

    // Children, owned by this bar's list.
    TPlayButton* tpButtonPlay = nullptr;
    TNextButton* tpButtonNext = nullptr;
    TPreviousButton* tpButtonPrev = nullptr;
    TShuffleButton* tpButtonShuffle = nullptr;
    TRepeatButton* tpRepeatnShuffle = nullptr;
    TEQButton* tpEQButton = nullptr;
    TMuteButton* tpMuteButton = nullptr;
    TTrackProgress* tpProgress = nullptr;
    TVolumeProgress* tpVolume = nullptr;
    TMainButton* cbMainButton = nullptr;

protected:
    void On_Paint(TBitmap& Canvas) override;
    void On_Resize() override;

private:
    const TViewContext* m_context; // non-owning
};

}
