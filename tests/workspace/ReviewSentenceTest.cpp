// The review block of a real course and its answer field: what shows for a due sentence, attempts
// counted against the setting with the beep and the "Incorrect!" question, the caret at the first
// wrong character with the rest of the word selected, Escape, the double click, the mouse and the
// red interpretation button.
#include "workspace/sentences/ReviewSentence.h"
#include "engine/Clock.h"
#include "engine/CourseModel.h"
#include "engine/SystemModel.h"
#include "platform/AlertBeep.h"
#include "workspace/Main.h"

#include "harness/CommandWatcher.h"
#include "harness/ModalAnswerer.h"
#include "harness/OpenCourse.h"
#include "harness/SentenceReports.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
using juce::String;

constexpr juce::CommandID interpretCurrentSentence = 0x2005;
const juce::ModifierKeys leftButton(juce::ModifierKeys::leftButtonModifier);

class ReviewSentenceTest : public testing::Test
{
protected:
    ReviewSentenceTest() { Clock::setFixedTime(juce::Time(2017, 3, 2, 15, 30, 7, 0, true)); }
    ~ReviewSentenceTest() override { Clock::clearFixedTime(); }

    void SetUp() override
    {
        ASSERT_TRUE(course.workingSet().writeOggCourseAudio(
            course.workingSet().getCourseText().getSiblingFile(course.workingSet().getStem() + ".ogg")));
        reopen("one two");
    }

    void TearDown() override
    {
        if (course.model().getPages().size() > 1)
            block().removeListener(&reports);
    }

    /** Sentence 0 familiar, sentence 1 unfamiliar and due with that foreign text, sentence 2
        unfamiliar and not due. The model no longer hears sentence 1's block: the test does. */
    void reopen(const String& foreign)
    {
        if (course.model().getNumSentences() > 1)
            block().removeListener(&reports);
        auto sentences = OpenCourse::contiguous({OpenCourse::rate, OpenCourse::rate, OpenCourse::rate});
        sentences[1].foreign = foreign;
        sentences[2].foreign = "three";
        for (size_t i : {1u, 2u})
        {
            sentences[i].unfamiliar = true;
            sentences[i].intervalDays = 2;
        }
        sentences[1].reviewDate = "1 Apr 2017";
        sentences[2].reviewDate = "1 May 2017";
        ASSERT_TRUE(course.open(sentences, 1));
        for (int i = 0; i < 3; ++i)
            review(i).setSize(400, 100);
        block().removeListener(&course.model());
        block().addListener(&reports);
        reports.log.clear();
    }

    ReviewSentence& review(int index) const { return *dynamic_cast<ReviewSentence*>(&course.page(index)); }
    ReviewSentence& block() const { return review(1); }
    TransTextEditor& field() const { return block().getAnswerField(); }

    /** Types the answer into the field as it stands and presses Return there. */
    void answerWith(const String& answer) const
    {
        field().setText(answer, false);
        pressKey(juce::KeyPress::returnKey);
    }

    void pressKey(int keyCode) const
    {
        EXPECT_TRUE(field().keyPressed(juce::KeyPress(keyCode)));
        // The field reports Return and Escape from the message loop.
        CommandWatcher::deliverPostedMessages();
    }

    bool isOpenForInput() const
    {
        return field().isOpenForInput() && field().isCurrentlyModal(false) && !field().isReadOnly() &&
               field().isCaretVisible();
    }

    OpenCourse course;
    SentenceReports reports;
};
} // namespace

