#pragma once

#include <memory>

class QzLookAndFeel;

/** Creates the application's process-wide objects for a test, as the application does at start-up
    (the look and feel made the default, the undo history, the command manager, the format manager
    with the basic formats and our MP3 reader, an audio device manager that is not opened, and the
    settings), and deletes and nulls them again in the order of the application's shut-down.

    The settings are read from the test's own home folder, so they start at their defaults. */
class ProcessWideObjects
{
public:
    ProcessWideObjects();
    ~ProcessWideObjects();

private:
    std::unique_ptr<QzLookAndFeel> lookAndFeel;

    ProcessWideObjects(const ProcessWideObjects&) = delete;
    ProcessWideObjects& operator=(const ProcessWideObjects&) = delete;
};
