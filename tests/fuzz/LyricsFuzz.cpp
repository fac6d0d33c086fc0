// A lyrics file from elsewhere, beside a recording that becomes a course: the whole creation road,
// then the invariants the course text must keep whatever the lyrics said.
#include "FuzzSupport.h"

#include "engine/CourseModel.h"
#include "engine/DocumentManager.h"
#include "workspace/Main.h"

namespace
{
FuzzEnvironment* environment = nullptr;
juce::File recording;
constexpr int lengthInSamples = 8000 * 20;

void writeSeeds(FuzzEnvironment&)
{
    FuzzEnvironment::writeSeed("plain.lrc", "[00:00.00]First line\n[00:03.50]Second line\n[00:09.00]Third\n");
    FuzzEnvironment::writeSeed("tags.lrc", "[ti:Lesson]\n[ar:Someone]\n[00:01.00][00:12.00]Twice\n"
                                           "[00:05.25]" +
                                               juce::String::fromUTF8("中文 歌词") + "\n");
    // Many lines, as a long lesson's lyrics or a damaged file has them.
    juce::String many;
    for (int i = 0; i < 4000; ++i)
        many << "[00:" << juce::String(i % 60).paddedLeft('0', 2) << "." << juce::String(i % 100) << "]x\n";
    FuzzEnvironment::writeSeed("many.lrc", many);
    FuzzEnvironment::writeSeed("unsorted.lrc", "[00:15.00]Late\n[00:02.00]Early\n[00:02.00]Same time\n"
                                               "[01:30.00]Past the end\n[00:07.xx]Bad time\n");
}

// The sentences of a course text lie within the audio, in order, none inside out.
void checkCourseText(const juce::File& text)
{
    const auto course = juce::parseXML(text);
    fuzzCheck(course != nullptr, "the course text parses");
    int previousStart = -1;
    for (auto* sentence : course->getChildIterator())
    {
        const int start = sentence->getIntAttribute(CourseModel::StartSamples);
        const int end = sentence->getIntAttribute(CourseModel::EndSamples);
        fuzzCheck(start >= 0 && start <= end, "a sentence starts at or before its end");
        fuzzCheck(end <= lengthInSamples, "a sentence ends within the audio");
        fuzzCheck(start > previousStart, "sentences are in time order");
        previousStart = start;
    }
    fuzzCheck(course->getNumChildElements() > 0, "a course has a sentence");
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    environment = &FuzzEnvironment::start(writeSeeds);
    recording = environment->home().getChildFile("lesson.wav");
    juce::WavAudioFormat wav;
    FuzzEnvironment::writeTone(wav, recording, 8000.0, lengthInSamples);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    DocumentManager::TempDir().deleteRecursively();
    recording.withFileExtension("lrc").replaceWithData(data, size);

    // The creation's progress window must run to its end; a failure box is closed at once.
    environment->closeModalWindows(false);
    const bool created = DocumentManager::createCourseFiles(recording);
    environment->closeModalWindows(true);
    if (created)
        checkCourseText(DocumentManager::getCourseFile(DocumentManager::courseText));
    return 0;
}
