// What the course library's buttons do with the selected course: its notes and its audio in
// call-out boxes (the audio played from inside the archive), or why not; moving courses and
// their mobile files to the trash, one or all finished ones, with the questions before and the
// messages when the trash refuses. And the command that opens the library window.
#include "dialogs/CourseManagerPanel.h"

#include "dialogs/SimpleListenComponent.h"
#include "engine/Clock.h"
#include "engine/DocumentManager.h"
#include "engine/GlobalData.h"
#include "workspace/CommandCenter.h"
#include "workspace/Main.h"
#include "workspace/MainComponent.h"

#include "common/LibraryArchives.h"
#include "harness/CourseManagerWindow.h"
#include "harness/FileFaults.h"
#include "harness/ModalAnswerer.h"
#include "harness/OpenCourse.h"
#include "harness/OpenWorkspace.h"
#include "harness/PlaybackProbe.h"
#include "harness/Widgets.h"

#include <gtest/gtest.h>

using juce::String;
using Course = LibraryArchives::Course;

namespace
{
const String plain("2017-0401-0900-00"), withEverything("2017-0402-0900-00"), damaged("2017-0403-0900-00"),
    finishedEarly("2017-0301-0900-00"), finishedLate("2017-0305-0900-00");

/** Newest first: a course with notes, audio and a retelling; one whose audio entries are no
    audio; one with audio only; two finished courses. */
void writeLibrary()
{
    Clock::setFixedTime(juce::Time(2017, 3, 5, 15, 30, 7, 0, true));
    Course full{withEverything, "Full", "2 Apr 2017 9:00:00am", "6 Apr 2017"};
    full.notes = "Line one\nline two";
    full.audioSeconds = 1.0;
    full.retellSeconds = 0.5;
    Course broken{damaged, "Broken", "3 Apr 2017 9:00:00am", "6 Apr 2017"};
    broken.audioSeconds = -1.0;
    broken.retellSeconds = -1.0;
    Course audioOnly{plain, "Plain", "1 Apr 2017 9:00:00am", "6 Apr 2017"};
    Course first{finishedEarly, "Done", "1 Mar 2017 9:00:00am", "", 3, 0, 1.0, -1};
    Course second{finishedLate, "Done too", "5 Mar 2017 9:00:00am", "", 3, 0, 1.0, -1};
    second.mobileSeconds = 0.0;
    ASSERT_TRUE(LibraryArchives::add({full, broken, audioOnly, first, second}));
}

juce::StringArray stemsInRowOrder(const CourseManagerPanel& panel)
{
    juce::StringArray stems;
    for (const auto& archive : panel.getArchives())
        stems.add(archive.getFileNameWithoutExtension());
    return stems;
}

int rowOf(const CourseManagerPanel& panel, const String& stem)
{
    return stemsInRowOrder(panel).indexOf(stem);
}

/** Selects the course's row and clicks the button. */
void clickFor(CourseManagerPanel& panel, const String& stem, const String& buttonId)
{
    panel.getTable().selectRow(rowOf(panel, stem));
    Widgets::click(panel, buttonId);
}

bool deviceExpected()
{
    return juce::SystemStats::getEnvironmentVariable("QZ_AUDIO_DEVICE_EXPECTED", {}) == "1";
}

void dismiss(CourseManagerWindow& window)
{
    if (auto* box = window.openCallOut())
        box->dismiss();
    OpenCourse::pumpUntil([&window] { return window.openCallOut() == nullptr; }, 3000);
}

/** Deletes the course, answering its question, and returns the refusal that follows; the
    refusal is told without waiting for its button. */
ModalAnswerer::Seen deleteAndReadRefusal(CourseManagerPanel& panel, const String& stem)
{
    ModalAnswerer answerer;
    answerer.press(TRANS("Delete"));
    answerer.press(TRANS("OK"));
    clickFor(panel, stem, "delete");
    EXPECT_TRUE(answerer.waitUntilSeen(2, 5000));
    answerer.expectDone();
    return answerer.seen().size() == 2 ? answerer.seen()[1] : ModalAnswerer::Seen();
}

bool inTrash(const String& fileName)
{
    return LibraryArchives::trashed(fileName).existsAsFile() &&
           LibraryArchives::trashInfo(fileName).existsAsFile();
}

class CourseManagerActions : public testing::Test
{
protected:
    void SetUp() override
    {
        writeLibrary();
        window = std::make_unique<CourseManagerWindow>();
        ASSERT_EQ(stemsInRowOrder(panel()),
                  juce::StringArray(damaged, withEverything, plain, finishedLate, finishedEarly));
    }

