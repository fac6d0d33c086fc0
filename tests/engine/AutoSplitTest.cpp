// The automatic split of the selected sentence: where the cuts fall in a recording whose pauses
// lie at known places inside a sentence that starts part-way into the course, the one undo step
// that replaces the sentence by its pieces, and the refusal when too few cuts are left.
#include "engine/CourseModel.h"

#include "engine/DocumentManager.h"
#include "engine/SystemModel.h"
#include "harness/AudioFixtures.h"
#include "harness/ModalAnswerer.h"
#include "harness/OpenCourse.h"
#include "workspace/Main.h"
#include "workspace/sentences/PageSentence.h"

#include <gtest/gtest.h>

namespace
{
using Sentence = OpenCourse::Sentence;

constexpr int rate = OpenCourse::rate;
// The selected sentence starts here, on no block boundary of the course.
constexpr int sentenceStart = 44137;
constexpr int courseTail = 44100;

/** The sentence's audio, voiced stretches and pauses in turn (samples). With the default
    settings a block is 11025 samples (0.25 s), counted from the sentence's first sample, and a
    later piece starts 7938 samples (0.18 s) before its sound:
    - pause D, 0.6 s at 40000: silent blocks end at 66150, within the first 2 s: dropped;
    - pause A, 0.2 s at 140000: holds no whole block;
    - pause B, 0.6 s at 260000: one silent block, ending at 275625: cut at 267687;
    - pause E, 0.6 s at 330000: blocks end at 352800, cut 344862 is within 2 s of B's: dropped;
    - pause C, 1.0 s at 400000: three silent blocks in a run, ending at 441000: cut at 433062;
    - pause F, 0.6 s at 560000: two blocks, ending at 584325: cut at 576387;
    - the tail, 0.8 s at 680000: the last cut, dropped. */
const std::vector<int> sentenceParts = {40000, 26460, 73540, 8820,   111180, 26460, 43540,
                                        26460, 43540, 44100, 115900, 26460,  93540, 35280};
const std::vector<int> expectedCuts = {sentenceStart + 267687, sentenceStart + 433062,
                                       sentenceStart + 576387};

int lengthOf(const std::vector<int>& parts)
{
    int total = 0;
    for (const int part : parts)
        total += part;
    return total;
}

/** A course of three sentences: a voiced opening, the sentence of the given parts (voiced first),
    a voiced end. */
juce::AudioBuffer<float> courseAudio(std::vector<int> lengths, float pauseNoise)
{
    lengths.front() += sentenceStart;
    if (lengths.size() % 2 == 0)
        lengths.push_back(courseTail);
    else
        lengths.back() += courseTail;
    return AudioFixtures::voicedAndPauses(rate, lengths, pauseNoise);
}

std::vector<Sentence> threeSentences(int middleLength)
{
    auto sentences = OpenCourse::contiguous({sentenceStart, middleLength, courseTail});
    sentences[1].foreign = "The whole paragraph";
    sentences[1].native = juce::String::fromUTF8("整段");
    sentences[1].reviews = 2;
    sentences[1].correct = 1;
    return sentences;
}

class AutoSplitTest : public testing::Test
{
protected:
    /** Opens the course over the sentence parts, with the middle sentence selected. */
    void open(const std::vector<int>& parts, float pauseNoise = 0.0f)
    {
        // One course at a time, each in a temporary folder of its own making.
        course.reset();
        DocumentManager::TempDir().deleteRecursively();
        course = std::make_unique<OpenCourse>(courseAudio(parts, pauseNoise));
        ASSERT_TRUE(course->workingSet().wasCreated());
        ASSERT_TRUE(course->open(threeSentences(lengthOf(parts))));
        model().selectSentence(1, true);
        undoManager->clearUndoHistory();
    }

    CourseModel& model() { return course->model(); }
    int intOf(int index, const juce::Identifier& key) { return course->intOf(index, key); }

    /** The middle sentence's pieces as they stand: their starts and ends, in order. */
    std::vector<std::pair<int, int>> ranges()
    {
        std::vector<std::pair<int, int>> result;
        for (int i = 0; i < model().getNumSentences(); ++i)
            result.emplace_back(intOf(i, CourseModel::StartSamples), intOf(i, CourseModel::EndSamples));
        return result;
    }

    /** Runs the command, letting its progress window run, with the further answers given. */
    void autoSplit(ModalAnswerer& answerer)
    {
        model().autoSplitSelectedSentence();
        EXPECT_TRUE(answerer.waitUntilSeen(1, 10000));
        answerer.expectDone();
    }

    std::unique_ptr<OpenCourse> course;
};

/** The sentences that the cuts make of the middle sentence, between the two others. */
std::vector<std::pair<int, int>> splitAt(const std::vector<int>& cuts, int sentenceEnd)
{
    std::vector<std::pair<int, int>> result{{0, sentenceStart - 1}};
    int start = sentenceStart;
    for (const int cut : cuts)
    {
        result.emplace_back(start, cut);
        start = cut + 1;
    }
    result.emplace_back(start, sentenceEnd);
    result.emplace_back(sentenceEnd + 1, sentenceEnd + courseTail);
    return result;
}

void expectRefusal(const ModalAnswerer& answerer)
{
    ASSERT_EQ(answerer.seen().size(), 2u);
    EXPECT_EQ(answerer.seen()[0].kind, ModalAnswerer::Kind::progress);
    EXPECT_EQ(answerer.seen()[0].title, TRANS("Please wait..."));
    const auto& box = answerer.seen()[1];
    EXPECT_EQ(box.title, TRANS("Sorry, can't split this sentence"));
    EXPECT_EQ(box.message, TRANS("Maybe not appropriate settings about auto-split in preferences,") + "\r\n" +
                               TRANS("or the waveform is too incomprehensible to analysis,") + "\r\n" +
                               TRANS("or this sentence is not necessary to split."));
    EXPECT_EQ(box.icon, juce::MessageBoxIconType::InfoIcon);
}
} // namespace

