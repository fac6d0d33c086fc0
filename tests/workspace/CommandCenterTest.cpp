// The command table in the whole workspace: every command performed in every kind of course state,
// the enabling rules at their edges, the table's names, keys and order, and the menus.
#include "workspace/CommandCenter.h"

#include "engine/Clock.h"
#include "engine/CourseModel.h"
#include "engine/DocumentManager.h"
#include "engine/GlobalData.h"
#include "engine/SystemModel.h"
#include "workspace/CourseController.h"
#include "workspace/Main.h"
#include "workspace/MainComponent.h"
#include "workspace/MainWindow.h"
#include "workspace/QzLookAndFeel.h"
#include "workspace/sentences/SentenceComponent.h"

#include "harness/CourseWorkingSet.h"
#include "harness/ModalAnswerer.h"
#include "harness/OpenCourse.h"
#include "harness/OpenWorkspace.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

using juce::File;
using juce::String;

namespace
{
const int rate = 44100;

enum class State
{
    noCourse,
    learning,
    reviewing,
    emptyCourse
};

String nameOf(State state)
{
    switch (state)
    {
    case State::noCourse:
        return "no course";
    case State::learning:
        return "learning";
    case State::reviewing:
        return "reviewing";
    case State::emptyCourse:
        return "empty course";
    }
    return {};
}

/** Three sentences of two seconds, back to back; in review the first is unfamiliar and due. */
std::vector<CourseWorkingSet::Sentence> threeSentences(bool firstDue)
{
    auto sentences = OpenCourse::contiguous({2 * rate, 2 * rate, 2 * rate});
    for (int i = 0; i < 3; ++i)
        sentences[(size_t)i].foreign = "Sentence " + String(i + 1) + ".";
    if (firstDue)
    {
        sentences[0].unfamiliar = true;
        sentences[0].intervalDays = 2;
        sentences[0].reviewDate = "1 Jan 2017";
    }
    return sentences;
}

/** Leaves the course of that state in the temporary folder, for the start-up to open. */
void leaveCourse(State state)
{
    if (state == State::noCourse)
        return;
    CourseWorkingSet set(6.0, rate);
    ASSERT_TRUE(set.wasCreated());
    if (state == State::emptyCourse)
    {
        ASSERT_TRUE(set.writeSentences({}));
        return;
    }
    const bool reviewing = state == State::reviewing;
    ASSERT_TRUE(set.writeSentences(threeSentences(reviewing), reviewing ? 1 : 0));
    if (reviewing)
    {
        ASSERT_TRUE(set.writeOggCourseAudio(DocumentManager::TempDir().getChildFile(set.getStem() + ".ogg")));
    }
}

/** Archives a review course due since the given date into the library, as archiving leaves it. */
void archiveDueReviewCourse()
{
    CourseWorkingSet set(6.0, rate);
    ASSERT_TRUE(set.wasCreated());
    ASSERT_TRUE(set.writeSentences(threeSentences(true), 1));
    auto course = set.readCourseText();
    course->setAttribute(CourseModel::NextReviewDate, "1 Jan 2017");
    ASSERT_TRUE(course->writeTo(set.getCourseText()));
    ASSERT_TRUE(set.writeOggCourseAudio(DocumentManager::TempDir().getChildFile(set.getStem() + ".ogg")));

    juce::ZipFile::Builder archive;
    for (const auto& file : DocumentManager::TempDir().findChildFiles(File::findFiles, false, "*"))
        archive.addFile(file, 9);
    const auto target = DocumentManager::CourseDir().getChildFile(set.getStem() + ".mqz");
    ASSERT_TRUE(target.create().wasOk());
    {
        juce::FileOutputStream out(target);
        ASSERT_TRUE(out.setPosition(0));
        ASSERT_TRUE(archive.writeToStream(out, nullptr));
    }
    ASSERT_TRUE(DocumentManager::TempDir().deleteRecursively());
}

/** The workspace opened on a course of one state, with web pages and folders recorded instead of
    opened. "Now" is 2 April 2017, afternoon. */
class CommandWorkspace
{
public:
    explicit CommandWorkspace(State state, const std::function<void()>& beforeStart = {})
        : clockSet((Clock::setFixedTime(juce::Time(2017, 3, 2, 15, 30, 7, 0, true)), true)),
          workspace(
              [&]
              {
                  leaveCourse(state);
                  systemModel->atLeastUnreview = 1;
                  if (beforeStart)
                      beforeStart();
              })
    {
        workspace.layOut(1000, 700);
        systemOpener = CommandCenter::openWithSystem;
        CommandCenter::openWithSystem = [this](const juce::URL& address)
        {
            opened.add(address.toString(false));
            return systemAccepts;
        };
    }

