// The floating badge: its pictures, clicks and drags through a real window, hovering without
// drift, and the day's review task in its tooltip, counted by the controller from the library.
#include "workspace/PopupMenuComponent.h"

#include "engine/Clock.h"
#include "engine/CourseModel.h"
#include "engine/DocumentManager.h"
#include "engine/SystemModel.h"
#include "workspace/CommandCenter.h"
#include "workspace/CourseController.h"
#include "workspace/Main.h"
#include "workspace/MainComponent.h"
#include "workspace/containers/PagesContainer.h"

#include "harness/CourseWorkingSet.h"
#include "harness/ModalAnswerer.h"
#include "harness/OpenCourse.h"
#include "harness/OpenWorkspace.h"
#include "harness/ProcessWideObjects.h"

#include <gtest/gtest.h>

#include <optional>

namespace
{
const juce::ModifierKeys leftButton(juce::ModifierKeys::leftButtonModifier);

/** A badge in a window of its own on the desktop, driven by mouse events through the window. */
class BadgeMouseTest : public testing::Test
{
protected:
    BadgeMouseTest()
    {
        host.setSize(400, 400);
        host.addAndMakeVisible(badge);
        badge.setTopLeftPosition(resting.getPosition());
        host.addToDesktop(0);
        host.setVisible(true);
        CommandCenter::rightClickMenuRequested = [this](CommandCenter::PopupMenuType type)
        {
            menus.add(type);
            // Whether the menu runs a loop of its own or not, it goes again at once.
            juce::MessageManager::callAsync([] { juce::PopupMenu::dismissAllActiveMenus(); });
        };
    }

    ~BadgeMouseTest() override
    {
        CommandCenter::rightClickMenuRequested = nullptr;
        host.removeFromDesktop();
    }

    void send(juce::Point<int> inHost, const juce::ModifierKeys& mods)
    {
        time += 100;
        host.getPeer()->handleMouseEvent(juce::MouseInputSource::InputSourceType::mouse, inHost.toFloat(),
                                         mods, juce::MouseInputSource::defaultPressure,
                                         juce::MouseInputSource::defaultOrientation, time);
    }

    /** A point given relative to the badge where it is now, in the window. */
    juce::Point<int> onBadge(int x, int y) const { return badge.getPosition() + juce::Point<int>(x, y); }

    void hoverCentre() { send(onBadge(32, 32), {}); }
    void leave() { send({5, 5}, {}); }

    void clickAt(juce::Point<int> inHost)
    {
        send(inHost, {});
        send(inHost, leftButton);
        send(inHost, {});
        juce::MessageManager::getInstance()->runDispatchLoopUntil(20);
    }

    const juce::Rectangle<int> resting{150, 150, 64, 64};
    ProcessWideObjects objects;
    juce::Component host;
    PopupMenuComponent badge;
    juce::Array<CommandCenter::PopupMenuType> menus;
    juce::int64 time = juce::Time::currentTimeMillis();
};

/** Writes a course archive into the library holding only its course text: a course due on the
    date given, with one unfamiliar sentence per review date. */
void archiveCourse(const juce::String& stem, const juce::String& courseDate,
                   const juce::StringArray& sentenceDates)
{
    juce::XmlElement course(CourseModel::COURSE);
    course.setAttribute(CourseModel::NowStatus, 1);
    course.setAttribute(CourseModel::NextReviewDate, courseDate);
    for (const auto& date : sentenceDates)
    {
        auto* sentence = course.createNewChildElement(CourseModel::SENTENCE.toString());
        sentence->setAttribute(CourseModel::NeedReview, 1);
        sentence->setAttribute(CourseModel::NextReviewDate, date);
    }
    const auto text = course.toString();
    juce::ZipFile::Builder archive;
    archive.addEntry(new juce::MemoryInputStream(text.toRawUTF8(), text.getNumBytesAsUTF8(), true), 9,
                     stem + ".xml", juce::Time());
    const auto target = DocumentManager::CourseDir().getChildFile(stem + ".mqz");
    ASSERT_TRUE(target.create().wasOk());
    juce::FileOutputStream out(target);
    ASSERT_TRUE(out.setPosition(0));
    ASSERT_TRUE(archive.writeToStream(out, nullptr));
}

juce::MouseEvent enterEvent(juce::Component& on)
{
    const auto now = juce::Time::getCurrentTime();
    return juce::MouseEvent(juce::Desktop::getInstance().getMainMouseSource(), {}, {},
                            juce::MouseInputSource::defaultPressure, 0.0f, 0.0f, 0.0f, 0.0f, &on, &on, now,
                            {}, now, 0, false);
}
} // namespace

