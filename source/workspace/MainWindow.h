#pragma once

#include "platform/ShiftedKeyListener.h"

#include <juce_gui_basics/juce_gui_basics.h>

class BaseComponent;

/** The application's one document window. It holds the whole workspace, restores its last size
    and place, passes key presses anywhere in it to the commands, and starts the controller. */
class MainWindow : public juce::DocumentWindow
{
public:
    MainWindow();
    ~MainWindow() override;

    void closeButtonPressed() override;

    BaseComponent& getBaseComponent() const;

private:
    juce::TooltipWindow tooltipWindow{nullptr, 700};
    ShiftedKeyListener shiftedKeys;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(MainWindow)
};
