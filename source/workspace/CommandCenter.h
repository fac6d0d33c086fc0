#pragma once

#include <functional>

/** The first command target of the main window. For now it holds only the right-click menus'
    entry point, which any component may call; the menus themselves come with the command table. */
class CommandCenter
{
public:
    /** Which right-click menu to build. */
    enum PopupMenuType
    {
        thumbSentenceMenu = 0, ///< a sentence of the waveform strip
        pageSentenceMenu = 1,  ///< a sentence block of the pages
        backgroundMenu = 2     ///< the background of a container, or the floating badge
    };

    /** Shows the right-click menu of that kind at the mouse position. */
    static void showRightClickMenu(PopupMenuType type);

    /** Told of every right-click menu asked for, before it is shown, so that a caller can be
        checked without a menu window on the screen. Empty unless someone watches. */
    static std::function<void(PopupMenuType)> rightClickMenuRequested;
};