//==============================================================================
TEST_F(BadgeMouseTest, OnlyAClickOnTheBodyOpensTheBackgroundMenu)
{
    struct Case
    {
        int x, y;
        bool opens;
    };
    for (const auto c : {Case{32, 32, true}, Case{12, 30, true}, Case{51, 30, true}, Case{30, 2, true},
                         Case{30, 61, true}, Case{11, 30, false}, Case{52, 30, false}, Case{30, 1, false},
                         Case{30, 62, false}, Case{66, 66, false}})
    {
        menus.clear();
        hoverCentre();
        clickAt(onBadge(c.x, c.y));
        EXPECT_EQ(menus.size(), c.opens ? 1 : 0) << c.x << ", " << c.y;
        if (c.opens)
        {
            EXPECT_EQ(menus.getFirst(), CommandCenter::backgroundMenu);
        }
        leave();
        EXPECT_EQ(badge.getBounds(), resting) << "the click moved nothing";
    }
}

TEST_F(BadgeMouseTest, DraggingMovesTheBadgeWithTheHandCursorAndOpensNothing)
{
    for (const auto distance : {juce::Point<int>(1, 0), juce::Point<int>(40, 25), juce::Point<int>(-30, 60)})
    {
        menus.clear();
        hoverCentre();
        const auto start = badge.getPosition();
        const auto grabbed = onBadge(30, 30);
        send(grabbed, leftButton);
        send(grabbed + distance / 2, leftButton);
        send(grabbed + distance, leftButton);
        EXPECT_EQ(badge.getMouseCursor(), juce::MouseCursor(juce::MouseCursor::DraggingHandCursor));
        send(grabbed + distance, {});
        juce::MessageManager::getInstance()->runDispatchLoopUntil(20);

        EXPECT_TRUE(menus.isEmpty()) << distance.toString();
        EXPECT_EQ(badge.getPosition(), start + distance);
        EXPECT_EQ(badge.getMouseCursor(), juce::MouseCursor(juce::MouseCursor::NormalCursor));

        // A click after the drag opens the menu again: the drag mark is gone.
        clickAt(onBadge(32, 32));
        EXPECT_EQ(menus.size(), 1) << distance.toString();
        leave();
        badge.setTopLeftPosition(resting.getPosition());
    }
}

TEST_F(BadgeMouseTest, HoveringGrowsItAroundItsCentreAndNeverDrifts)
{
    for (int i = 0; i < 5; ++i)
    {
        hoverCentre();
        EXPECT_EQ(badge.getBounds(), resting.expanded(3)) << "enter " << i;
        send(onBadge(40, 20), {}); // moving inside changes nothing
        EXPECT_EQ(badge.getBounds(), resting.expanded(3)) << "move " << i;
        leave();
        EXPECT_EQ(badge.getBounds(), resting) << "exit " << i;
    }
}

TEST(Badge, ShowsThePictureOfTheLoopsOverItsWholeArea)
{
    ProcessWideObjects objects;
    PopupMenuComponent badge;
    EXPECT_EQ(badge.getBounds(), juce::Rectangle<int>(0, 0, 64, 64));
    EXPECT_EQ(badge.getPicture(), PopupMenuComponent::pictureFor(false, false));

    // Four different pictures, each loaded once from the image cache.
    juce::Array<juce::Image> pictures;
    for (const bool sentence : {false, true})
        for (const bool course : {false, true})
        {
            badge.setBackground(sentence, course);
            EXPECT_TRUE(badge.getPicture().isValid());
            EXPECT_EQ(badge.getPicture(), PopupMenuComponent::pictureFor(sentence, course));
            EXPECT_FALSE(pictures.contains(badge.getPicture()));
            pictures.add(badge.getPicture());
        }

    // Grown, the picture is scaled to 70 x 70: its rim reaches the new bottom edge.
    badge.setSize(70, 70);
    const auto snapshot = badge.createComponentSnapshot(badge.getLocalBounds(), true, 1.0f);
    EXPECT_GT(snapshot.getPixelAt(35, 66).getAlpha(), 200);
    EXPECT_EQ(snapshot.getPixelAt(1, 1).getAlpha(), 0) << "a round badge leaves its corners clear";
}

