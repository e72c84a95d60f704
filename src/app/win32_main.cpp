// Glimmerfall on Windows: the game in a Win32 window.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "app/command_line.h"
#include "app/game_session.h"
#include "app/player_settings.h"
#include "app/win32_text.h"
#include "app/win32_window_host.h"
#include "data_files.h"
#include "game/game_data.h"
#include "store/user_folders.h"

namespace {

// The game's state, in fixed storage for the whole run.
GameData gameData;

// Writes a text for the one who started the game: to the output it was
// given (a pipe or file), else to the console it was started from, else in a
// message box, since a program started from the desktop has neither.
void tell(DWORD stream, const std::string& text, UINT boxIcon)
{
    HANDLE out = GetStdHandle(stream);
    DWORD written = 0;
    if (out != nullptr && out != INVALID_HANDLE_VALUE && GetFileType(out) != FILE_TYPE_UNKNOWN) {
        WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        HANDLE console = CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        if (console != INVALID_HANDLE_VALUE) {
            // The prompt came back when the game started: begin on a line of
            // its own.
            const std::wstring w = L"\n" + wideFromUtf8(text);
            WriteConsoleW(console, w.data(), static_cast<DWORD>(w.size()), &written, nullptr);
            CloseHandle(console);
            FreeConsole();
            return;
        }
        FreeConsole();
    }
    MessageBoxW(nullptr, wideFromUtf8(text).c_str(), L"Glimmerfall", boxIcon);
}

bool holdsGameData(const std::wstring& folder)
{
    const std::wstring file = folder + L"\\" + wideFromUtf8(dataFiles::earthImage);
    return GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The game reads its files from the current folder; when they are not there
// (a start from the Start menu or from another folder) it moves to the
// folder of the program.
void findGameData()
{
    if (holdsGameData(L".")) {
        return;
    }
    std::vector<wchar_t> path(MAX_PATH);
    DWORD n = 0;
    while ((n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()))) == path.size()) {
        path.resize(path.size() * 2);
    }
    std::wstring folder(path.data(), n);
    folder.erase(folder.find_last_of(L"\\/") + 1);
    if (!folder.empty() && holdsGameData(folder)) {
        SetCurrentDirectoryW(folder.c_str());
    }
    // Nothing found: the game starts anyway and names each file it misses.
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    int count = 0;
    LPWSTR* wideArgs = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 0; i < count; ++i) {
        args.push_back(utf8FromWide(wideArgs[i]));
    }
    LocalFree(wideArgs);
    std::vector<const char*> argv;
    for (const std::string& a : args) {
        argv.push_back(a.c_str());
    }
    const CommandLine options = parseCommandLine(static_cast<int>(argv.size()), argv.data());
    switch (options.action) {
        case CommandLine::Action::help:
            tell(STD_OUTPUT_HANDLE, usageText(), MB_ICONINFORMATION);
            return 0;
        case CommandLine::Action::version:
            tell(STD_OUTPUT_HANDLE, std::string("glimmerfall ") + GLIMMERFALL_VERSION + "\n", MB_ICONINFORMATION);
            return 0;
        case CommandLine::Action::error:
            tell(STD_ERROR_HANDLE, "glimmerfall: " + options.error + "\n" + usageText(), MB_ICONERROR);
            return 2;
        case CommandLine::Action::play:
            break;
    }
    // A replay named on the command line is found from where the game was
    // started, before it moves to its data folder.
    const std::filesystem::path replayFile =
        options.replayFile.empty() ? std::filesystem::path()
                                   : std::filesystem::absolute(std::filesystem::path(wideFromUtf8(options.replayFile)));
    if (options.dataFolder.empty()) {
        findGameData();
    } else if (!SetCurrentDirectoryW(wideFromUtf8(options.dataFolder).c_str())) {
        tell(STD_ERROR_HANDLE, "glimmerfall: cannot use the data folder '" + options.dataFolder + "'\n",
             MB_ICONERROR);
        return 2;
    }
    // The window starts as the command line asks, else as the player left it
    // (settings in %APPDATA%\Glimmerfall).
    PlayerSettings settings(configFolder(processEnvironment()));
    const WindowStart start = windowStart(options, settings.values());
    Win32WindowHost host(instance, start.mode, start.width, start.height);
    if (!host.start()) {
        return 1;
    }
    host.useSettings(std::move(settings));

    // Best scores and the game's replays live in %LOCALAPPDATA%\Glimmerfall.
    std::string refusal;
    const int code = playGameOrReplay(host, gameData, replayFile, refusal);
    if (!refusal.empty()) {
        tell(STD_ERROR_HANDLE, "glimmerfall: " + refusal + "\n", MB_ICONERROR);
    }
    return code;
}
