// Sentence editing: split, merge, remove, boundary moves and texts, each one named undo step
// whose undo and redo bring the tree and both views of every sentence back; and every refusal,
// which shows its box and changes nothing.
#include "engine/CourseModel.h"

#include "engine/SystemModel.h"
#include "harness/ModalAnswerer.h"
#include "harness/OpenCourse.h"
#include "workspace/Main.h"
#include "workspace/sentences/PageSentence.h"

#include <gtest/gtest.h>

namespace
{
using Sentence = OpenCourse::Sentence;
using Edit = std::function<void(CourseModel&)>;

constexpr int second = OpenCourse::rate;
// 0.3 s of the course audio, truncated to samples: what a boundary move leaves a neighbour.
constexpr int shortest = 13230;

/** Five sentences of one second each, back to back, with texts. */
std::vector<Sentence> fiveSentences()
{
    auto sentences = OpenCourse::contiguous({second, second, second, second, second});
    const char* foreign[] = {"one ", "two", "three", "four", "five"};
    for (size_t i = 0; i < sentences.size(); ++i)
    {
        sentences[i].foreign = foreign[i];
        sentences[i].native = juce::String::fromUTF8("句") + juce::String((int)i);
    }
    return sentences;
}

class SentenceEditingTest : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(course.workingSet().wasCreated()); }

    CourseModel& model() { return course.model(); }
    int intOf(int index, const juce::Identifier& key) { return course.intOf(index, key); }
    juce::String textOf(int index, const juce::Identifier& key) { return course.textOf(index, key); }
    juce::ValueTree snapshot() { return model().getCourseTree().createCopy(); }
    bool treeIs(const juce::ValueTree& expected) { return model().getCourseTree().isEquivalentTo(expected); }

    OpenCourse course;
};

//==============================================================================
TEST_F(SentenceEditingTest, RefusalsShowTheirBoxAndChangeNothing)
{
    auto oneSentence = OpenCourse::contiguous({3 * second});
    // The first sentence lasts exactly one second (from sample 0 to sample 44100).
    auto splittable = OpenCourse::contiguous({second + 1, second});
    auto gapOfOneSecond = OpenCourse::contiguous({second, second});
    gapOfOneSecond[1].start += second - 1;
    gapOfOneSecond[1].end += second - 1;
    auto unfamiliarSecond = fiveSentences();
    unfamiliarSecond[1].unfamiliar = true;

    const auto tooShort = TRANS("It's too short to split it.");
    const auto tooShortText = TRANS("A sentence must be more than 0.3s!");
    const auto noMerge = TRANS("Unable to merge sentences.");
    const auto noNext = TRANS("There isn't a sentence after this one.");
    const auto onlyOne = TRANS("If you want to clean up this course,") + "\r\n" +
                         TRANS("please see 'Give up current course' in system menu.");
    const auto unfamiliarText = TRANS("If you really want to remove this unfamiliar sentence,") + "\r\n" +
                                TRANS("please abolish its unfamiliar status first (exit review).") +
                                "\r\n\r\n" + TRANS("Double click this sentence on page or press 'Ctrl + J'.");
    using Icon = juce::MessageBoxIconType;

    const struct
    {
        const char* what;
        std::vector<Sentence> sentences;
        Edit edit;
        Icon icon;
        juce::String title;
        juce::String message;
    } cases[] = {
        {"split: first part of 0.3 s", splittable, [](CourseModel& m) { m.splitSentence(0, shortest); },
         Icon::WarningIcon, tooShort, tooShortText},
        {"split: second part of 0.3 s", splittable,
         [](CourseModel& m) { m.splitSentence(0, second - shortest); }, Icon::WarningIcon, tooShort,
         tooShortText},
        {"split at the start", splittable, [](CourseModel& m) { m.splitSentence(0, 0); }, Icon::WarningIcon,
         tooShort, tooShortText},
        {"split before the start", splittable, [](CourseModel& m) { m.splitSentence(0, -2 * second); },
         Icon::WarningIcon, tooShort, tooShortText},
        {"split past the end", splittable, [](CourseModel& m) { m.splitSentence(0, 2 * second); },
         Icon::WarningIcon, tooShort, tooShortText},
        {"merge the last sentence", fiveSentences(), [](CourseModel& m) { m.mergeSentences(4); },
         Icon::InfoIcon, noMerge, noNext},
        {"merge the only sentence", oneSentence, [](CourseModel& m) { m.mergeSentences(0); }, Icon::InfoIcon,
         noMerge, noNext},
        {"merge across a cut of 1 s", gapOfOneSecond, [](CourseModel& m) { m.mergeSentences(0); },
         Icon::InfoIcon, noMerge, TRANS("There is a section more than 1s was cut between them.")},
        {"remove the only sentence", oneSentence, [](CourseModel& m) { m.removeSentence(0); },
         Icon::WarningIcon, TRANS("Can't remove the only one!"), onlyOne},
        {"remove an unfamiliar sentence", unfamiliarSecond, [](CourseModel& m) { m.removeSentence(1); },
         Icon::WarningIcon, TRANS("Can't remove unfamiliar sentence!"), unfamiliarText},
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(course.open(c.sentences));
        const auto before = snapshot();

        ModalAnswerer answerer;
        answerer.press(TRANS("OK"));
        c.edit(model());
        ASSERT_EQ(answerer.seen().size(), 1u);
        EXPECT_EQ(answerer.seen()[0].icon, c.icon);
        EXPECT_EQ(answerer.seen()[0].title, c.title);
        EXPECT_EQ(answerer.seen()[0].message, c.message);

        EXPECT_TRUE(treeIs(before));
        EXPECT_EQ(course.viewsOutOfStep(), "");
        EXPECT_FALSE(undoManager->canUndo());
    }
}

