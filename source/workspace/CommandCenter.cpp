#include "workspace/CommandCenter.h"

std::function<void(CommandCenter::PopupMenuType)> CommandCenter::rightClickMenuRequested;

void CommandCenter::showRightClickMenu(PopupMenuType type)
{
    if (rightClickMenuRequested)
        rightClickMenuRequested(type);

    // The menus are made of command items; they are built here once the command table exists.
}
