// A course opened for review in the whole workspace: the typed answer of the first due sentence
// or the interpretation, as the settings say, and a review day answered by the keyboard, with the
// count of sentences still due today and the figures written back into the course text.
#include "workspace/CourseController.h"

#include "engine/Clock.h"
#include "engine/CourseModel.h"
#include "engine/DocumentManager.h"
#include "engine/GlobalData.h"
#include "engine/SystemModel.h"
#include "platform/AlertBeep.h"
#include "workspace/Main.h"
#include "workspace/MainComponent.h"
#include "workspace/StatusBar.h"
#include "workspace/sentences/ReviewSentence.h"

#include "harness/CommandWatcher.h"
#include "harness/CourseWorkingSet.h"
#include "harness/ModalAnswerer.h"
#include "harness/OpenCourse.h"
#include "harness/OpenWorkspace.h"
#include "harness/SentenceReports.h"

#include <gtest/gtest.h>

using juce::String;

namespace
{
constexpr juce::CommandID interpretCurrentSentence = 0x2005;
constexpr int rate = 44100;

/** Three sentences of two seconds, the first familiar, the others unfamiliar and due on the given
    date, left in the temporary folder as a review course with its rendered audio. */
void leaveReviewCourse(const char* dueDate, const char* secondText = "The dog runs.")
{
    CourseWorkingSet set(6.0, rate);
    ASSERT_TRUE(set.wasCreated());
    auto sentences = OpenCourse::contiguous({2 * rate, 2 * rate, 2 * rate});
    const char* texts[] = {"A cat.", secondText, "Birds sing."};
    for (size_t i = 0; i < sentences.size(); ++i)
        sentences[i].foreign = texts[i];
    for (size_t i : {1u, 2u})
    {
        sentences[i].unfamiliar = true;
        sentences[i].intervalDays = 2;
        sentences[i].reviewDate = dueDate;
        sentences[i].reviews = 1;
        sentences[i].correct = 1;
    }
    ASSERT_TRUE(set.writeSentences(sentences, 1));
    ASSERT_TRUE(set.writeOggCourseAudio(set.getCourseText().getSiblingFile(set.getStem() + ".ogg")));
}

ReviewSentence& review(CourseModel& model, int index)
{
    return *dynamic_cast<ReviewSentence*>(model.getPages()[index]);
}

bool isAsking(CourseModel& model, int index)
{
    auto& field = review(model, index).getAnswerField();
    return field.isOpenForInput() && field.isCurrentlyModal(false) && !field.isReadOnly();
}

void pressKey(TransTextEditor& field, int keyCode)
{
    field.keyPressed(juce::KeyPress(keyCode));
    // The field reports Return and Escape from the message loop.
    CommandWatcher::deliverPostedMessages();
}

/** Types over the field's text and presses Return, as the learner does. */
void answerWith(TransTextEditor& field, const String& answer)
{
    field.setText(answer, false);
    pressKey(field, juce::KeyPress::returnKey);
}

void doubleClick(TransTextEditor& field)
{
    field.mouseDoubleClick(
        mouseEventOn(field, juce::ModifierKeys(juce::ModifierKeys::leftButtonModifier), 2));
}

class CourseControllerReviewTest : public testing::Test
{
protected:
    CourseControllerReviewTest() { Clock::setFixedTime(juce::Time(2017, 3, 2, 15, 30, 7, 0, true)); }
    ~CourseControllerReviewTest() override { Clock::clearFixedTime(); }
};
} // namespace

