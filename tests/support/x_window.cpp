#include "x_window.h"

#include <X11/Xutil.h>

namespace {

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

}  // namespace

Window findWindow(Display* d, Window root, const std::string& title)
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
            found = findWindow(d, children[i], title);
        }
    }
    if (children != nullptr) {
        XFree(children);
    }
    return found;
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
