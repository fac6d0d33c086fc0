// The course model: loading a course text with its audio and waveform file, the three load
// failures, the delayed save (which never brings back a deleted working set), the change
// callbacks that keep both views of every sentence in step, and the readers and lengths.
#include "engine/CourseModel.h"

#include "engine/DocumentManager.h"
#include "engine/GlobalData.h"
#include "harness/ModalAnswerer.h"
#include "harness/OpenCourse.h"
#include "workspace/CourseController.h"
#include "workspace/Main.h"
#include "workspace/sentences/LearnSentence.h"
#include "workspace/sentences/ReviewSentence.h"

#include <gtest/gtest.h>

namespace
{
using Sentence = OpenCourse::Sentence;

constexpr int second = OpenCourse::rate;

std::vector<Sentence> fourSentences()
{
    auto sentences = OpenCourse::contiguous({second, second / 2, 2 * second, second});
    sentences[0].foreign = "Good morning.";
    sentences[0].native = juce::String::fromUTF8("早上好。");
    sentences[1].foreign = "How are you?";
    sentences[2].unfamiliar = true;
    sentences[2].intervalDays = 2;
    sentences[2].reviewDate = "1 Jan 2020";
    return sentences;
}

class CourseModelTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(course.workingSet().wasCreated());
        ASSERT_TRUE(course.open(fourSentences()));
    }

    CourseModel& model() { return course.model(); }

    /** A sentence attribute of the course text as it is on disk. */
    juce::String onDisk(int index, const juce::Identifier& key)
    {
        const auto xml = course.workingSet().readCourseText();
        if (xml == nullptr || xml->getChildElement(index) == nullptr)
            return "<none>";
        return xml->getChildElement(index)->getStringAttribute(key);
    }

    OpenCourse course;
};

TEST_F(CourseModelTest, LoadBuildsBothViewsOfEverySentenceAndSelectsTheFirst)
{
    EXPECT_EQ(model().getNumSentences(), 4);
    EXPECT_EQ(course.viewsOutOfStep(), "");
    EXPECT_TRUE(model().isLearning());
    EXPECT_EQ(model().getCourseFile(), course.workingSet().getCourseText());
    EXPECT_EQ(GlobalData::courseAudioSampleRate, (double)OpenCourse::rate);
    EXPECT_TRUE(model().getThumbnail().getTotalLength() > 9.9);

    for (int i = 0; i < 4; ++i)
    {
        EXPECT_NE(dynamic_cast<LearnSentence*>(&course.page(i)), nullptr);
        EXPECT_EQ(course.thumb(i).selected, i == 0);
        EXPECT_EQ(course.page(i).selected, i == 0);
    }
    EXPECT_EQ(model().getSelectedIndex(), 0);
    EXPECT_EQ(course.page(0).getTextField(false).getText(), juce::String::fromUTF8("早上好。"));
    EXPECT_TRUE(course.thumb(2).needsReview);
    EXPECT_FALSE(undoManager->canUndo());
}

TEST_F(CourseModelTest, CourseWithoutSentencesLoadsWithNothingSelected)
{
    ASSERT_TRUE(course.open({}));
    EXPECT_EQ(model().getNumSentences(), 0);
    EXPECT_EQ(model().getThumbs().size(), 0);
    EXPECT_EQ(model().getSelectedIndex(), -1);
    EXPECT_EQ(model().getCurrentSentence(true), nullptr);
    model().selectSentence(0, true);
    EXPECT_EQ(model().getSelectedIndex(), -1);
}

