#include "FuzzSupport.h"

#include "common/XErrors.h"
#include "engine/CourseModel.h"
#include "engine/DocumentManager.h"
#include "workspace/BaseComponent.h"
#include "workspace/Main.h"
#include "workspace/MainWindow.h"
#include "workspace/QzLookAndFeel.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

class FuzzEnvironment::ModalCloser : private juce::Timer
{
public:
    ModalCloser() { startTimer(1); }
    void setActive(bool on) { active = on; }

private:
    void timerCallback() override
    {
        if (!active)
            return;
        if (auto* modal = juce::Component::getCurrentlyModalComponent())
            modal->exitModalState(0);
    }

    bool active = true;
};

FuzzEnvironment::FuzzEnvironment()
{
    // Each target process works in a home of its own, as the tests do.
    homeFolder = juce::File::getSpecialLocation(juce::File::tempDirectory)
                     .getChildFile("qz-fuzz-home-" + juce::String(getpid()));
    homeFolder.deleteRecursively();
    homeFolder.createDirectory();
    setenv("HOME", homeFolder.getFullPathName().toRawUTF8(), 1);

    ignoreXErrors();
    gui = std::make_unique<juce::ScopedJuceInitialiser_GUI>();
    auto* qzLook = new QzLookAndFeel();
    lookAndFeel.reset(qzLook);
    juce::LookAndFeel::setDefaultLookAndFeel(qzLook);
    createProcessWideObjects(*qzLook);
    closer = std::make_unique<ModalCloser>();
}

FuzzEnvironment::~FuzzEnvironment()
{
    closer.reset();
    if (mainWindow != nullptr)
        juce::PopupMenu::dismissAllActiveMenus();
    mainWindow.reset();
    deleteProcessWideObjects();
    juce::LookAndFeel::setDefaultLookAndFeel(nullptr);
    lookAndFeel.reset();
    gui.reset();
    homeFolder.deleteRecursively();
}

FuzzEnvironment& FuzzEnvironment::start(const SeedWriter& writeSeeds)
{
    // Kept to the end of the process: the fuzzer ends it with exit() from inside its loop.
    static auto* environment = new FuzzEnvironment();
    if (seedFolder() != juce::File())
    {
        writeSeeds(*environment);
        std::exit(0);
    }
    return *environment;
}

void FuzzEnvironment::closeModalWindows(bool on)
{
    closer->setActive(on);
}

void FuzzEnvironment::writeTone(juce::AudioFormat& format, const juce::File& file, double rate,
                                int lengthInSamples)
{
    juce::AudioBuffer<float> tone(1, lengthInSamples);
    for (int i = 0; i < lengthInSamples; ++i)
        tone.setSample(0, i, 0.3f * std::sin(0.05f * (float)i));
    file.deleteFile();
    std::unique_ptr<juce::AudioFormatWriter> writer(
        format.createWriterFor(file.createOutputStream().release(), rate, 1, 16, {}, 0));
    fuzzCheck(writer != nullptr && writer->writeFromAudioSampleBuffer(tone, 0, lengthInSamples), "a tone");
}

juce::File FuzzEnvironment::makeWorkingSet(int lengthInSamples)
{
    const auto recording = homeFolder.getChildFile("lesson.wav");
    juce::WavAudioFormat wav;
    writeTone(wav, recording, 8000.0, lengthInSamples);
    // The creation's progress window must run to its end.
    closeModalWindows(false);
    fuzzCheck(DocumentManager::createCourseFiles(recording), "the working set is made");
    closeModalWindows(true);
    juce::OggVorbisAudioFormat ogg;
    writeTone(ogg, DocumentManager::getCourseFile(DocumentManager::courseText).withFileExtension("ogg"),
              8000.0, lengthInSamples);
    return recording;
}