TEST_F(CourseControllerReviewTest, OpeningForReviewAsksForTheFirstTypedAnswerOrStartsInterpretation)
{
    const struct
    {
        const char* what;
        bool typed;
        int transFirst;
        const char* dueDate;
        bool asks;
    } cases[] = {
        {"typed answers first", true, 1, "1 Apr 2017", true},
        {"interpretation first", true, 0, "1 Apr 2017", false},
        {"any other order setting", true, 2, "1 Apr 2017", false},
        {"listening review", false, 1, "1 Apr 2017", false},
        {"nothing due today", true, 1, "3 Apr 2017", false},
    };

    OpenWorkspace workspace;
    auto& controller = workspace.controller();
    auto& model = workspace.model();
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        leaveReviewCourse(c.dueDate);
        systemModel->transWhenReview = c.typed;
        systemModel->transFirst = c.transFirst;

        CommandWatcher watcher{interpretCurrentSentence};
        ASSERT_TRUE(controller.loadGivenCourse(DocumentManager::getCourseFile(DocumentManager::courseText)));
        CommandWatcher::deliverPostedMessages();

        EXPECT_EQ(isAsking(model, 1), c.asks);
        EXPECT_FALSE(isAsking(model, 2));
        EXPECT_EQ(watcher.performed.size(), c.asks ? 0 : 1);
        // A review starts at its first due sentence.
        EXPECT_EQ(model.getSelectedIndex(), String(c.dueDate) == "1 Apr 2017" ? 1 : 0);
        controller.resetToEmpty();
    }
}

TEST_F(CourseControllerReviewTest, AReviewDayAnsweredByTheKeyboardCountsDownAndIsWrittenBack)
{
    OpenWorkspace workspace([] { leaveReviewCourse("31 Mar 2017"); });
    auto& controller = workspace.controller();
    auto& model = workspace.model();
    ASSERT_FALSE(model.isLearning());
    EXPECT_EQ(controller.getNumDueSentences(), 2);
    ASSERT_TRUE(isAsking(model, 1));

    auto& first = review(model, 1).getAnswerField();
    const auto pressReturn = [](TransTextEditor& field)
    {
        EXPECT_TRUE(field.keyPressed(juce::KeyPress(juce::KeyPress::returnKey)));
        CommandWatcher::deliverPostedMessages();
    };

    // A wrong word: the beep, and the caret where it goes wrong with the rest of it selected.
    const int beeps = AlertBeep::getNumRequested();
    first.insertTextAtCaret("The dgo runs.");
    pressReturn(first);
    EXPECT_EQ(AlertBeep::getNumRequested(), beeps + 1);
    EXPECT_EQ(first.getCaretPosition(), 5);
    EXPECT_EQ(first.getHighlightedRegion(), juce::Range<int>(5, 7));
    first.insertTextAtCaret("og");
    pressReturn(first);
    EXPECT_EQ(controller.getNumDueSentences(), 1);
    EXPECT_FALSE(isAsking(model, 1));
    ASSERT_TRUE(isAsking(model, 2));
    EXPECT_EQ(model.getSelectedIndex(), 2);

    auto& second = review(model, 2).getAnswerField();
    second.insertTextAtCaret("Birds sing.");
    ModalAnswerer answerer;
    answerer.cancel();
    pressReturn(second);
    answerer.expectDone();
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.seen()[0].title, TRANS("Congratulations!"));
    EXPECT_EQ(controller.getNumDueSentences(), 0);

    // Both were right within their attempts: two days late earns one more day (5 + 1).
    const auto courseText = DocumentManager::getCourseFile(DocumentManager::courseText);
    ASSERT_TRUE(OpenCourse::pumpUntil(
        [&]
        {
            const auto xml = juce::parseXML(courseText);
            return xml != nullptr && xml->getChildElement(2) != nullptr &&
                   xml->getChildElement(2)->getIntAttribute(CourseModel::TotalReviews) == 2;
        }));
    const auto xml = juce::parseXML(courseText);
    for (int i : {1, 2})
    {
        const auto* sentence = xml->getChildElement(i);
        EXPECT_EQ(sentence->getIntAttribute(CourseModel::NextIntervalDays), 6) << i;
        EXPECT_EQ(sentence->getStringAttribute(CourseModel::NextReviewDate), "8 Apr 2017") << i;
        EXPECT_EQ(sentence->getIntAttribute(CourseModel::TotalReviews), 2) << i;
        EXPECT_EQ(sentence->getIntAttribute(CourseModel::CorrectTimes), 2) << i;
    }
}

