// The Windows host driving the shell with a fake game, on the Wine session's
// virtual desktop with Wine's DirectSound: the window as the game opens it,
// continual paints, Windows' key messages reaching the game twice, fullscreen
// and back, Alt+F4, and the DirectSound error box.
#include "app/win32_window_host.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "app/program.h"
#include "app/win32_resources.h"
#include "audio/directsound_device.h"
#include "data_folder.h"
#include "fake_game.h"
#include "input/joystick_device.h"

namespace {

constexpr LPARAM altDown = LPARAM{1} << 29;

std::string input(UINT message, WPARAM wParam, LPARAM lParam)
{
    return "input " + std::to_string(message) + " " + std::to_string(wParam) + " " + std::to_string(lParam);
}

long count(const std::vector<std::string>& calls, const std::string& call)
{
    return std::count(calls.begin(), calls.end(), call);
}

class Win32HostTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SetCurrentDirectoryA(dataFolder().c_str()));
        ASSERT_TRUE(host.start());
    }
    void TearDown() override { setDirectSoundCreate(nullptr); }

    Win32WindowHost host{GetModuleHandleW(nullptr)};
    FakeGame game;
};

TEST_F(Win32HostTest, TheWindowOpensMaximisedPaintsContinuallyAndGivesTheGameWindowsKeysTwice)
{
    EXPECT_EQ(host.desktopWidth(), 1024);
    EXPECT_EQ(host.desktopHeight(), 768);
    const auto start = std::chrono::steady_clock::now();
    game.onFrame = [&] {
        HWND w = host.window();
        if (game.frames == 1) {
            EXPECT_EQ(FindWindowW(L"DIEX1", L"Glimmerfall V1.0"), w);
            EXPECT_TRUE(IsZoomed(w));
            EXPECT_TRUE(IsWindowVisible(w));
            // The game's own icon (this test has the program's resources).
            const HICON icon = reinterpret_cast<HICON>(GetClassLongPtrW(w, GCLP_HICON));
            EXPECT_NE(icon, nullptr);
            EXPECT_EQ(icon, LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(GLIMMERFALL_ICON)));
            PostMessageW(w, WM_KEYDOWN, 'W', 0x00110001);
            PostMessageW(w, WM_KEYUP, 'W', static_cast<LPARAM>(0xC0110001u));
            PostMessageW(w, WM_SYSKEYDOWN, 'W', altDown | 0x00110001);  // Alt+W: not the game's
            // Keys are named by their place, as the SDL host names them: on
            // a French layout the key where M is says ',' but is M; the
            // keypad's 8 is no key of the game's, the arrow's place (an
            // extended code) is; a message without a scan code keeps its key.
            PostMessageW(w, WM_KEYDOWN, VK_OEM_COMMA, 0x00320001);
            PostMessageW(w, WM_KEYDOWN, VK_NUMPAD8, 0x00480001);
            PostMessageW(w, WM_KEYDOWN, VK_UP, 0x01480001);
            PostMessageW(w, WM_KEYDOWN, VK_OEM_MINUS, 0x000C0001);
            PostMessageW(w, WM_KEYDOWN, VK_SUBTRACT, 0x004A0001);
            PostMessageW(w, WM_KEYDOWN, 'P', 0);
        }
        if (game.frames == 2) {
            // Windows' news of devices reaches the controller.
            SendMessageW(w, WM_DEVICECHANGE, 0x0007 /* DBT_DEVNODES_CHANGED */, 0);
            EXPECT_TRUE(takeJoystickConnection());
        }
        if (game.frames == 40) {
            PostMessageW(w, WM_SYSKEYDOWN, VK_F4, altDown | 0x003E0001);
        }
    };

    EXPECT_EQ(runGame(host, game), 1);

    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GE(game.frames, 40);
    EXPECT_LE(game.frames, 44) << "frames go on after Alt+F4";
    EXPECT_GE(seconds, 39 / 60.0) << "never faster than 60 frames a second";
    ASSERT_GE(game.calls.size(), 3u);
    EXPECT_EQ(game.calls[0], "created");
    EXPECT_EQ(count(game.calls, input(WM_KEYDOWN, 'W', 0x00110001)), 2);
    EXPECT_EQ(count(game.calls, input(WM_KEYUP, 'W', static_cast<LPARAM>(0xC0110001u))), 2);
    EXPECT_EQ(count(game.calls, input(WM_SYSKEYDOWN, 'W', altDown | 0x00110001)), 0);
    EXPECT_EQ(count(game.calls, input(WM_KEYDOWN, 'M', 0x00320001)), 2);
    EXPECT_EQ(count(game.calls, input(WM_KEYDOWN, VK_UP, 0x01480001)), 2);
    EXPECT_EQ(count(game.calls, input(WM_KEYDOWN, VK_OEM_MINUS, 0x000C0001)), 2);
    EXPECT_EQ(count(game.calls, input(WM_KEYDOWN, VK_SUBTRACT, 0x004A0001)), 2);
    EXPECT_EQ(count(game.calls, input(WM_KEYDOWN, 'P', 0)), 2);
    for (const std::string& call : game.calls) {
        EXPECT_EQ(call.find(" " + std::to_string(0x00480001)), std::string::npos) << call;
    }
    EXPECT_EQ(FindWindowW(L"DIEX1", nullptr), nullptr);
}