//==============================================================================
TEST_F(AutoSplitTest, CutsFallWhereTheBlocksTheLeadAndTheLengthRulesPutThem)
{
    // Pauses of faint noise count as silent at the default level, as pauses of exact zeros do.
    for (const float pauseNoise : {0.0f, 0.001f})
    {
        SCOPED_TRACE(pauseNoise);
        open(sentenceParts, pauseNoise);
        const int end = intOf(1, CourseModel::EndSamples);
        ModalAnswerer answerer;
        answerer.letProgressRun();
        autoSplit(answerer);

        EXPECT_EQ(ranges(), splitAt(expectedCuts, end));
        EXPECT_EQ(course->viewsOutOfStep(), "");
    }
}

TEST_F(AutoSplitTest, IsOneUndoStepThatKeepsTheFirstPiecesDataAndSelectsIt)
{
    open(sentenceParts);
    const auto before = model().getCourseTree().createCopy();
    const int end = intOf(1, CourseModel::EndSamples);
    ModalAnswerer answerer;
    answerer.letProgressRun();
    autoSplit(answerer);

    ASSERT_EQ(model().getNumSentences(), 6);
    EXPECT_EQ(intOf(-1, CourseModel::TotalSentences), 6);
    EXPECT_EQ(model().getSelectedIndex(), 1);
    EXPECT_TRUE(course->thumb(1).selected && course->page(1).selected);
    EXPECT_FALSE(course->thumb(2).selected || course->page(4).selected);
    EXPECT_EQ(course->textOf(1, CourseModel::EnglishText), "The whole paragraph");
    EXPECT_EQ(intOf(1, CourseModel::TotalReviews), 2);
    for (int i = 2; i <= 4; ++i)
    {
        EXPECT_EQ(course->textOf(i, CourseModel::EnglishText), "") << i;
        EXPECT_EQ(intOf(i, CourseModel::TotalReviews), 0) << i;
    }
    EXPECT_EQ(undoManager->getUndoDescription(), TRANS("Auto split sentence"));
    const auto after = model().getCourseTree().createCopy();

    // A later change makes a step of its own.
    model().setValue(2, CourseModel::EnglishText, "typed", true);
    undoManager->undo();
    EXPECT_EQ(undoManager->getUndoDescription(), TRANS("Auto split sentence"));

    undoManager->undo();
    EXPECT_TRUE(model().getCourseTree().isEquivalentTo(before));
    EXPECT_EQ(course->viewsOutOfStep(), "");
    EXPECT_EQ(ranges(), splitAt({}, end));

    undoManager->redo();
    EXPECT_TRUE(model().getCourseTree().isEquivalentTo(after));
    EXPECT_EQ(course->viewsOutOfStep(), "");
}

TEST_F(AutoSplitTest, TooFewCutsAreRefusedAndChangeNothing)
{
    const auto noisyPauses = [] { systemModel->autoSplitIntervalMinLevel = -100.0f; };
    const struct
    {
        const char* what;
        std::vector<int> parts;
        float pauseNoise;
        std::function<void()> settings;
    } cases[] = {
        // The one cut found is the last one, which always goes.
        {"a single inner pause", {132300, 44100, 132300}, 0.0f, {}},
        // At -100 dB only exact zeros are silent.
        {"faint noise at -100 dB", sentenceParts, 0.001f, noisyPauses},
        // Everything is silent: one run of blocks, whose cut is the last.
        {"a level above 0 dB", sentenceParts, 0.0f, [] { systemModel->autoSplitIntervalMinLevel = 6.0f; }},
        {"a shortest piece longer than the sentence", sentenceParts, 0.0f,
         [] { systemModel->autoSplitSentenceMinLength = 60.0; }},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        open(c.parts, c.pauseNoise);
        if (c.settings)
            c.settings();
        const auto before = model().getCourseTree().createCopy();

        ModalAnswerer answerer;
        answerer.letProgressRun();
        answerer.press(TRANS("OK"));
        model().autoSplitSelectedSentence();
        EXPECT_TRUE(answerer.waitUntilSeen(2, 10000));
        answerer.expectDone();

        expectRefusal(answerer);
        EXPECT_TRUE(model().getCourseTree().isEquivalentTo(before));
        EXPECT_FALSE(undoManager->canUndo());
    }

    // Exact zeros are silent at -100 dB.
    open(sentenceParts);
    noisyPauses();
    const int end = intOf(1, CourseModel::EndSamples);
    ModalAnswerer answerer;
    answerer.letProgressRun();
    autoSplit(answerer);
    EXPECT_EQ(ranges(), splitAt(expectedCuts, end));
}
