// The side browser: which entries the tree lists (also from hostile folders), the root box and
// the saved root, what selecting a row does to the preview, and the play-through of a folder,
// which skips a damaged recording and stops at a file that isn't one.
#include "workspace/panels/FilesBrowsePanel.h"

#include "engine/SystemModel.h"
#include "harness/AudioFixtures.h"
#include "harness/CdImages.h"
#include "harness/ModalAnswerer.h"
#include "harness/OpenWorkspace.h"
#include "harness/PlaybackProbe.h"
#include "harness/ProcessWideObjects.h"
#include "workspace/Main.h"
#include "workspace/panels/BrowseFileFilter.h"
#include "workspace/panels/BrowseFileTree.h"
#include "workspace/panels/BrowseFolderList.h"
#include "workspace/panels/BrowseTreeItem.h"
#include "workspace/panels/BrowserListenComponent.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using juce::File;
using juce::String;

namespace
{
File home()
{
    return File::getSpecialLocation(File::userHomeDirectory);
}

File makeFolder(const String& path)
{
    const auto folder = home().getChildFile(path);
    EXPECT_TRUE(folder.createDirectory().wasOk());
    return folder;
}

void writeTone(const File& file, double seconds)
{
    EXPECT_TRUE(AudioFixtures::writeTone(file, seconds)) << file.getFullPathName();
}

void link(const String& target, const File& at)
{
    EXPECT_EQ(symlink(target.toRawUTF8(), at.getFullPathName().toRawUTF8()), 0) << at.getFullPathName();
}

/** The names of the rows of a tree item, in display order. */
juce::StringArray rowNames(juce::TreeViewItem& item)
{
    juce::StringArray names;
    for (int i = 0; i < item.getNumSubItems(); ++i)
        names.add(dynamic_cast<BrowseTreeItem&>(*item.getSubItem(i)).getFile().getFileName());
    return names;
}

/** Waits for a folder list to finish and for the rows to follow it. */
bool waitForRows(juce::TreeViewItem& item, const BrowseFolderList& list, int timeoutMs = 10000)
{
    return PlaybackProbe::pumpUntil(
        [&] { return !list.isStillLoading() && item.getNumSubItems() == list.getNumFiles(); }, timeoutMs);
}

/** A folder list over the filter on a thread of its own. */
struct Scan
{
    Scan() { thread.startThread(); }
    ~Scan() { list.reset(); }

    /** The entries' names joined by "|", folders ending in "/". */
    String namesIn(const File& folder)
    {
        list->setDirectory(folder);
        EXPECT_TRUE(PlaybackProbe::pumpUntil([&] { return !list->isStillLoading(); }, 10000));
        PlaybackProbe::pumpUntil([] { return false; }, 50);
        juce::StringArray names;
        for (int i = 0; i < list->getNumFiles(); ++i)
            names.add(list->getEntry(i).name + (list->getEntry(i).isDirectory ? "/" : ""));
        return names.joinIntoString("|");
    }

    juce::TimeSliceThread thread{"scan"};
    BrowseFileFilter filter;
    std::unique_ptr<BrowseFolderList> list = std::make_unique<BrowseFolderList>(filter, thread);
};
} // namespace

