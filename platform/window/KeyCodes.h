#pragma once

#include <cstdint>

namespace vantor {

// Key codes of key-down and key-up events. Letters and digits are their upper-case ASCII
// codes ('A'..'Z', '0'..'9'); the rest follow the classic virtual-key numbering, so the media
// keys keep the codes the player's hotkeys are known by.
enum TKeyCode : uint16_t {
    vkUnknown = 0x00,
    vkBack = 0x08,
    vkTab = 0x09,
    vkReturn = 0x0D,
    vkShift = 0x10,
    vkControl = 0x11,
    vkMenu = 0x12, // Alt
    vkPause = 0x13,
    vkCapital = 0x14,
    vkEscape = 0x1B,
    vkSpace = 0x20,
    vkPrior = 0x21, // Page Up
    vkNext = 0x22,  // Page Down
    vkEnd = 0x23,
    vkHome = 0x24,
    vkLeft = 0x25,
    vkUp = 0x26,
    vkRight = 0x27,
    vkDown = 0x28,
    vkInsert = 0x2D,
    vkDelete = 0x2E,
    vkF1 = 0x70, // vkF1 + n - 1 for Fn, up to F12
    vkF12 = 0x7B,
    vkVolumeMute = 0xAD,
    vkVolumeDown = 0xAE,
    vkVolumeUp = 0xAF,
    vkMediaNextTrack = 0xB0,
    vkMediaPrevTrack = 0xB1,
    vkMediaStop = 0xB2,
    vkMediaPlayPause = 0xB3,
};

}