TEST_F(ReviewSentenceTest, ADueSentenceShowsAnAnswerFieldAndTheRedButtonInPlaceOfItsText)
{
    const struct
    {
        int index;
        bool asks;
    } cases[] = {{0, false}, {1, true}, {2, false}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE("sentence " + String(c.index));
        auto& view = review(c.index);
        EXPECT_EQ(view.getAnswerField().isVisible(), c.asks);
        EXPECT_EQ(view.getInterpretButton().isVisible(), c.asks);
        EXPECT_EQ(view.getTextField(true).isVisible(), !c.asks);
        EXPECT_TRUE(view.getTextField(false).isVisible());
    }

    EXPECT_EQ(field().getBounds(), juce::Rectangle<int>(25, 30, 370, 35));
    EXPECT_EQ(block().getInterpretButton().getBounds(), juce::Rectangle<int>(1, 4, 22, 22));
    EXPECT_EQ(block().getInterpretButton().getTooltip(), TRANS("Interpret and contrast audition"));
    EXPECT_EQ(block().getInterpretButton().findColour(juce::TextButton::buttonColourId), juce::Colours::red);
    EXPECT_TRUE(block().getInterpretButton().getButtonText().isEmpty());

    // Waiting for its answer: read-only, no caret, no menu, the plain arrow, the settings' font.
    EXPECT_TRUE(field().isReadOnly());
    EXPECT_FALSE(field().isCaretVisible());
    EXPECT_FALSE(field().isPopupMenuEnabled());
    EXPECT_TRUE(field().getMouseCursor() == juce::MouseCursor(juce::MouseCursor::NormalCursor));
    EXPECT_EQ(field().findColour(juce::TextEditor::backgroundColourId).getAlpha(), 0);
    EXPECT_EQ(field().findColour(juce::TextEditor::focusedOutlineColourId),
              systemModel->pageReviewThumbColour.withAlpha(0.6f));
    EXPECT_EQ(field().getFont(), systemModel->foreignFont.withStyle(systemModel->foreignFontStyle));

    // Out of review, the sentence is no longer due, for good.
    block().needReview(false);
    EXPECT_FALSE(block().due);
    EXPECT_FALSE(field().isVisible());
    EXPECT_TRUE(block().getTextField(true).isVisible());
    block().needReview(true);
    EXPECT_FALSE(field().isVisible());
    EXPECT_FALSE(block().enterTranslationOnModal());
}

TEST_F(ReviewSentenceTest, AnswersCountAgainstTheAttemptsAndTheLastReportsTheResult)
{
    enum Choice
    {
        none,
        tryAgain,
        cancel
    };
    struct Step
    {
        const char* answer;
        Choice box;
    };
    const struct
    {
        const char* what;
        bool typed;
        std::vector<Step> steps;
        const char* reports;
        int beeps;
    } cases[] = {
        {"right at once", true, {{"one two", none}}, "successed 1", 0},
        {"blanks around the answer don't count", true, {{"  one two\t ", none}}, "successed 1", 0},
        {"wrong, then right", true, {{"one tow", none}, {"one two", none}}, "successed 1", 1},
        {"letter case counts", true, {{"One two", none}, {"one two", none}}, "successed 1", 1},
        {"right only after the attempts ran out",
         true,
         {{"one tow", none}, {"one tow", tryAgain}, {"one two", none}},
         "failed, successed 0",
         2},
        {"a second try again reports no second failure",
         true,
         {{"x", none}, {"x", tryAgain}, {"x", tryAgain}},
         "failed",
         3},
        {"cancel reports nothing", true, {{"x", none}, {"x", cancel}}, "", 2},
        {"in listening review a right answer is not counted", false, {{"one two", none}}, "successed 0", 0},
        {"in listening review a failure is not reported", false, {{"x", none}, {"x", tryAgain}}, "", 2},
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        systemModel->atMostWhenReviewWrong = 2;
        systemModel->transWhenReview = c.typed;
        reopen("one two");
        ASSERT_TRUE(block().enterTranslationOnModal());
        ASSERT_TRUE(isOpenForInput());

        const int beepsBefore = AlertBeep::getNumRequested();
        int boxes = 0;
        ModalAnswerer answerer;
        for (const auto& step : c.steps)
        {
            if (step.box == tryAgain)
                answerer.press(TRANS("Try again"));
            else if (step.box == cancel)
                answerer.cancel();
            boxes += step.box != none ? 1 : 0;
            answerWith(step.answer);
        }
        answerer.expectDone();

        EXPECT_EQ(reports.text(), c.reports);
        EXPECT_EQ(AlertBeep::getNumRequested() - beepsBefore, c.beeps);
        ASSERT_EQ((int)answerer.seen().size(), boxes);
        for (const auto& box : answerer.seen())
        {
            EXPECT_EQ(box.title, TRANS("Incorrect!"));
            EXPECT_EQ(box.message, TRANS("If you want to know the correct answer,") + "\r\n" +
                                       TRANS("try again or cancel, and please press [ctrl + G]."));
            EXPECT_EQ(box.icon, juce::MessageBoxIconType::InfoIcon);
            EXPECT_EQ(box.buttons, juce::StringArray(TRANS("Try again"), TRANS("Cancel")));
        }

        // A judged answer closes the field; a wrong one keeps it open for the next try.
        const bool closed = String(c.reports).contains("successed") || c.steps.back().box == cancel;
        EXPECT_EQ(isOpenForInput(), !closed);
        EXPECT_EQ(field().isReadOnly(), closed);
    }
}

