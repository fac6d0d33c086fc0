#include "engine/CourseModel.h"

#include "engine/CourseModelRules.h"
#include "engine/DocumentManager.h"
#include "engine/GlobalData.h"
#include "engine/SystemModel.h"
#include "engine/audio/AutoSplitParser.h"
#include "workspace/CourseController.h"
#include "workspace/Main.h"

using namespace courseModelRules;

void CourseModel::autoSplitSelectedSentence()
{
    if (!isValidIndex(selected))
        return;
    if (owner->isSentencePlayerPlaying())
        owner->stopSentencePlayer();

    const int index = selected;
    juce::Array<int> cuts;
    if (auto* sentenceReader = createPrivateSentenceReader(index))
    {
        AutoSplitParser parser(sentenceReader, getInt(index, StartSamples));
        // The old numeric priority 5 is the framework's normal one.
        if (!parser.runThread(juce::Thread::Priority::normal))
            return;
        cuts = parser.getCuts();
    }

    if (cuts.size() < 2)
    {
        showRefusal(juce::MessageBoxIconType::InfoIcon, TRANS("Sorry, can't split this sentence"),
                    {TRANS("Maybe not appropriate settings about auto-split in preferences,"),
                     TRANS("or the waveform is too incomprehensible to analysis,"),
                     TRANS("or this sentence is not necessary to split.")});
        return;
    }
    splitAtCuts(index, cuts);
}

void CourseModel::splitAtCuts(int index, const juce::Array<int>& cuts)
{
    if (!isValidIndex(index) || cuts.isEmpty())
        return;

    const int end = getInt(index, EndSamples);
    const int count = cuts.size();
    undoManager->beginNewTransaction(TRANS("Auto split sentence"));
    // Each piece after the first runs from one sample past its cut to the next cut, the last one
    // to the sentence's end. They carry no texts or review data; the first piece keeps the
    // sentence's.
    for (int k = 0; k < count; ++k)
    {
        juce::ValueTree piece(SENTENCE);
        piece.setProperty(StartSamples, cuts.getUnchecked(k) + 1, nullptr);
        piece.setProperty(EndSamples, k + 1 < count ? cuts.getUnchecked(k + 1) : end, nullptr);
        course.addChild(piece, index + 1 + k, undoManager);
    }
    setValue(index, EndSamples, cuts.getFirst(), true);
    setValue(-1, TotalSentences, getInt(-1, TotalSentences) + count, true);
    undoManager->beginNewTransaction();
    owner->layOutPendingViews();
}

juce::AudioFormatReader* CourseModel::createPrivateSentenceReader(int index) const
{
    // The course reader is also read by the sentence player's source, which may still be reading
    // ahead: the job reads a reader of its own.
    const auto audio = courseAudioFile(courseFile, getValue(-1, AudioFile).toString());
    auto* own = formatManager->createReaderFor(audio);
    if (own == nullptr)
        return nullptr;
    const int start = getInt(index, StartSamples);
    const auto length = juce::jmax((juce::int64)0, (juce::int64)getInt(index, EndSamples) - start + 1);
    return new juce::AudioSubsectionReader(own, start, length, true);
}

//==============================================================================
void CourseModel::splitSentence(int index, int offsetSamples)
{
    if (!isValidIndex(index))
        return;

    const int start = getInt(index, StartSamples);
    const int end = getInt(index, EndSamples);
    if (GlobalData::samplesToSeconds(offsetSamples) <= shortestPartSeconds ||
        GlobalData::samplesToSeconds(end - (start + offsetSamples)) <= shortestPartSeconds)
    {
        showRefusal(juce::MessageBoxIconType::WarningIcon, TRANS("It's too short to split it."),
                    {TRANS("A sentence must be more than 0.3s!")});
        return;
    }

    undoManager->beginNewTransaction(TRANS("Split sentence"));
    juce::ValueTree secondPart(SENTENCE);
    secondPart.setProperty(StartSamples, start + offsetSamples + 1, nullptr);
    secondPart.setProperty(EndSamples, end, nullptr);
    course.addChild(secondPart, index + 1, undoManager);
    setValue(index, EndSamples, start + offsetSamples, true);
    setValue(-1, TotalSentences, getInt(-1, TotalSentences) + 1, true);
    undoManager->beginNewTransaction();
    owner->layOutPendingViews();

    selectSentence(index + 1, true);
    moveCursorToSentence(index + 1);
    owner->setPlayPosition(true, 0.0);
}

