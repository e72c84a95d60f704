#pragma once

#include <cstdint>

// The window messages the game handles, with their classic numbers. The hosts
// translate their platform's events into these. The names are the Windows
// ones in lower camel case (WM_KEYDOWN is wmKeyDown, VK_SPACE vkSpace), so
// that a file can include both these and the platform's own headers, whose
// names are macros.
constexpr std::uint32_t wmNull = 0x0000;
constexpr std::uint32_t wmCreate = 0x0001;
constexpr std::uint32_t wmDestroy = 0x0002;
constexpr std::uint32_t wmSize = 0x0005;
constexpr std::uint32_t wmActivate = 0x0006;
constexpr std::uint32_t wmPaint = 0x000F;
constexpr std::uint32_t wmClose = 0x0010;
constexpr std::uint32_t wmQuit = 0x0012;
constexpr std::uint32_t wmKeyDown = 0x0100;
constexpr std::uint32_t wmKeyUp = 0x0101;
constexpr std::uint32_t wmSysKeyDown = 0x0104;
constexpr std::uint32_t wmSysKeyUp = 0x0105;
constexpr std::uint32_t wmTimer = 0x0113;
constexpr std::uint32_t wmMouseMove = 0x0200;
constexpr std::uint32_t wmLButtonDown = 0x0201;
constexpr std::uint32_t wmLButtonUp = 0x0202;
constexpr std::uint32_t wmRButtonDown = 0x0204;
constexpr std::uint32_t wmRButtonUp = 0x0205;
constexpr std::uint32_t wmMButtonDown = 0x0207;
constexpr std::uint32_t wmMButtonUp = 0x0208;
constexpr std::uint32_t wmMouseWheel = 0x020A;

// wmActivate's wParam: the low word is waInactive or waActive, the high
// word non-zero while the window is minimised.
constexpr std::uint64_t waInactive = 0;
constexpr std::uint64_t waActive = 1;

// The window host's once-a-second timer (wmTimer's wParam): the game asks
// whether its sound output is still there. Only the desktop window runs it.
constexpr std::uint64_t soundOutputTimer = 1;

// Bit 29 of a key message's lParam: Alt was held.
constexpr std::int64_t keyAltFlag = std::int64_t{1} << 29;
// Bit 30 of a key-down's lParam: the key was already down (auto-repeat).
constexpr std::int64_t keyRepeatFlag = std::int64_t{1} << 30;

// Virtual-key codes of the keys the game reads; letters and digits are their
// upper-case ASCII codes.
constexpr std::uint32_t vkSpace = 0x20;
constexpr std::uint32_t vkEscape = 0x1B;
constexpr std::uint32_t vkLeft = 0x25;
constexpr std::uint32_t vkUp = 0x26;
constexpr std::uint32_t vkRight = 0x27;
constexpr std::uint32_t vkDown = 0x28;
constexpr std::uint32_t vkAdd = 0x6B;       // the keypad's +
constexpr std::uint32_t vkSubtract = 0x6D;  // the keypad's −
constexpr std::uint32_t vkOemPlus = 0xBB;   // the =/+ key
constexpr std::uint32_t vkOemMinus = 0xBD;  // the −/_ key

struct Message {
    std::uint32_t message = wmNull;
    std::uint64_t wParam = 0;
    std::int64_t lParam = 0;
};

// True for the messages the game takes as input: key down and up, mouse
// buttons, motion and wheel.
constexpr bool isInputMessage(std::uint32_t message)
{
    switch (message) {
        case wmKeyDown:
        case wmKeyUp:
        case wmMouseMove:
        case wmLButtonDown:
        case wmLButtonUp:
        case wmRButtonDown:
        case wmRButtonUp:
        case wmMButtonDown:
        case wmMButtonUp:
        case wmMouseWheel:
            return true;
        default:  // double clicks and system keys are not the game's
            return false;
    }
}