TEST_F(ReviewSentenceTest, AfterCancelTheAnswerStandsInRedAndBold)
{
    systemModel->atMostWhenReviewWrong = 1;
    reopen("one two");
    ASSERT_TRUE(block().enterTranslationOnModal());
    ModalAnswerer answerer;
    answerer.cancel();
    answerWith("one tow");
    answerer.expectDone();

    EXPECT_FALSE(isOpenForInput());
    EXPECT_EQ(field().findColour(juce::TextEditor::textColourId), juce::Colours::red);
    EXPECT_TRUE(field().getFont().isBold());
    EXPECT_EQ(field().getText(), "one tow");

    // Asked again, the field takes the settings' colour and font back.
    ASSERT_TRUE(block().enterTranslationOnModal());
    EXPECT_EQ(field().findColour(juce::TextEditor::textColourId), systemModel->foreignTextColour);
    EXPECT_FALSE(field().getFont().isBold());
}

TEST_F(ReviewSentenceTest, AWrongAnswerPutsTheCaretAtTheFirstWrongCharacterAndSelectsTheRestOfTheWord)
{
    const struct
    {
        const char* what;
        const char* foreign;
        const char* answer;
        int caret;
        int selectionEnd;
        const char* typed;
        const char* after;
    } cases[] = {
        {"the rest of the wrong word", "one two three", "one tow three", 5, 7, "wo", "one two three"},
        {"the first word", "one two", "ine two", 0, 3, "one", "one two"},
        {"a prefix: at its end", "one two", "one", 3, 3, " two", "one two"},
        {"on a separator: that one character", "one two", "one,two", 3, 4, " ", "one two"},
        {"leading blanks: still the wrong word", "one two", "   one tow", 8, 10, "wo", "   one two"},
        {"blanks at the foreign text's ends", "  one two  ", "one tow", 5, 7, "wo", "one two"},
        {"a word without separators to its end", "我爱你", "我恨你", 1, 3, "爱你", "我爱你"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        systemModel->atMostWhenReviewWrong = 3;
        reopen(String::fromUTF8(c.foreign));
        ASSERT_TRUE(block().enterTranslationOnModal());
        answerWith(String::fromUTF8(c.answer));

        EXPECT_TRUE(isOpenForInput());
        EXPECT_EQ(field().getCaretPosition(), c.caret);
        EXPECT_EQ(field().getHighlightedRegion(), juce::Range<int>(c.caret, c.selectionEnd));

        // What the learner types goes in at the caret, in place of the selection.
        field().insertTextAtCaret(String::fromUTF8(c.typed));
        EXPECT_EQ(field().getText(), String::fromUTF8(c.after));
    }
}

TEST_F(ReviewSentenceTest, EscapeEmptiesTheAnswerAndRestoresTheAttempts)
{
    systemModel->atMostWhenReviewWrong = 2;
    reopen("one two");
    ASSERT_TRUE(block().enterTranslationOnModal());
    answerWith("one tow");
    EXPECT_EQ(block().getAttemptsLeft(), 1);

    pressKey(juce::KeyPress::escapeKey);
    EXPECT_EQ(field().getText(), "");
    EXPECT_EQ(block().getAttemptsLeft(), 2);
    EXPECT_FALSE(isOpenForInput());
    EXPECT_TRUE(field().isReadOnly());
    EXPECT_EQ(field().getHighlightedRegion(), juce::Range<int>());

    // Two tries again, the first of them without the box.
    ASSERT_TRUE(block().enterTranslationOnModal());
    answerWith("one tow");
    answerWith("one two");
    EXPECT_EQ(reports.text(), "successed 1");
}

TEST_F(ReviewSentenceTest, ADueSentenceIsJudgedOnceWhateverTheLearnerDoesAfterwards)
{
    enum Action
    {
        typed, // the answer typed over the field's text, then Return
        typedThenTryAgain,
        typedThenCancel,
        escape,
        doubleClick
    };
    struct Step
    {
        Action action;
        const char* answer;
    };
    const struct
    {
        const char* what;
        const char* foreign;
        bool typedReview;
        std::vector<Step> steps;
        const char* reports;
    } cases[] = {
        {"a right answer, and the field double-clicked and confirmed again: blank at the end",
         "one two ",
         true,
         {{typed, "one two"}, {doubleClick, ""}, {typed, "one two"}},
         "successed 1"},
        {"the same with a blank at the start",
         " one two",
         true,
         {{typed, "one two"}, {doubleClick, ""}, {typed, "one two"}},
         "successed 1"},
        {"cancel at the box, then right: a failure",
         "one two",
         true,
         {{typed, "x"}, {typedThenCancel, "x"}, {doubleClick, ""}, {typed, "one two"}},
         "entered, failed, successed 0"},
        {"cancel at the box, Escape, then right within the fresh attempts: still a failure",
         "one two",
         true,
         {{typed, "x"}, {typedThenCancel, "x"}, {escape, ""}, {doubleClick, ""}, {typed, "one two"}},
         "entered, failed, successed 0"},
        {"a reported failure, Escape, then right: not lifted back up",
         "one two",
         true,
         {{typed, "x"}, {typedThenTryAgain, "x"}, {escape, ""}, {doubleClick, ""}, {typed, "one two"}},
         "failed, entered, successed 0"},
        {"a reported failure, Escape, the attempts run out again: no second failure",
         "one two",
         true,
         {{typed, "x"},
          {typedThenTryAgain, "x"},
          {escape, ""},
          {doubleClick, ""},
          {typed, "x"},
          {typedThenTryAgain, "x"},
          {typed, "one two"}},
         "failed, entered, successed 0"},
        {"cancel, try again later: the failure is reported then",
         "one two",
         true,
         {{typed, "x"},
          {typedThenCancel, "x"},
          {doubleClick, ""},
          {typedThenTryAgain, "x"},
          {typed, "one two"}},
         "entered, failed, successed 0"},
        {"in listening review, cancel then right reports no failure",
         "one two",
         false,
         {{typed, "x"}, {typedThenCancel, "x"}, {doubleClick, ""}, {typed, "one two"}},
         "entered, successed 0"},
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        systemModel->atMostWhenReviewWrong = 2;
        systemModel->transWhenReview = c.typedReview;
        reopen(c.foreign);
        ASSERT_TRUE(block().enterTranslationOnModal());

        ModalAnswerer answerer;
        for (const auto& step : c.steps)
        {
            if (step.action == doubleClick)
            {
                field().mouseDoubleClick(mouseEventOn(field(), leftButton, 2));
                continue;
            }
            if (step.action == typedThenTryAgain)
                answerer.press(TRANS("Try again"));
            else if (step.action == typedThenCancel)
                answerer.cancel();
            if (step.action != escape)
                field().setText(step.answer, false);
            // A field that stays closed takes no key at all.
            field().keyPressed(juce::KeyPress(step.action == escape ? juce::KeyPress::escapeKey
                                                                    : juce::KeyPress::returnKey));
            CommandWatcher::deliverPostedMessages();
        }
        answerer.expectDone();
        EXPECT_EQ(reports.text(), c.reports);
    }
}

TEST_F(ReviewSentenceTest, SettingsOfNoAttemptsStillGiveOneTry)
{
    for (const int setting : {0, -3})
    {
        systemModel->atMostWhenReviewWrong = setting;
        reopen("one two");
        EXPECT_EQ(block().getAttemptsLeft(), 1) << setting;
        ASSERT_TRUE(block().enterTranslationOnModal());
        answerWith("one two");
        EXPECT_EQ(reports.text(), "successed 1") << setting;
    }
}

TEST_F(ReviewSentenceTest, ADoubleClickOpensTheFieldForInputUnlessTheAnswerIsRight)
{
    const struct
    {
        const char* answer;
        bool opens;
    } cases[] = {{"one two", false}, {"one tow", true}, {"", true}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.answer);
        reopen("one two");
        field().setText(c.answer, false);
        field().applyFontToAllText(field().getFont().boldened());
        field().applyColourToAllText(juce::Colours::red);
        field().mouseDoubleClick(mouseEventOn(field(), leftButton, 2));

        EXPECT_EQ(isOpenForInput(), c.opens);
        EXPECT_EQ(reports.text(), c.opens ? "entered" : "");
        if (!c.opens)
            continue;
        EXPECT_TRUE(field().isPopupMenuEnabled());
        EXPECT_TRUE(field().getMouseCursor() == juce::MouseCursor(juce::MouseCursor::IBeamCursor));
        EXPECT_FALSE(field().getFont().isBold());
        EXPECT_EQ(field().findColour(juce::TextEditor::textColourId), systemModel->foreignTextColour);
        EXPECT_EQ(field().getText(), c.answer);
        EXPECT_EQ(field().getHighlightedRegion(), juce::Range<int>(0, String(c.answer).length()));
    }
}