TEST_F(SentenceEditingTest, EditsJustInsideTheirLimitsAreMade)
{
    auto gapJustUnderOneSecond = OpenCourse::contiguous({second, second});
    gapJustUnderOneSecond[1].start += second - 2;
    gapJustUnderOneSecond[1].end += second - 2;
    const int justOver = shortest + 441; // 0.31 s

    const struct
    {
        const char* what;
        std::vector<Sentence> sentences;
        Edit edit;
        int sentencesAfter;
    } cases[] = {
        {"split with a first part of 0.31 s", OpenCourse::contiguous({second + 1}),
         [=](CourseModel& m) { m.splitSentence(0, justOver); }, 2},
        {"split with a second part of 0.31 s", OpenCourse::contiguous({second + 1}),
         [=](CourseModel& m) { m.splitSentence(0, second - justOver); }, 2},
        {"merge across a cut just under 1 s", gapJustUnderOneSecond,
         [](CourseModel& m) { m.mergeSentences(0); }, 1},
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(course.open(c.sentences));
        c.edit(model()); // a box here would fail the test
        EXPECT_EQ(model().getNumSentences(), c.sentencesAfter);
        EXPECT_EQ(course.viewsOutOfStep(), "");
    }
}

//==============================================================================
TEST_F(SentenceEditingTest, SplitKeepsTheFirstPartsDataAndSelectsTheSecondPart)
{
    auto sentences = fiveSentences();
    sentences[2].unfamiliar = true;
    sentences[2].intervalDays = 5;
    sentences[2].reviewDate = "3 Mar 2030";
    ASSERT_TRUE(course.open(sentences));
    const auto before = snapshot();
    const int start = intOf(2, CourseModel::StartSamples);
    const int end = intOf(2, CourseModel::EndSamples);

    model().splitSentence(2, 20000);

    ASSERT_EQ(model().getNumSentences(), 6);
    EXPECT_EQ(intOf(2, CourseModel::EndSamples), start + 20000);
    EXPECT_EQ(intOf(3, CourseModel::StartSamples), start + 20001);
    EXPECT_EQ(intOf(3, CourseModel::EndSamples), end);
    EXPECT_EQ(textOf(2, CourseModel::EnglishText), "three");
    EXPECT_TRUE((bool)model().getValue(2, CourseModel::NeedReview));
    EXPECT_EQ(intOf(2, CourseModel::NextIntervalDays), 5);
    EXPECT_EQ(textOf(3, CourseModel::EnglishText), "");
    EXPECT_FALSE((bool)model().getValue(3, CourseModel::NeedReview));
    EXPECT_EQ(intOf(-1, CourseModel::TotalSentences), 6);
    EXPECT_EQ(model().getSelectedIndex(), 3);
    EXPECT_TRUE(course.thumb(3).selected && course.page(3).selected && !course.thumb(2).selected);
    EXPECT_EQ(course.viewsOutOfStep(), "");

    undoManager->undo();
    EXPECT_TRUE(treeIs(before));
    EXPECT_EQ(model().getThumbs().size(), 5);
    EXPECT_EQ(course.viewsOutOfStep(), "");

    undoManager->redo();
    EXPECT_EQ(model().getNumSentences(), 6);
    EXPECT_EQ(course.viewsOutOfStep(), "");
}

