#include "workspace/MainWindow.h"
#include "engine/CourseModel.h"
#include "engine/DocumentManager.h"
#include "engine/GlobalData.h"
#include "engine/SystemModel.h"
#include "workspace/BaseComponent.h"
#include "workspace/CommandCenter.h"
#include "workspace/CourseController.h"
#include "workspace/FunctionZone.h"
#include "workspace/Main.h"
#include "workspace/MainComponent.h"
#include "workspace/StatusBar.h"
#include "workspace/panels/FilesBrowsePanel.h"

#include "harness/AudioFixtures.h"
#include "harness/ModalAnswerer.h"
#include "harness/OpenCourse.h"
#include "harness/OpenWorkspace.h"
#include "harness/TemporaryHome.h"

#include <gtest/gtest.h>

using juce::File;
using juce::String;
using Icon = juce::MessageBoxIconType;

namespace
{
File writeText(const String& name, const String& text)
{
    const auto file = homeFile(name);
    EXPECT_TRUE(file.replaceWithText(text));
    return file;
}

/** The first bytes of a file, as a copy under another name. */
File truncatedCopy(const File& source, const String& name, juce::int64 bytes)
{
    juce::MemoryBlock data;
    EXPECT_TRUE(source.loadFileAsData(data));
    data.setSize((size_t)juce::jmin((juce::int64)data.getSize(), bytes));
    const auto file = homeFile(name);
    EXPECT_TRUE(file.replaceWithData(data.getData(), data.getSize()));
    return file;
}

struct Box
{
    String title;
    String message;
    Icon icon;
};

void expectBoxes(const ModalAnswerer& answerer, const std::vector<Box>& expected, const String& what)
{
    ASSERT_EQ(answerer.seen().size(), expected.size()) << what;
    for (size_t i = 0; i < expected.size(); ++i)
    {
        const auto& seen = answerer.seen()[i];
        EXPECT_EQ(seen.title, expected[i].title) << what << ", box " << i;
        EXPECT_EQ(seen.message, expected[i].message) << what << ", box " << i;
        EXPECT_EQ(seen.icon, expected[i].icon) << what << ", box " << i;
        EXPECT_EQ(seen.buttons, juce::StringArray(TRANS("OK"))) << what << ", box " << i;
    }
}

int indexAmongChildren(const juce::Component& child)
{
    return child.getParentComponent()->getIndexOfChildComponent(&child);
}
} // namespace

//==============================================================================
TEST(MainWindowLayout, TheWindowCannotShrinkBelowItsLimits)
{
    OpenWorkspace workspace;
    auto& window = workspace.window();
    EXPECT_EQ(window.getName(), "qZ");
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.isUsingNativeTitleBar());
    EXPECT_TRUE(window.isResizable());
    for (auto* child : window.getChildren())
        EXPECT_EQ(dynamic_cast<juce::ResizableCornerComponent*>(child), nullptr);

    auto* limits = window.getConstrainer();
    ASSERT_NE(limits, nullptr);
    EXPECT_EQ(limits->getMinimumWidth(), 616);
    EXPECT_EQ(limits->getMinimumHeight(), 430);
    EXPECT_EQ(limits->getMaximumWidth(), 8192);
    EXPECT_EQ(limits->getMaximumHeight(), 8192);
}

TEST(MainWindowLayout, TheLearningAreaAndTheWaveformStripKeepTheirMinimumSizes)
{
    OpenWorkspace workspace;
    auto& main = workspace.main();
    auto& browser = workspace.base().getFilesBrowsePanel();

    struct Size
    {
        int width, height;
    };
    // The smallest window content, a usual one and a wide one.
    for (const auto size : {Size{616, 430}, Size{1000, 700}, Size{3000, 2000}})
    {
        workspace.layOut(size.width, size.height);
        const auto what = String(size.width) + " x " + String(size.height);
        EXPECT_GE(main.getWidth(), 450) << what;
        EXPECT_EQ(main.getX(), 0) << what;
        EXPECT_EQ(browser.getX(), main.getRight() + 4) << what;
        EXPECT_EQ(browser.getRight(), size.width) << what;
        EXPECT_LE(browser.getWidth(), size.width * 8 / 10) << what;

        EXPECT_EQ(main.getThumbsViewport().getY(), 0) << what;
        EXPECT_GE(main.getThumbsViewport().getHeight(), 57) << what;
        EXPECT_EQ(main.getSentencesViewport().getY(), main.getThumbsViewport().getBottom() + 4) << what;
        EXPECT_EQ(main.getSentencesViewport().getBottom(), main.getHeight() - 2 - GlobalData::statusHeight)
            << what;
    }

    // A learning area too low for the preferred strip still keeps 57 px of it.
    main.setSize(600, 200);
    EXPECT_GE(main.getThumbsViewport().getHeight(), 57);
}