//==============================================================================
TEST(BrowseFileFilter, OnlyRegularFilesOfTheKindsQzOpensAreListedByTheirWholeExtension)
{
    ProcessWideObjects objects;
    BrowseFileFilter filter;
    const auto folder = makeFolder("kinds");
    const auto tone = folder.getChildFile("tone.wav");
    writeTone(tone, 0.1);
    ASSERT_EQ(mkfifo(folder.getChildFile("pipe.wav").getFullPathName().toRawUTF8(), 0600), 0);
    link("tone.wav", folder.getChildFile("linked.wav"));
    link("nowhere.wav", folder.getChildFile("dangling.wav"));
    link("loop-b.wav", folder.getChildFile("loop-a.wav"));
    link("loop-a.wav", folder.getChildFile("loop-b.wav"));
    for (const auto* name : {"LOUD.WAV", "song.mp3", "song.Ogg", "lesson.qzc", "LESSON.QZC", "half.wa",
                             "noext", "Track01.cda", "notes.txt", "song.mp3.txt", ".hidden.wav"})
        ASSERT_TRUE(folder.getChildFile(name).replaceWithText("x"));

    const struct
    {
        const char* name;
        bool listed;
    } cases[] = {
        {"tone.wav", true},   {"LOUD.WAV", true},      {"song.mp3", true},    {"song.Ogg", true},
        {"lesson.qzc", true}, {"linked.wav", true},    {"LESSON.QZC", false}, {"half.wa", false},
        {"noext", false},     {"Track01.cda", false},  {"notes.txt", false},  {"song.mp3.txt", false},
        {"pipe.wav", false},  {"dangling.wav", false}, {"loop-a.wav", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(filter.isFileSuitable(folder.getChildFile(c.name)), c.listed) << c.name;
    EXPECT_TRUE(filter.isFileSuitable(folder));
    EXPECT_TRUE(filter.isDirectorySuitable(folder));
    EXPECT_EQ(filter.getDescription(), "Audio file filter");
}

TEST(BrowseFolderList, HostileFoldersAreListedWithoutHangingAndShowOnlyWhatCanBeOpened)
{
    ProcessWideObjects objects;
    const auto folder = makeFolder("hostile");
    writeTone(folder.getChildFile("b 10.wav"), 0.1);
    writeTone(folder.getChildFile("b 9.wav"), 0.1);
    makeFolder("hostile/locked");
    writeTone(folder.getChildFile("locked/inside.wav"), 0.1);
    ASSERT_EQ(chmod(folder.getChildFile("locked").getFullPathName().toRawUTF8(), 0), 0);
    link(".", folder.getChildFile("again"));
    link("loop-b", folder.getChildFile("loop-a"));
    link("loop-a", folder.getChildFile("loop-b"));
    ASSERT_EQ(mkfifo(folder.getChildFile("fifo.mp3").getFullPathName().toRawUTF8(), 0600), 0);
    // A name that is not UTF-8 can't be opened through a text path: it is left out, its folder isn't.
    const auto raw = folder.getFullPathName().toStdString() + "/bad-\xff\xfe.wav";
    const int descriptor = ::open(raw.c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(descriptor, 0);
    ASSERT_EQ(write(descriptor, "RIFF", 4), 4);
    close(descriptor);

    Scan scan;
    const String expected = "again/|b 9.wav|b 10.wav|locked/";
    EXPECT_EQ(scan.namesIn(folder), expected);
    // A link back to the folder opens into the same folder again, one level at a time.
    EXPECT_EQ(scan.namesIn(folder.getChildFile("again/again")), expected);
    const auto locked = scan.namesIn(folder.getChildFile("locked"));
    if (access(folder.getChildFile("locked").getFullPathName().toRawUTF8(), R_OK) != 0)
    {
        EXPECT_TRUE(locked.isEmpty());
    }
    EXPECT_TRUE(scan.namesIn(folder.getChildFile("missing")).isEmpty());

    chmod(folder.getChildFile("locked").getFullPathName().toRawUTF8(), 0700);
}

//==============================================================================
class BrowserPanelTest : public testing::Test
{
protected:
    void SetUp() override
    {
        folder = makeFolder("lessons");
        writeTone(folder.getChildFile("1 first.wav"), 1.0);
        writeTone(folder.getChildFile("2 second.wav"), 1.0);
        writeTone(folder.getChildFile("4 last.wav"), 1.0);
        makeFolder("lessons/3 folder");
    }

    /** The panel showing the lessons folder, its rows loaded. */
    void open(const String& storedRoot)
    {
        systemModel->getProperties().setValue(SystemModel::FileBrowseRoot, storedRoot);
        systemModel->getProperties().saveIfNeeded();
        OpenWorkspace::reloadSettings();
        panel = std::make_unique<FilesBrowsePanel>();
        ASSERT_TRUE(waitForRows(root(), panel->getDirectoryList()));
    }

    juce::TreeViewItem& root() { return *panel->getTree().getRootItem(); }
    juce::TreeViewItem& row(int index) { return *root().getSubItem(index); }
    BrowserListenComponent& player() { return panel->getPlayer(); }
    bool playing() { return player().getPlayer().transportSource.isPlaying(); }

    /** Jumps the preview to its end and lets the position timer see it. */
    void endPreview()
    {
        auto& transport = player().getPlayer().transportSource;
        transport.setPosition(transport.getLengthInSeconds());
        juce::MessageManager::getInstance()->runDispatchLoopUntil(150);
    }

    ProcessWideObjects objects;
    File folder;
    std::unique_ptr<FilesBrowsePanel> panel;
};

TEST_F(BrowserPanelTest, TheRootsOfferTheLearnersPlacesWithLabelsAndTheBoxShowsThem)
{
    makeFolder("Music");
    open({});
    const auto& roots = panel->getRoots();
    ASSERT_GE(roots.size(), 4u);
    EXPECT_EQ(roots.front().folder, home());
    EXPECT_EQ(roots.back().folder, File("/"));

    juce::StringArray texts;
    for (int i = 0; i < panel->getRootBox().getNumItems(); ++i)
        texts.add(panel->getRootBox().getItemText(i));
    for (const auto& [path, label] : std::vector<std::pair<File, String>>{
             {home(), TRANS("Home")},
             {home().getChildFile("Music"), TRANS("Music")},
             {File::getSpecialLocation(File::userDocumentsDirectory).getChildFile("qz/courseware"),
              TRANS("Courseware")},
             {File("/"), TRANS("File system")}})
        EXPECT_TRUE(texts.contains(path.getFullPathName() + "  [ " + label + " ]"))
            << texts.joinIntoString("\n");

    // The box on top, the strip at the bottom with 1 px below it, the tree between them.
    panel->setSize(330, 660);
    EXPECT_EQ(panel->getRootBox().getBounds(), juce::Rectangle<int>(0, 0, 330, 19));
    EXPECT_EQ(player().getBounds(), juce::Rectangle<int>(0, 629, 330, 30));
    EXPECT_EQ(panel->getTree().getBounds(), juce::Rectangle<int>(0, 21, 330, 607));

    // With no saved root the first one is shown.
    EXPECT_EQ(panel->getRootBox().getSelectedId(), 1);
    EXPECT_EQ(panel->getDirectoryList().getDirectory(), home());
    EXPECT_FALSE(player().isEnabled());
}

TEST_F(BrowserPanelTest, TheSavedRootComesBackAndAChosenRootIsSavedAtOnce)
{
    struct
    {
        const char* what;
        String stored;
        File shown;
        bool isARoot;
    } const cases[] = {
        {"a root", home().getFullPathName(), home(), true},
        {"another folder", folder.getFullPathName(), folder, false},
        {"a medium taken out", "/media/nobody/GONE", File("/media/nobody/GONE"), false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        open(c.stored);
        EXPECT_EQ(panel->getDirectoryList().getDirectory(), c.shown);
        EXPECT_EQ(panel->getRootBox().getSelectedId(), c.isARoot ? 1 : 0);
        panel.reset();
    }

    // Choosing a root shows it, saves it in the settings file at once and empties the preview.
    open(folder.getFullPathName());
    row(0).setSelected(true, true);
    ASSERT_TRUE(player().hasAudio());
    panel->getRootBox().setSelectedId(1, juce::sendNotificationSync);
    EXPECT_EQ(panel->getDirectoryList().getDirectory(), panel->getRoots().front().folder);
    EXPECT_EQ(systemModel->getProperties().getValue(SystemModel::FileBrowseRoot),
              panel->getRoots().front().folder.getFullPathName());
    EXPECT_FALSE(player().hasAudio());
    EXPECT_FALSE(playing());
    EXPECT_FALSE(player().isEnabled());
}

TEST_F(BrowserPanelTest, SelectingARowLoadsItsFileAndPlaysItWhenTheSettingsSaySo)
{
    open(folder.getFullPathName());
    ASSERT_EQ(rowNames(root()).joinIntoString("|"), "1 first.wav|2 second.wav|3 folder|4 last.wav");

    row(0).setSelected(true, true);
    EXPECT_TRUE(player().isEnabled());
    EXPECT_EQ(player().getCurrentFile(), folder.getChildFile("1 first.wav"));
    EXPECT_EQ(player().getLengthLabel().getText(), "0:01.00");
    EXPECT_TRUE(playing());
    EXPECT_EQ(panel->getSelectedFile(), folder.getChildFile("1 first.wav"));

    // The loaded file again: neither reloaded nor restarted.
    player().stop();
    player().getPlayer().transportSource.setPosition(0.5);
    row(0).setSelected(false, true);
    row(0).setSelected(true, true);
    EXPECT_FALSE(playing());
    EXPECT_NEAR(player().getPlayer().transportSource.getCurrentPosition(), 0.5, 0.01);

    // A folder empties and disables the preview.
    row(2).setSelected(true, true);
    EXPECT_FALSE(player().hasAudio());
    EXPECT_FALSE(player().isEnabled());

    // Without auto play a file is loaded, not played.
    systemModel->fbAutoPlay = false;
    row(1).setSelected(true, true);
    EXPECT_TRUE(player().hasAudio());
    EXPECT_FALSE(playing());
}

struct ThroughCase
{
    const char* what;
    int afterPlay;
    int firstRow;
    int rowAfterEnd;
    bool playsOn;
};

TEST_F(BrowserPanelTest, TheEndOfAPreviewGoesOnToTheNextRowWhenTheSettingsSaySo)
{
    const ThroughCase cases[] = {
        {"play next file", 2, 0, 1, true},
        {"stop", 1, 0, 0, false},
        {"the next row is a folder", 2, 1, 2, false},
        {"the last row", 2, 3, 3, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        open(folder.getFullPathName());
        systemModel->fbAfterPlay = c.afterPlay;
        row(c.firstRow).setSelected(true, true);
        ASSERT_TRUE(playing());
        endPreview();
        EXPECT_TRUE(row(c.rowAfterEnd).isSelected());
        EXPECT_EQ(playing(), c.playsOn);
        panel.reset();
    }
}

TEST_F(BrowserPanelTest, ADamagedRecordingIsSkippedButAFifoIsRefusedAndStopsThePlayThrough)
{
    // "2 second.wav" follows the first row; the row after it is a recording that plays.
    writeTone(folder.getChildFile("2 third.wav"), 1.0);
    const auto second = folder.getChildFile("2 second.wav");
    const struct
    {
        const char* what;
        std::function<void()> spoil;
        bool reported;
        int rowAfter;
        bool playsOn;
    } cases[] = {
        {"a damaged recording", [&] { ASSERT_TRUE(second.replaceWithText("not audio")); }, false, 2, true},
        {"a FIFO put in its place after the folder was read",
         [&]
         {
             ASSERT_TRUE(second.deleteFile());
             ASSERT_EQ(mkfifo(second.getFullPathName().toRawUTF8(), 0600), 0);
         },
         true, 1, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        writeTone(second, 1.0);
        open(folder.getFullPathName());
        ASSERT_EQ(rowNames(root())[1], "2 second.wav");
        systemModel->fbAfterPlay = 2;
        c.spoil();

        ModalAnswerer answerer;
        if (c.reported)
            answerer.press(TRANS("OK"));
        row(0).setSelected(true, true);
        endPreview();
        if (c.reported)
        {
            ASSERT_TRUE(answerer.waitUntilSeen(1, 5000));
            EXPECT_EQ(answerer.seen()[0].title, TRANS("Ah oh"));
            EXPECT_EQ(answerer.seen()[0].message,
                      TRANS("File load failed!") + "\r\n" + second.getFullPathName());
        }
        juce::MessageManager::getInstance()->runDispatchLoopUntil(300);
        EXPECT_TRUE(row(c.rowAfter).isSelected());
        EXPECT_EQ(playing(), c.playsOn);
        answerer.expectDone();
        panel.reset();
        second.deleteFile();
    }
}

TEST_F(BrowserPanelTest, TheDiscsOfTheAudioCdLayerAreRootsAndTheirTracksPreview)
{
    const auto images = makeFolder("images");
    ASSERT_NE(CdImages::write(images, "lesson", {{1.0, 440.0}, {2.0, 880.0}}, "Lesson"), File());
    CdImages::ScopedFolder pointedAt{images};
    open({});

    const auto& roots = panel->getRoots();
    const auto disc = std::find_if(roots.begin(), roots.end(),
                                   [](const FileSystemRoots::Root& r) { return r.label == "Lesson"; });
    ASSERT_NE(disc, roots.end());
    panel->getRootBox().setSelectedId((int)(disc - roots.begin()) + 1, juce::sendNotificationSync);
    ASSERT_TRUE(waitForRows(root(), panel->getDirectoryList()));
    ASSERT_EQ(rowNames(root()).joinIntoString("|"), "Track01.cda|Track02.cda");

    systemModel->fbAutoPlay = false;
    row(1).setSelected(true, true);
    EXPECT_TRUE(player().hasAudio());
    EXPECT_EQ(player().getLengthLabel().getText(), "0:02.00");
}