TEST_F(SentenceEditingTest, SplitFromADoubleClickOnTheStripTurnsThePixelIntoSamples)
{
    ASSERT_TRUE(course.open(fiveSentences()));
    // 70 px are one second at zoom 1; 35 px are half a second into the block.
    model().splitThumbSentence(&course.thumb(1), 35);
    ASSERT_EQ(model().getNumSentences(), 6);
    EXPECT_EQ(intOf(1, CourseModel::EndSamples), second + second / 2);
}

//==============================================================================
TEST_F(SentenceEditingTest, MergeJoinsTextsAndReviewData)
{
    const struct
    {
        const char* what;
        const char* firstForeign;
        const char* nextForeign;
        const char* joinedForeign;
        bool firstUnfamiliar, nextUnfamiliar;
        int totalNeedReviewChange;
    } cases[] = {
        {"blanks around the first text are dropped", "  Hello there  ", "world", "Hello there world", false,
         false, 0},
        {"the next text is kept as it is", "Hello", " world ", "Hello  world ", false, false, 0},
        {"familiar with an unfamiliar next one", "a", "b", "a b", false, true, 0},
        {"unfamiliar with a familiar next one", "a", "b", "a b", true, false, 0},
        {"two unfamiliar ones", "a", "b", "a b", true, true, -1},
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        auto sentences = fiveSentences();
        sentences[1].foreign = c.firstForeign;
        sentences[2].foreign = c.nextForeign;
        sentences[1].native = juce::String::fromUTF8("你好 ");
        sentences[2].native = juce::String::fromUTF8(" 世界");
        sentences[1].unfamiliar = c.firstUnfamiliar;
        sentences[2].unfamiliar = c.nextUnfamiliar;
        sentences[1].intervalDays = 5;
        sentences[2].intervalDays = 2;
        sentences[1].reviews = 3;
        sentences[2].reviews = 0;
        sentences[1].correct = -1;
        sentences[2].correct = 4;
        sentences[1].reviewDate = "5 May 2031";
        sentences[2].reviewDate = "1 Jan 2020";
        ASSERT_TRUE(course.open(sentences));
        const int needReview = intOf(-1, CourseModel::TotalNeedReview);
        const int nextEnd = intOf(2, CourseModel::EndSamples);

        model().mergeSentences(1);

        ASSERT_EQ(model().getNumSentences(), 4);
        EXPECT_EQ(intOf(1, CourseModel::EndSamples), nextEnd);
        EXPECT_EQ(textOf(1, CourseModel::EnglishText), c.joinedForeign);
        EXPECT_EQ(textOf(1, CourseModel::ChineseText), juce::String::fromUTF8("你好  世界"));
        EXPECT_EQ((bool)model().getValue(1, CourseModel::NeedReview), c.firstUnfamiliar || c.nextUnfamiliar);
        EXPECT_EQ(intOf(1, CourseModel::NextIntervalDays), 2);
        EXPECT_EQ(intOf(1, CourseModel::TotalReviews), 0);
        EXPECT_EQ(intOf(1, CourseModel::CorrectTimes), -1);
        EXPECT_EQ(textOf(1, CourseModel::NextReviewDate), "5 May 2031");
        EXPECT_EQ(intOf(-1, CourseModel::TotalSentences), 4);
        EXPECT_EQ(intOf(-1, CourseModel::TotalNeedReview), needReview + c.totalNeedReviewChange);
        EXPECT_EQ(textOf(2, CourseModel::EnglishText), "four");
        EXPECT_EQ(course.viewsOutOfStep(), "");
    }
}

