// The waveform-strip sentence view, driven with mouse events made by hand: the limits of its edge
// drags, what it reports and when, the edge-move setting inverted for one drag, the double click,
// the release and the context click, and what it paints.
#include "workspace/sentences/ThumbSentence.h"
#include "engine/CourseModel.h"
#include "engine/GlobalData.h"
#include "engine/SystemModel.h"
#include "harness/OpenCourse.h"
#include "harness/ProcessWideObjects.h"
#include "workspace/CommandCenter.h"
#include "workspace/Main.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace
{
constexpr int rate = 44100;
constexpr int height = 60;
/** The course in the fixture lasts ten seconds. */
constexpr int totalSamples = 441000;
/** 0.3 s at 44100 samples per second, plus one sample. */
constexpr int shortest = 13231;

const juce::ModifierKeys leftButton(juce::ModifierKeys::leftButtonModifier);
const juce::ModifierKeys rightButton(juce::ModifierKeys::rightButtonModifier);
const juce::ModifierKeys leftWithCtrl(juce::ModifierKeys::leftButtonModifier |
                                      juce::ModifierKeys::ctrlModifier);

juce::MouseEvent mouseEvent(juce::Component& on, juce::Point<int> at, juce::Point<int> downAt,
                            const juce::ModifierKeys& mods, int clicks = 1)
{
    const auto now = juce::Time::getCurrentTime();
    return juce::MouseEvent(juce::Desktop::getInstance().getMainMouseSource(), at.toFloat(), mods,
                            juce::MouseInputSource::defaultPressure, 0.0f, 0.0f, 0.0f, 0.0f, &on, &on, now,
                            downAt.toFloat(), now, clicks, false);
}

/** Presses an edge, drags it by each horizontal distance in turn (dy downwards as well) and,
    when asked, releases it at the last distance (0 without drags). */
void dragEdge(ComponentEdgeDrager& edge, const std::vector<int>& distances, const juce::ModifierKeys& mods,
              bool release = true, int dy = 0)
{
    const juce::Point<int> down(5, height / 2);
    edge.mouseDown(mouseEvent(edge, down, down, mods));
    for (const int dx : distances)
        edge.mouseDrag(mouseEvent(edge, down.translated(dx, dy), down, mods));
    if (release)
        edge.mouseUp(
            mouseEvent(edge, down.translated(distances.empty() ? 0 : distances.back(), dy), down, mods));
}

/** The waveform strip as far as a sentence view sees it: counts how often it is laid out. */
struct Strip : juce::Component
{
    void resized() override { ++layouts; }
    int layouts = 0;
};

/** Writes each report into one log, with the view's start or end where the report is about them,
    and notes the edge-move setting whenever an edge report arrives. */
struct Reports : SentenceComponent::Listener
{
    void prepareDrag(SentenceComponent*) override { edgeReport("prepare"); }
    void startChanged(SentenceComponent* view) override { edgeReport("start " + juce::String(view->start)); }
    void endChanged(SentenceComponent* view) override { edgeReport("end " + juce::String(view->end)); }
    void splitThumbSentence(SentenceComponent*, int x) override { log.add("split " + juce::String(x)); }
    void hasBeenSelected(SentenceComponent*) override { log.add("selected"); }
    void setCursorPosition(SentenceComponent*, int x) override { log.add("cursor " + juce::String(x)); }
    void setPlayPosition(SentenceComponent*, int x) override { log.add("play " + juce::String(x)); }
    void orginTextChanged(SentenceComponent*, const juce::String&, bool) override {}
    void transTextChanged(SentenceComponent*, const juce::String&, bool) override {}
    void hasBeenEnterTransModal(SentenceComponent*) override {}
    void reviewSuccessed(SentenceComponent*, bool) override {}
    void reviewFailed(SentenceComponent*) override {}

    void edgeReport(const juce::String& what)
    {
        log.add(what);
        settingHeard.push_back(systemModel->effOtherWhenAdjust);
    }

    void clear()
    {
        log.clear();
        settingHeard.clear();
    }

    juce::StringArray log;
    std::vector<bool> settingHeard;
};

juce::StringArray lines(std::initializer_list<juce::String> texts)
{
    juce::StringArray result;
    for (const auto& t : texts)
        result.add(t);
    return result;
}

ComponentEdgeDrager& edgeOf(juce::Component& view, bool left)
{
    // The left edge is made first, the right one second.
    return *dynamic_cast<ComponentEdgeDrager*>(view.getChildComponent(left ? 0 : 1));
}

/** Places a view as the strip container does: at its start, as wide as its samples. */
void placeAsTheStripDoes(juce::Component& view, int start, int end)
{
    view.setBounds(GlobalData::samplesToX(start), 0, GlobalData::samplesToX(end - start + 1), height);
}

juce::Image renderView(juce::Component& view)
{
    juce::Image image(juce::Image::ARGB, view.getWidth(), view.getHeight(), true);
    juce::Graphics g(image);
    view.paintEntireComponent(g, false);
    return image;
}

/** One sentence view on a strip, over a ten-second overview that holds no levels (so nothing but
    the view's own marks is painted). The sentence spans 1 s to 3 s; at zoom 1 its block lies at
    x 70, 140 px wide, and one pixel is 630 samples. */
class ThumbSentenceTest : public testing::Test
{
protected:
    ThumbSentenceTest()
    {
        overview.reset(1, rate, totalSamples);
        strip.setSize(2000, height);
        CommandCenter::rightClickMenuRequested = [this](CommandCenter::PopupMenuType type)
        { reports.log.add("menu " + juce::String((int)type)); };

        systemModel->areaHighlightColour = juce::Colours::yellow;
        systemModel->dotLineColour = juce::Colours::red;
        systemModel->areaThumbColour = juce::Colours::lime;
        systemModel->areaReviewThumbColour = juce::Colours::blue;
        place(44100, 132299, 1.0);
    }

    ~ThumbSentenceTest() override
    {
        CommandCenter::rightClickMenuRequested = nullptr;
        GlobalData::resetAllRuningGlobalData();
    }

    void place(int start, int end, double zoom)
    {
        GlobalData::widthZoomFactor = zoom;
        view = std::make_unique<ThumbSentence>(overview, start, end);
        view->addListener(&reports);
        strip.addAndMakeVisible(*view);
        placeAsTheStripDoes(*view, start, end);
        view->setSelected(true);
        strip.layouts = 0;
        reports.clear();
    }

    ComponentEdgeDrager& edge(bool left) { return edgeOf(*view, left); }

    juce::Image render() const { return renderView(*view); }

    ProcessWideObjects objects;
    juce::AudioThumbnailCache cache{1};
    juce::AudioThumbnail overview{64, *formatManager, cache};
    Strip strip;
    Reports reports;
    std::unique_ptr<ThumbSentence> view;
};

struct EdgeCase
{
    const char* what;
    double zoom;
    int dx;
    int value;   // the start (left edge) or the end (right edge) after the drag
    int width;   // the block's width after the drag
    int layouts; // how often the strip was laid out again
};

TEST_F(ThumbSentenceTest, LeftEdgeDragKeepsTheStartAtOrAfterZeroAndTheSentenceAtLeastShortest)
{
    const EdgeCase cases[] = {
        {"past the course start", 1.0, -100, 0, 209, 1},
        {"onto sample 0", 1.0, -70, 0, 209, 1},
        {"one pixel after the course start", 1.0, -69, 630, 209, 0},
        {"inside the block", 1.0, 50, 75600, 90, 0},
        {"31 px is still wide", 1.0, 109, 112770, 31, 0},
        {"30 px counts as shrunk", 1.0, 110, 132299 - shortest, 21, 1},
        {"past its own end", 1.0, 200, 132299 - shortest, 21, 1},
        {"wide but under 0.3 s", 4.0, 480, 132299 - shortest, 84, 1},
        {"wide and just over 0.3 s", 4.0, 475, 118912, 85, 0},
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        place(44100, 132299, c.zoom);

        dragEdge(edge(true), {c.dx}, leftButton, false);
        EXPECT_EQ(view->start, c.value);
        EXPECT_EQ(view->end, 132299);
        EXPECT_EQ(view->getWidth(), c.width);
        EXPECT_EQ(strip.layouts, c.layouts);
        EXPECT_EQ(reports.log, lines({"prepare"})) << "nothing is reported while the drag goes on";

        edge(true).mouseUp(mouseEvent(edge(true), {5 + c.dx, 30}, {5, 30}, leftButton));
        EXPECT_EQ(reports.log, lines({"prepare", "start " + juce::String(c.value)}));
    }
}

TEST_F(ThumbSentenceTest, RightEdgeDragKeepsTheEndWithinTheAudioAndTheSentenceAtLeastShortest)
{
    const EdgeCase cases[] = {
        {"past the audio's end", 1.0, 491, totalSamples, 630, 0},
        {"one pixel short of the audio's end", 1.0, 490, 440999, 630, 0},
        {"inside the strip", 1.0, 70, 176399, 210, 0},
        {"31 px is still wide", 1.0, -109, 63629, 31, 0},
        {"30 px counts as shrunk", 1.0, -110, 44100 + shortest, 21, 0},
        {"past its own start", 1.0, -200, 44100 + shortest, 21, 0},
        {"wide but under 0.3 s", 4.0, -480, 44100 + shortest, 84, 0},
        {"wide and just over 0.3 s", 4.0, -475, 57487, 85, 0},
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        place(44100, 132299, c.zoom);

        dragEdge(edge(false), {c.dx}, leftButton, false);
        EXPECT_EQ(view->start, 44100);
        EXPECT_EQ(view->end, c.value);
        EXPECT_EQ(view->getWidth(), c.width);
        EXPECT_EQ(strip.layouts, c.layouts);
        EXPECT_EQ(reports.log, lines({"prepare"})) << "nothing is reported while the drag goes on";

        edge(false).mouseUp(mouseEvent(edge(false), {5 + c.dx, 30}, {5, 30}, leftButton));
        EXPECT_EQ(reports.log, lines({"prepare", "end " + juce::String(c.value)}));
    }
}

TEST_F(ThumbSentenceTest, ShrunkBlockSnapsToTheShortestSentenceUntilTheEdgeIsDraggedBackOut)
{
    dragEdge(edge(false), {-110}, leftButton);
    ASSERT_EQ(view->end, 44100 + shortest);
    ASSERT_EQ(view->getWidth(), 21);

    // The next drag starts from the shrunk block: up to 30 px it stays at the shortest length.
    dragEdge(edge(false), {9}, leftButton, false);
    EXPECT_EQ(view->end, 44100 + shortest);
    EXPECT_EQ(view->getWidth(), 21);

    dragEdge(edge(false), {10}, leftButton, false);
    EXPECT_EQ(view->end, 44100 + shortest + 6300);
    EXPECT_EQ(view->getWidth(), 31);
}

TEST_F(ThumbSentenceTest, OnlyADragThatEndsAwayFromWhereItBeganIsReported)
{
    const struct
    {
        const char* what;
        bool left;
        std::vector<int> distances;
        int dy;
        juce::StringArray log;
    } cases[] = {
        {"press and release on the left edge", true, {}, 0, lines({"prepare"})},
        {"press and release on the right edge", false, {}, 0, lines({"prepare"})},
        {"left edge moved", true, {20}, 0, lines({"prepare", "start 56700"})},
        {"right edge moved", false, {-20}, 0, lines({"prepare", "end 119699"})},
        {"dragged away and back", true, {30, -40, 0}, 0, lines({"prepare"})},
        {"straight down", false, {0}, 25, lines({"prepare"})},
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        place(44100, 132299, 1.0);
        dragEdge(edge(c.left), c.distances, leftButton, true, c.dy);
        EXPECT_EQ(reports.log, c.log);
        if (c.log.size() == 1)
        {
            EXPECT_EQ(view->start, 44100);
            EXPECT_EQ(view->end, 132299);
            EXPECT_EQ(view->getBounds(), juce::Rectangle<int>(70, 0, 140, height));
        }
    }
}

TEST_F(ThumbSentenceTest, PressedEdgeBringsItsBlockInFrontOfTheNextOne)
{
    // A moved edge may pass over the neighbour's block; the dragged one must stay on top.
    juce::Component neighbour;
    strip.addAndMakeVisible(neighbour);
    ASSERT_EQ(strip.getIndexOfChildComponent(view.get()), 0);

    dragEdge(edge(false), {}, leftButton);
    EXPECT_EQ(strip.getIndexOfChildComponent(view.get()), 1);
}

TEST_F(ThumbSentenceTest, ShrunkBlockWobbledWithoutHorizontalMovementKeepsItsSentence)
{
    // 0.36 s is 25 px at zoom 1: longer than the shortest sentence, yet shrunk, so any movement
    // snaps it; released where it began, the view must show the course's sentence again.
    for (const bool left : {true, false})
    {
        SCOPED_TRACE(left ? "left edge" : "right edge");
        place(44100, 44100 + 15875, 1.0);
        const auto before = view->getBounds();

        dragEdge(edge(left), {0}, leftButton, false, 20);
        ASSERT_EQ(view->getWidth(), 21) << "the wobble snaps the block while the mouse is held";

        edge(left).mouseUp(mouseEvent(edge(left), {5, 50}, {5, 30}, leftButton));
        EXPECT_EQ(view->start, 44100);
        EXPECT_EQ(view->end, 44100 + 15875);
        EXPECT_EQ(view->getBounds(), before);
        EXPECT_EQ(reports.log, lines({"prepare"}));
    }
}

TEST_F(ThumbSentenceTest, CtrlOnAnEdgeInvertsTheEdgeMoveSettingForThatDragOnly)
{
    const struct
    {
        const char* what;
        bool settingBefore;
        juce::ModifierKeys mods;
        std::vector<int> distances;
        std::vector<bool> heard; // the setting at each edge report
    } cases[] = {
        {"Ctrl with the setting on", true, leftWithCtrl, {20}, {false, false}},
        {"Ctrl with the setting off", false, leftWithCtrl, {20}, {true, true}},
        {"no Ctrl", true, leftButton, {20}, {true, true}},
        {"Ctrl, released without moving", true, leftWithCtrl, {}, {false}},
        {"Shift is not Ctrl",
         false,
         juce::ModifierKeys(juce::ModifierKeys::leftButtonModifier | juce::ModifierKeys::shiftModifier),
         {20},
         {false, false}},
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        place(44100, 132299, 1.0);
        systemModel->effOtherWhenAdjust = c.settingBefore;

        dragEdge(edge(true), c.distances, c.mods);
        EXPECT_EQ(reports.settingHeard, c.heard);
        EXPECT_EQ(systemModel->effOtherWhenAdjust, c.settingBefore) << "the release gives the setting back";

        // The next drag without Ctrl sees the setting as it was.
        reports.clear();
        dragEdge(edge(true), {-5}, leftButton);
        EXPECT_EQ(reports.settingHeard, std::vector<bool>(2, c.settingBefore));
    }
}

TEST_F(ThumbSentenceTest, ViewDeletedInTheMiddleOfACtrlDragGivesTheSettingBack)
{
    systemModel->effOtherWhenAdjust = true;
    dragEdge(edge(false), {30}, leftWithCtrl, false);
    ASSERT_FALSE(systemModel->effOtherWhenAdjust);

    view.reset();
    EXPECT_TRUE(systemModel->effOtherWhenAdjust);
}

TEST_F(ThumbSentenceTest, DoubleClickReportsASplitAtTheClickedPixelEvenOutsideTheBlock)
{
    for (const int x : {-5, 0, 60, 139, 500})
    {
        SCOPED_TRACE(x);
        reports.clear();
        view->mouseDoubleClick(mouseEvent(*view, {x, 30}, {x, 30}, leftButton, 2));
        EXPECT_EQ(reports.log, lines({"split " + juce::String(x)}));
    }
}

TEST_F(ThumbSentenceTest, DragAndReleaseReportClampedPositionsAndAContextClickAsksForTheStripMenu)
{
    const struct
    {
        const char* what;
        int x;
        juce::ModifierKeys mods;
        juce::StringArray log;
    } cases[] = {
        {"left button inside", 60, leftButton, lines({"cursor 60", "play 60"})},
        {"left of the block", -5, leftButton, lines({"cursor 0", "play 0"})},
        {"right of the block", 500, leftButton, lines({"cursor 140", "play 140"})},
        {"right button", 30, rightButton, lines({"cursor 30", "play 30", "menu 0"})},
        {"Ctrl held", 30, leftWithCtrl, lines({"cursor 30", "play 30", "menu 0"})},
        {"middle button", 30, juce::ModifierKeys(juce::ModifierKeys::middleButtonModifier),
         lines({"cursor 30", "play 30"})},
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        reports.clear();
        view->mouseDrag(mouseEvent(*view, {c.x, 30}, {40, 30}, c.mods));
        view->mouseUp(mouseEvent(*view, {c.x, 30}, {40, 30}, c.mods));
        EXPECT_EQ(reports.log, c.log);
    }
}

TEST_F(ThumbSentenceTest, EdgesAreShownOnlyWhileSelectedAtBothEndsOfTheBlock)
{
    EXPECT_TRUE(edge(true).isVisible());
    EXPECT_TRUE(edge(false).isVisible());
    EXPECT_EQ(edge(true).getBounds(), juce::Rectangle<int>(0, 0, 10, height));
    EXPECT_EQ(edge(false).getBounds(), juce::Rectangle<int>(129, 0, 10, height));

    view->setSelected(false);
    EXPECT_FALSE(edge(true).isVisible());
    EXPECT_FALSE(edge(false).isVisible());

    // A new view is not selected, so its edges start hidden.
    ThumbSentence fresh(overview, 0, 1000);
    EXPECT_FALSE(edgeOf(fresh, true).isVisible());
    EXPECT_FALSE(edgeOf(fresh, false).isVisible());
}

bool near(juce::Colour a, juce::Colour b)
{
    const auto close = [](juce::uint8 x, juce::uint8 y) { return std::abs((int)x - (int)y) <= 12; };
    return close(a.getRed(), b.getRed()) && close(a.getGreen(), b.getGreen()) &&
           close(a.getBlue(), b.getBlue()) && close(a.getAlpha(), b.getAlpha());
}

TEST_F(ThumbSentenceTest, SelectedBlockIsHighlightedFromItsCentreToDarkGreyAtTheTopLeft)
{
    const auto selected = render();
    EXPECT_TRUE(near(selected.getPixelAt(70, 28), juce::Colours::yellow))
        << selected.getPixelAt(70, 28).toString();
    // Radial: the bottom-right corner lies as far from the centre as the top-left one.
    for (const auto& p : {juce::Point<int>(1, 0), juce::Point<int>(136, 59)})
        EXPECT_TRUE(near(selected.getPixelAt(p.x, p.y), juce::Colours::darkgrey))
            << p.toString() << ": " << selected.getPixelAt(p.x, p.y).toString();

    view->setSelected(false);
    const auto plain = render();
    for (const auto& p : {juce::Point<int>(70, 28), juce::Point<int>(1, 0), juce::Point<int>(20, 50)})
        EXPECT_EQ(plain.getPixelAt(p.x, p.y).getAlpha(), 0) << p.toString();
}

TEST_F(ThumbSentenceTest, DashedBoundaryLineRunsDownTheRightEndInTheDotLineColour)
{
    for (const bool isSelected : {false, true})
    {
        SCOPED_TRACE(isSelected ? "selected" : "not selected");
        view->setSelected(isSelected);
        const auto image = render();
        const int column = view->getWidth() - 2;

        // Dashes of 4 px from y 0.5: rows 1 to 3 and 9 to 11 drawn, rows 5 to 7 a gap.
        for (const int row : {1, 3, 9, 11, 49})
            EXPECT_EQ(image.getPixelAt(column, row), juce::Colours::red) << "row " << row;
        for (const int row : {5, 7, 13})
            EXPECT_NE(image.getPixelAt(column, row), juce::Colours::red) << "row " << row;
        EXPECT_NE(image.getPixelAt(column - 3, 2), juce::Colours::red);
    }
}

//==============================================================================
/** A real course: the sentence views the model made, placed as the strip container places them
    and reported to the model itself. */
class ThumbSentenceInCourseTest : public testing::Test
{
protected:
    void openWith(const std::vector<int>& lengths)
    {
        ASSERT_TRUE(course.open(OpenCourse::contiguous(lengths)));
        for (int i = 0; i < (int)lengths.size(); ++i)
        {
            auto& view = course.thumb(i);
            placeAsTheStripDoes(view, view.start, view.end);
        }
    }

    int valueOf(int index, const juce::Identifier& key) const { return course.intOf(index, key); }

    OpenCourse course;
};

TEST_F(ThumbSentenceInCourseTest, CtrlDragOfAStartLeavesThePreviousSentenceAloneForThatEditOnly)
{
    const struct
    {
        const char* what;
        juce::ModifierKeys mods;
        int previousEnd;
    } cases[] = {
        {"without Ctrl the previous sentence's end follows", leftButton, 75599},
        {"with Ctrl it stays", leftWithCtrl, 88199},
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        openWith({88200, 88200, 88200});
        course.model().selectSentence(1, false);
        ASSERT_TRUE(systemModel->effOtherWhenAdjust);

        // 20 px to the left at zoom 1: 12600 samples.
        dragEdge(edgeOf(course.thumb(1), true), {-20}, c.mods);
        EXPECT_EQ(valueOf(1, CourseModel::StartSamples), 75600);
        EXPECT_EQ(valueOf(0, CourseModel::EndSamples), c.previousEnd);
        EXPECT_TRUE(systemModel->effOtherWhenAdjust);
        EXPECT_EQ(course.viewsOutOfStep(), "");
    }
}

TEST_F(ThumbSentenceInCourseTest, ShrunkSentenceWobbledOnItsEdgeStaysInStepWithTheCourse)
{
    openWith({15876, 88200});
    course.model().selectSentence(0, false);

    dragEdge(edgeOf(course.thumb(0), false), {0}, leftButton, true, 20);
    EXPECT_EQ(valueOf(0, CourseModel::EndSamples), 15875);
    EXPECT_EQ(course.viewsOutOfStep(), "");
    EXPECT_EQ(course.thumb(0).getWidth(), 25);
}

TEST_F(ThumbSentenceInCourseTest, WaveformIsDrawnInTheReviewColourWhileUnfamiliarInsideTwoPixelMargins)
{
    openWith({220500, 220500});
    systemModel->areaThumbColour = juce::Colours::lime;
    systemModel->areaReviewThumbColour = juce::Colours::blue;
    auto& view = course.thumb(0);
    view.setSelected(false); // the first sentence comes selected; its highlight would cover the margins
    const int x = view.getWidth() / 2;

    EXPECT_EQ(renderView(view).getPixelAt(x, height / 2), juce::Colours::lime);
    view.needReview(true);
    EXPECT_EQ(renderView(view).getPixelAt(x, height / 2), juce::Colours::blue);

    // Enlarged far beyond the block, the waveform still keeps off the top and bottom two rows.
    GlobalData::ampFactor = 8.0f;
    const auto image = renderView(view);
    for (const int row : {2, 57})
        EXPECT_EQ(image.getPixelAt(x, row), juce::Colours::blue) << "row " << row;
    for (const int row : {0, 1, 58, 59})
        EXPECT_EQ(image.getPixelAt(x, row).getAlpha(), 0) << "row " << row;
    GlobalData::resetAllRuningGlobalData();
}
TEST_F(ThumbSentenceInCourseTest, ADrawnPartOfAZoomedInBlockShowsTheSameWaveformAsTheWholeBlock)
{
    // Zoomed in, one block is far wider than anything drawn at a time; a part drawn on its own
    // must show the columns it shows as part of the whole block.
    openWith({220500, 220500});
    GlobalData::widthZoomFactor = 8.0;
    auto& view = course.thumb(0);
    placeAsTheStripDoes(view, view.start, view.end);
    view.setSelected(false);
    systemModel->areaThumbColour = juce::Colours::lime;
    const auto whole = renderView(view);

    for (const auto part :
         {juce::Rectangle<int>(0, 0, 40, height), juce::Rectangle<int>(1234, 0, 300, height),
          juce::Rectangle<int>(view.getWidth() - 77, 0, 77, height)})
    {
        juce::Image image(juce::Image::ARGB, view.getWidth(), height, true);
        juce::Graphics g(image);
        g.reduceClipRegion(part);
        view.paintEntireComponent(g, false);

        int differing = 0;
        for (int x = part.getX(); x < part.getRight(); ++x)
            for (int y = 0; y < height; ++y)
                differing += image.getPixelAt(x, y) != whole.getPixelAt(x, y) ? 1 : 0;
        EXPECT_LE(differing, height) << "columns " << part.getX() << " to " << part.getRight();
    }
    GlobalData::resetAllRuningGlobalData();
}
} // namespace