    void TearDown() override
    {
        dismiss(*window);
        window.reset();
    }

    CourseManagerPanel& panel() const { return window->panel(); }

    ProcessWideObjects objects;
    std::unique_ptr<CourseManagerWindow> window;
};
} // namespace

TEST_F(CourseManagerActions, NotesShowInACallOutOrTheirAbsenceIsTold)
{
    ModalAnswerer answerer;
    answerer.press(TRANS("OK"));
    clickFor(panel(), plain, "note");
    answerer.expectDone();
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.seen()[0].title, TRANS("Ah oh"));
    EXPECT_EQ(answerer.seen()[0].message, TRANS("This course doesn't has any notes."));
    EXPECT_EQ(answerer.seen()[0].icon, juce::MessageBoxIconType::InfoIcon);
    EXPECT_EQ(window->openCallOut(), nullptr);

    ASSERT_TRUE(window->bringToFront());
    clickFor(panel(), withEverything, "note");
    auto* box = window->openCallOut();
    ASSERT_NE(box, nullptr);
    auto* notes = ModalAnswerer::findContent<juce::TextEditor>(*box);
    ASSERT_NE(notes, nullptr);
    EXPECT_EQ(notes->getText(), "Line one\nline two");
    EXPECT_TRUE(notes->isReadOnly());
    EXPECT_TRUE(notes->isMultiLine());
    EXPECT_EQ(notes->getWidth(), 400);
    EXPECT_EQ(notes->getHeight(), 300);
}

TEST_F(CourseManagerActions, ListenAndRetellTellWhatIsMissingOrDamaged)
{
    struct Case
    {
        String stem;
        const char* button;
        const char* message;
    };
    const Case cases[] = {
        {plain, "retell", "This course doesn't has retell data."},
        {damaged, "listen", "The audio data of this course maybe missing or damaged."},
        {damaged, "retell", "The retell data of this course maybe missing or damaged."},
    };
    for (const auto& c : cases)
    {
        ModalAnswerer answerer;
        answerer.press(TRANS("OK"));
        clickFor(panel(), c.stem, c.button);
        answerer.expectDone();
        ASSERT_EQ(answerer.seen().size(), 1u) << c.button;
        EXPECT_EQ(answerer.seen()[0].title, TRANS("Ah oh"));
        EXPECT_EQ(answerer.seen()[0].message, TRANS(c.message));
        EXPECT_EQ(window->openCallOut(), nullptr);
    }

    // The archive lost its audio after the window was opened.
    ASSERT_TRUE(LibraryArchives::archiveOf(plain).replaceWithText("cut short"));
    ModalAnswerer answerer;
    answerer.press(TRANS("OK"));
    clickFor(panel(), plain, "listen");
    answerer.expectDone();
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.seen()[0].message, TRANS("The audio data of this course maybe missing or invalid."));
}

TEST_F(CourseManagerActions, ListenAndRetellPlayFromTheArchiveUntilTheBoxCloses)
{
    const bool device = deviceExpected();
    if (device)
    {
        deviceManager->initialise(0, 2, nullptr, true);
        ASSERT_NE(deviceManager->getCurrentAudioDevice(), nullptr);
    }

    const std::pair<const char*, double> cases[] = {{"listen", 1.0}, {"retell", 0.5}};
    for (const auto& [button, seconds] : cases)
    {
        // A call-out box closes when another program takes the focus, as other tests' windows
        // on the shared display may do: a box closed early that way is tried again.
        bool judged = false;
        for (int attempt = 0; attempt < 3 && !judged; ++attempt)
        {
            ASSERT_TRUE(window->bringToFront());
            clickFor(panel(), withEverything, button);
            juce::Component::SafePointer<juce::CallOutBox> box(window->openCallOut());
            ASSERT_NE(box.getComponent(), nullptr) << button;
            auto* listen = ModalAnswerer::findContent<SimpleListenComponent>(*box);
            ASSERT_NE(listen, nullptr);
            EXPECT_EQ(listen->getWidth(), 360);
            EXPECT_EQ(listen->getLengthLabel().getText(), GlobalData::secondsToCsString(seconds));
            auto& transport = listen->getPlayer().transportSource;
            EXPECT_NEAR(transport.getLengthInSeconds(), seconds, 0.01);
            EXPECT_TRUE(transport.isPlaying());

            if (!device)
            {
                box->dismiss();
                OpenCourse::pumpUntil([&box] { return box == nullptr; }, 3000);
                EXPECT_EQ(box.getComponent(), nullptr);
                judged = true;
                continue;
            }
            // Heard through the device to the end, read from the archive all the while; then
            // the box closes by itself.
            double furthest = 0.0;
            bool lostFocus = false;
            juce::String shown;
            OpenCourse::pumpUntil(
                [&]
                {
                    if (box == nullptr)
                        return true;
                    furthest = juce::jmax(furthest, transport.getCurrentPosition());
                    lostFocus = lostFocus || !juce::Process::isForegroundProcess();
                    shown = listen->getTimeLabel().getText();
                    return false;
                },
                20000);
            if (lostFocus && box == nullptr && furthest < seconds * 0.8)
                continue;
            EXPECT_EQ(box.getComponent(), nullptr) << button << ": the box stays open";
            EXPECT_GT(furthest, seconds * 0.8) << button;
            EXPECT_NE(shown, "") << button;
            judged = true;
        }
        EXPECT_TRUE(judged) << button << ": the program lost the focus on every attempt";
    }
    if (device)
        deviceManager->closeAudioDevice();
}

