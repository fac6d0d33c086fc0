#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The toolbar centred over the status bar.

    Its fifteen command buttons are not there yet: for now it keeps its size and the states the
    controller sets (the notes marker and whether a sentence plays). */
class FunctionZone : public juce::Component
{
public:
    FunctionZone();
    ~FunctionZone() override;

    void showOrHideNoteMarker(bool show);
    void playStarted();
    void playStoped();

    bool isNoteMarkerShown() const { return noteMarkerShown; }
    bool isShowingPause() const { return showingPause; }

private:
    bool noteMarkerShown = false;
    bool showingPause = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(FunctionZone)
};