TEST_F(ReviewSentenceTest, PressesReachTheBlockAndReleasesOnlyWhileTheFieldWaits)
{
    field().mouseDown(mouseEventOn(field(), leftButton));
    field().mouseUp(mouseEventOn(field(), leftButton));
    EXPECT_EQ(reports.text(), "selected, play -1");

    reports.log.clear();
    ASSERT_TRUE(block().enterTranslationOnModal());
    field().mouseDown(mouseEventOn(field(), leftButton));
    field().mouseUp(mouseEventOn(field(), leftButton));
    EXPECT_EQ(reports.text(), "selected");
}

TEST_F(ReviewSentenceTest, TheRedButtonSelectsCuesAndStartsTheInterpretationAfterTheClick)
{
    CommandWatcher watcher{interpretCurrentSentence};
    block().getInterpretButton().triggerClick();
    // The click comes from the message loop, and the command after it.
    CommandWatcher::deliverPostedMessages();
    CommandWatcher::deliverPostedMessages();
    EXPECT_EQ(reports.text(), "selected, play 0");
    EXPECT_EQ(watcher.performed, juce::Array<juce::CommandID>{interpretCurrentSentence});
}

TEST_F(ReviewSentenceTest, AnAnswerThatEndsTheDayMayCloseTheCourseUnderIt)
{
    // Going on to the next due course clears the workspace while the block reports its answer.
    struct ClosesTheCourse : SentenceReports
    {
        explicit ClosesTheCourse(CourseModel& m) : model(m) {}
        void reviewSuccessed(SentenceComponent* view, bool counted) override
        {
            SentenceReports::reviewSuccessed(view, counted);
            model.courseModelReset();
        }
        CourseModel& model;
    } closer(course.model());
    block().addListener(&closer);

    ASSERT_TRUE(block().enterTranslationOnModal());
    answerWith("one two");
    EXPECT_EQ(closer.text(), "successed 1");
    EXPECT_EQ(course.model().getPages().size(), 0);
    // The listener registered before it was not called on a deleted block.
    EXPECT_EQ(reports.text(), "");
}

