#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

class QzLookAndFeel;

/** What a benchmark program needs to run qZ's real code: a temporary home folder (so the data
    folders lie inside it and no real documents folder is touched), the framework's GUI
    initialiser, and the process-wide objects made as the application makes them at start-up.

    Everything is taken down in the application's order and the home folder removed at the end,
    with whatever the benchmark wrote into it. */
class BenchEnvironment
{
public:
    BenchEnvironment();
    ~BenchEnvironment();

    /** The temporary home: a place for generated inputs that goes with the environment. */
    const juce::File& getHome() const { return home; }

private:
    static juce::File makeTemporaryHome();
    void createProcessWideObjects();
    void deleteProcessWideObjects();

    juce::File home;
    juce::String previousHome;
    std::unique_ptr<juce::ScopedJuceInitialiser_GUI> gui;
    std::unique_ptr<QzLookAndFeel> lookAndFeel;

    JUCE_DECLARE_NON_COPYABLE(BenchEnvironment)
};
