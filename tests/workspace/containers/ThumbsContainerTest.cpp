// The waveform strip and its time scale: the tick unit at every zoom, the ruler's marks and labels,
// the zoom with its limits and the wheel, a removed sentence that leaves the strip too short, the
// time scale following the view, and the time scale's context menu.
#include "workspace/containers/ThumbsContainer.h"

#include "WorkspaceWithCourse.h"
#include "engine/CourseModel.h"
#include "engine/GlobalData.h"
#include "harness/ProcessWideObjects.h"
#include "workspace/Main.h"
#include "workspace/containers/TimeScaleComponent.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace
{
const juce::ModifierKeys command(juce::ModifierKeys::commandModifier);

/** Restores the process-wide zoom when a test that sets it ends. */
struct ZoomGuard
{
    explicit ZoomGuard(double zoom) { GlobalData::widthZoomFactor = zoom; }
    ~ZoomGuard() { GlobalData::widthZoomFactor = 1.0; }
};
/** Zooms the strip in by some steps from where the course load left it, then scrolls to x. */
void zoomInAndScroll(WorkspaceWithCourse& w, int steps, int x)
{
    for (int i = 0; i < steps; ++i)
        w.strip().zoomThumbs(true, 0);
    w.stripViewport().setViewPosition(x, 0);
}
} // namespace