TEST_F(SentenceEditingTest, UndoOfAMergeBringsBothSentencesBackAndSelectsTheRestoredOne)
{
    auto sentences = fiveSentences();
    sentences[3].unfamiliar = true;
    sentences[3].reviews = 2;
    ASSERT_TRUE(course.open(sentences));
    const auto before = snapshot();

    model().mergeSentences(2);
    ASSERT_EQ(model().getThumbs().size(), 4);
    EXPECT_TRUE(course.thumb(2).needsReview);

    undoManager->undo();
    EXPECT_TRUE(treeIs(before));
    EXPECT_EQ(model().getThumbs().size(), 5);
    EXPECT_EQ(course.viewsOutOfStep(), "");
    EXPECT_FALSE(course.thumb(2).needsReview);
    EXPECT_TRUE(course.page(3).needsReview);
    EXPECT_EQ(course.page(3).getTextField(true).getText(), "four");
    EXPECT_EQ(model().getSelectedIndex(), 3);

    undoManager->redo();
    EXPECT_EQ(model().getThumbs().size(), 4);
    EXPECT_EQ(course.viewsOutOfStep(), "");
}

//==============================================================================
TEST_F(SentenceEditingTest, RemoveLeavesAGapAndShortensTheCourse)
{
    ASSERT_TRUE(course.open(fiveSentences()));
    const auto before = snapshot();
    const int length = intOf(-1, CourseModel::CourseLength);
    const int nextStart = intOf(3, CourseModel::StartSamples);

    model().removeSentence(2);
    ASSERT_EQ(model().getNumSentences(), 4);
    EXPECT_EQ(intOf(-1, CourseModel::CourseLength), length - second);
    EXPECT_EQ(intOf(-1, CourseModel::TotalSentences), 4);
    EXPECT_EQ(intOf(2, CourseModel::StartSamples), nextStart);
    EXPECT_EQ(textOf(2, CourseModel::EnglishText), "four");
    EXPECT_EQ(model().getSelectedIndex(), 2);
    EXPECT_EQ(course.viewsOutOfStep(), "");

    // The last one: the selection moves to the one before.
    model().removeSentence(3);
    EXPECT_EQ(model().getSelectedIndex(), 2);

    undoManager->undo();
    undoManager->undo();
    EXPECT_TRUE(treeIs(before));
    EXPECT_EQ(model().getThumbs().size(), 5);
    EXPECT_EQ(course.viewsOutOfStep(), "");
}