    ~CommandWorkspace()
    {
        CommandCenter::openWithSystem = systemOpener;
        Clock::clearFixedTime();
    }

    CommandCenter& commands() const { return *workspace.main().getCommandCenter(); }
    CourseModel& model() const { return workspace.model(); }
    CourseController& controller() const { return workspace.controller(); }

    bool perform(int id) const
    {
        return commands().perform(juce::ApplicationCommandTarget::InvocationInfo(id));
    }

    juce::ApplicationCommandInfo info(int id) const
    {
        juce::ApplicationCommandInfo result(id);
        commands().getCommandInfo(id, result);
        return result;
    }

    /** A menu closes itself at once while the application is not the active one, which it may
        briefly not be after a window was shown or closed. */
    void waitUntilForeground() const
    {
        // Other test processes on the same display take the focus when they open windows: ask
        // for it again until it stays here.
        int tries = 0;
        EXPECT_TRUE(OpenCourse::pumpUntil(
            [this, &tries]
            {
                if (juce::Process::isForegroundProcess())
                    return true;
                if (tries++ % 25 == 0)
                    workspace.window().toFront(true);
                return false;
            },
            15000));
    }

    /** Shows a menu until the answerer has seen it. A menu closes itself at once when the
        application loses the foreground just as it opens (another test process's window, or the
        window manager settling a new display), and is then asked for again. */
    bool showUntilSeen(ModalAnswerer& answerer, const std::function<void()>& show) const
    {
        for (int attempt = 0; attempt < 4; ++attempt)
        {
            waitUntilForeground();
            show();
            if (answerer.waitUntilSeen(1, 3000))
                return true;
        }
        return false;
    }

    bool enabled(int id) const { return (info(id).flags & juce::ApplicationCommandInfo::isDisabled) == 0; }

    std::set<int> enabledCommands() const
    {
        std::set<int> ids;
        for (int id = CommandCenter::firstCommand; id <= CommandCenter::lastCommand; ++id)
            if (enabled(id))
                ids.insert(id);
        return ids;
    }

