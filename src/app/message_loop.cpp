#include "app/message_loop.h"

#include "input/joystick.h"

int runMessageLoop(Host& host)
{
    Message held{};
    for (;;) {
        host.dispatchMessage(held);
        pollJoystick();
        Message next;
        if (!host.takeMessage(next)) {
            continue;
        }
        if (next.message == wmQuit) {
            return 1;
        }
        host.dispatchMessage(next);
        held = next;
    }
}