void FuzzEnvironment::useCourse(CourseModel& model)
{
    const int count = model.getNumSentences();
    fuzzCheck(model.getThumbs().size() == count && model.getPages().size() == count,
              "one view pair a sentence");
    juce::AudioBuffer<float> block(2, 256);
    for (int i = -1; i <= count; ++i)
    {
        const int status = model.getSentenceStatus(i);
        fuzzCheck(status >= 0 && status <= 4, "a status from 0 to 4");
        model.unfamiliarIsDue(i);
        model.getSentenceLengthSeconds(i);
        model.getSentenceStartSeconds(i);
        if (i < 50)
            if (std::unique_ptr<juce::AudioFormatReader> sentence{model.getSentenceAudioReader(i)})
                sentence->read(&block, 0, block.getNumSamples(), 0, true, true);
    }
    model.stillHasDueSentence();
    for (int i = 0; i < juce::jmin(count, 50); ++i)
    {
        model.selectSentence(i, true);
        model.getSelectedLength();
    }
    model.selectFirstDueSentence();
    model.selectNextDueSentence();
    model.selectPrevDueSentence();
    model.saveCourseTextFile();
    pump(1);
}

juce::StringArray FuzzEnvironment::filesOutsideTemporaryFolder() const
{
    juce::StringArray paths;
    const auto temporary = DocumentManager::TempDir();
    for (const auto& file : homeFolder.findChildFiles(juce::File::findFilesAndDirectories, true, "*"))
        if (file != temporary && !file.isAChildOf(temporary) && !temporary.isAChildOf(file))
            paths.add(file.getFullPathName());
    paths.sort(false);
    return paths;
}

void FuzzEnvironment::checkFilesOutsideTemporaryFolder(const juce::StringArray& before) const
{
    const auto after = filesOutsideTemporaryFolder();
    if (after == before)
        return;
    for (const auto& path : after)
        if (!before.contains(path))
            std::fprintf(stderr, "appeared: %s\n", path.toRawUTF8());
    for (const auto& path : before)
        if (!after.contains(path))
            std::fprintf(stderr, "gone: %s\n", path.toRawUTF8());
    fuzzCheck(false, "an unpack into the temporary folder changes nothing outside it");
}

void FuzzEnvironment::checkTemporaryFolder()
{
    for (const auto& file :
         DocumentManager::TempDir().findChildFiles(juce::File::findFilesAndDirectories, false, "*"))
        fuzzCheck(file.existsAsFile() && !file.isSymbolicLink() &&
                      DocumentManager::isWorkingSetName(file.getFileName()),
                  "only plain working-set files lie in the temporary folder");
}

CourseController& FuzzEnvironment::workspace()
{
    if (mainWindow == nullptr)
        mainWindow = std::make_unique<MainWindow>();
    return *mainWindow->getBaseComponent().getController();
}

juce::File FuzzEnvironment::seedFolder()
{
    const auto folder = juce::SystemStats::getEnvironmentVariable("QZ_FUZZ_WRITE_SEEDS", {});
    return folder.isEmpty() ? juce::File() : juce::File(folder);
}

void FuzzEnvironment::writeSeed(const juce::String& name, const void* data, size_t size)
{
    const auto folder = seedFolder();
    folder.createDirectory();
    fuzzCheck(folder.getChildFile(name).replaceWithData(data, size), "writing a seed");
}

void FuzzEnvironment::writeSeed(const juce::String& name, const juce::String& text)
{
    writeSeed(name, text.toRawUTF8(), text.getNumBytesAsUTF8());
}

void FuzzEnvironment::writeSeed(const juce::String& name, const juce::File& file)
{
    juce::MemoryBlock bytes;
    fuzzCheck(file.loadFileAsData(bytes), "reading a seed's source file");
    writeSeed(name, bytes.getData(), bytes.getSize());
}

void FuzzEnvironment::pump(int milliseconds)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil(milliseconds);
}

void fuzzCheck(bool condition, const char* what)
{
    if (condition)
        return;
    std::fprintf(stderr, "qZ fuzz invariant broken: %s\n", what);
    std::abort();
}