    juce::StringArray opened;
    bool systemAccepts = true;

private:
    std::function<bool(const juce::URL&)> systemOpener;
    bool clockSet;

public:
    OpenWorkspace workspace;
};

std::set<int> range(int first, int last)
{
    std::set<int> ids;
    for (int id = first; id <= last; ++id)
        ids.insert(id);
    return ids;
}

std::set<int> joined(std::initializer_list<std::set<int>> parts)
{
    std::set<int> all;
    for (const auto& part : parts)
        all.insert(part.begin(), part.end());
    return all;
}

/** The commands every state enables: replay and the application and library commands. */
const std::set<int> alwaysEnabled = joined({{0x2009}, range(0x2025, 0x202F)});
/** Those a course open enables in any state. */
const std::set<int> withAnyCourse = joined({alwaysEnabled,
                                            range(0x2001, 0x2004),
                                            {0x2007, 0x200A, 0x200C, 0x200D},
                                            range(0x200E, 0x2012),
                                            range(0x201D, 0x2021),
                                            {0x2030, 0x2031},
                                            range(0x2036, 0x2045)});
const std::set<int> shrinking = range(0x2013, 0x201C);

std::set<int> expectedEnabled(State state)
{
    switch (state)
    {
    case State::noCourse:
        return joined({alwaysEnabled, {0x2034}});
    case State::learning:
        return joined({withAnyCourse, shrinking, {0x200B, 0x2024, 0x2032}});
    case State::reviewing:
        // The selected sentence is due and unanswered; archiving waits for its answer.
        return joined({withAnyCourse, shrinking, {0x2005, 0x2006, 0x2008, 0x2033}});
    case State::emptyCourse:
        return joined({withAnyCourse, {0x200B, 0x2024, 0x2032}});
    }
    return {};
}

/** A window that performing a command opens, and how it is answered: a button's text, empty
    to cancel (close) it, or letRun for a progress window that ends by itself. */
struct ExpectedWindow
{
    String title;
    String button;
};
const String letRun = "(let it run)";

/** The windows each command opens, in order, performed in ascending order in one workspace of
    the state. Learning: the automatic split finds no pause in the steady tone and is refused, the
    manual split at the cursor (the selected sentence's start) is refused, merge and remove go
    through and leave one sentence, which the mark command makes unfamiliar. In review the
    selected sentence is unfamiliar, so removing it is refused and marking shows its review
    figures. An empty course has no selection, so the sentence commands do nothing. */
std::map<int, std::vector<ExpectedWindow>> expectedWindows(State state)
{
    const bool sentences = state == State::learning || state == State::reviewing;
    std::map<int, std::vector<ExpectedWindow>> windows{
        {0x2024, {{TRANS("Confirm"), TRANS("Cancel")}}},
        {0x2027, {{TRANS("Setup audio devices"), ""}}},
        {0x2028, {{TRANS("View and edit shortcuts"), ""}}},
        {0x2029, {{systemModel->getStatisticsTitle(), TRANS("OK")}}},
        {0x202A, {{"", ""}}}, // the about window, which has no title
        {0x202E, {{TRANS("Courses manager"), ""}}},
        {0x202F, {{TRANS("Message"), TRANS("OK")}}},
        {0x2034, {{TRANS("Select an audio file and open it"), ""}}},
    };
    // "Generate courseware" asks where to save; the test cancels.
    if (state != State::noCourse)
        windows[0x200A] = {{TRANS("Generate courseware"), ""}};
    if (sentences)
    {
        windows[0x2001] = {{TRANS("Please wait..."), letRun},
                           {TRANS("Sorry, can't split this sentence"), TRANS("OK")}};
        windows[0x2002] = {{TRANS("It's too short to split it."), TRANS("OK")}};
        windows[0x2008] = {{TRANS("Origin text"), TRANS("Close")}};
        windows[0x2005] = {{TRANS("Interpret and contrast audition"), ""}};
    }
    if (state == State::reviewing)
    {
        windows[0x2004] = {{TRANS("Can't remove unfamiliar sentence!"), TRANS("OK")}};
        windows[0x2007] = {{TRANS("Sentence info"), TRANS("OK")}};
        // "Archive the course" closes the review day: the course goes back into the library and,
        // with no other course due, the day is done. Nothing is left open to rebuild after it.
        windows[0x2032] = {{TRANS("Congratulations!"), TRANS("OK")}};
    }
    // The mark command before it made a sentence of the learning course unfamiliar, which is
    // enough to be asked; a course without sentences has nothing to archive.
    if (state == State::learning)
        windows[0x2032] = {{TRANS("Confirm"), TRANS("Cancel")}};
    if (state == State::emptyCourse)
        windows[0x2032] = {{TRANS("Ah oh"), TRANS("OK")}};
    return windows;
}

class EveryCommandInEveryState : public testing::TestWithParam<State>
{
};
} // namespace

//==============================================================================
TEST_P(EveryCommandInEveryState, EnabledStatesFollowTheRulesAndEveryIdRunsSafely)
{
    const auto state = GetParam();
    CommandWorkspace w(state);
    ASSERT_EQ(w.controller().isCourseOpen(), state != State::noCourse);
    if (state == State::reviewing)
    {
        ASSERT_FALSE(w.model().isLearning());
    }
    undoManager->clearUndoHistory();
    EXPECT_EQ(w.enabledCommands(), expectedEnabled(state)) << nameOf(state);

    // The application menu is only reported here: a menu shown closes itself as soon as another
    // test's window takes the focus of the shared display. The menu tests below show it.
    int systemMenus = 0;
    CommandCenter::systemMenuRequested = [&systemMenus] { ++systemMenus; };
    const auto windows = expectedWindows(state);
    for (int id = CommandCenter::firstCommand; id <= CommandCenter::lastCommand; ++id)
    {
        SCOPED_TRACE(nameOf(state) + ", command 0x" + String::toHexString(id));
        ModalAnswerer answerer;
        const auto found = windows.find(id);
        const auto expected = found != windows.end() ? found->second : std::vector<ExpectedWindow>();
        for (const auto& window : expected)
        {
            if (window.button == letRun)
                answerer.letProgressRun();
            else if (window.button.isEmpty())
                answerer.cancel();
            else
                answerer.press(window.button);
        }

        const bool performed = w.perform(id);
        EXPECT_TRUE(performed);

        const int expectedCount = (int)expected.size();
        EXPECT_TRUE(answerer.waitUntilSeen(expectedCount, 5000));
        answerer.expectDone();
        ASSERT_EQ((int)answerer.seen().size(), expectedCount);
        for (int i = 0; i < expectedCount; ++i)
            if (expected[(size_t)i].title.isNotEmpty())
            {
                EXPECT_EQ(answerer.seen()[(size_t)i].title, expected[(size_t)i].title);
            }
    }

    CommandCenter::systemMenuRequested = nullptr;
    EXPECT_EQ(systemMenus, 1);

    // Ids beyond the table are not this target's.
    EXPECT_FALSE(w.perform(CommandCenter::firstCommand - 1));
    EXPECT_FALSE(w.perform(CommandCenter::lastCommand + 1));
    const juce::StringArray pages{GlobalData::UserQuestion, GlobalData::UserHelp, GlobalData::WebForum};
    EXPECT_EQ(w.opened, pages);
}