TEST(ReviewSentenceRules, FirstDifferenceAndWordEnds)
{
    const struct
    {
        const char* first;
        const char* second;
        int index;
    } differences[] = {
        {"abc", "abd", 2}, {"abc", "ab", 2}, {"", "x", 0}, {"same", "same", 4}, {"Abc", "abc", 0}};
    for (const auto& c : differences)
        EXPECT_EQ(ReviewSentence::getDiffrentIndex(c.first, c.second), c.index)
            << c.first << " / " << c.second;

    // Each of these ends a word; nothing else does.
    const String ends(" .,?\"'!-/%@()+*\\&#:;^=|$[]{}");
    for (auto c = ends.getCharPointer(); !c.isEmpty(); ++c)
        EXPECT_EQ(ReviewSentence::getWordEndIndex("ab" + String::charToString(*c) + "d", 0), 2)
            << String::charToString(*c);
    for (const auto* other : {"_", "x", "~", "<", ">", "`", "9", "\xef\xbc\x8c"})
        EXPECT_EQ(ReviewSentence::getWordEndIndex("ab" + String::fromUTF8(other) + "d", 0), 4) << other;

    EXPECT_EQ(ReviewSentence::getWordEndIndex("one two", 4), 7);
    EXPECT_EQ(ReviewSentence::getWordEndIndex("one two", 3), 3);
    EXPECT_EQ(ReviewSentence::getWordEndIndex("one two", -2), 3);
    EXPECT_EQ(ReviewSentence::getWordEndIndex("one", 9), 3);
}
