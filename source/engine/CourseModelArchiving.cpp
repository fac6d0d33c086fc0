#include "engine/CourseModel.h"

#include "engine/CourseModelRules.h"
#include "engine/DocumentManager.h"
#include "engine/GlobalData.h"
#include "engine/SystemModel.h"
#include "engine/audio/AudioRender.h"
#include "workspace/Main.h"

using namespace courseModelRules;

juce::int64 CourseModel::renderedSentenceLength(juce::int64 start, juce::int64 end, juce::int64 audioLength,
                                                double courseRate, double renderRate)
{
    // As the sentence's reader holds it: from its start to its end, within the audio (the last
    // sentence of a new course ends one past the last sample).
    const auto samples =
        juce::jlimit<juce::int64>(0, juce::jmax<juce::int64>(0, audioLength - start), end - start + 1);
    return juce::jmax<juce::int64>(1, AudioRender::renderedLength(samples, courseRate, renderRate));
}

bool CourseModel::updateAndSaveTextOfNewCourse(const juce::File& target)
{
    // None of this is a step the learner could undo, and no view follows it: the workspace is
    // cleared once the course is in the library.
    stopTimer();
    course.removeListener(this);

    const double renderRate = systemModel->audioRenderSampleRate;
    const double courseRate = reader != nullptr && reader->sampleRate > 0.0 ? reader->sampleRate : renderRate;
    const auto audioLength = reader != nullptr ? reader->lengthInSamples : (juce::int64)0;
    const int firstInterval = GlobalData::getNextIntervalDays(0, true);
    const auto firstDate = DocumentManager::getDateAfterDays(firstInterval).toString(true, false);

    // Back to back on the rendered audio, which holds every sentence once and nothing between:
    // each sentence on exactly the samples the renderer wrote for it.
    int previousEnd = -1;
    for (int i = 0; i < getNumSentences(); ++i)
    {
        const int start = previousEnd + 1;
        previousEnd = start - 1 +
                      (int)renderedSentenceLength(getInt(i, StartSamples), getInt(i, EndSamples), audioLength,
                                                  courseRate, renderRate);
        setValue(i, StartSamples, start, false);
        setValue(i, EndSamples, previousEnd, false);
    }

    for (int i = getNumSentences(); --i >= 0;)
    {
        if (!getBool(i, NeedReview))
            continue;
        if (getInt(i, NextIntervalDays) < 1)
            setValue(i, NextIntervalDays, firstInterval, false);
        if (getValue(i, NextReviewDate).toString().isEmpty())
            setValue(i, NextReviewDate, firstDate, false);
    }

    const int courseLength = juce::jmax(0, previousEnd);
    setValue(-1, NextNeedReview, getInt(-1, TotalNeedReview), false);
    setValue(-1, NextReviewDate, firstDate, false);
    setValue(-1, NowStatus, 1, false);
    setValue(-1, CourseLength, courseLength, false);
    setValue(-1, CourseSeconds, courseLength / renderRate, false);

    if (writeCourseTextTo(target))
        return true;
    juce::AlertWindow::showMessageBox(juce::MessageBoxIconType::InfoIcon, TRANS("Message"),
                                      TRANS("Unknown error: the course xml file write failed!"));
    return false;
}