void CourseModel::mergeSentences(int index)
{
    if (!isValidIndex(index))
        return;

    const int next = index + 1;
    if (!isValidIndex(next))
    {
        showRefusal(juce::MessageBoxIconType::InfoIcon, TRANS("Unable to merge sentences."),
                    {TRANS("There isn't a sentence after this one.")});
        return;
    }
    if (GlobalData::samplesToSeconds(getInt(next, StartSamples) - getInt(index, EndSamples)) >=
        longestMergedGapSeconds)
    {
        showRefusal(juce::MessageBoxIconType::InfoIcon, TRANS("Unable to merge sentences."),
                    {TRANS("There is a section more than 1s was cut between them.")});
        return;
    }

    const auto foreign =
        getValue(index, EnglishText).toString().trim() + " " + getValue(next, EnglishText).toString();
    const auto native = getValue(index, ChineseText).toString() + getValue(next, ChineseText).toString();
    const bool firstUnfamiliar = getBool(index, NeedReview);
    const bool nextUnfamiliar = getBool(next, NeedReview);
    const int end = getInt(next, EndSamples);
    const int interval = juce::jmin(getInt(index, NextIntervalDays), getInt(next, NextIntervalDays));
    const int reviews = juce::jmin(getInt(index, TotalReviews), getInt(next, TotalReviews));
    const int correct = juce::jmin(getInt(index, CorrectTimes), getInt(next, CorrectTimes));

    undoManager->beginNewTransaction(TRANS("Merge sentences"));
    course.removeChild(next, undoManager);
    setValue(index, EndSamples, end, true);
    setValue(index, EnglishText, foreign, true);
    setValue(index, ChineseText, native, true);
    if (nextUnfamiliar && !firstUnfamiliar)
        setValue(index, NeedReview, true, true);
    setValue(index, NextIntervalDays, interval, true);
    setValue(index, TotalReviews, reviews, true);
    setValue(index, CorrectTimes, correct, true);
    setValue(-1, TotalSentences, getInt(-1, TotalSentences) - 1, true);
    if (firstUnfamiliar && nextUnfamiliar)
        setValue(-1, TotalNeedReview, getInt(-1, TotalNeedReview) - 1, true);
    undoManager->beginNewTransaction();
    owner->layOutPendingViews();
}

void CourseModel::removeSentence(int index)
{
    if (!isValidIndex(index))
        return;

    if (getNumSentences() == 1)
    {
        showRefusal(juce::MessageBoxIconType::WarningIcon, TRANS("Can't remove the only one!"),
                    {TRANS("If you want to clean up this course,"),
                     TRANS("please see 'Give up current course' in system menu.")});
        return;
    }
    if (getBool(index, NeedReview))
    {
        showRefusal(juce::MessageBoxIconType::WarningIcon, TRANS("Can't remove unfamiliar sentence!"),
                    {TRANS("If you really want to remove this unfamiliar sentence,"),
                     TRANS("please abolish its unfamiliar status first (exit review)."), juce::String(),
                     TRANS("Double click this sentence on page or press 'Ctrl + J'.")});
        return;
    }

    const int sampleCount = getInt(index, EndSamples) - getInt(index, StartSamples) + 1;
    undoManager->beginNewTransaction(TRANS("Remove sentence"));
    course.removeChild(index, undoManager);
    setValue(-1, TotalSentences, getInt(-1, TotalSentences) - 1, true);
    // The neighbours stay where they are: the removed audio becomes a gap that is skipped.
    setValue(-1, CourseLength, getInt(-1, CourseLength) - sampleCount, true);
    undoManager->beginNewTransaction();
    owner->layOutPendingViews();
}