TEST_F(CourseManagerActions, DeleteAsksThenMovesTheArchiveAndTheMobileFileToTheTrash)
{
    const auto archive = LibraryArchives::archiveOf(plain), mobile = LibraryArchives::mobileOf(plain);
    ASSERT_TRUE(mobile.existsAsFile());
    {
        ModalAnswerer answerer;
        answerer.cancel();
        clickFor(panel(), plain, "delete");
        answerer.expectDone();
        ASSERT_EQ(answerer.seen().size(), 1u);
        const auto& question = answerer.seen()[0];
        EXPECT_EQ(question.title, TRANS("This course will be deleted"));
        EXPECT_EQ(question.message, TRANS("Are you sure you want to delete this course?") + "\r\n\r\n" +
                                        TRANS("This action can not undo!"));
        EXPECT_EQ(question.buttons, juce::StringArray(TRANS("Delete"), TRANS("Cancel")));
        EXPECT_EQ(question.icon, juce::MessageBoxIconType::WarningIcon);
    }
    EXPECT_TRUE(archive.existsAsFile());
    EXPECT_EQ(panel().getNumRows(), 5);

    ModalAnswerer answerer;
    answerer.press(TRANS("Delete"));
    clickFor(panel(), plain, "delete");
    answerer.expectDone();
    EXPECT_FALSE(archive.exists());
    EXPECT_FALSE(mobile.exists());
    EXPECT_TRUE(inTrash(archive.getFileName()));
    EXPECT_TRUE(inTrash(mobile.getFileName()));
    EXPECT_EQ(stemsInRowOrder(panel()),
              juce::StringArray(damaged, withEverything, finishedLate, finishedEarly));
    EXPECT_EQ(panel().getNumRows(), 4);
    EXPECT_EQ(panel().getCoursesData().getNumChildElements(), 4);
    EXPECT_EQ(panel().getTable().getNumRows(), 4);
}

TEST_F(CourseManagerActions, AnArchiveTheTrashRefusesStaysListedAndTheNextDeleteTakesItsOwnRow)
{
    const auto held = LibraryArchives::archiveOf(withEverything);
    {
        UnmovableFile fault(held);
        if (!fault.holds())
            GTEST_SKIP() << "the file system takes no immutable mark";
        const auto told = deleteAndReadRefusal(panel(), withEverything);
        EXPECT_EQ(told.title, TRANS("Can't delete this course"));
        EXPECT_EQ(told.message, held.getFullPathName() + "\r\n\r\n" +
                                    TRANS("The course file maybe using by another application now."));
    }
    EXPECT_TRUE(held.existsAsFile());
    EXPECT_TRUE(LibraryArchives::mobileOf(withEverything).existsAsFile())
        << "the mobile file goes only after it";
    ASSERT_EQ(panel().getNumRows(), 5);
    EXPECT_EQ(rowOf(panel(), withEverything), 1);

    ModalAnswerer answerer;
    answerer.press(TRANS("Delete"));
    clickFor(panel(), damaged, "delete");
    answerer.expectDone();
    EXPECT_FALSE(LibraryArchives::archiveOf(damaged).exists());
    EXPECT_TRUE(held.existsAsFile());
    EXPECT_EQ(stemsInRowOrder(panel()),
              juce::StringArray(withEverything, plain, finishedLate, finishedEarly));
}

