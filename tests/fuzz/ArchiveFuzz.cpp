// A course archive (".mqz") from elsewhere in the library: the due scan reads its course text, the
// review road unpacks it into the temporary folder and opens it in the whole workspace. An unpack
// writes nothing outside the temporary folder and only bare working-set files inside it.
#include "FuzzSupport.h"

#include "engine/CourseModel.h"
#include "engine/DocumentManager.h"
#include "workspace/CourseController.h"

namespace
{
FuzzEnvironment* environment = nullptr;
constexpr int lengthInSamples = 8000 * 4;

// The working set as a review course, two sentences unfamiliar and due.
void makeReviewCourse(FuzzEnvironment& fuzz, bool withRetelling)
{
    fuzz.makeWorkingSet(lengthInSamples);
    const auto text = DocumentManager::getCourseFile(DocumentManager::courseText);
    auto course = juce::parseXML(text);
    fuzzCheck(course != nullptr, "the course text parses");
    course->setAttribute(CourseModel::NowStatus, 1);
    course->setAttribute(CourseModel::TotalNeedReview, 2);
    course->setAttribute(CourseModel::NextReviewDate, "1 Dec 2026");
    course->deleteAllChildElements();
    for (const auto& [start, end, words] :
         {std::make_tuple(0, 15999, "One"), std::make_tuple(16000, lengthInSamples, "Two")})
    {
        auto* sentence = course->createNewChildElement("SENTENCE");
        sentence->setAttribute(CourseModel::StartSamples, start);
        sentence->setAttribute(CourseModel::EndSamples, end);
        sentence->setAttribute(CourseModel::EnglishText, words);
        sentence->setAttribute(CourseModel::NeedReview, 1);
        sentence->setAttribute(CourseModel::NextIntervalDays, 2);
        sentence->setAttribute(CourseModel::NextReviewDate, "1 Dec 2026");
    }
    fuzzCheck(course->writeTo(text), "the course text is written");
    if (withRetelling)
    {
        juce::OggVorbisAudioFormat ogg;
        FuzzEnvironment::writeTone(
            ogg, text.getSiblingFile(text.getFileNameWithoutExtension() + "-retell.ogg"), 8000.0, 4000);
    }
}

// Archives made by qZ's own packer.
void writeSeeds(FuzzEnvironment& fuzz)
{
    for (const bool withRetelling : {false, true})
    {
        DocumentManager::CourseDir().deleteRecursively();
        makeReviewCourse(fuzz, withRetelling);
        fuzzCheck(DocumentManager::packDocument(), "the course is packed");
        const auto archives =
            DocumentManager::CourseDir().findChildFiles(juce::File::findFiles, false, "*.mqz");
        fuzzCheck(archives.size() == 1, "one archive");
        FuzzEnvironment::writeSeed(withRetelling ? "retelling.mqz" : "review.mqz", archives.getFirst());
        DocumentManager::TempDir().deleteRecursively();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    environment = &FuzzEnvironment::start(writeSeeds);
    environment->workspace();
    DocumentManager::CourseDir().createDirectory();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    auto& controller = environment->workspace();
    const auto archive = DocumentManager::CourseDir().getChildFile("2026-1201-1000-00.mqz");
    archive.replaceWithData(data, size);

    juce::Array<juce::File> due;
    int dueSentences = 0;
    DocumentManager::getCoursesNeedReview(due, dueSentences);

    const auto before = environment->filesOutsideTemporaryFolder();
    const bool unpacked = DocumentManager::unpackDocument(archive);
    environment->checkFilesOutsideTemporaryFolder(before);
    FuzzEnvironment::checkTemporaryFolder();

    if (unpacked && controller.loadGivenCourse(DocumentManager::getCourseFile(DocumentManager::courseText)))
        FuzzEnvironment::useCourse(controller.getCourseModel());
    controller.resetToEmpty();
    return 0;
}
