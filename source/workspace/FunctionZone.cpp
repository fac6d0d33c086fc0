#include "workspace/FunctionZone.h"

FunctionZone::FunctionZone()
{
    setSize(437, 25);
    setWantsKeyboardFocus(false);
    setMouseClickGrabsKeyboardFocus(false);
}

FunctionZone::~FunctionZone() = default;

void FunctionZone::showOrHideNoteMarker(bool show)
{
    noteMarkerShown = show;
    repaint();
}

void FunctionZone::playStarted()
{
    showingPause = true;
}

void FunctionZone::playStoped()
{
    showingPause = false;
}