INSTANTIATE_TEST_SUITE_P(CommandCenter, EveryCommandInEveryState,
                         testing::Values(State::noCourse, State::learning, State::reviewing,
                                         State::emptyCourse),
                         [](const testing::TestParamInfo<State>& param)
                         { return nameOf(param.param).replace(" ", "_").toStdString(); });

//==============================================================================
TEST(CommandCenterRules, NewAndReviewCourseFollowTheDueCoursesAgainstTheSetting)
{
    // More due courses asked for than there are, so the start-up opens none.
    CommandWorkspace w(State::noCourse,
                       []
                       {
                           archiveDueReviewCourse();
                           systemModel->atLeastUnreview = 5;
                       });
    ASSERT_FALSE(w.controller().isCourseOpen());
    ASSERT_EQ(w.controller().getNumDueCourses(), 1);

    const struct
    {
        int atLeast;
        bool newCourse;
    } cases[] = {{1, false}, {2, true}, {0, false}};
    for (const auto& c : cases)
    {
        systemModel->atLeastUnreview = c.atLeast;
        EXPECT_EQ(w.enabled(CommandCenter::newCourse), c.newCourse) << c.atLeast;
        EXPECT_TRUE(w.enabled(CommandCenter::reviewCourse)) << c.atLeast;
    }
}

TEST(CommandCenterRules, ShorteningNeedsMoreThanThreeTenthsOfASecondAndThirtyPixels)
{
    CommandWorkspace w(State::noCourse,
                       []
                       {
                           CourseWorkingSet set(6.0, rate);
                           // Exactly 0.3 s from the first to the last sample, then a long one.
                           ASSERT_TRUE(set.writeSentences(OpenCourse::contiguous({13231, 4 * rate})));
                       });
    ASSERT_TRUE(w.controller().isCourseOpen());
    const auto shortening = [&w]
    {
        std::set<int> ids;
        for (int id : shrinking)
            if (w.enabled(id))
                ids.insert(id);
        return ids;
    };

    w.model().selectSentence(0, true);
    ASSERT_DOUBLE_EQ(w.model().getSentenceLengthSeconds(0), 0.3);
    EXPECT_TRUE(shortening().empty());
    // Lengthening stays possible.
    EXPECT_TRUE(w.enabled(CommandCenter::startEarlier005));
    EXPECT_TRUE(w.enabled(CommandCenter::endLater05));

    w.model().selectSentence(1, true);
    auto* block = w.model().getCurrentSentence(true);
    block->setSize(30, block->getHeight());
    EXPECT_TRUE(shortening().empty());
    block->setSize(31, block->getHeight());
    EXPECT_EQ(shortening(), shrinking);
}

TEST(CommandCenterRules, UndoAndRedoNamesCarryTheNextStep)
{
    CommandWorkspace w(State::learning);
    undoManager->clearUndoHistory();
    EXPECT_EQ(w.info(CommandCenter::undoCommand).shortName, TRANS("Undo") + "  ");
    EXPECT_FALSE(w.enabled(CommandCenter::undoCommand));

    w.model().splitSentence(0, rate);
    const auto undo = w.info(CommandCenter::undoCommand);
    EXPECT_EQ(undo.shortName, TRANS("Undo") + "  " + TRANS("Split sentence"));
    EXPECT_EQ(undo.description, TRANS("Undo action"));
    EXPECT_TRUE(w.enabled(CommandCenter::undoCommand));
    EXPECT_FALSE(w.enabled(CommandCenter::redoCommand));

    ASSERT_TRUE(w.perform(CommandCenter::undoCommand));
    EXPECT_EQ(w.model().getNumSentences(), 3);
    EXPECT_EQ(w.info(CommandCenter::redoCommand).shortName, TRANS("Redo") + "  " + TRANS("Split sentence"));
    EXPECT_TRUE(w.enabled(CommandCenter::redoCommand));
}

