#include "platform/DisplayCheck.h"

#include <dlfcn.h>

#include <cstdlib>

std::string DisplayCheck::whyNoDisplay()
{
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || *name == 0)
        return "no display: DISPLAY is not set, and qZ needs a graphical desktop";

    // Xlib is loaded as the framework loads it, at run time, so nothing links it for this alone.
    using Open = void* (*)(const char*);
    using Close = int (*)(void*);
    void* xlib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_GLOBAL);
    if (xlib == nullptr)
        return "no display: the X11 library (libX11.so.6) cannot be loaded";
    auto open = reinterpret_cast<Open>(dlsym(xlib, "XOpenDisplay"));
    auto close = reinterpret_cast<Close>(dlsym(xlib, "XCloseDisplay"));
    if (open == nullptr || close == nullptr)
        return "no display: the X11 library lacks XOpenDisplay";

    void* display = open(name);
    if (display == nullptr)
        return std::string("no display: cannot open the display \"") + name + "\"";
    close(display);
    return {};
}