TEST_F(CourseModelTest, CourseInReviewOpensWithReviewViewsOnTheArchivedAudio)
{
    auto sentences = fourSentences();
    sentences[1].unfamiliar = true;
    sentences[1].reviewDate = "1 Jan 2999";
    const auto ogg = DocumentManager::TempDir().getChildFile(course.workingSet().getStem() + ".ogg");
    ASSERT_TRUE(course.workingSet().writeOggCourseAudio(ogg));
    // The recording the course was made from is no longer needed.
    ASSERT_TRUE(course.workingSet().getAudioFile().deleteFile());

    ASSERT_TRUE(course.open(sentences, -1));
    EXPECT_FALSE(model().isLearning());
    ASSERT_NE(model().getReader(), nullptr);
    EXPECT_EQ(model().getReader()->getFormatName(), juce::OggVorbisAudioFormat().getFormatName());

    const bool dueExpected[] = {false, false, true, false};
    for (int i = 0; i < 4; ++i)
    {
        auto* review = dynamic_cast<ReviewSentence*>(&course.page(i));
        ASSERT_NE(review, nullptr);
        EXPECT_EQ(review->due, dueExpected[i]) << "sentence " << i;
    }
}

TEST_F(CourseModelTest, LoadFailuresAreShownAndLeaveTheModelAsTheyShould)
{
    const auto folder = DocumentManager::TempDir();
    const auto wav = course.workingSet().getAudioFile();
    const auto smg = course.workingSet().getWaveformFile();
    const auto text = course.workingSet().getCourseText();

    struct Case
    {
        const char* what;
        std::function<juce::File()> prepare;
        std::function<juce::String()> message;
        bool courseKept; // otherwise the model is reset
        bool readerKept;
    };
    const Case cases[] = {
        {"not XML",
         [&]
         {
             auto f = folder.getChildFile("broken.xml");
             f.replaceWithText("this is no course <COURSE");
             return f;
         },
         [] { return TRANS("Invalid course text file!"); }, true, true},
        {"no AudioFile attribute",
         [&]
         {
             auto f = folder.getChildFile("noaudio.xml");
             f.replaceWithText("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<COURSE NowStatus=\"0\"/>");
             return f;
         },
         [] { return TRANS("Invalid course text file!"); }, true, true},
        {"audio missing",
         [&]
         {
             wav.moveFileTo(wav.getSiblingFile("away.wav"));
             return text;
         },
         [&]
         {
             return wav.getFullPathName() + "\r\n\r\n" +
                    TRANS("This file is missing or doesn't contain any valid audio file info!");
         },
         false, false},
        {"waveform file missing",
         [&]
         {
             wav.getSiblingFile("away.wav").moveFileTo(wav);
             smg.deleteFile();
             return text;
         },
         [&] { return smg.getFullPathName() + "\r\n\r\n" + TRANS("Can't find the audio thumbnail file!"); },
         false, true},
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        if (c.courseKept)
        {
            ASSERT_TRUE(model().loadCourseTextFile(text));
        }
        const auto file = c.prepare();

        ModalAnswerer answerer;
        answerer.press(TRANS("OK"));
        EXPECT_FALSE(model().loadCourseTextFile(file));
        ASSERT_EQ(answerer.seen().size(), 1u);
        EXPECT_EQ(answerer.seen()[0].title, TRANS("Load course failed."));
        EXPECT_EQ(answerer.seen()[0].message, c.message());
        EXPECT_EQ(answerer.seen()[0].icon, juce::MessageBoxIconType::InfoIcon);

        if (c.courseKept)
        {
            EXPECT_EQ(model().getCourseFile(), text);
            EXPECT_EQ(model().getNumSentences(), 4);
            EXPECT_EQ(course.viewsOutOfStep(), "");
        }
        else
        {
            EXPECT_FALSE(model().getCourseFile().exists());
            EXPECT_EQ(model().getNumSentences(), 0);
            EXPECT_EQ(model().getThumbs().size(), 0);
            EXPECT_EQ(model().getSelectedIndex(), -1);
        }
        EXPECT_EQ(model().getReader() != nullptr, c.readerKept);
    }
}

TEST_F(CourseModelTest, ChangeIsWrittenAfterTheDelayAndNotWhileAButtonIsHeld)
{
    model().setValue(1, CourseModel::EnglishText, "Fine, thanks.", true);
    // Written later, not at once.
    EXPECT_EQ(onDisk(1, CourseModel::EnglishText), "How are you?");
    EXPECT_TRUE(
        OpenCourse::pumpUntil([&] { return onDisk(1, CourseModel::EnglishText) == "Fine, thanks."; }));

    juce::ModifierKeys::currentModifiers = juce::ModifierKeys(juce::ModifierKeys::leftButtonModifier);
    model().setValue(1, CourseModel::EnglishText, "Held.", true);
    juce::MessageManager::getInstance()->runDispatchLoopUntil(500);
    EXPECT_EQ(onDisk(1, CourseModel::EnglishText), "Fine, thanks.");

    juce::ModifierKeys::currentModifiers = juce::ModifierKeys();
    EXPECT_TRUE(OpenCourse::pumpUntil([&] { return onDisk(1, CourseModel::EnglishText) == "Held."; }));
}

