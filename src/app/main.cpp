// Glimmerfall on a desktop: the game in an SDL window.
#include "app/program.h"
#include "app/sdl_window_host.h"

int main()
{
    SdlWindowHost host;
    if (!host.start()) {
        return 1;
    }
    return runGame(host);
}