//==============================================================================
TEST_F(SentenceEditingTest, BoundaryMovesFollowTheirLimits)
{
    // Sentence k spans k seconds to one sample before k + 1 seconds.
    const int audioLength = 10 * second;
    struct Expect
    {
        int index;
        bool start;
        int value;
    };
    const struct
    {
        const char* what;
        bool effectOnNeighbour;
        bool start;
        int index;
        int target;
        std::vector<Expect> expected;
        int lengthChange;
    } cases[] = {
        {"start earlier, the previous end follows",
         true,
         true,
         2,
         2 * second - 2205,
         {{1, false, 2 * second - 2206}, {2, true, 2 * second - 2205}},
         0},
        {"start later, the previous end follows",
         true,
         true,
         2,
         2 * second + 4410,
         {{1, false, 2 * second + 4409}, {2, true, 2 * second + 4410}},
         0},
        {"start deep into the previous sentence stops 0.3 s and two samples after its start",
         true,
         true,
         2,
         second + 1000,
         {{1, false, second + shortest + 1}, {2, true, second + shortest + 2}},
         0},
        {"first start below 0 stays at 0", true, true, 0, -500, {{0, true, 0}}, 0},
        {"first start later shortens the course", true, true, 0, 1000, {{0, true, 1000}}, -1000},
        {"start 0.5 s earlier without the neighbour lengthens the course",
         false,
         true,
         2,
         2 * second - second / 2,
         {{1, false, 2 * second - 1}, {2, true, 2 * second - second / 2}},
         second / 2},
        {"start below 0 without the neighbour",
         false,
         true,
         2,
         -10,
         {{1, false, 2 * second - 1}, {2, true, 0}},
         2 * second},
        {"end later, the next start follows",
         true,
         false,
         1,
         2 * second - 1 + 4410,
         {{1, false, 2 * second + 4409}, {2, true, 2 * second + 4410}},
         0},
        {"end deep into the next sentence keeps 0.3 s of it",
         true,
         false,
         1,
         3 * second - 100,
         {{1, false, 3 * second - 1 - shortest - 1}, {2, true, 3 * second - 1 - shortest}},
         0},
        {"last end past the audio stops at its length",
         true,
         false,
         4,
         audioLength + 5000,
         {{4, false, audioLength}},
         audioLength - (5 * second - 1)},
        {"end later without the neighbour",
         false,
         false,
         1,
         2 * second - 1 + second / 2,
         {{1, false, 2 * second - 1 + second / 2}, {2, true, 2 * second}},
         second / 2},
        {"end earlier without the neighbour",
         false,
         false,
         1,
         2 * second - 1 - 4410,
         {{1, false, 2 * second - 1 - 4410}, {2, true, 2 * second}},
         -4410},
        // A step key on a short sentence must not turn it inside out: the moved boundary stops
        // where the shortest sentence a drag can make ends.
        {"start past its own end stops at the shortest sentence",
         false,
         true,
         2,
         4 * second,
         {{2, true, 3 * second - 1 - shortest - 1}},
         -(second - shortest - 2)},
        {"end before its own start stops at the shortest sentence",
         true,
         false,
         2,
         0,
         {{2, false, 2 * second + shortest + 1}, {3, true, 2 * second + shortest + 2}},
         0},
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        systemModel->effOtherWhenAdjust = c.effectOnNeighbour;
        ASSERT_TRUE(course.open(fiveSentences()));
        const auto before = snapshot();
        const int length = intOf(-1, CourseModel::CourseLength);

        if (c.start)
            model().setSentenceStart(c.index, c.target);
        else
            model().setSentenceEnd(c.index, c.target);

        for (const auto& e : c.expected)
            EXPECT_EQ(intOf(e.index, e.start ? CourseModel::StartSamples : CourseModel::EndSamples), e.value)
                << "sentence " << e.index << (e.start ? " start" : " end");
        EXPECT_EQ(intOf(-1, CourseModel::CourseLength), length + c.lengthChange);
        EXPECT_EQ(model().getSelectedIndex(), c.index);
        EXPECT_EQ(course.viewsOutOfStep(), "");
        // A move that changes nothing records nothing.
        if (!treeIs(before))
        {
            EXPECT_EQ(undoManager->getUndoDescription(),
                      c.start ? TRANS("Adjust the sentence's start") : TRANS("Adjust the sentence's ending"));
        }

        undoManager->undo();
        EXPECT_TRUE(treeIs(before));
        EXPECT_EQ(course.viewsOutOfStep(), "");
    }
}

TEST_F(SentenceEditingTest, StepKeysMoveTheSelectedSentence)
{
    systemModel->effOtherWhenAdjust = true;
    ASSERT_TRUE(course.open(fiveSentences()));
    model().selectSentence(3, true);

    model().changeCurrentSentenceStart(-2205);
    EXPECT_EQ(intOf(3, CourseModel::StartSamples), 3 * second - 2205);
    EXPECT_EQ(intOf(2, CourseModel::EndSamples), 3 * second - 2206);

    model().changeCurrentSentenceEnd(4410);
    EXPECT_EQ(intOf(3, CourseModel::EndSamples), 4 * second - 1 + 4410);
    EXPECT_EQ(intOf(4, CourseModel::StartSamples), 4 * second + 4410);
}

TEST_F(SentenceEditingTest, DraggedEdgeHeldAtALimitShowsTheStoredBoundaryAgain)
{
    systemModel->effOtherWhenAdjust = true;
    ASSERT_TRUE(course.open(fiveSentences()));
    auto& dragged = course.thumb(2);

    // The first drag deep into the previous sentence stops at its limit; a second one changes
    // nothing in the tree, but the block that shows the dragged start must come back.
    for (int attempt = 0; attempt < 2; ++attempt)
    {
        SCOPED_TRACE(attempt);
        dragged.setStartSamples(second + 500);
        model().startChanged(&dragged);
        EXPECT_EQ(intOf(2, CourseModel::StartSamples), second + shortest + 2);
        EXPECT_EQ(course.viewsOutOfStep(), "");
    }

    dragged.setEndSamples(4 * second);
    model().endChanged(&dragged);
    EXPECT_EQ(intOf(2, CourseModel::EndSamples), 4 * second - 1 - shortest - 1);
    EXPECT_EQ(course.viewsOutOfStep(), "");
}

