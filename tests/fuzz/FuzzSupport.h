#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

/** What every fuzz target shares: a home folder of its own, the framework's GUI initialiser, the
    application's process-wide objects, and a timer that closes every modal window the code under
    test opens (a failure box, say) so that no input waits for a click.

    A target also makes its own seeds: run with QZ_FUZZ_WRITE_SEEDS set to a folder, it writes
    small valid inputs there (made by qZ's own code where qZ writes such files) and ends. */
class FuzzEnvironment
{
public:
    FuzzEnvironment();
    ~FuzzEnvironment();

    /** Whether modal windows are closed as soon as they open; on by default. Jobs behind a
        progress window that must run to their end turn it off around them. */
    void closeModalWindows(bool on);

    /** The folder the seeds go to, or an invalid file when the fuzzer runs. */
    static juce::File seedFolder();
    /** Writes one seed file into the seed folder. */
    static void writeSeed(const juce::String& name, const void* data, size_t size);
    static void writeSeed(const juce::String& name, const juce::String& text);
    static void writeSeed(const juce::String& name, const juce::File& file);

    /** The message loop, run for a moment so that asynchronous work (timers, saves) happens. */
    static void pump(int milliseconds);

    juce::File home() const { return homeFolder; }

private:
    class ModalCloser;
    juce::File homeFolder;
    std::unique_ptr<juce::ScopedJuceInitialiser_GUI> gui;
    std::unique_ptr<juce::LookAndFeel> lookAndFeel;
    std::unique_ptr<ModalCloser> closer;
};

/** Aborts with a message when the condition is false: an invariant the input broke. */
void fuzzCheck(bool condition, const char* what);