TEST(CommandCenterRules, TypedReviewKeepsArchivingUntilNoSentenceAwaitsItsAnswer)
{
    CommandWorkspace w(State::reviewing);
    w.model().selectSentence(0, true);
    ASSERT_EQ(w.model().getSentenceStatus(0), 3);
    EXPECT_FALSE(w.enabled(CommandCenter::archiveCourse));

    systemModel->transWhenReview = false;
    EXPECT_TRUE(w.enabled(CommandCenter::archiveCourse));
    systemModel->transWhenReview = true;

    // Once no sentence is due any more, archiving (the day close) is offered.
    w.model().setValue(0, CourseModel::NeedReview, false, false);
    EXPECT_TRUE(w.enabled(CommandCenter::archiveCourse));
    EXPECT_FALSE(w.enabled(CommandCenter::interpretSentence));
}

//==============================================================================
TEST(CommandCenterTable, CategoriesFlagsAndKeysOfSampleRows)
{
    CommandWorkspace w(State::noCourse);
    using K = juce::KeyPress;
    const int cmd = juce::ModifierKeys::commandModifier;
    const int shift = juce::ModifierKeys::shiftModifier;
    const int alt = juce::ModifierKeys::altModifier;
    const struct
    {
        int id;
        const char* name;
        String category;
        int flags;
        std::vector<K> keys;
    } rows[] = {
        {0x2004, "Remove", "Edit", 0, {K(K::deleteKey), K(K::backspaceKey)}},
        {0x200B, "Enter/switch input status", "Edit", 0, {K(K::returnKey), K(K::tabKey, alt, 0)}},
        {0x200C, "Dictate on", "", juce::ApplicationCommandInfo::hiddenFromKeyEditor, {}},
        {0x200E, "0.05s ahead of the start time", "Edit", 0, {K('`', cmd, 0)}},
        {0x2013, "Start time delayed 0.05s", "Edit", 0, {K('`', cmd | shift, 0)}},
        {0x201C, "0.5s ahead of the end of time", "Edit", 0, {K('5', alt, 0)}},
        {0x2021, "End time delayed 0.5s", "Edit", 0, {K('5', alt | shift, 0)}},
        {0x2036, "Play/Stop", "Play", juce::ApplicationCommandInfo::readOnlyInKeyEditor, {K(K::spaceKey)}},
        {0x203A, "Go to start of course", "Play", 0, {K(K::homeKey, cmd, 0)}},
        {0x203C, "Go to previous sentence", "Play", 0, {K(K::upKey), K(K::leftKey)}},
        {0x203D, "Go to next sentence", "Play", 0, {K(K::rightKey), K(K::downKey)}},
        {0x203E, "Page up", "View", 0, {K(K::pageUpKey)}},
        {0x2043, "Zoom out all pages", "View", 0, {K('-', cmd, 0)}},
        {0x2026, "Preferences", "Application", 0, {K(',', cmd, 0)}},
        {0x202A, "About this application", "Application", 0, {K(K::F8Key)}},
        {0x2032, "Archive the course", "Course", 0, {K(K::F2Key)}},
        {0x2035, "Review course", "Course", 0, {K('r', cmd, 0)}},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.name);
        const auto info = w.info(row.id);
        EXPECT_EQ(info.shortName, TRANS(row.name));
        EXPECT_EQ(info.categoryName, row.category);
        EXPECT_EQ(info.flags & ~juce::ApplicationCommandInfo::isDisabled, row.flags);
        ASSERT_EQ(info.defaultKeypresses.size(), (int)row.keys.size());
        for (size_t k = 0; k < row.keys.size(); ++k)
            EXPECT_EQ(info.defaultKeypresses[(int)k], row.keys[k]) << k;
    }

    EXPECT_EQ(w.info(0x202A).description, TRANS("Open about window"));
    EXPECT_EQ(w.info(0x2034).description, TRANS("Load audio file to learn"));
    EXPECT_EQ(w.info(0x202B).shortName, "FAQ");

    // Outside the table the info is left as it was.
    juce::ApplicationCommandInfo outside(0x2046);
    w.commands().getCommandInfo(0x2046, outside);
    EXPECT_TRUE(outside.shortName.isEmpty());
    EXPECT_TRUE(outside.defaultKeypresses.isEmpty());
}

