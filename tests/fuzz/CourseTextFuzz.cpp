// A course text from elsewhere (an archive, courseware, a hand edit) loaded into the course model,
// then used as the study screen uses it: every sentence's status, the selection moving through it,
// the review questions, and a save.
#include "FuzzSupport.h"

#include "engine/CourseModel.h"
#include "engine/DocumentManager.h"
#include "workspace/CourseController.h"
#include "workspace/Main.h"

namespace
{
FuzzEnvironment* environment = nullptr;
std::unique_ptr<CourseController> controller;
juce::File recording;
juce::File courseText;
constexpr int lengthInSamples = 8000 * 10;

juce::String sentence(int start, int end, const juce::String& extra)
{
    return "  <SENTENCE StartSamples=\"" + juce::String(start) + "\" EndSamples=\"" + juce::String(end) +
           "\" " + extra + "/>\n";
}

void writeSeeds(FuzzEnvironment&)
{
    const juce::String head =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<COURSE AudioFile=\"@AUDIO@\" "
        "LearnDate=\"10 Dec 2026 10:00:00\" CourseName=\"lesson\" CourseLength=\"80000\" ";
    FuzzEnvironment::writeSeed(
        "learning.xml",
        head + "TotalSentences=\"3\" TotalNeedReview=\"1\" NextNeedReview=\"0\" NowStatus=\"0\">\n" +
            sentence(0, 19999,
                     "EnglishText=\"Hello there\" ChineseText=\"" + juce::String::fromUTF8("你好") + "\"") +
            sentence(20000, 49999,
                     "NeedReview=\"1\" NextIntervalDays=\"2\" "
                     "NextReviewDate=\"12 Dec 2026\" EnglishText=\"Second\"") +
            sentence(50000, 79999, "") + "</COURSE>\n");
    FuzzEnvironment::writeSeed(
        "review.xml", head +
                          "TotalSentences=\"2\" TotalNeedReview=\"2\" NextNeedReview=\"2\" NowStatus=\"1\" "
                          "NextReviewDate=\"1 Dec 2026\" Notes=\"notes\">\n" +
                          sentence(0, 39999,
                                   "NeedReview=\"1\" NextIntervalDays=\"5\" TotalReviews=\"3\" "
                                   "CorrectTimes=\"2\" NextReviewDate=\"1 Dec 2026\" EnglishText=\"One\"") +
                          sentence(40000, 79999,
                                   "NeedReview=\"1\" NextIntervalDays=\"999999\" "
                                   "NextReviewDate=\"1 Feb 3013\" EnglishText=\"Two\"") +
                          "</COURSE>\n");
    FuzzEnvironment::writeSeed(
        "odd.xml", head + "TotalSentences=\"9\" NowStatus=\"0\">\n" +
                       sentence(70000, 100, "NeedReview=\"1\"") +
                       sentence(-50, 2147483647, "NextIntervalDays=\"-3\" NextReviewDate=\"2017-04-02\"") +
                       "</COURSE>\n");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    environment = &FuzzEnvironment::start(writeSeeds);
    // Course texts name their audio "@AUDIO@", put in place per input.
    recording = environment->makeWorkingSet(lengthInSamples);
    courseText = DocumentManager::getCourseFile(DocumentManager::courseText);
    controller = std::make_unique<CourseController>();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    auto text = juce::String::fromUTF8(reinterpret_cast<const char*>(data), (int)size);
    text = text.replace("@AUDIO@", recording.getFullPathName());
    courseText.replaceWithText(text);

    auto& model = controller->getCourseModel();
    if (model.loadCourseTextFile(courseText))
        FuzzEnvironment::useCourse(model);
    model.courseModelReset();
    return 0;
}