TEST(Badge, TheLoopSwitchesOfTheOpenCourseChangeThePicture)
{
    OpenWorkspace workspace(
        []
        {
            CourseWorkingSet set(6.0, OpenCourse::rate);
            ASSERT_TRUE(set.wasCreated());
            ASSERT_TRUE(set.writeSentences(OpenCourse::contiguous({2 * OpenCourse::rate})));
        });
    ASSERT_TRUE(workspace.controller().isCourseOpen());
    auto& badge = *workspace.main().getPagesContainer()->getBadge();
    EXPECT_EQ(badge.getPicture(), PopupMenuComponent::pictureFor(false, false));

    workspace.controller().setSentenceLoopMode();
    EXPECT_EQ(badge.getPicture(), PopupMenuComponent::pictureFor(true, false));
    workspace.controller().setCourseLoopMode();
    EXPECT_EQ(badge.getPicture(), PopupMenuComponent::pictureFor(true, true));
}

//==============================================================================
namespace
{
/** A day's review task: the library's courses (each a list of its unfamiliar sentences' review
    dates), the working set left open (none, learning or review) and the tooltip it makes. */
struct DueTaskCase
{
    const char* name;
    std::vector<std::vector<const char*>> library;
    int openStatus; // -1 no course open
    std::vector<const char*> openSentenceDates;
    const char* tooltip;
};

void PrintTo(const DueTaskCase& c, std::ostream* out)
{
    *out << c.name;
}

class DueTaskTooltip : public testing::TestWithParam<DueTaskCase>
{
};

// Today is 2 April 2017.
const char* const due = "1 Apr 2017";
const char* const later = "3 Apr 2017";
} // namespace

TEST_P(DueTaskTooltip, CountsTheCoursesAndSentencesDueToday)
{
    const auto& c = GetParam();
    Clock::setFixedTime(juce::Time(2017, 3, 2, 15, 30, 7, 0, true));
    std::optional<ModalAnswerer> answerer;
    OpenWorkspace workspace(
        [&]
        {
            // Due courses are only counted here, not offered for review at the start.
            systemModel->atLeastUnreview = 100;
            for (size_t i = 0; i < c.library.size(); ++i)
                archiveCourse("2017-010" + juce::String(i + 1) + "-1000-00", due,
                              juce::StringArray(c.library[i].data(), (int)c.library[i].size()));
            // Nothing is asked at the start: a window would fail the test instead of waiting.
            const juce::ScopeGuard watch{[&] { answerer.emplace(); }};
            if (c.openStatus < 0)
                return;
            CourseWorkingSet set(6.0, OpenCourse::rate);
            ASSERT_TRUE(set.wasCreated());
            auto sentences = OpenCourse::contiguous(std::vector<int>(3, OpenCourse::rate));
            for (size_t i = 0; i < c.openSentenceDates.size(); ++i)
            {
                sentences[i].unfamiliar = true;
                sentences[i].reviewDate = c.openSentenceDates[i];
            }
            ASSERT_TRUE(set.writeSentences(sentences, c.openStatus));
            // A review course plays its archived audio.
            ASSERT_TRUE(
                set.writeOggCourseAudio(DocumentManager::TempDir().getChildFile(set.getStem() + ".ogg")));
        });
    ASSERT_EQ(workspace.controller().isCourseOpen(), c.openStatus >= 0);
    systemModel->language = 1; // English: the texts as written
    systemModel->setAppLanguage();

    auto& badge = *workspace.main().getPagesContainer()->getBadge();
    badge.mouseEnter(enterEvent(badge));
    EXPECT_EQ(badge.getTooltip(), juce::String(c.tooltip));
    badge.mouseExit(enterEvent(badge));
}

INSTANTIATE_TEST_SUITE_P(
    Badge, DueTaskTooltip,
    testing::Values(
        DueTaskCase{
            "OneCourseThreeSentences", {{due, due, due}}, -1, {}, "Today's mission: 1 course, 3 sentences."},
        DueTaskCase{
            "TwoCoursesOneSentence", {{due}, {later}}, -1, {}, "Today's mission: 2 courses, 1 sentence."},
        DueTaskCase{"NothingDue", {}, -1, {}, "Congratulations! All courses review completed today."},
        DueTaskCase{"OpenReviewCourseCounts", {}, 1, {due, due}, "Today's mission: 1 course, 2 sentences."},
        DueTaskCase{
            "OpenLearningCourseDoesNot", {}, 0, {}, "Congratulations! All courses review completed today."}),
    [](const testing::TestParamInfo<DueTaskCase>& param) { return std::string(param.param.name); });