TEST(CommandCenterTable, AllCommandsComeInTheKeyEditorsOrder)
{
    CommandWorkspace w(State::noCourse);
    juce::Array<juce::CommandID> ids;
    w.commands().getAllCommands(ids);
    const juce::Array<juce::CommandID> expected{
        0x2034, 0x2024, 0x2007, 0x2032, 0x200A, 0x2035, 0x2005, 0x2006, 0x2008, 0x2009, 0x202E, 0x202F,
        0x2033, 0x2022, 0x2023, 0x2001, 0x2002, 0x2003, 0x2004, 0x200E, 0x200F, 0x2010, 0x2011, 0x2012,
        0x2013, 0x2014, 0x2015, 0x2016, 0x2017, 0x2018, 0x2019, 0x201A, 0x201B, 0x201C, 0x201D, 0x201E,
        0x201F, 0x2020, 0x2021, 0x200B, 0x200C, 0x200D, 0x2030, 0x2031, 0x2036, 0x2037, 0x2038, 0x2039,
        0x203A, 0x203C, 0x203D, 0x203B, 0x203E, 0x203F, 0x2040, 0x2041, 0x2042, 0x2043, 0x2044, 0x2045,
        0x2025, 0x2026, 0x2027, 0x2028, 0x2029, 0x202C, 0x202A, 0x202B, 0x202D};
    EXPECT_EQ(ids, expected);
}

TEST(CommandCenterTable, NamesFollowTheInterfaceLanguage)
{
    CommandWorkspace w(State::noCourse);
    systemModel->language = 1;
    systemModel->setAppLanguage();
    EXPECT_EQ(w.info(CommandCenter::giveUpCourse).shortName, "Give up current course");

    systemModel->language = 2;
    systemModel->setAppLanguage();
    const auto chinese = w.info(CommandCenter::giveUpCourse).shortName;
    EXPECT_NE(chinese, "Give up current course");
    EXPECT_EQ(chinese, TRANS("Give up current course"));
    // The categories stay English, for the key editor to translate when it draws them.
    EXPECT_EQ(w.info(CommandCenter::giveUpCourse).categoryName, "Course");
}

//==============================================================================
namespace
{
/** A menu as a list: command ids, "-" for separators, ">Name" ... "<" around submenus, and
    "#n Name" for plain items. */
juce::StringArray describe(const juce::PopupMenu& menu)
{
    juce::StringArray lines;
    for (juce::PopupMenu::MenuItemIterator it(menu); it.next();)
    {
        const auto& item = it.getItem();
        if (item.isSeparator)
            lines.add("-");
        else if (item.subMenu != nullptr)
        {
            lines.add(">" + item.text + (item.isEnabled ? "" : " (disabled)"));
            lines.addArray(describe(*item.subMenu));
            lines.add("<");
        }
        else if (item.commandManager != nullptr)
            lines.add("0x" + String::toHexString(item.itemID));
        else
            lines.add("#" + String(item.itemID) + " " + item.text);
    }
    return lines;
}

juce::StringArray commandLines(std::initializer_list<int> ids)
{
    juce::StringArray lines;
    for (int id : ids)
        lines.add(id == 0 ? String("-") : "0x" + String::toHexString(id));
    return lines;
}
} // namespace