TEST_F(CourseModelTest, SavedTextIsTheTreeAsUtf8Xml)
{
    const auto native = juce::String::fromUTF8("你好，世界");
    model().setValue(3, CourseModel::ChineseText, native, true);
    model().setValue(3, CourseModel::NeedReview, true, true);
    model().setValue(-1, CourseModel::CourseName, "Lesson 1", true);
    ASSERT_TRUE(model().saveCourseTextFile());

    const auto text = course.workingSet().getCourseText().loadFileAsString();
    EXPECT_TRUE(text.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>")) << text.substring(0, 60);
    EXPECT_FALSE(text.contains("DOCTYPE"));

    const auto xml = course.workingSet().readCourseText();
    ASSERT_NE(xml, nullptr);
    EXPECT_EQ(xml->getTagName(), "COURSE");
    EXPECT_EQ(xml->getStringAttribute(CourseModel::CourseName), "Lesson 1");
    EXPECT_EQ(xml->getNumChildElements(), 4);
    EXPECT_EQ(xml->getChildElement(3)->getStringAttribute(CourseModel::ChineseText), native);
    EXPECT_EQ(xml->getChildElement(3)->getStringAttribute(CourseModel::NeedReview), "1");
    EXPECT_EQ(xml->getChildElement(0)->getStringAttribute(CourseModel::NeedReview), "0");
}

TEST_F(CourseModelTest, DeletedWorkingSetIsNeverWrittenAgain)
{
    const auto text = course.workingSet().getCourseText();
    const auto original = text.loadFileAsString();
    const struct
    {
        const char* what;
        std::function<bool()> remove;
    } cases[] = {
        {"the course text alone", [&] { return text.deleteFile(); }},
        {"the whole temporary folder", [] { return DocumentManager::TempDir().deleteRecursively(); }},
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        DocumentManager::TempDir().createDirectory();
        ASSERT_TRUE(text.replaceWithText(original));
        {
            // A model of its own, so that its last save on the way out is seen too.
            CourseController other;
            ASSERT_TRUE(other.getCourseModel().loadCourseTextFile(text));
            other.getCourseModel().setValue(0, CourseModel::EnglishText, "Changed.", true);
            ASSERT_TRUE(c.remove());

            EXPECT_FALSE(other.getCourseModel().saveCourseTextFile());
            juce::MessageManager::getInstance()->runDispatchLoopUntil(400);
            EXPECT_FALSE(text.exists());
        }
        EXPECT_FALSE(text.exists());
    }
}

TEST_F(CourseModelTest, ModelWritesTheCourseTextOnceMoreWhenItGoes)
{
    {
        CourseController other;
        ASSERT_TRUE(other.getCourseModel().loadCourseTextFile(course.workingSet().getCourseText()));
        other.getCourseModel().setValue(0, CourseModel::EnglishText, "Last words.", true);
    }
    EXPECT_EQ(onDisk(0, CourseModel::EnglishText), "Last words.");
}

TEST_F(CourseModelTest, PropertyChangesUpdateBothViewsOfTheirSentence)
{
    const int firstStart = course.thumb(3).start;
    model().setValue(3, CourseModel::StartSamples, 3 * second + 1000, true);
    EXPECT_EQ(course.thumb(3).start, 3 * second + 1000);
    EXPECT_EQ(course.page(3).start, 3 * second + 1000);
    EXPECT_EQ(model().getSelectedIndex(), 3);
    EXPECT_TRUE(course.thumb(3).selected);
    EXPECT_FALSE(course.thumb(0).selected);

    model().setValue(1, CourseModel::EnglishText, "Changed.", true);
    EXPECT_EQ(course.page(1).getTextField(true).getText(), "Changed.");
    EXPECT_EQ(model().getSelectedIndex(), 1);

    // The unfamiliar flag changes only the look: no selection.
    model().setValue(0, CourseModel::NeedReview, true, true);
    EXPECT_TRUE(course.thumb(0).needsReview);
    EXPECT_TRUE(course.page(0).needsReview);
    EXPECT_EQ(model().getSelectedIndex(), 1);

    // Undo goes through the same callbacks.
    while (undoManager->canUndo())
        undoManager->undo();
    EXPECT_EQ(course.viewsOutOfStep(), "");
    EXPECT_EQ(course.thumb(3).start, firstStart);
    EXPECT_FALSE(course.thumb(0).needsReview);
    EXPECT_EQ(course.page(1).getTextField(true).getText(), "How are you?");
}

TEST_F(CourseModelTest, SetValueOfTheSameValueRecordsNothing)
{
    model().setValue(1, CourseModel::EnglishText, "How are you?", true);
    model().setValue(0, CourseModel::StartSamples, 0, true);
    EXPECT_FALSE(undoManager->canUndo());

    model().setValue(1, CourseModel::EnglishText, "Not undoable.", false);
    EXPECT_FALSE(undoManager->canUndo());
    EXPECT_EQ(course.textOf(1, CourseModel::EnglishText), "Not undoable.");
}

TEST_F(CourseModelTest, SentenceReaderCoversTheSentenceOnly)
{
    auto* courseReader = model().getReader();
    ASSERT_NE(courseReader, nullptr);

    for (int i = 0; i < 4; ++i)
    {
        SCOPED_TRACE(i);
        std::unique_ptr<juce::AudioFormatReader> r(model().getSentenceAudioReader(i));
        ASSERT_NE(r, nullptr);
        const int start = course.intOf(i, CourseModel::StartSamples);
        const int end = course.intOf(i, CourseModel::EndSamples);
        EXPECT_EQ(r->lengthInSamples, end - start + 1);

        juce::AudioBuffer<float> part(1, 64), whole(1, 64);
        r->read(&part, 0, 64, 10, true, false);
        courseReader->read(&whole, 0, 64, start + 10, true, false);
        for (int n = 0; n < 64; ++n)
            ASSERT_EQ(part.getSample(0, n), whole.getSample(0, n));
    }
    EXPECT_EQ(model().getSentenceAudioReader(-1), nullptr);
    EXPECT_EQ(model().getSentenceAudioReader(4), nullptr);

    // A last sentence that ends one past the last sample is clamped by the reader.
    model().setValue(3, CourseModel::EndSamples, course.workingSet().getLengthInSamples(), true);
    std::unique_ptr<juce::AudioFormatReader> last(model().getSentenceAudioReader(3));
    EXPECT_EQ(last->lengthInSamples,
              course.workingSet().getLengthInSamples() - course.intOf(3, CourseModel::StartSamples));
}

TEST_F(CourseModelTest, LengthsAndPositions)
{
    // Sentence 1 spans samples 44100 to 66149.
    EXPECT_EQ(model().getSentenceLengthSamples(1), second / 2 - 1);
    EXPECT_DOUBLE_EQ(model().getSentenceLengthSeconds(1), (second / 2 - 1) / (double)second);
    model().selectSentence(1, true);
    EXPECT_DOUBLE_EQ(model().getSelectedLength(), 0.5);
    EXPECT_DOUBLE_EQ(model().getSentenceStartSeconds(1), 1.0);
    EXPECT_DOUBLE_EQ(model().getSentenceEndSeconds(1), (1.5 * second - 1) / second);
    EXPECT_DOUBLE_EQ(model().getCourseSeconds(), 10.0);

    model().setValue(0, CourseModel::StartSamples, second / 10, true);
    EXPECT_DOUBLE_EQ(model().getSentenceStartSeconds(0), 0.1);

    for (const int outside : {-1, 4, 100})
    {
        EXPECT_EQ(model().getSentenceLengthSamples(outside), 0);
        EXPECT_EQ(model().getSentenceStartSeconds(outside), 0.0);
        EXPECT_EQ(model().getSentenceEndSeconds(outside), 0.0);
    }

    ASSERT_TRUE(course.open({}));
    EXPECT_EQ(model().getSelectedLength(), 0.0);
}

TEST_F(CourseModelTest, ResetLeavesNoCourse)
{
    model().setValue(0, CourseModel::EnglishText, "Undoable.", true);
    model().courseModelReset();

    EXPECT_FALSE(model().getCourseFile().exists());
    EXPECT_EQ(model().getCourseTree().getType(), CourseModel::COURSE);
    EXPECT_EQ(model().getCourseTree().getNumChildren(), 0);
    EXPECT_EQ(model().getCourseTree().getNumProperties(), 0);
    EXPECT_EQ(model().getReader(), nullptr);
    EXPECT_EQ(model().getThumbs().size(), 0);
    EXPECT_EQ(model().getPages().size(), 0);
    EXPECT_EQ(model().getSelectedIndex(), -1);
    EXPECT_FALSE(undoManager->canUndo());
    // The change made before is not written into the working set any more.
    juce::MessageManager::getInstance()->runDispatchLoopUntil(400);
    EXPECT_EQ(onDisk(0, CourseModel::EnglishText), "Good morning.");
}

TEST_F(CourseModelTest, ViewReportsSelectAndPlaceTheCursor)
{
    juce::Component strip;
    for (auto* view : model().getThumbs())
        strip.addAndMakeVisible(view);

    // A press shows the selection without keeping it.
    model().hasBeenSelected(&course.page(2));
    EXPECT_TRUE(course.thumb(2).selected);
    EXPECT_TRUE(course.page(2).selected);
    EXPECT_FALSE(course.thumb(0).selected);
    EXPECT_EQ(model().getSelectedIndex(), 0);

    // A release on another sentence selects it for good.
    model().setPlayPosition(&course.thumb(3), 12);
    EXPECT_EQ(model().getSelectedIndex(), 3);
    EXPECT_TRUE(course.page(3).selected);

    // A drag on an edge brings the block to the front of the strip.
    model().prepareDrag(&course.thumb(1));
    EXPECT_EQ(strip.getChildComponent(strip.getNumChildComponents() - 1), &course.thumb(1));

    for (auto* view : model().getThumbs())
        strip.removeChildComponent(view);
}
} // namespace

