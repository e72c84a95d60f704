#include "x_window.h"

#include <X11/Xutil.h>

#include <chrono>
#include <thread>

namespace {

// Windows come and go while the tree is walked (SDL makes and drops helper
// windows as it starts): a request about one that has just gone is no error
// here, and Xlib's default handler would end the test program for it.
int ignoreXError(Display*, XErrorEvent*)
{
    return 0;
}

std::string windowName(Display* d, Window w)
{
    XTextProperty p{};
    std::string name;
    const Atom netName = XInternAtom(d, "_NET_WM_NAME", False);
    if (XGetTextProperty(d, w, &p, netName) != 0 || XGetWMName(d, w, &p) != 0) {
        if (p.value != nullptr) {
            name.assign(reinterpret_cast<const char*>(p.value), p.nitems);
            XFree(p.value);
        }
    }
    return name;
}

Window findWindowBelow(Display* d, Window root, const std::string& title)
{
    Window parent = 0;
    Window rootReturn = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(d, root, &rootReturn, &parent, &children, &count) == 0) {
        return 0;
    }
    Window found = 0;
    for (unsigned int i = 0; i < count && found == 0; ++i) {
        XWindowAttributes a{};
        if (windowName(d, children[i]) == title && XGetWindowAttributes(d, children[i], &a) != 0 &&
            a.map_state == IsViewable) {
            found = children[i];
        } else {
            found = findWindowBelow(d, children[i], title);
        }
    }
    if (children != nullptr) {
        XFree(children);
    }
    return found;
}

}  // namespace

Window findWindow(Display* d, Window root, const std::string& title)
{
    XSync(d, False);
    const auto previous = XSetErrorHandler(ignoreXError);
    const Window found = findWindowBelow(d, root, title);
    XSync(d, False);  // errors of the walk arrive while ours is in place
    XSetErrorHandler(previous);
    return found;
}

Window waitForWindow(Display* d, const std::string& title, int seconds)
{
    Window w = 0;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (w == 0 && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        w = findWindow(d, DefaultRootWindow(d), title);
    }
    return w;
}

Window waitForGameWindow(Display* d, int seconds)
{
    return waitForWindow(d, "Glimmerfall V1.0", seconds);
}

void sendCloseRequest(Display* d, Window w)
{
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, w, False, NoEventMask, &e);
    XFlush(d);
}