TEST(MainWindowLayout, TheStatusBarLiesAtTheBottomWithTheToolbarCentredOverIt)
{
    OpenWorkspace workspace;
    auto& main = workspace.main();
    for (const int width : {600, 801})
    {
        main.setSize(width, 500);
        EXPECT_EQ(main.getStatusBar().getBounds(), juce::Rectangle<int>(0, 500 - 1 - 30, width, 30));
        // The halving truncates: 801 - 437 = 364 puts the toolbar at 182.
        EXPECT_EQ(main.getFunctionZone().getBounds(),
                  juce::Rectangle<int>((width - 437) / 2, 500 - 29, 437, 25));
    }
    EXPECT_GT(indexAmongChildren(main.getFunctionZone()), indexAmongChildren(main.getStatusBar()));
    EXPECT_FALSE(main.getSentencesViewport().keyPressed(juce::KeyPress(juce::KeyPress::downKey)));
    EXPECT_FALSE(main.getThumbsViewport().keyPressed(juce::KeyPress(juce::KeyPress::pageDownKey)));
}

//==============================================================================
TEST(MainWindowState, AFirstStartIsFullScreenAndTheLastStateComesBack)
{
    String leftState;
    {
        OpenWorkspace first;
        EXPECT_EQ(systemModel->getMainWindowState(), "fs 50, 50, 800, 600");
        EXPECT_TRUE(first.window().getWindowStateAsString().startsWith("fs"));

        first.window().setFullScreen(false);
        first.window().setBounds(120, 80, 700, 500);
        OpenCourse::pumpUntil([&] { return !first.window().isFullScreen(); }, 2000);
        leftState = first.window().getWindowStateAsString();
        ASSERT_FALSE(leftState.startsWith("fs"));
    }

    OpenWorkspace second;
    EXPECT_EQ(systemModel->getMainWindowState(), leftState);
    EXPECT_FALSE(second.window().getWindowStateAsString().startsWith("fs"));
}

//==============================================================================
TEST(MainWindowKeys, SavedKeyMappingsAreRestoredOverTheDefaults)
{
    {
        OpenWorkspace first;
        auto* mappings = commandManager->getKeyMappings();
        const auto defaults = mappings->getKeyPressesAssignedToCommand(CommandCenter::newCourse);
        ASSERT_EQ(defaults.size(), 1);
        EXPECT_EQ(defaults[0], juce::KeyPress('n', juce::ModifierKeys::commandModifier, 0));
        EXPECT_EQ(commandManager->getFirstCommandTarget(CommandCenter::newCourse),
                  first.main().getCommandCenter());

        mappings->clearAllKeyPresses(CommandCenter::newCourse);
        mappings->addKeyPress(CommandCenter::newCourse, juce::KeyPress(juce::KeyPress::F9Key));
        const auto saved = mappings->createXml(true);
        systemModel->getProperties().setValue(SystemModel::UserKeyMapping, saved.get());
    }

    OpenWorkspace second;
    const auto restored =
        commandManager->getKeyMappings()->getKeyPressesAssignedToCommand(CommandCenter::newCourse);
    ASSERT_EQ(restored.size(), 1);
    EXPECT_EQ(restored[0], juce::KeyPress(juce::KeyPress::F9Key));
}

TEST(MainWindowKeys, CtrlNAnywhereInTheWindowOpensTheFileChooser)
{
    OpenWorkspace workspace;
    auto* peer = workspace.window().getPeer();
    ASSERT_NE(peer, nullptr);

    ModalAnswerer answerer;
    answerer.cancel();
    peer->handleKeyPress(juce::KeyPress('n', juce::ModifierKeys::commandModifier, 'n'));
    ASSERT_TRUE(answerer.waitUntilSeen(1, 5000));
    EXPECT_EQ(answerer.seen()[0].kind, ModalAnswerer::Kind::fileChooser);
    EXPECT_EQ(answerer.seen()[0].title, TRANS("Select an audio file and open it"));
    EXPECT_FALSE(workspace.controller().isCourseOpen());
}

