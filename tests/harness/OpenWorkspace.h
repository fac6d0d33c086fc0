#pragma once

#include "harness/ProcessWideObjects.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>

class BaseComponent;
class CourseController;
class CourseModel;
class MainComponent;
class MainWindow;

/** The whole workspace for a test, built and started as at start-up: the process-wide objects,
    then the main window with everything in it. What the test must set before the start (settings,
    files in the data folders) goes into the function given to the constructor.

    The window's own bounds settle asynchronously under a window manager; tests that look at the
    layout size the content themselves with layOut. */
class OpenWorkspace
{
public:
    explicit OpenWorkspace(const std::function<void()>& beforeStart = {});
    ~OpenWorkspace();

    MainWindow& window() const { return *mainWindow; }
    BaseComponent& base() const;
    MainComponent& main() const;
    CourseController& controller() const;
    CourseModel& model() const;

    /** Sizes the window's content, which lays out everything inside it. */
    void layOut(int width, int height) const;

    /** Archives the open course as the learner does: "OK" to the question, then its three jobs
        (the course audio, its waveform file and the mobile file) run to their end, and no other
        window comes. True when the course is closed after it. */
    bool archiveAsTheLearnerDoes() const;

    /** The names of the files in the temporary folder, sorted. */
    static juce::StringArray filesInTemporaryFolder();

    /** Deletes and makes the settings object again, so that it reads the settings file anew. */
    static void reloadSettings();

private:
    ProcessWideObjects objects;
    std::unique_ptr<MainWindow> mainWindow;
};
