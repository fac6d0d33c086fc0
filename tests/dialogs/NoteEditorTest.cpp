// The notes and retelling editor in the workspace: the title and notes saved as one undo step with
// the closing question, the retelling recorded through the JACK device of the test process and
// kept, replaced, exported and deleted, and the input mode that cuts a transcript into sentences.
#include "dialogs/NoteEditor.h"

#include "engine/CourseModel.h"
#include "engine/DocumentManager.h"
#include "engine/FileReplacement.h"
#include "engine/GlobalData.h"
#include "engine/audio/AudioRecorder.h"
#include "engine/audio/RecordingThumbnail.h"
#include "harness/CommandWatcher.h"
#include "harness/CourseWorkingSet.h"
#include "harness/JackToneDevice.h"
#include "harness/ModalAnswerer.h"
#include "harness/OpenCourse.h"
#include "harness/OpenWorkspace.h"
#include "harness/RecordingProbe.h"
#include "harness/Widgets.h"
#include "workspace/CommandCenter.h"
#include "workspace/CourseController.h"
#include "workspace/FunctionZone.h"
#include "workspace/Main.h"
#include "workspace/MainComponent.h"
#include "workspace/MainWindow.h"

#include <gtest/gtest.h>

using juce::String;

namespace
{
constexpr int rate = 44100;

void leaveCourse(int nowStatus = 0)
{
    CourseWorkingSet set(6.0, rate);
    ASSERT_TRUE(set.wasCreated());
    auto sentences = OpenCourse::contiguous({2 * rate, 2 * rate, 2 * rate - 1});
    sentences[0].unfamiliar = nowStatus != 0;
    ASSERT_TRUE(set.writeSentences(sentences, nowStatus));
    // A course under review plays the audio rendered when it was archived.
    if (nowStatus != 0)
    {
        ASSERT_TRUE(set.writeOggCourseAudio(DocumentManager::TempDir().getChildFile(set.getStem() + ".ogg")));
    }
}

/** The workspace on a course of three sentences, the notes editor shown. */
class NoteEditorTest : public testing::Test
{
protected:
    explicit NoteEditorTest(int nowStatus = 0) : workspace([nowStatus] { leaveCourse(nowStatus); })
    {
        workspace.layOut(1000, 700);
        undoManager->clearUndoHistory();
    }

    CourseController& controller() const { return workspace.controller(); }
    CourseModel& model() const { return workspace.model(); }
    NoteEditor& show() const
    {
        controller().showOrHideNoteEditor();
        auto* editor = controller().getNoteEditor();
        EXPECT_NE(editor, nullptr);
        EXPECT_TRUE(editor->isVisible());
        return *editor;
    }
    juce::TextEditor& text(const String& id) const
    {
        return Widgets::byId<juce::TextEditor>(*controller().getNoteEditor(), id);
    }
    bool markerShown() const { return workspace.main().getFunctionZone().isNoteMarkerShown(); }

    OpenWorkspace workspace;
};
} // namespace

//==============================================================================
TEST_F(NoteEditorTest, AToolWindowOfItsOwnWithAnEmptyRetellFileMadeForTheCourse)
{
    auto& editor = show();
    EXPECT_TRUE(editor.isOnDesktop());
    EXPECT_TRUE(editor.isAlwaysOnTop());
    EXPECT_EQ(editor.getName(), TRANS("Course Note Book"));
    EXPECT_EQ(editor.getWidth(), 730);
    EXPECT_EQ(editor.getHeight(), 600);
    const int style = editor.getPeer()->getStyleFlags();
    EXPECT_NE(0, style & juce::ComponentPeer::windowHasTitleBar);
    EXPECT_NE(0, style & juce::ComponentPeer::windowHasCloseButton);

    // Named after the working set's stem, empty: the stored row has nothing to play.
    const auto stem =
        DocumentManager::getCourseFile(DocumentManager::waveformFile).getFileNameWithoutExtension();
    EXPECT_EQ(editor.getRetellFile(), DocumentManager::TempDir().getChildFile(stem + "-retell.ogg"));
    EXPECT_TRUE(editor.getRetellFile().existsAsFile());
    EXPECT_EQ(editor.getRetellFile().getSize(), 0);
    for (auto* id : {"storedPlay", "storedSlider", "saveAs", "delete", "freshPlay", "replace"})
        EXPECT_FALSE(Widgets::byId<juce::Component>(editor, id).isEnabled()) << id;
    EXPECT_TRUE(Widgets::byId<juce::Component>(editor, "record").isEnabled());
    EXPECT_TRUE(Widgets::byId<juce::Component>(editor, "inputSelected").isEnabled())
        << "a course being learned";
    EXPECT_FALSE(markerShown()) << "an empty retell file is no retelling";

    // The command hides it again; the workspace's end deletes it.
    controller().showOrHideNoteEditor();
    EXPECT_FALSE(editor.isVisible());
    juce::Component::SafePointer<NoteEditor> watched(&editor);
    controller().resetToEmpty();
    EXPECT_EQ(watched.getComponent(), nullptr);
    EXPECT_EQ(controller().getNoteEditor(), nullptr);
}

