#pragma once

namespace vantor {

// Where the mix goes: a device or a null output. Closing happens in the destructor, after
// which the mixer is no longer called.
class TAudioOutput {
public:
    virtual ~TAudioOutput() = default;
    // Renders a span of time on the caller's thread; only a manual null output can.
    virtual bool Advance(double /*seconds*/) { return false; }
    // The device went away (unplugged, its sound server restarted); nothing plays any more.
    virtual bool Lost() const { return false; }
};

}