TEST(CommandCenterMenus, RightClickMenusHoldTheGroupsOfTheirKind)
{
    CommandWorkspace w(State::learning);
    auto head = commandLines({0x2022, 0x2023, 0, 0x2001});
    const auto withSplit = commandLines({0x2002});
    const auto afterSplit = commandLines({0x2003, 0x2004, 0});
    juce::StringArray adjust{">" + TRANS("Adjust start time of current sentence")};
    adjust.addArray(
        commandLines({0x200E, 0x200F, 0x2010, 0x2011, 0x2012, 0, 0x2013, 0x2014, 0x2015, 0x2016, 0x2017}));
    adjust.add("<");
    adjust.add(">" + TRANS("Adjust end time of current sentence"));
    adjust.addArray(
        commandLines({0x2018, 0x2019, 0x201A, 0x201B, 0x201C, 0, 0x201D, 0x201E, 0x201F, 0x2020, 0x2021}));
    adjust.add("<");
    adjust.addArray(commandLines({0x200B, 0x2007, 0}));
    const auto waveform = commandLines({0x2040, 0x2041, 0});
    const auto pages = commandLines({0x2005, 0x2006, 0x2008, 0x2009, 0, 0x2045, 0x2042, 0x2043, 0x2044, 0});
    const auto tail = commandLines({0x2030, 0x2031, 0, 0x2026, 0x202E, 0x2029});

    const auto assemble = [&](bool strip, bool page)
    {
        auto lines = head;
        if (strip)
            lines.addArray(withSplit);
        lines.addArray(afterSplit);
        lines.addArray(adjust);
        if (strip)
            lines.addArray(waveform);
        if (page)
            lines.addArray(pages);
        lines.addArray(tail);
        return lines;
    };

    EXPECT_EQ(describe(CommandCenter::createRightClickMenu(CommandCenter::thumbSentenceMenu)),
              assemble(true, false));
    EXPECT_EQ(describe(CommandCenter::createRightClickMenu(CommandCenter::pageSentenceMenu)),
              assemble(false, true));
    EXPECT_EQ(describe(CommandCenter::createRightClickMenu(CommandCenter::backgroundMenu)),
              assemble(true, true));
}

TEST(CommandCenterMenus, CommandItemsShowTheCurrentNameAndState)
{
    CommandWorkspace w(State::learning);
    undoManager->clearUndoHistory();
    w.model().splitSentence(0, rate);
    const auto menu = CommandCenter::createRightClickMenu(CommandCenter::pageSentenceMenu);
    juce::PopupMenu::MenuItemIterator it(menu);
    ASSERT_TRUE(it.next());
    EXPECT_EQ(it.getItem().text, TRANS("Undo") + "  " + TRANS("Split sentence"));
    EXPECT_TRUE(it.getItem().isEnabled);
    ASSERT_TRUE(it.next());
    EXPECT_FALSE(it.getItem().isEnabled); // nothing to redo
}

TEST(CommandCenterMenus, TheApplicationMenuEndsWithTheWebSiteAboutAndQuit)
{
    CommandWorkspace w(State::noCourse);
    // The application object registers quit at start-up; tests have none, so it is added here.
    juce::ApplicationCommandInfo quit(juce::StandardApplicationCommandIDs::quit);
    quit.setInfo("Quit", "Quit", "Application", 0);
    commandManager->registerCommand(quit);

    auto expected = commandLines({0x2034, 0x2035, 0, 0x2032, 0x2024, 0x200A, 0, 0x2033, 0x202F, 0});
    expected.add(">" + TRANS("System setup"));
    expected.addArray(commandLines({0x2026, 0x2027, 0x2028}));
    expected.add("<");
    expected.addArray(commandLines({0x202E, 0x2029, 0, 0x202B, 0x202C, 0x202D, 0}));
    expected.add("#2 " + TRANS("Official Website"));
    expected.addArray(commandLines({0x202A, 0, juce::StandardApplicationCommandIDs::quit}));
    EXPECT_EQ(describe(CommandCenter::createSystemMenu()), expected);
}

TEST(CommandCenterMenus, AWatchedRightClickIsReportedInsteadOfShown)
{
    CommandWorkspace w(State::learning);
    juce::Array<int> asked;
    CommandCenter::rightClickMenuRequested = [&asked](CommandCenter::PopupMenuType type) { asked.add(type); };
    CommandCenter::showRightClickMenu(CommandCenter::pageSentenceMenu);
    CommandCenter::rightClickMenuRequested = nullptr;
    EXPECT_EQ(asked, juce::Array<int>({1}));
    EXPECT_EQ(juce::ModalComponentManager::getInstance()->getNumModalComponents(), 0);

    // Unwatched, the menu opens (and is dismissed by the answerer).
    ModalAnswerer answerer;
    answerer.cancel();
    EXPECT_TRUE(w.showUntilSeen(answerer,
                                [] { CommandCenter::showRightClickMenu(CommandCenter::thumbSentenceMenu); }));
}

namespace
{
juce::Component* findByAccessibleTitle(juce::Component& parent, const String& title)
{
    for (auto* child : parent.getChildren())
    {
        if (auto* handler = child->getAccessibilityHandler();
            handler != nullptr && handler->getTitle() == title)
            return child;
        if (auto* found = findByAccessibleTitle(*child, title))
            return found;
    }
    return nullptr;
}
} // namespace