TEST_F(NoteEditorTest, TitleAndNotesAreSavedTrimmedAsOneUndoStepWhateverWayTheWindowCloses)
{
    const struct
    {
        const char* how;
        const char* button; // clicked, or nullptr for the window's close box
        const char* answer; // to the closing question, or nullptr when none may come
        bool saved;
    } cases[] = {
        {"OK", "ok", nullptr, true},
        {"Cancel, then Save", "cancel", "Save", true},
        {"Cancel, then Discard", "cancel", "Discard", false},
        {"close box, then Save", nullptr, "Save", true},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.how);
        model().setValue(-1, CourseModel::CourseName, "Lesson", false);
        model().setValue(-1, CourseModel::Notes, "", false);
        undoManager->clearUndoHistory();

        auto& editor = show();
        EXPECT_EQ(text("title").getText(), "Lesson");
        text("title").setText("  Lesson 1 ");
        text("notes").setText("\nWords to learn.\n");

        ModalAnswerer answerer;
        if (c.answer != nullptr)
            answerer.press(TRANS(c.answer));
        if (c.button != nullptr)
            Widgets::click(editor, c.button);
        else
            editor.userTriedToCloseWindow();
        answerer.expectDone();
        EXPECT_FALSE(editor.isVisible());
        if (c.answer != nullptr)
        {
            ASSERT_EQ(answerer.seen().size(), 1u);
            EXPECT_EQ(answerer.seen()[0].title, TRANS("Confirm"));
            EXPECT_EQ(answerer.seen()[0].message,
                      TRANS("Notes and/or title has been changed, do you want to save?"));
            EXPECT_EQ(answerer.seen()[0].buttons, juce::StringArray(TRANS("Save"), TRANS("Discard")));
        }

        if (!c.saved)
        {
            EXPECT_EQ(model().getValue(-1, CourseModel::CourseName).toString(), "Lesson");
            EXPECT_FALSE(undoManager->canUndo());
            continue;
        }
        EXPECT_EQ(model().getValue(-1, CourseModel::CourseName).toString(), "Lesson 1");
        EXPECT_EQ(model().getValue(-1, CourseModel::Notes).toString(), "Words to learn.");
        EXPECT_TRUE(workspace.window().getName().startsWith("qZ - Lesson 1 ("));
        EXPECT_TRUE(markerShown());
        EXPECT_EQ(undoManager->getUndoDescription(), TRANS("Edit course title and notes"));

        ASSERT_TRUE(undoManager->undo());
        EXPECT_EQ(model().getValue(-1, CourseModel::CourseName).toString(), "Lesson");
        EXPECT_EQ(model().getValue(-1, CourseModel::Notes).toString(), "");
        EXPECT_FALSE(undoManager->canUndo()) << "title and notes are one step";
        EXPECT_FALSE(markerShown());
    }
}

TEST_F(NoteEditorTest, BlanksAroundTheOpeningTextsAreNoChange)
{
    model().setValue(-1, CourseModel::CourseName, "Lesson", false);
    auto& editor = show();
    text("title").setText(" Lesson  ");
    text("notes").setText("\n");
    EXPECT_FALSE(editor.dataChanged());

    ModalAnswerer answerer; // no question may come
    Widgets::click(editor, "cancel");
    answerer.expectDone();
    EXPECT_FALSE(editor.isVisible());
    EXPECT_FALSE(undoManager->canUndo());

    // Hiding empties it: the next show has the course's texts again.
    show();
    EXPECT_EQ(text("title").getText(), "Lesson");
}