//==============================================================================
TEST_F(SentenceEditingTest, TextEditsAreStoredAsOneStepEach)
{
    ASSERT_TRUE(course.open(fiveSentences()));

    model().orginTextChanged(&course.page(1), "typed", false);
    EXPECT_EQ(textOf(1, CourseModel::EnglishText), "typed");
    EXPECT_EQ(undoManager->getUndoDescription(), TRANS("Input / edit foreign text"));

    const auto native = juce::String::fromUTF8("输入");
    model().transTextChanged(&course.page(1), native, false);
    EXPECT_EQ(textOf(1, CourseModel::ChineseText), native);
    EXPECT_EQ(undoManager->getUndoDescription(), TRANS("Input / edit native text"));

    undoManager->undo();
    EXPECT_EQ(textOf(1, CourseModel::ChineseText), juce::String::fromUTF8("句1"));
    EXPECT_EQ(textOf(1, CourseModel::EnglishText), "typed");
    undoManager->undo();
    EXPECT_EQ(course.page(1).getTextField(true).getText(), "two");
    EXPECT_FALSE(undoManager->canUndo());

    // The same text again records nothing.
    model().orginTextChanged(&course.page(1), "two", false);
    EXPECT_FALSE(undoManager->canUndo());

    // A field edited on the page reports through the view.
    course.page(4).setOrginText("from the field", true);
    EXPECT_EQ(textOf(4, CourseModel::EnglishText), "from the field");
}

TEST_F(SentenceEditingTest, MovingOnOpensTheNextTextField)
{
    ASSERT_TRUE(course.open(fiveSentences()));
    const struct
    {
        const char* what;
        int index;
        bool foreign;
        int nextIndex;
        bool nextForeign;
    } cases[] = {
        {"foreign text to the next foreign text", 1, true, 2, true},
        {"native text to the next native text", 2, false, 3, false},
        {"after the last foreign text, the first native text", 4, true, 0, false},
        {"after the last native text, the first foreign text", 4, false, 0, true},
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        if (c.foreign)
            model().orginTextChanged(&course.page(c.index), "moved on", true);
        else
            model().transTextChanged(&course.page(c.index), "moved on", true);

        EXPECT_EQ(model().getSelectedIndex(), c.nextIndex);
        auto& field = course.page(c.nextIndex).getTextField(c.nextForeign);
        EXPECT_TRUE(field.isBeingEdited());
        EXPECT_FALSE(course.page(c.nextIndex).getTextField(!c.nextForeign).isBeingEdited());
        field.hideEditor(true);
    }
}

//==============================================================================
TEST_F(SentenceEditingTest, EveryEditIsANamedStepThatALaterChangeDoesNotJoin)
{
    systemModel->effOtherWhenAdjust = true;
    const struct
    {
        const char* name;
        Edit edit;
    } cases[] = {
        {"Split sentence", [](CourseModel& m) { m.splitSentence(1, second / 2); }},
        {"Merge sentences", [](CourseModel& m) { m.mergeSentences(1); }},
        {"Remove sentence", [](CourseModel& m) { m.removeSentence(1); }},
        {"Adjust the sentence's start", [](CourseModel& m) { m.setSentenceStart(1, second - 100); }},
        {"Adjust the sentence's ending", [](CourseModel& m) { m.setSentenceEnd(1, 2 * second + 100); }},
        {"Input / edit foreign text",
         [](CourseModel& m) { m.orginTextChanged(m.getPages().getUnchecked(1), "new", false); }},
        {"Input / edit native text",
         [](CourseModel& m) { m.transTextChanged(m.getPages().getUnchecked(1), "new", false); }},
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(course.open(fiveSentences()));
        const auto before = snapshot();

        c.edit(model());
        EXPECT_EQ(undoManager->getUndoDescription(), juce::translate(c.name));

        // A change made afterwards without a step of its own stays apart from the edit.
        const int last = model().getNumSentences() - 1;
        model().setValue(last, CourseModel::EnglishText, "stray", true);
        undoManager->undo();
        EXPECT_EQ(textOf(last, CourseModel::EnglishText), "five");
        EXPECT_EQ(undoManager->getUndoDescription(), juce::translate(c.name));

        undoManager->undo();
        EXPECT_TRUE(treeIs(before));
        EXPECT_EQ(course.viewsOutOfStep(), "");
    }
}
} // namespace
