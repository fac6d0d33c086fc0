#pragma once

#include <string>

/** Whether a graphical display can be opened. The framework's windowing code crashes when started
    without one (no DISPLAY, as over a plain remote shell), so the program's entry asks first. */
namespace DisplayCheck
{
/** Empty when the X display opens; otherwise one line that says why it doesn't. */
std::string whyNoDisplay();
} // namespace DisplayCheck