TEST_F(CourseModelTest, PositionsFromElsewhereAreKeptWithinTheAudio)
{
    // The ten-second recording holds 441000 samples; the end may stand one past the last.
    const int length = 10 * second;
    const struct
    {
        const char* start;
        const char* end;
        int loadedStart, loadedEnd;
    } cases[] = {
        {"100", "200", 100, 200},
        {"-50", "2147483647", 0, length},
        {"-2147483648", "99999999999", 0, length},
        {"3000000", "-6442450944", length, 0},
        {"12abc", " 441000", 12, length},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(juce::String(c.start) + " to " + c.end);
        const auto text = course.workingSet().getCourseText();
        auto xml = juce::parseXML(text);
        ASSERT_NE(xml, nullptr);
        auto* first = xml->getChildElement(0);
        first->setAttribute(CourseModel::StartSamples, juce::String(c.start));
        first->setAttribute(CourseModel::EndSamples, juce::String(c.end));
        ASSERT_TRUE(xml->writeTo(text));

        ASSERT_TRUE(model().loadCourseTextFile(text));
        EXPECT_EQ((int)model().getValue(0, CourseModel::StartSamples), c.loadedStart);
        EXPECT_EQ((int)model().getValue(0, CourseModel::EndSamples), c.loadedEnd);
        EXPECT_EQ(course.thumb(0).start, c.loadedStart);
        EXPECT_EQ(model().getSentenceLengthSamples(0), c.loadedEnd - c.loadedStart);
        model().selectSentence(0, true);
        EXPECT_DOUBLE_EQ(model().getSelectedLength(), (c.loadedEnd - c.loadedStart + 1) / (double)second);
    }
}