TEST_F(CourseManagerActions, AMobileFileTheTrashRefusesIsToldAfterTheCourseWent)
{
    const auto mobile = LibraryArchives::mobileOf(plain);
    UnmovableFile fault(mobile);
    if (!fault.holds())
        GTEST_SKIP() << "the file system takes no immutable mark";
    const auto told = deleteAndReadRefusal(panel(), plain);
    EXPECT_EQ(told.title, TRANS("Can't delete this mobile file"));
    EXPECT_EQ(told.message, mobile.getFullPathName() + "\r\n\r\n" +
                                TRANS("The course mobile file maybe using by another application now."));
    EXPECT_FALSE(LibraryArchives::archiveOf(plain).exists());
    EXPECT_EQ(rowOf(panel(), plain), -1);
}

TEST_F(CourseManagerActions, DeleteAllFinishedAsksThenTakesOnlyTheFinished)
{
    {
        ModalAnswerer answerer;
        answerer.cancel();
        Widgets::click(panel(), "deleteFinished");
        answerer.expectDone();
        ASSERT_EQ(answerer.seen().size(), 1u);
        EXPECT_EQ(answerer.seen()[0].title, TRANS("All finished courses will be deleted"));
        EXPECT_EQ(answerer.seen()[0].message, TRANS("Are you sure you really want to do this?") + "\r\n\r\n" +
                                                  TRANS("This action can not undo!"));
        EXPECT_EQ(answerer.seen()[0].buttons, juce::StringArray(TRANS("Delete"), TRANS("Cancel")));
    }
    EXPECT_EQ(panel().getNumRows(), 5);
    EXPECT_TRUE(panel().getButton(CourseManagerPanel::deleteFinishedButton).isEnabled());

    ModalAnswerer answerer;
    answerer.press(TRANS("Delete"));
    Widgets::click(panel(), "deleteFinished");
    answerer.expectDone();
    EXPECT_EQ(answerer.seen().size(), 1u) << "no single question per course";
    EXPECT_EQ(stemsInRowOrder(panel()), juce::StringArray(damaged, withEverything, plain));
    for (const auto& stem : {finishedEarly, finishedLate})
    {
        EXPECT_FALSE(LibraryArchives::archiveOf(stem).exists());
        EXPECT_TRUE(inTrash(stem + ".mqz"));
    }
    EXPECT_TRUE(inTrash("M-" + finishedEarly + ".ogg"));
    EXPECT_FALSE(panel().getButton(CourseManagerPanel::deleteFinishedButton).isEnabled());
}

TEST(CourseManagerOpenCourse, DeleteAllFinishedLeavesTheOpenCourseUnlessItsArchiveIsFinished)
{
    // The open course is recognised by the waveform file in the temporary folder.
    const std::pair<String, bool> cases[] = {{plain, false}, {finishedLate, true}};
    for (const auto& [open, deleted] : cases)
    {
        ProcessWideObjects objects;
        DocumentManager::CourseDir().deleteRecursively();
        DocumentManager::TempDir().deleteRecursively();
        writeLibrary();
        ASSERT_TRUE(DocumentManager::TempDir().createDirectory().wasOk());
        ASSERT_TRUE(DocumentManager::TempDir().getChildFile(open + ".smg").replaceWithText("overview"));
        CourseManagerWindow window;
        ModalAnswerer answerer;
        answerer.press(TRANS("Delete"));
        Widgets::click(window.panel(), "deleteFinished");
        answerer.expectDone();
        EXPECT_EQ(LibraryArchives::archiveOf(open).exists(), !deleted) << open;
        EXPECT_FALSE(LibraryArchives::archiveOf(finishedEarly).exists());
        EXPECT_TRUE(LibraryArchives::archiveOf(plain).exists());
    }
}

TEST(CourseManagerCommand, TheLibraryCommandOpensTheWindowAndOkClosesIt)
{
    OpenWorkspace workspace([] { writeLibrary(); });
    auto& commands = *workspace.main().getCommandCenter();

    ModalAnswerer answerer;
    answerer.handle(
        [](juce::Component& window)
        {
            EXPECT_EQ(window.getName(), TRANS("Courses manager"));
            auto* content = ModalAnswerer::findContent<CourseManagerPanel>(window);
            ASSERT_NE(content, nullptr);
            EXPECT_EQ(content->getNumRows(), 5);
            content->getButton(CourseManagerPanel::okButton).triggerClick();
        });
    ASSERT_TRUE(
        commands.perform(juce::ApplicationCommandTarget::InvocationInfo(CommandCenter::coursesManager)));
    answerer.expectDone();
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.seen()[0].kind, ModalAnswerer::Kind::dialog);
}
