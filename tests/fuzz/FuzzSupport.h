#pragma once

#include <juce_audio_formats/juce_audio_formats.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

/** What every fuzz target shares: a home folder of its own, the framework's GUI initialiser, the
    application's process-wide objects, and a timer that closes every modal window the code under
    test opens (a failure box, say) so that no input waits for a click.

    A target also makes its own seeds: run with QZ_FUZZ_WRITE_SEEDS set to a folder, it writes
    small valid inputs there (made by qZ's own code where qZ writes such files) and ends. A
    target's LLVMFuzzerInitialize calls start() with its seed writer, then makes what its inputs
    need. */
class CourseController;
class CourseModel;
class MainWindow;

class FuzzEnvironment
{
public:
    FuzzEnvironment();
    ~FuzzEnvironment();

    /** Writes a target's seeds with the qZ objects in place. */
    using SeedWriter = std::function<void(FuzzEnvironment&)>;

    /** Makes the target's one environment, kept until the process ends. When a seed folder is
        named, writes the seeds into it and ends the process; otherwise returns the environment
        for the fuzzer's run. */
    static FuzzEnvironment& start(const SeedWriter& writeSeeds);

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

    /** A mono tone of that many samples written by the format's own writer. */
    static void writeTone(juce::AudioFormat& format, const juce::File& file, double rate,
                          int lengthInSamples);

    /** A working set in the temporary folder made by the road a recording the learner opens takes
        (course text and waveform file over a tone of that length at 8000 Hz, "lesson.wav" in the
        home), with the course audio of a review course beside it. Returns the recording. */
    juce::File makeWorkingSet(int lengthInSamples);

    /** What the study screen asks of a loaded course: every sentence's status and audio, the
        selection moving through it, the review questions, and a save. */
    static void useCourse(CourseModel& model);

    /** Every file and folder under the home but the temporary folder, the folders it lies in
        and what it holds, sorted: what an unpack into the temporary folder must leave as it was. */
    juce::StringArray filesOutsideTemporaryFolder() const;
    /** Aborts, naming the difference, unless the files outside the temporary folder are these. */
    void checkFilesOutsideTemporaryFolder(const juce::StringArray& before) const;

    /** Aborts unless the temporary folder holds only plain files under working-set names. */
    static void checkTemporaryFolder();

    /** The whole workspace, as at start-up: the main window with its controller, made at the
        first call and kept until the end. */
    CourseController& workspace();

private:
    class ModalCloser;
    juce::File homeFolder;
    std::unique_ptr<juce::ScopedJuceInitialiser_GUI> gui;
    std::unique_ptr<juce::LookAndFeel> lookAndFeel;
    std::unique_ptr<ModalCloser> closer;
    std::unique_ptr<MainWindow> mainWindow;
};

/** Aborts with a message when the condition is false: an invariant the input broke. */
void fuzzCheck(bool condition, const char* what);
