// A courseware file (".qzc") from another learner: unpacked into a new working set and opened for
// learning in the whole workspace. An unpack writes nothing outside the temporary folder.
#include "FuzzSupport.h"

#include "engine/Clock.h"
#include "engine/CourseModel.h"
#include "engine/CoursewareFile.h"
#include "engine/DocumentManager.h"
#include "engine/SafeArchive.h"
#include "workspace/CourseController.h"

namespace
{
FuzzEnvironment* environment = nullptr;
constexpr int lengthInSamples = 8000 * 4;

/** The courseware road as the controller takes it, without its windows: the checked unpack into
    a new working set, then the course opened for learning. */
bool openCourseware(CourseController& controller, const juce::File& courseware)
{
    const auto unpacked = CoursewareFile::unpack(courseware, DocumentManager::TempDir(),
                                                 DocumentManager::getCurrentTimeString(true), Clock::now());
    return unpacked.wasOk() &&
           controller.loadGivenCourse(DocumentManager::getCourseFile(DocumentManager::courseText));
}

// Courseware as another learner's qZ packs it: the audio, its waveform file and the course text
// without the learner's own review data, under one name.
void writeSeeds(FuzzEnvironment& fuzz)
{
    fuzz.makeWorkingSet(lengthInSamples);
    const auto scratch = fuzz.home().getChildFile("generateCourseware");
    scratch.createDirectory();
    const auto audio = scratch.getChildFile("lesson.ogg");
    const auto waveform = scratch.getChildFile("lesson.smg");
    const auto text = scratch.getChildFile("lesson.xml");
    fuzzCheck(DocumentManager::getCourseFile(DocumentManager::courseAudio).copyFileTo(audio) &&
                  DocumentManager::getCourseFile(DocumentManager::waveformFile).copyFileTo(waveform),
              "the courseware's files are copied");

    auto course = juce::parseXML(DocumentManager::getCourseFile(DocumentManager::courseText));
    fuzzCheck(course != nullptr, "the course text parses");
    for (const auto* removed : {"AudioFile", "LearnDate", "NextNeedReview", "NextReviewDate"})
        course->removeAttribute(removed);
    course->setAttribute(CourseModel::NowStatus, 0);
    course->setAttribute(CourseModel::Notes, juce::String::fromUTF8("笔记"));
    course->deleteAllChildElements();
    for (const auto& [start, end, unfamiliar] :
         {std::make_tuple(0, 9999, 1), std::make_tuple(10000, 19999, 0), std::make_tuple(20000, 31999, 1)})
    {
        auto* sentence = course->createNewChildElement("SENTENCE");
        sentence->setAttribute(CourseModel::StartSamples, start);
        sentence->setAttribute(CourseModel::EndSamples, end);
        sentence->setAttribute(CourseModel::EnglishText, "Sentence " + juce::String(start));
        sentence->setAttribute(CourseModel::ChineseText, juce::String::fromUTF8("句子"));
        sentence->setAttribute(CourseModel::NeedReview, unfamiliar);
    }
    fuzzCheck(course->writeTo(text), "the course text is written");

    const auto target = fuzz.home().getChildFile("lesson.qzc");
    fuzzCheck(SafeArchive::write(target, {audio, waveform, text}, 9).wasOk(), "the courseware is packed");
    FuzzEnvironment::writeSeed("lesson.qzc", target);
    // Without its waveform file: the load fails in the course model.
    fuzzCheck(SafeArchive::write(target, {audio, text}, 9).wasOk(), "the courseware is packed");
    FuzzEnvironment::writeSeed("no-waveform.qzc", target);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    environment = &FuzzEnvironment::start(writeSeeds);
    environment->workspace();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    auto& controller = environment->workspace();
    const auto courseware = environment->home().getChildFile("lesson.qzc");
    courseware.replaceWithData(data, size);

    const auto before = environment->filesOutsideTemporaryFolder();
    const bool opened = openCourseware(controller, courseware);
    environment->checkFilesOutsideTemporaryFolder(before);
    FuzzEnvironment::checkTemporaryFolder();
    if (opened)
        FuzzEnvironment::useCourse(controller.getCourseModel());
    controller.resetToEmpty();
    return 0;
}