namespace
{
/** The look and feel while it is the default: records the key text that each menu item is drawn
    with, by the item's text. */
struct DrawnKeyTexts : QzLookAndFeel
{
    DrawnKeyTexts() : previous(juce::LookAndFeel::getDefaultLookAndFeel())
    {
        juce::LookAndFeel::setDefaultLookAndFeel(this);
    }
    ~DrawnKeyTexts() override { juce::LookAndFeel::setDefaultLookAndFeel(&previous); }

    void drawPopupMenuItem(juce::Graphics& g, const juce::Rectangle<int>& area, bool isSeparator,
                           bool isActive, bool isHighlighted, bool isTicked, bool hasSubMenu,
                           const String& text, const String& shortcutKeyText, const juce::Drawable* icon,
                           const juce::Colour* textColour) override
    {
        keyTexts[text] = shortcutKeyText;
        QzLookAndFeel::drawPopupMenuItem(g, area, isSeparator, isActive, isHighlighted, isTicked, hasSubMenu,
                                         text, shortcutKeyText, icon, textColour);
    }

    juce::LookAndFeel& previous;
    std::map<String, String> keyTexts;
};

/** Shows a menu, paints it as it shows on the screen, then closes it. */
void showAndPaint(const CommandWorkspace& w, const std::function<void()>& show)
{
    ModalAnswerer answerer;
    answerer.handle(
        [](juce::Component& menu)
        {
            juce::Image image(juce::Image::ARGB, juce::jmax(1, menu.getWidth()),
                              juce::jmax(1, menu.getHeight()), true);
            juce::Graphics g(image);
            menu.paintEntireComponent(g, false);
            juce::PopupMenu::dismissAllActiveMenus();
        });
    EXPECT_TRUE(w.showUntilSeen(answerer, show));
}
} // namespace

// A menu item shows the first key press of its command, written as qZ writes keys elsewhere
// ("[Ctrl + J]"), not every key in the framework's English ("shortcut: '='", "delete,
// backspace"). Read from the items of the real menus as they are drawn.
TEST(CommandCenterMenus, ItemsShowTheFirstKeyPressInQzsOwnForm)
{
    CommandWorkspace w(State::learning);
    DrawnKeyTexts drawn;
    const auto name = [&w](int id) { return w.info(id).shortName; };

    showAndPaint(w, [] { CommandCenter::showRightClickMenu(CommandCenter::pageSentenceMenu); });
    showAndPaint(w, [&w] { EXPECT_TRUE(w.perform(CommandCenter::popupSystemMenuCommand)); });

    const std::pair<int, const char*> expected[] = {
        {CommandCenter::mergeSentence, "="},          {CommandCenter::removeSentence, "Delete"},
        {CommandCenter::switchInputStatus, "Return"}, {CommandCenter::joinOrExitReview, "Ctrl + J"},
        {CommandCenter::preferences, "Ctrl + ,"},     {CommandCenter::zoomInPages, "Ctrl + ="},
        {CommandCenter::notesAndRetell, "F4"},        {CommandCenter::giveUpCourse, "F3"},
        {CommandCenter::coursesManager, "Ctrl + M"},
    };
    for (const auto& [id, keyText] : expected)
    {
        SCOPED_TRACE(name(id));
        ASSERT_EQ(drawn.keyTexts.count(name(id)), 1u) << "the item was not drawn";
        EXPECT_EQ(drawn.keyTexts[name(id)], String(keyText));
    }
}

TEST(CommandCenterMenus, OfficialWebsiteInTheApplicationMenuOpensTheWebSite)
{
    CommandWorkspace w(State::noCourse);
    ModalAnswerer answerer;
    answerer.handle(
        [](juce::Component& menu)
        {
            auto* item = findByAccessibleTitle(menu, TRANS("Official Website"));
            ASSERT_NE(item, nullptr);
            item->getAccessibilityHandler()->getActions().invoke(juce::AccessibilityActionType::press);
        });
    ASSERT_TRUE(
        w.showUntilSeen(answerer, [&w] { EXPECT_TRUE(w.perform(CommandCenter::popupSystemMenuCommand)); }));
    EXPECT_TRUE(OpenCourse::pumpUntil([&w] { return !w.opened.isEmpty(); }));
    EXPECT_EQ(w.opened, juce::StringArray(GlobalData::WebSite));
}
