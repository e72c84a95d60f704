#include "app/program.h"

#include "app/message_loop.h"
#include "app/window_proc.h"
#include "audio/audio_startup.h"
#include "input/joystick.h"

int runGame(Host& host, Game& game)
{
    if (!host.createWindow(windowProc, game)) {
        stopAudio();  // the device may have opened before creation failed
        return 1;
    }
    host.showWindow();
    // Without a controller the game runs on the keyboard alone.
    if (initJoystick() != 0) {
        gameController.joystickUsable = 0;
    }
    const int code = runMessageLoop(host);
    // The game is over: sounds, context and device are closed before exit.
    stopAudio();
    return code;
}
