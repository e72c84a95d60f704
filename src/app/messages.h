#pragma once

#include <cstdint>

// The window messages the game handles, with their classic numbers. The hosts
// translate their platform's events into these.
constexpr std::uint32_t WM_NULL = 0x0000;
constexpr std::uint32_t WM_CREATE = 0x0001;
constexpr std::uint32_t WM_DESTROY = 0x0002;
constexpr std::uint32_t WM_SIZE = 0x0005;
constexpr std::uint32_t WM_ACTIVATE = 0x0006;
constexpr std::uint32_t WM_PAINT = 0x000F;
constexpr std::uint32_t WM_CLOSE = 0x0010;
constexpr std::uint32_t WM_QUIT = 0x0012;
constexpr std::uint32_t WM_KEYDOWN = 0x0100;
constexpr std::uint32_t WM_KEYUP = 0x0101;
constexpr std::uint32_t WM_SYSKEYDOWN = 0x0104;
constexpr std::uint32_t WM_SYSKEYUP = 0x0105;
constexpr std::uint32_t WM_TIMER = 0x0113;
constexpr std::uint32_t WM_MOUSEMOVE = 0x0200;
constexpr std::uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr std::uint32_t WM_LBUTTONUP = 0x0202;
constexpr std::uint32_t WM_RBUTTONDOWN = 0x0204;
constexpr std::uint32_t WM_RBUTTONUP = 0x0205;
constexpr std::uint32_t WM_MBUTTONDOWN = 0x0207;
constexpr std::uint32_t WM_MBUTTONUP = 0x0208;
constexpr std::uint32_t WM_MOUSEWHEEL = 0x020A;

// WM_ACTIVATE's wParam: the low word is WA_INACTIVE or WA_ACTIVE, the high
// word non-zero while the window is minimised.
constexpr std::uint64_t WA_INACTIVE = 0;
constexpr std::uint64_t WA_ACTIVE = 1;

// The window host's once-a-second timer (WM_TIMER's wParam): the game asks
// whether its sound output is still there. Only the desktop window runs it.
constexpr std::uint64_t soundOutputTimer = 1;

// Bit 30 of a key-down's lParam: the key was already down (auto-repeat).
constexpr std::int64_t keyRepeatFlag = std::int64_t{1} << 30;

// Virtual-key codes of the keys the game reads; letters and digits are their
// upper-case ASCII codes.
constexpr std::uint32_t VK_SPACE = 0x20;
constexpr std::uint32_t VK_ESCAPE = 0x1B;
constexpr std::uint32_t VK_LEFT = 0x25;
constexpr std::uint32_t VK_UP = 0x26;
constexpr std::uint32_t VK_RIGHT = 0x27;
constexpr std::uint32_t VK_DOWN = 0x28;

struct Message {
    std::uint32_t message = WM_NULL;
    std::uint64_t wParam = 0;
    std::int64_t lParam = 0;
};

// True for the messages the game takes as input: key down and up, mouse
// buttons, motion and wheel.
constexpr bool isInputMessage(std::uint32_t message)
{
    switch (message) {
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
        case WM_MOUSEWHEEL:
            return true;
        default:  // double clicks and system keys are not the game's
            return false;
    }
}
