#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The application's one document window, titled "qZ". */
class MainWindow : public juce::DocumentWindow
{
public:
    MainWindow();
    ~MainWindow() override;

    void closeButtonPressed() override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(MainWindow)
};