TEST(TimeScaleUnit, IsThePowerOfTwoThatKeepsMajorTicks35To70PixelsApart)
{
    struct Case
    {
        double zoom;
        double unit;
    };
    const Case cases[] = {
        {1.0, 0.5},
        {1.5, 0.5},
        {2.0, 0.25},
        {0.3, 2.0},
        {0.25, 2.0},
        {0.2499, 4.0},
        {511.99, 1.0 / 512},
        {256.0, 1.0 / 512},
        {1024.0, 1.0 / 1024},
        {5000.0, 1.0 / 1024},
        // Beyond what zooming reaches, still finite and without looping.
        {512.0, 1.0 / 1024},
        {600.0, 1.0 / 1024},
        {1023.9, 1.0 / 1024},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(ThumbsContainer::getMinTimeUnitInSeconds(c.zoom), c.unit) << "zoom " << c.zoom;

    for (double zoom = 0.001; zoom < 512.0; zoom *= 1.1)
    {
        ZoomGuard guard(zoom);
        const int pixels = GlobalData::secondsToX(ThumbsContainer::getMinTimeUnitInSeconds(zoom));
        EXPECT_GE(pixels, 35) << "zoom " << zoom;
        EXPECT_LE(pixels, 70) << "zoom " << zoom;
    }
}

TEST(TimeScaleUnit, ZoomsOfZeroOrBelowGiveAFiniteUnitAndAnEmptyRuler)
{
    for (const double zoom : {0.0, -1.0, -600.0, 1.0e-300, std::numeric_limits<double>::quiet_NaN()})
    {
        const double unit = ThumbsContainer::getMinTimeUnitInSeconds(zoom);
        EXPECT_TRUE(std::isfinite(unit) && unit > 0.0) << "zoom " << zoom;
        ZoomGuard guard(zoom);
        if (!(zoom > 0.0))
        {
            const auto ruler = TimeScaleComponent::layOutRuler(0.0, 500);
            EXPECT_TRUE(ruler.marks.empty() && ruler.labels.empty()) << "zoom " << zoom;
        }
    }
}

TEST(TimeScaleRuler, PlacesMarksAndLabelsFromTheLeftEdge)
{
    struct Case
    {
        double zoom;
        int startX; // the view's x, which gives the start time
        int width;
        int firstMajor;
        juce::String firstLabel;
        int leftMinors; // minor marks before the first major one
        int majors;
    };
    const Case cases[] = {
        {1.0, 0, 100, 0, "0:00.000", 0, 3},
        // 10 px in: the next half second is 25 px further; 8 minor marks reach back past 0.
        {1.0, 10, 100, 25, "0:00.500", 8, 3},
        {1.0, 35, 71, 0, "0:00.500", 0, 3},
        {2.0, 0, 35, 0, "0:00.000", 0, 1},
        // 2 s per 42 px: from 4.76 s the next major tick is 6 s, 26 px in.
        {0.3, 100, 300, 26, "0:06.000", 7, 8},
    };
    for (const auto& c : cases)
    {
        ZoomGuard guard(c.zoom);
        const auto what = "zoom " + juce::String(c.zoom) + " from x " + juce::String(c.startX);
        const auto ruler = TimeScaleComponent::layOutRuler(GlobalData::xToSeconds(c.startX), c.width);
        const int major = GlobalData::secondsToX(ThumbsContainer::getMinTimeUnitInSeconds(c.zoom));
        const float minor = (float)major / 10.0f;

        ASSERT_EQ((int)ruler.labels.size(), c.majors) << what;
        EXPECT_EQ(ruler.labels.front().text, c.firstLabel) << what;
        EXPECT_EQ(ruler.labels.front().x, c.firstMajor + 5) << what;

        // Left of the first major mark, right to left; only the last reaches 0 or beyond.
        for (int k = 1; k <= c.leftMinors; ++k)
        {
            const auto& mark = ruler.marks[(size_t)k - 1];
            EXPECT_FLOAT_EQ(mark.x, (float)c.firstMajor - (float)k * minor) << what << " left " << k;
            EXPECT_EQ(mark.top, k == 5 ? TimeScaleComponent::middleTop : TimeScaleComponent::minorTop)
                << what;
            EXPECT_EQ(mark.x <= 0.0f, k == c.leftMinors) << what << " left " << k;
        }

        // Then each major interval: its major mark and nine minor ones, the fifth taller.
        ASSERT_EQ(ruler.marks.size(), (size_t)(c.leftMinors + 10 * c.majors)) << what;
        for (int i = 0; i < c.majors; ++i)
            for (int j = 0; j < 10; ++j)
            {
                const auto& mark = ruler.marks[(size_t)(c.leftMinors + 10 * i + j)];
                EXPECT_NEAR(mark.x, (float)(c.firstMajor + i * major) + (float)j * minor, 1.0e-3f) << what;
                const int top = j == 0   ? TimeScaleComponent::majorTop
                                : j == 5 ? TimeScaleComponent::middleTop
                                         : TimeScaleComponent::minorTop;
                EXPECT_EQ(mark.top, top) << what << " interval " << i << " mark " << j;
            }
    }
}

TEST(TimeScaleRuler, LabelsThatWouldRunIntoEachOtherAreThinnedOnFixedTicks)
{
    const juce::Font font(16.0f, juce::Font::bold);
    for (const double zoom : {1.0, 1.5, 3.0, 40.0})
    {
        ZoomGuard guard(zoom);
        const auto what = "zoom " + juce::String(zoom);
        std::vector<juce::int64> shownBefore;
        // The same stretch of the course seen from two scroll positions.
        for (const int startX : {0, 17})
        {
            const auto ruler = TimeScaleComponent::layOutRuler(GlobalData::xToSeconds(startX), 1200);
            const auto shown = TimeScaleComponent::labelsThatFit(ruler, font);
            ASSERT_GE(shown.size(), 2u) << what;
            for (size_t i = 1; i < shown.size(); ++i)
            {
                EXPECT_GE(shown[i].x, shown[i - 1].x + font.getStringWidth(shown[i - 1].text))
                    << what << ": \"" << shown[i - 1].text << "\" runs into \"" << shown[i].text << "\"";
            }

            std::vector<juce::int64> ticks;
            for (const auto& label : shown)
            {
                if (label.x + startX > 100 && label.x + startX < 1000)
                    ticks.push_back(label.tick);
            }
            if (!shownBefore.empty())
            {
                EXPECT_EQ(ticks, shownBefore) << what << ": scrolling moved the labels to other ticks";
            }
            shownBefore = ticks;
        }
    }
}

TEST(ThumbsContainer, ZoomStopsAtItsMaximumAndWhereTheCourseFillsTheView)
{
    WorkspaceWithCourse w(9);
    auto& strip = w.strip();
    const int visible = w.stripViewport().getMaximumVisibleWidth();

    for (int i = 0; i < 200; ++i)
        strip.zoomThumbs(true, 0);
    EXPECT_DOUBLE_EQ(GlobalData::widthZoomFactor, ThumbsContainer::maximumZoom);

    for (int i = 0; i < 200; ++i)
        strip.zoomThumbs(false, 0);
    EXPECT_DOUBLE_EQ(GlobalData::widthZoomFactor, strip.getMinimumZoom());
    // Each block's width is truncated, so the blocks fall short of the view by at most a pixel each.
    EXPECT_LE(strip.getAllThumbsWidth(), visible);
    EXPECT_GE(strip.getAllThumbsWidth(), visible - 9);
    EXPECT_EQ(strip.getWidth(), visible);
}

TEST(ThumbsContainer, TheWheelZoomsAroundTheMouseWithExactlyCommandAndScrollsOtherwise)
{
    struct Case
    {
        juce::ModifierKeys mods;
        float dy;
        double zoomFactor; // applied by the turn; 1 when it scrolls
        int scrolledBySteps;
    };
    const Case cases[] = {
        {command, 1.0f, 1.1, 0},
        {command, -1.0f, 1.0 / 1.1, 0},
        {{}, -1.0f, 1.0, 2},
        {{}, 1.0f, 1.0, -2},
        {{}, 0.0f, 1.0, -2},
        {juce::ModifierKeys(juce::ModifierKeys::shiftModifier), -1.0f, 1.0, 2},
        {juce::ModifierKeys(juce::ModifierKeys::altModifier), 1.0f, 1.0, -2},
        {command.withFlags(juce::ModifierKeys::shiftModifier), 1.0f, 1.0, -2},
    };
    for (const auto& c : cases)
    {
        WorkspaceWithCourse w(9);
        auto& strip = w.strip();
        auto& viewport = w.stripViewport();
        zoomInAndScroll(w, 8, 300);
        strip.setCursorPosition(GlobalData::secondsToX(2.0));
        const double zoom = GlobalData::widthZoomFactor;
        const auto what = "mods " + juce::String(c.mods.getRawFlags()) + " dy " + juce::String(c.dy);

        const int mouse = 600; // in the strip
        const double mouseTime = GlobalData::xToSeconds(mouse);
        const int mouseInView = mouse - viewport.getViewPositionX();
        WorkspaceWithCourse::turnWheel(strip, {mouse, 40}, c.mods, c.dy);
        WorkspaceWithCourse::settle();

        EXPECT_DOUBLE_EQ(GlobalData::widthZoomFactor, zoom * c.zoomFactor) << what;
        if (c.scrolledBySteps == 0)
        {
            // The time under the mouse stays under it, and the cursor stays on its time.
            EXPECT_NEAR(GlobalData::secondsToX(mouseTime) - viewport.getViewPositionX(), mouseInView, 1)
                << what;
            EXPECT_NEAR(strip.getCursorX() + 1, GlobalData::secondsToX(2.0), 2) << what;
        }
        else
        {
            const int step = (int)viewport.getHorizontalScrollBar().getSingleStepSize();
            EXPECT_EQ(viewport.getViewPositionX(), 300 + c.scrolledBySteps * step) << what;
        }
        // Zoomed or scrolled, the time scale lies over the view.
        EXPECT_EQ(strip.getTimeScale().getX(), viewport.getViewPositionX()) << what;
    }
}

TEST(ThumbsContainer, TheWheelOverTheTimeScaleZoomsAroundTheMouse)
{
    WorkspaceWithCourse w(9);
    auto& strip = w.strip();
    auto& viewport = w.stripViewport();
    zoomInAndScroll(w, 8, 300);
    const double zoom = GlobalData::widthZoomFactor;

    // 100 px into the time scale is 400 px into the strip; no modifier needed.
    const double mouseTime = GlobalData::xToSeconds(400);
    WorkspaceWithCourse::turnWheel(strip.getTimeScale(), {100, 10}, {}, -1.0f);
    EXPECT_DOUBLE_EQ(GlobalData::widthZoomFactor, zoom / 1.1);
    EXPECT_NEAR(GlobalData::secondsToX(mouseTime) - viewport.getViewPositionX(), 100, 1);
}

TEST(ThumbsContainer, RemovingASentenceFromAStripThatFitsRaisesTheZoomToFillTheView)
{
    WorkspaceWithCourse w(9);
    auto& strip = w.strip();
    const int visible = w.stripViewport().getMaximumVisibleWidth();
    for (int i = 0; i < 200; ++i)
        strip.zoomThumbs(false, 0);
    ASSERT_EQ(strip.getWidth(), visible);
    const double zoom = GlobalData::widthZoomFactor;
    const int removedWidth = GlobalData::samplesToX(WorkspaceWithCourse::rate - 1);

    w.model().removeSentence(4);
    ASSERT_EQ(w.model().getThumbs().size(), 8);
    EXPECT_DOUBLE_EQ(GlobalData::widthZoomFactor, zoom * visible / (visible - removedWidth));
    EXPECT_LE(strip.getAllThumbsWidth(), visible);
    EXPECT_GE(strip.getAllThumbsWidth(), visible - 10);
}

TEST(ThumbsContainer, TheTimeScaleCoversExactlyTheVisiblePart)
{
    WorkspaceWithCourse w(9);
    auto& strip = w.strip();
    auto& viewport = w.stripViewport();
    zoomInAndScroll(w, 20, 0);
    ASSERT_GT(strip.getWidth(), viewport.getWidth() + 2000);

    for (const int x : {0, 1, 777, 2000, strip.getWidth()})
    {
        viewport.setViewPosition(x, 0);
        const int viewX = viewport.getViewPositionX();
        const auto& scale = strip.getTimeScale();
        EXPECT_EQ(scale.getBounds(), juce::Rectangle<int>(viewX, 0, viewport.getWidth(), 20)) << "x " << x;
        EXPECT_DOUBLE_EQ(scale.startTime, GlobalData::xToSeconds(viewX)) << "x " << x;
    }
    // The last position was clamped to the end of the strip.
    EXPECT_EQ(viewport.getViewPositionX(), strip.getWidth() - viewport.getViewWidth());
}

TEST(TimeScaleMenu, OffersTheTwoZoomCommandsOnAContextClick)
{
    ProcessWideObjects objects;
    struct ZoomCommands : juce::ApplicationCommandTarget
    {
        juce::ApplicationCommandTarget* getNextCommandTarget() override { return nullptr; }
        void getAllCommands(juce::Array<juce::CommandID>& ids) override
        {
            ids.addArray({TimeScaleComponent::zoomInWaveformArea, TimeScaleComponent::zoomOutWaveformArea});
        }
        void getCommandInfo(juce::CommandID id, juce::ApplicationCommandInfo& info) override
        {
            info.setInfo(id == TimeScaleComponent::zoomInWaveformArea ? "In" : "Out", {}, "View", 0);
        }
        bool perform(const InvocationInfo&) override { return true; }
    } commands;
    commandManager->registerAllCommandsForTarget(&commands);

    juce::Array<int> ids;
    juce::StringArray names;
    const auto menu = TimeScaleComponent::createContextMenu();
    for (juce::PopupMenu::MenuItemIterator item(menu); item.next();)
    {
        ids.add(item.getItem().itemID);
        names.add(item.getItem().text);
        EXPECT_EQ(item.getItem().commandManager, commandManager);
    }
    EXPECT_EQ(ids, juce::Array<int>(0x2040, 0x2041));
    EXPECT_EQ(names, juce::StringArray("In", "Out"));

    TimeScaleComponent scale;
    scale.setSize(300, 20);
    struct Click
    {
        juce::ModifierKeys mods;
        bool menu;
    };
    const Click clicks[] = {
        {juce::ModifierKeys(juce::ModifierKeys::rightButtonModifier), true},
        {juce::ModifierKeys(juce::ModifierKeys::leftButtonModifier | juce::ModifierKeys::ctrlModifier), true},
        {juce::ModifierKeys(juce::ModifierKeys::leftButtonModifier), false},
    };
    for (const auto& click : clicks)
    {
        // The menu window opens at once; the message loop could close it again as the real mouse
        // is elsewhere.
        scale.mouseUp(WorkspaceWithCourse::mouseAt(scale, {10, 10}, click.mods));
        EXPECT_EQ(juce::PopupMenu::dismissAllActiveMenus(), click.menu) << click.mods.getRawFlags();
        WorkspaceWithCourse::settle();
    }
    commandManager->clearCommands();
}