TEST(MainWindowKeys, NewCourseIsOfferedOnlyWithoutACourseAndWithFewerDueCoursesThanTheSetting)
{
    OpenWorkspace workspace;
    const auto offered = [&]
    {
        juce::ApplicationCommandInfo info(CommandCenter::newCourse);
        workspace.main().getCommandCenter()->getCommandInfo(CommandCenter::newCourse, info);
        EXPECT_EQ(info.shortName, TRANS("New course"));
        return (info.flags & juce::ApplicationCommandInfo::isDisabled) == 0;
    };

    // No due course, and the default asks for at least one before review comes first.
    EXPECT_TRUE(offered());
    systemModel->atLeastUnreview = 0;
    EXPECT_FALSE(offered());
    systemModel->atLeastUnreview = 1;

    ModalAnswerer answerer;
    answerer.letProgressRun();
    ASSERT_TRUE(workspace.main().fileDroped(AudioFixtures::writeHomeTone("lesson.wav", 3.0)));
    EXPECT_FALSE(offered());
}

//==============================================================================
TEST(DroppedFiles, EachKindOfFileShowsItsBoxAndChangesNothingElse)
{
    OpenWorkspace workspace;
    auto& main = workspace.main();

    const auto tone = AudioFixtures::writeHomeTone("lesson.wav", 3.0);
    const auto folder = homeFile("recordings");
    ASSERT_TRUE(folder.createDirectory());
    juce::MemoryBlock wavBytes;
    ASSERT_TRUE(tone.loadFileAsData(wavBytes));

    const Box unrecognised{TRANS("Ah oh"), TRANS("Can't recognize and load this file."), Icon::InfoIcon};
    const auto courseware = truncatedCopy(tone, "lesson.qzc", (juce::int64)wavBytes.getSize());
    struct Case
    {
        String what;
        File file;
        std::vector<Box> boxes;
    };
    const std::vector<Case> cases{
        {"a folder", folder, {}},
        // Courseware goes to its own road, which never takes it for audio.
        {"courseware",
         courseware,
         {{TRANS("Ah oh"), TRANS("Courseware load failed!") + "\r\n\r\n" + courseware.getFullPathName(),
           Icon::InfoIcon}}},
        {"a CD track outside a CD drive",
         writeText("Track01.cda", "not a track"),
         {{TRANS("Ah oh"), TRANS("This file isn't a valid CD audio."), Icon::InfoIcon}}},
        {"a text file", writeText("notes.txt", "hello"), {unrecognised}},
        {"text named as audio", writeText("notes.wav", "hello"), {unrecognised}},
        {"audio cut inside its header", truncatedCopy(tone, "cut.wav", 20), {unrecognised}},
        // Only an exact, lower-case ".qzc" is courseware; in capitals it is unknown audio.
        {"courseware named in capitals",
         truncatedCopy(tone, "LESSON.QZC", (juce::int64)wavBytes.getSize()),
         {unrecognised}},
        {"audio of 0.4 s",
         AudioFixtures::writeHomeTone("short.wav", 0.4),
         {{TRANS("Ah oh"), TRANS("Invalid audio file!"), Icon::InfoIcon},
          {TRANS("Ah oh"), TRANS("File load failed!"), Icon::WarningIcon}}},
    };

    for (const auto& c : cases)
    {
        ModalAnswerer answerer;
        for (size_t i = 0; i < c.boxes.size(); ++i)
            answerer.press(TRANS("OK"));
        main.filesDropped({c.file.getFullPathName()}, 10, 10);
        expectBoxes(answerer, c.boxes, c.what);
        answerer.expectDone();

        EXPECT_FALSE(workspace.controller().isCourseOpen()) << c.what;
        EXPECT_TRUE(OpenWorkspace::filesInTemporaryFolder().isEmpty())
            << c.what << ": " << OpenWorkspace::filesInTemporaryFolder().joinIntoString(", ");
        EXPECT_EQ(workspace.window().getName(), "qZ") << c.what;
    }
}

