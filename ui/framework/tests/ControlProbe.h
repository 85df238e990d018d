#pragma once

// A control that records what happens to it, for the control tree and host tests.

#include "ui/framework/SmartCtrl.h"
#include "ui/framework/UIScale.h"

#include <functional>
#include <string>
#include <vector>

namespace vantor::test {

using TLog = std::vector<std::string>;

class TProbe : public TSmartCtrl {
public:
    TProbe(TCreateKey key, TLog* log = nullptr, std::string name = {}, bool canvas = true)
        : TSmartCtrl(key)
        , Log(log)
        , Name(std::move(name))
        , WantsCanvas(canvas)
    {
    }

    TLog* Log;
    std::string Name;
    bool WantsCanvas;
    bool ChildNotify = true; // what the mouse handlers answer
    uint32_t Color = 0;      // painted over CanvasRect when not 0
    int Resizes = 0;
    int Paints = 0;
    std::vector<TInputData> Inputs;   // mouse and wheel records as the handlers saw them
    std::vector<std::string> Dropped; // files of the last drop
    TPoint DropPoint;
    std::function<void()> OnPress; // runs inside On_MouseDown

    void Record(const std::string& what)
    {
        if (Log)
            Log->push_back(Name + "." + what);
    }

    void OnCreateCanvas() override
    {
        if (WantsCanvas)
            TSmartCtrl::OnCreateCanvas();
    }
    void On_CreateBegin() override
    {
        TSmartCtrl::On_CreateBegin();
        Record("CreateBegin");
    }
    void On_Create() override { Record(scLoading ? "Create(loading)" : "Create"); }
    void On_CreateEnd() override
    {
        TSmartCtrl::On_CreateEnd();
        Record("CreateEnd");
    }
    void On_Resize() override
    {
        ++Resizes;
        TSmartCtrl::On_Resize();
    }
    void On_Paint(TBitmap& canvas) override
    {
        ++Paints;
        Record("Paint");
        if (Color) {
            TRect const r = CanvasRect();
            canvas.FillRect({ Scale(r.Left), Scale(r.Top), Scale(r.Right), Scale(r.Bottom) }, Color);
        }
    }
    TSmartCtrl* On_MouseDown(const TInputData& in, bool& notify) override
    {
        Inputs.push_back(in);
        Record("MouseDown");
        notify = ChildNotify;
        if (OnPress) {
            auto action = OnPress; // the action may free this control
            action();
        }
        return this;
    }
    TSmartCtrl* On_MouseUp(const TInputData& in, bool& notify) override
    {
        Inputs.push_back(in);
        Record("MouseUp");
        notify = ChildNotify;
        return this;
    }
    TSmartCtrl* On_MouseMove(const TInputData& in, bool& notify) override
    {
        Inputs.push_back(in);
        Record("MouseMove");
        notify = ChildNotify;
        return this;
    }
    TSmartCtrl* On_MouseDouble(const TInputData& in, bool& notify) override
    {
        Inputs.push_back(in);
        Record("MouseDouble");
        notify = ChildNotify;
        return this;
    }
    TSmartCtrl* On_MouseWheel(const TInputData& in, bool& notify) override
    {
        Inputs.push_back(in);
        Record("MouseWheel");
        notify = ChildNotify;
        return this;
    }
    void On_Enter(const TInputData& in) override
    {
        TSmartCtrl::On_Enter(in);
        Record("Enter");
    }
    void On_Leave(const TInputData& in) override
    {
        TSmartCtrl::On_Leave(in);
        Record("Leave");
    }
    void On_Focus(const TInputData& in) override
    {
        TSmartCtrl::On_Focus(in);
        Record("Focus");
    }
    void On_UnFocus(const TInputData& in) override
    {
        Record("UnFocus");
        TSmartCtrl::On_UnFocus(in);
    }
    void On_KeyDown(uint16_t key, TShiftState shift) override
    {
        Record("KeyDown" + std::to_string(key));
        TSmartCtrl::On_KeyDown(key, shift);
    }
    void On_KeyUp(uint16_t key, TShiftState shift) override
    {
        Record("KeyUp" + std::to_string(key));
        TSmartCtrl::On_KeyUp(key, shift);
    }
    void On_KeyPress(char32_t key) override
    {
        Record("KeyPress" + std::to_string(static_cast<uint32_t>(key)));
        TSmartCtrl::On_KeyPress(key);
    }
    void OnDrop(const std::vector<std::string>& files, TPoint point) override
    {
        Record("Drop");
        Dropped = files;
        DropPoint = point;
    }
};

// Makes a probe at the logical rectangle (left, top, width, height).
inline std::unique_ptr<TProbe> MakeProbe(
    TLog* log, std::string name, int left, int top, int width, int height, bool canvas = true)
{
    auto probe = TSmartCtrl::Create<TProbe>(log, std::move(name), canvas);
    probe->SetLeft(left);
    probe->SetTop(top);
    probe->SetWidth(width);
    probe->SetHeight(height);
    return probe;
}

// Restores the UI scale after a test changes it.
struct TScaleGuard {
    explicit TScaleGuard(double scale) { SetUIScale(scale); }
    ~TScaleGuard() { SetUIScale(1.0); }
};

}