TEST_F(CourseControllerReviewTest, AnAnswerMovesTheStatusBarAndTheCursorToTheNextDueSentence)
{
    const struct
    {
        const char* what;
        std::vector<const char*> answers; // a box after a wrong one is answered "Try again"
    } cases[] = {
        {"right at once", {"The dog runs."}},
        {"right after the attempts ran out", {"x", "The dog runs."}},
    };

    OpenWorkspace workspace;
    auto& controller = workspace.controller();
    auto& model = workspace.model();
    const auto status = [&](int field) { return workspace.main().getStatusBar().getInfo(field); };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        systemModel->atMostWhenReviewWrong = 1;
        leaveReviewCourse("31 Mar 2017");
        ASSERT_TRUE(controller.loadGivenCourse(DocumentManager::getCourseFile(DocumentManager::courseText)));
        CommandWatcher::deliverPostedMessages();
        ASSERT_TRUE(isAsking(model, 1));

        ModalAnswerer answerer;
        for (const auto* answer : c.answers)
        {
            if (String(answer) == "x")
                answerer.press(TRANS("Try again"));
            answerWith(review(model, 1).getAnswerField(), answer);
        }
        answerer.expectDone();
        ASSERT_TRUE(isAsking(model, 2));
        ASSERT_EQ(model.getSelectedIndex(), 2);

        // What the status bar and the cursor tell is the sentence asked for now.
        const int start = model.getThumbs().getUnchecked(2)->getX();
        EXPECT_EQ(controller.getCursorPosition(), start);
        EXPECT_EQ(status(StatusBar::selectedNumber), "3 -");
        EXPECT_EQ(status(StatusBar::selectedLength), GlobalData::secondsToCsString(2.0));
        EXPECT_EQ(status(StatusBar::playPosition),
                  GlobalData::secondsToCsString(GlobalData::xToSeconds(start)));
        controller.resetToEmpty();
    }
}

TEST_F(CourseControllerReviewTest, EachDueSentenceIsScheduledOnceOnAReviewDay)
{
    // Lyrics lines keep their trailing blanks.
    OpenWorkspace workspace([] { leaveReviewCourse("31 Mar 2017", "The dog runs. "); });
    auto& controller = workspace.controller();
    auto& model = workspace.model();
    systemModel->atMostWhenReviewWrong = 2;
    ASSERT_TRUE(isAsking(model, 1));
    auto& first = review(model, 1).getAnswerField();
    auto& second = review(model, 2).getAnswerField();

    // Right at once; the next field opens and is left with Escape, and the answered one is
    // double-clicked and confirmed again.
    answerWith(first, "The dog runs.");
    ASSERT_TRUE(isAsking(model, 2));
    pressKey(second, juce::KeyPress::escapeKey);
    doubleClick(first);
    pressKey(first, juce::KeyPress::returnKey);

    // Wrong until the box, Cancel, then right after a double click.
    doubleClick(second);
    answerWith(second, "Birds sang.");
    {
        ModalAnswerer answerer;
        answerer.cancel();
        answerWith(second, "Birds sang.");
        answerer.expectDone();
    }
    doubleClick(second);
    ModalAnswerer dayEnd;
    dayEnd.cancel();
    answerWith(second, "Birds sing.");
    dayEnd.expectDone();
    ASSERT_EQ(dayEnd.seen().size(), 1u);
    EXPECT_EQ(dayEnd.seen()[0].title, TRANS("Congratulations!"));

    const auto figures = [&](int i)
    {
        juce::StringArray values;
        for (const auto* key : {&CourseModel::NextIntervalDays, &CourseModel::NextReviewDate,
                                &CourseModel::TotalReviews, &CourseModel::CorrectTimes})
            values.add(model.getValue(i, *key).toString());
        return values.joinIntoString(", ");
    };
    // Two days late: 2 days times 2.5 and one more day; the failure: 2 / 2.5 to 1 and one more.
    EXPECT_EQ(figures(1), "6, 8 Apr 2017, 2, 2");
    EXPECT_EQ(figures(2), "2, 4 Apr 2017, 2, 0");
    EXPECT_EQ(controller.getNumDueSentences(), 0);
}