TEST(DroppedFiles, OnlyTheFirstOfSeveralFilesIsUsed)
{
    OpenWorkspace workspace;
    const auto unreadable = writeText("notes.txt", "hello");
    const auto tone = AudioFixtures::writeHomeTone("lesson.wav", 3.0);

    ModalAnswerer answerer;
    answerer.press(TRANS("OK"));
    workspace.main().filesDropped({unreadable.getFullPathName(), tone.getFullPathName()}, 0, 0);
    expectBoxes(answerer, {{TRANS("Ah oh"), TRANS("Can't recognize and load this file."), Icon::InfoIcon}},
                "text, then audio");
    EXPECT_FALSE(workspace.controller().isCourseOpen());
}

TEST(DroppedFiles, AnOpenCourseOrStrayFilesRefuseEveryDrop)
{
    OpenWorkspace workspace;
    auto& main = workspace.main();
    const auto tone = AudioFixtures::writeHomeTone("lesson.wav", 3.0);
    const auto other = AudioFixtures::writeHomeTone("other.wav", 3.0);

    // Stray files left in the temporary folder stop a new course.
    const auto stray = DocumentManager::TempDir().getChildFile("stray.txt");
    ASSERT_TRUE(stray.create().wasOk());
    {
        ModalAnswerer answerer;
        answerer.press(TRANS("OK"));
        EXPECT_FALSE(main.fileDroped(tone));
        expectBoxes(answerer,
                    {{TRANS("Ah oh"),
                      TRANS("The application's temp folder isn't empty.") + "\r\n\r\n" +
                          TRANS("Please check it out."),
                      Icon::InfoIcon}},
                    "stray files");
    }
    EXPECT_EQ(OpenWorkspace::filesInTemporaryFolder(), juce::StringArray("stray.txt"));
    EXPECT_FALSE(workspace.controller().isCourseOpen());
    ASSERT_TRUE(DocumentManager::TempDir().deleteRecursively());

    {
        ModalAnswerer answerer;
        answerer.letProgressRun();
        ASSERT_TRUE(main.fileDroped(tone));
    }
    const auto courseText = workspace.model().getCourseFile();
    const auto workingSet = OpenWorkspace::filesInTemporaryFolder();
    const auto title = workspace.window().getName();

    // A folder is ignored even now; anything else is refused while the course is open.
    for (const auto& file : {other, homeFile("notes.txt"), homeFile("Track01.cda")})
    {
        ModalAnswerer answerer;
        answerer.press(TRANS("OK"));
        EXPECT_FALSE(main.fileDroped(file));
        expectBoxes(answerer,
                    {{TRANS("Ah oh"), TRANS("Please archive current course first, then do this again."),
                      Icon::InfoIcon}},
                    file.getFileName());
    }
    {
        ModalAnswerer answerer;
        EXPECT_FALSE(main.fileDroped(File::getSpecialLocation(File::userHomeDirectory)));
        EXPECT_TRUE(answerer.seen().empty());
    }
    EXPECT_EQ(workspace.model().getCourseFile(), courseText);
    EXPECT_EQ(OpenWorkspace::filesInTemporaryFolder(), workingSet);
    EXPECT_EQ(workspace.window().getName(), title);
}

TEST(DroppedFiles, OnlyTheSideBrowsersOwnDragsAreTaken)
{
    OpenWorkspace workspace;
    auto& main = workspace.main();
    EXPECT_TRUE(main.isInterestedInFileDrag({}));

    // Nothing is selected in the browser, so its drag brings the nonexistent file: a file that no
    // reader opens. A drag of anything else is not looked at.
    juce::Component source;
    const juce::DragAndDropTarget::SourceDetails otherDrag("SomethingElse", &source, {});
    EXPECT_TRUE(main.isInterestedInDragSource(otherDrag));
    {
        ModalAnswerer answerer;
        main.itemDropped(otherDrag);
        EXPECT_TRUE(answerer.seen().empty());
    }
    {
        ModalAnswerer answerer;
        answerer.press(TRANS("OK"));
        main.itemDropped({"FileDragInFileBrowser", &source, {}});
        expectBoxes(answerer,
                    {{TRANS("Ah oh"), TRANS("Can't recognize and load this file."), Icon::InfoIcon}},
                    "the browser's drag");
    }
}