TEST_F(NoteEditorTest, AKilledRunsHalfWrittenFilesAreGoneAtTheNextStart)
{
    // What a kill leaves: a recording under way, and a retelling copied but not yet renamed.
    const auto recording = AudioRecorder::recordingFolder().getChildFile("recording-1234.ogg");
    ASSERT_TRUE(recording.create().wasOk());
    const auto stem =
        DocumentManager::getCourseFile(DocumentManager::waveformFile).getFileNameWithoutExtension();
    const auto partial =
        FileReplacement::partialFileFor(DocumentManager::TempDir().getChildFile(stem + "-retell.ogg"));
    ASSERT_TRUE(partial.replaceWithText("half a retelling"));

    controller().startWholeApplication(); // as the next start runs it
    EXPECT_FALSE(recording.exists());
    EXPECT_FALSE(partial.exists());
    EXPECT_TRUE(controller().isCourseOpen());
    EXPECT_FALSE(OpenWorkspace::filesInTemporaryFolder().joinIntoString(" ").contains(".partial"));
}

//==============================================================================
TEST(NoteEditorPieces, TheNextPieceEndsAtTheFirstMarkOfThePreferenceList)
{
    const String letters = String::repeatedString("a", 150);
    const struct
    {
        const char* what;
        String text;
        String selected;
    } cases[] = {
        {"blanks at the caret go, and ? wins over an earlier ,", " \n\t Well, I see? And then",
         "Well, I see?"},
        {"a full stop", "It rains. It pours.", "It rains."},
        {"a quote takes one more", "He said \"no.\" Then", "He said \"no.\""},
        {"an ellipsis takes two more", "Wait... and see", "Wait..."},
        {"no mark: 121 characters", letters, letters.substring(0, 121)},
        {"no mark near the end: up to it", "short tail", "short tail"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        juce::TextEditor editor;
        editor.setMultiLine(true);
        editor.setText(c.text);
        editor.setCaretPosition(0);
        NoteEditor::selectNextPiece(editor);
        EXPECT_EQ(editor.getHighlightedText(), c.selected);
    }
}

TEST_F(NoteEditorTest, InputModeStoresTheSelectedPieceAsTheSentencesTextAndSelectsTheNext)
{
    model().selectSentence(0, true);
    auto& editor = show();
    auto& notes = text("notes");
    notes.setText("Good&#160;morning.&#10; How are you, friend? Fine");
    notes.setHighlightedRegion({0, 23}); // "Good&#160;morning.&#10;"

    Widgets::click(editor, "inputSelected");
    EXPECT_EQ(model().getValue(0, CourseModel::EnglishText).toString(), "Good morning.");
    EXPECT_EQ(undoManager->getUndoDescription(), TRANS("Input / edit foreign text"));
    EXPECT_EQ(model().getSelectedIndex(), 1) << "on to the next sentence";
    EXPECT_EQ(notes.getText(), "How are you, friend? Fine");
    EXPECT_EQ(notes.getHighlightedText(), "How are you, friend?");

    Widgets::click(editor, "inputSelected");
    EXPECT_EQ(model().getValue(1, CourseModel::EnglishText).toString(), "How are you, friend?");
    EXPECT_EQ(notes.getHighlightedText(), "Fine");

    // Nothing selected: nothing happens.
    notes.setHighlightedRegion({});
    Widgets::click(editor, "inputSelected");
    EXPECT_EQ(model().getSelectedIndex(), 2);
    EXPECT_EQ(model().getValue(2, CourseModel::EnglishText).toString(), "");
}

class NoteEditorInReview : public NoteEditorTest
{
protected:
    NoteEditorInReview() : NoteEditorTest(1) {}
};

TEST_F(NoteEditorInReview, InputModeIsOffForACourseUnderReview)
{
    auto& editor = show();
    EXPECT_FALSE(Widgets::byId<juce::Component>(editor, "inputSelected").isEnabled());
}

//==============================================================================
/** The notes editor recording from the tone client of the process through its JACK device. */
class NoteEditorRecording : public NoteEditorTest
{
protected:
    void SetUp() override
    {
        if (!JackToneDevice::isServerExpected())
            GTEST_SKIP() << "no JACK server expected on this machine";
        tone = std::make_unique<JackToneDevice>(frequency, 0.5f);
        ASSERT_TRUE(tone->isRunning());
        ASSERT_EQ(tone->openAsDevice(*deviceManager, true), "");
    }

    void TearDown() override
    {
        // The device goes before the tone client it plays through.
        deviceManager->closeAudioDevice();
        tone.reset();
    }

    /** Records for this long, as the learner does: the record button, then again. */
    void record(NoteEditor& editor, double seconds)
    {
        auto& waveform = Widgets::byId<RecordingThumbnail>(editor, "waveform");
        Widgets::click(editor, "record");
        ASSERT_TRUE(
            OpenCourse::pumpUntil([&] { return waveform.thumbnail.getTotalLength() >= seconds; }, 30000));
        EXPECT_FALSE(Widgets::byId<juce::Component>(editor, "storedPlay").isEnabled())
            << "nothing plays while recording";
        EXPECT_FALSE(Widgets::byId<juce::Component>(editor, "replace").isEnabled());
        ModalAnswerer noReport; // a recording that lost blocks would say so here
        Widgets::click(editor, "record");
    }

    /** What a file holds, checked to be the tone. */
    static void expectTone(const juce::File& file, double seconds)
    {
        const auto heard = RecordingProbe::measure(file);
        ASSERT_TRUE(heard.opened) << file.getFullPathName();
        EXPECT_EQ(heard.numChannels, 1);
        EXPECT_NEAR(heard.frequency, frequency, 0.5);
        EXPECT_NEAR(heard.length / heard.sampleRate, seconds, 0.5);
    }

    static constexpr double frequency = 440.0;
    std::unique_ptr<JackToneDevice> tone;
};

TEST_F(NoteEditorRecording, ALearnerWritesNotesRecordsARetellingReplacesItAndClosesWithOk)
{
    model().setValue(-1, CourseModel::CourseName, "Lesson", false);
    undoManager->clearUndoHistory();
    auto& editor = show();
    const auto retell = editor.getRetellFile();
    text("title").setText("Lesson 7");
    text("notes").setText("Retell it in three sentences.");

    record(editor, 3.0);
    EXPECT_TRUE(Widgets::byId<juce::Component>(editor, "freshPlay").isEnabled());
    EXPECT_TRUE(Widgets::byId<juce::Component>(editor, "replace").isEnabled());
    EXPECT_TRUE(Widgets::byId<juce::Label>(editor, "freshLength").getText().startsWith("0:03."));
    EXPECT_EQ(retell.getSize(), 0) << "nothing kept before Replace";

    Widgets::click(editor, "replace");
    expectTone(retell, 3.0);
    EXPECT_TRUE(markerShown()) << "a retelling marks the notes";
    EXPECT_TRUE(Widgets::byId<juce::Component>(editor, "storedPlay").isEnabled());
    EXPECT_FALSE(Widgets::byId<juce::Component>(editor, "replace").isEnabled()) << "the recording moved";
    EXPECT_TRUE(Widgets::byId<juce::Label>(editor, "storedLength").getText().startsWith("0:03."));

    // A second, shorter one replaces it whole, and nothing half-written stays beside it.
    record(editor, 1.0);
    Widgets::click(editor, "replace");
    expectTone(retell, 1.0);
    EXPECT_EQ(DocumentManager::getCourseFile(DocumentManager::retelling), retell);
    EXPECT_FALSE(OpenWorkspace::filesInTemporaryFolder().joinIntoString(" ").contains(".partial"));

    Widgets::click(editor, "ok");
    EXPECT_FALSE(editor.isVisible());
    EXPECT_TRUE(workspace.window().getName().startsWith("qZ - Lesson 7 ("));
    EXPECT_TRUE(markerShown());
    ASSERT_TRUE(undoManager->undo());
    EXPECT_EQ(model().getValue(-1, CourseModel::CourseName).toString(), "Lesson");
    EXPECT_EQ(model().getValue(-1, CourseModel::Notes).toString(), "");
    EXPECT_FALSE(undoManager->canUndo()) << "title and notes are one step";
    EXPECT_TRUE(markerShown()) << "the retelling still marks the notes";

    // The next show finds the retelling.
    show();
    EXPECT_TRUE(Widgets::byId<juce::Component>(editor, "storedPlay").isEnabled());
}

TEST_F(NoteEditorRecording, AStoredRetellingPlaysToItsEndAndItsRowStartsOverAgain)
{
    auto& editor = show();
    record(editor, 1.0);
    Widgets::click(editor, "replace");

    Widgets::click(editor, "storedPlay");
    auto& play = Widgets::byId<juce::Button>(editor, "storedPlay");
    EXPECT_EQ(play.getButtonText(), TRANS("Stop"));
    EXPECT_FALSE(Widgets::byId<juce::Component>(editor, "record").isEnabled());
    EXPECT_FALSE(Widgets::byId<juce::Component>(editor, "delete").isEnabled());
    ASSERT_TRUE(OpenCourse::pumpUntil([&] { return play.getButtonText() == TRANS("Play"); }, 30000));
    EXPECT_EQ(Widgets::byId<juce::Slider>(editor, "storedSlider").getValue(), 0.0);
    EXPECT_EQ(Widgets::byId<juce::Label>(editor, "storedPosition").getText(), "0:00.00");
    EXPECT_TRUE(Widgets::byId<juce::Component>(editor, "record").isEnabled());
}

TEST_F(NoteEditorRecording, SaveAsExportsAndSaysWhenItCannotDeleteRemovesTheRetelling)
{
    auto& editor = show();
    record(editor, 1.0);
    Widgets::click(editor, "replace");
    const auto retell = editor.getRetellFile();

    const auto home = juce::File::getSpecialLocation(juce::File::userHomeDirectory);
    const auto exported = home.getChildFile("my retelling.ogg");
    ASSERT_TRUE(exported.replaceWithText("an older export"));
    {
        ModalAnswerer answerer;
        answerer.chooseFile(exported);
        answerer.press(TRANS("Overwrite")); // the chooser asks before it overwrites
        Widgets::click(editor, "saveAs");
        answerer.expectDone();
        EXPECT_EQ(answerer.seen().at(0).title, TRANS("File save as..."));
    }
    EXPECT_TRUE(exported.hasIdenticalContentTo(retell));

    // A place that can't be written: the learner hears of it, and the retelling stays.
    const auto blocked = home.getChildFile("a file/retelling.ogg");
    ASSERT_TRUE(home.getChildFile("a file").replaceWithText("not a folder"));
    {
        ModalAnswerer answerer;
        answerer.chooseFile(blocked);
        answerer.press(TRANS("OK"));
        Widgets::click(editor, "saveAs");
        answerer.expectDone();
        ASSERT_EQ(answerer.seen().size(), 2u);
        EXPECT_EQ(answerer.seen()[1].message, TRANS("The retelling could not be saved as this file."));
    }
    EXPECT_TRUE(RecordingProbe::measure(retell).opened);

    Widgets::click(editor, "delete");
    EXPECT_FALSE(retell.exists());
    EXPECT_FALSE(Widgets::byId<juce::Component>(editor, "storedPlay").isEnabled());
    EXPECT_EQ(Widgets::byId<juce::Label>(editor, "storedLength").getText(), "0:00.00");
    EXPECT_FALSE(markerShown());
}

TEST_F(NoteEditorRecording, AReplaceThatCannotWriteIsReportedAndTheRecordingKept)
{
    auto& editor = show();
    record(editor, 1.0);

    // Something stands in the retelling's place that no file can replace.
    const auto retell = editor.getRetellFile();
    ASSERT_TRUE(retell.deleteFile());
    ASSERT_TRUE(retell.createDirectory().wasOk());
    {
        ModalAnswerer answerer;
        answerer.press(TRANS("OK"));
        Widgets::click(editor, "replace");
        answerer.expectDone();
        ASSERT_EQ(answerer.seen().size(), 1u);
        EXPECT_EQ(answerer.seen()[0].message,
                  TRANS("The new retelling could not be kept; the recording is still there to try again."));
    }
    EXPECT_TRUE(Widgets::byId<juce::Component>(editor, "replace").isEnabled())
        << "the recording is still there";
    EXPECT_FALSE(FileReplacement::partialFileFor(retell).exists());

    ASSERT_TRUE(retell.deleteRecursively());
    Widgets::click(editor, "replace");
    expectTone(retell, 1.0);
}

TEST_F(NoteEditorTest, WithoutAnInputDeviceRecordingDoesNotStartAndTheLearnerIsTold)
{
    auto& editor = show(); // no device is open in this test
    ModalAnswerer answerer;
    answerer.press(TRANS("OK"));
    Widgets::click(editor, "record");
    answerer.expectDone();
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.seen()[0].title, TRANS("Can't start recording"));
    EXPECT_EQ(Widgets::byId<juce::Component>(editor, "record").findColour(juce::TextButton::buttonColourId),
              juce::Colours::red);
    EXPECT_TRUE(Widgets::byId<juce::Component>(editor, "record").isEnabled()) << "the next press tries again";
}
