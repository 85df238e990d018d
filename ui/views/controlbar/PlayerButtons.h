#pragma once

// The transport buttons of the bottom control bar. Each follows the pointer (normal, active
// under the pointer, pressed while held), draws its background and a 64 x 64 icon centred,
// and does its job when pressed; the states of playback, the current list and the settings are
// read when painting, so a repaint is all a change needs.

#include "ui/framework/SkinKeys.h"
#include "ui/framework/SmartCtrl.h"
#include "ui/views/shared/ButtonState.h"

#include <functional>
#include <string>

namespace vantor {

struct TViewContext;

class TPlayerButton : public TSmartCtrl {
public:
    using TButtonAction = std::function<void(TPlayerButton& sender, const TInputData& input)>;

    // context: what the button acts on; it must outlive the button.
    TPlayerButton(TCreateKey key, const TViewContext& context);

    std::string pbCaption; // not drawn
    TButtonState pbState = bsNormal;
    TButtonAction pbAction;

protected:
    const TViewContext& Context() const { return *m_context; }
    // The button's own job, before pbAction.
    virtual void Press(const TInputData&) { }
    // The background while not under the pointer; "Controls:PLayerButton" unless a switch
    // the button shows is on.
    virtual const char* Background() const;
    virtual const char* Icon() const = 0;

    void On_Paint(TBitmap& Canvas) override;
    void On_Enter(const TInputData& InputData) override;
    void On_Leave(const TInputData& InputData) override;
    TSmartCtrl* On_MouseDown(const TInputData& InputData, bool& ChildNotify) override;
    TSmartCtrl* On_MouseUp(const TInputData& InputData, bool& ChildNotify) override;

    void SetState(TButtonState state);

private:
    const TViewContext* m_context; // non-owning
};

// Play and pause, with a stop area over its left 64 units.
class TPlayButton : public TPlayerButton {
public:
    static constexpr int StopAreaWidth = 64;
    using TPlayerButton::TPlayerButton;
    bool pbOverStop = false;

protected:
    void Press(const TInputData& InputData) override;
    const char* Icon() const override;
    void On_Paint(TBitmap& Canvas) override;
    TSmartCtrl* On_MouseMove(const TInputData& InputData, bool& ChildNotify) override;
    void On_Leave(const TInputData& InputData) override;
};

// The next track; with the right button it starts at 30 % of its length.
class TNextButton : public TPlayerButton {
public:
    using TPlayerButton::TPlayerButton;

protected:
    void Press(const TInputData& InputData) override;
    const char* Icon() const override { return skin::icons::Button_Next_64; }
};

class TPreviousButton : public TPlayerButton {
public:
    using TPlayerButton::TPlayerButton;

protected:
    void Press(const TInputData& InputData) override;
    const char* Icon() const override { return skin::icons::Button_Prev_64; }
};

// The current list's shuffle switch.
class TShuffleButton : public TPlayerButton {
public:
    using TPlayerButton::TPlayerButton;

protected:
    void Press(const TInputData& InputData) override;
    const char* Background() const override;
    const char* Icon() const override { return skin::icons::Button_Shuffle_64; }
};

// The current list's repeat switch.
class TRepeatButton : public TPlayerButton {
public:
    using TPlayerButton::TPlayerButton;

protected:
    void Press(const TInputData& InputData) override;
    const char* Background() const override;
    const char* Icon() const override { return skin::icons::Button_Repeat_64; }
};

// The equalizer switch: on applies the preset named by "EqPreset", off applies "Default".
class TEQButton : public TPlayerButton {
public:
    using TPlayerButton::TPlayerButton;
    // The switch changed: the equalizer page shows the new state.
    std::function<void()> Toggled;

protected:
    void Press(const TInputData& InputData) override;
    const char* Background() const override;
    const char* Icon() const override { return skin::icons::Button_EQ_64; }
};

// The mute switch: the stream goes silent and the volume is kept.
class TMuteButton : public TPlayerButton {
public:
    using TPlayerButton::TPlayerButton;

protected:
    void Press(const TInputData& InputData) override;
    const char* Background() const override;
    const char* Icon() const override { return skin::icons::Button_Mute_64; }
};

}