int CourseModel::shortestPartSamples() const
{
    return (int)(reader->sampleRate * shortestPartSeconds);
}

void CourseModel::setSentenceStart(int index, int startSample)
{
    if (!isValidIndex(index) || reader == nullptr)
        return;

    const int old = getInt(index, StartSamples);
    const int shortest = shortestPartSamples();
    // A later start never leaves the sentence shorter than a drag of its edge could make it:
    // a step key on a short sentence would otherwise put its start after its end.
    if (startSample > old)
        startSample = juce::jmin(startSample, juce::jmax(old, getInt(index, EndSamples) - (shortest + 1)));

    undoManager->beginNewTransaction(TRANS("Adjust the sentence's start"));
    if (index > 0 && systemModel->effOtherWhenAdjust)
    {
        // The previous sentence follows, keeping at least its shortest length.
        const int previous = index - 1;
        const int limit = getInt(previous, StartSamples) + shortest + 1;
        setValue(previous, EndSamples, juce::jmax(limit, getInt(previous, EndSamples) + (startSample - old)),
                 true);
        setValue(index, StartSamples, juce::jmax(limit + 1, startSample), true);
    }
    else
    {
        const int stored = juce::jmax(0, startSample);
        setValue(index, StartSamples, stored, true);
        setValue(-1, CourseLength, getInt(-1, CourseLength) + (old - stored), true);
    }
    undoManager->beginNewTransaction();

    resyncBoundaries(index);
}

void CourseModel::setSentenceEnd(int index, int endSample)
{
    if (!isValidIndex(index) || reader == nullptr)
        return;

    const int old = getInt(index, EndSamples);
    const int shortest = shortestPartSamples();
    if (endSample < old)
        endSample = juce::jmax(endSample, juce::jmin(old, getInt(index, StartSamples) + shortest + 1));

    undoManager->beginNewTransaction(TRANS("Adjust the sentence's ending"));
    if (index < getNumSentences() - 1 && systemModel->effOtherWhenAdjust)
    {
        // The next sentence follows, keeping at least its shortest length.
        const int next = index + 1;
        const int nextEnd = getInt(next, EndSamples);
        setValue(next, StartSamples,
                 juce::jmin(nextEnd - shortest, getInt(next, StartSamples) + (endSample - old)), true);
        setValue(index, EndSamples, juce::jmin(nextEnd - shortest - 1, endSample), true);
    }
    else
    {
        const int stored = juce::jmin((int)reader->lengthInSamples, endSample);
        setValue(index, EndSamples, stored, true);
        setValue(-1, CourseLength, getInt(-1, CourseLength) + (stored - old), true);
    }
    undoManager->beginNewTransaction();

    resyncBoundaries(index);
}

void CourseModel::resyncBoundaries(int index)
{
    // A dragged view already shows its new boundary. When the stored one did not change (the move
    // was held at a limit it had already reached) no change callback puts the view back.
    auto* thumb = thumbs[index];
    if (thumb == nullptr)
        return;
    const int start = getInt(index, StartSamples);
    const int end = getInt(index, EndSamples);
    if (thumb->start == start && thumb->end == end)
        return;
    thumb->setStartSamples(start);
    thumb->setEndSamples(end);
    owner->resizeViews();
}

void CourseModel::changeCurrentSentenceStart(int samples)
{
    if (isValidIndex(selected))
        setSentenceStart(selected, getInt(selected, StartSamples) + samples);
}

void CourseModel::changeCurrentSentenceEnd(int samples)
{
    if (isValidIndex(selected))
        setSentenceEnd(selected, getInt(selected, EndSamples) + samples);
}