TEST_F(Win32HostTest, F11AndAltEnterSwitchToABorderlessWindowOverTheMonitorAndBack)
{
    int resizedBefore = 0;
    game.onFrame = [&] {
        HWND w = host.window();
        RECT r{};
        GetWindowRect(w, &r);
        switch (game.frames) {
            case 2:
                resizedBefore = static_cast<int>(count(game.calls, "setupRendering 1024 768"));
                PostMessageW(w, WM_KEYDOWN, VK_F11, 0x00570001);
                break;
            case 6:
                EXPECT_TRUE(host.fullscreen());
                EXPECT_EQ(GetWindowLongPtrW(w, GWL_STYLE) & (WS_POPUP | WS_CAPTION), WS_POPUP);
                EXPECT_EQ(r.left, 0);
                EXPECT_EQ(r.top, 0);
                EXPECT_EQ(r.right, 1024);
                EXPECT_EQ(r.bottom, 768);
                EXPECT_GT(count(game.calls, "setupRendering 1024 768"), resizedBefore) << "the game is told of the new size";
                PostMessageW(w, WM_SYSKEYDOWN, VK_RETURN, altDown | 0x001C0001);
                break;
            case 10:
                EXPECT_FALSE(host.fullscreen());
                EXPECT_EQ(GetWindowLongPtrW(w, GWL_STYLE) & WS_CAPTION, WS_CAPTION);
                EXPECT_TRUE(IsZoomed(w));
                PostMessageW(w, WM_CLOSE, 0, 0);
                break;
            default:
                break;
        }
    };
    EXPECT_EQ(runGame(host, game), 1);
    EXPECT_GE(game.frames, 10);
}

TEST_F(Win32HostTest, WithoutDirectSoundTheErrorBoxShowsAndTheProgramEndsWithOne)
{
    setDirectSoundCreate([](LPCGUID, LPDIRECTSOUND8*, LPUNKNOWN) -> HRESULT { return DSERR_NODRIVER; });
    std::wstring text;
    std::thread closer([&text] {
        for (int i = 0; i < 200; ++i) {
            if (HWND box = FindWindowW(L"#32770", L"DirectSound Sample")) {
                wchar_t buffer[256] = {};
                GetDlgItemTextW(box, 0xFFFF, buffer, 256);
                text = buffer;
                PostMessageW(box, WM_COMMAND, IDOK, 0);
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    });
    const int code = runGame(host, game);
    closer.join();
    EXPECT_EQ(code, 1);
    EXPECT_EQ(text, L"Error initializing DirectSound.  Sample will now exit.");
    EXPECT_TRUE(game.calls.empty()) << "the game never started";
    EXPECT_EQ(FindWindowW(L"DIEX1", nullptr), nullptr);
}

}  // namespace
