// The pages in the whole workspace: how the page sentence views are spread over pages for each
// page height, what an added or removed sentence redistributes, the zoom with its snapping and
// limits, where the page number goes, what the wheel does, and the context click on a background.
#include "workspace/containers/PagesContainer.h"

#include "WorkspaceWithCourse.h"
#include "engine/CourseModel.h"
#include "engine/SystemModel.h"
#include "workspace/CommandCenter.h"
#include "workspace/Main.h"
#include "workspace/containers/Page.h"
#include "workspace/containers/ThumbsContainer.h"
#include "workspace/sentences/SentenceComponent.h"

#include <gtest/gtest.h>

namespace
{
/** Where every view of the model is: "page:slot" per view, where slot is its place on the page. */
juce::StringArray placesOfViews(WorkspaceWithCourse& w)
{
    juce::StringArray places;
    auto& pages = w.pages();
    for (auto* view : w.model().getPages())
    {
        int page = -1;
        for (int p = 0; p < pages.getNumPages(); ++p)
            if (view->getParentComponent() == pages.getPage(p))
                page = p;
        const int slot = (view->getY() - Page::sentenceTop) / Page::sentencePitch;
        places.add(juce::String(page) + ":" + juce::String(slot) + (view->isVisible() ? "" : " hidden"));
    }
    return places;
}

/** The places that a plain distribution of `count` views over pages of `perPage` gives. */
juce::StringArray expectedPlaces(int count, int perPage)
{
    juce::StringArray places;
    for (int i = 0; i < count; ++i)
        places.add(juce::String(i / perPage) + ":" + juce::String(i % perPage));
    return places;
}

juce::StringArray pageNumbers(PagesContainer& pages)
{
    juce::StringArray numbers;
    for (int p = 0; p < pages.getNumPages(); ++p)
        numbers.add(pages.getPage(p)->getPageNumberLabel().getText());
    return numbers;
}

const juce::ModifierKeys command(juce::ModifierKeys::commandModifier);
const juce::ModifierKeys shift(juce::ModifierKeys::shiftModifier);
} // namespace

TEST(PagesContainer, SpreadsTheViewsOverPagesForEachPageHeight)
{
    WorkspaceWithCourse w(9);
    auto& pages = w.pages();

    struct Case
    {
        int pageHeight;
        int perPage;
        juce::StringArray numbers;
    };
    // Below 188 no block fits; such a page still takes one, so nothing divides by zero.
    const Case cases[] = {
        {550, 4, {"1 / 3", "2 / 3", "3 / 3"}},
        {306, 2, {"1 / 5", "2 / 5", "3 / 5", "4 / 5", "5 / 5"}},
        {1100, 8, {"1 / 2", "2 / 2"}},
        {188, 1, {"1 / 9", "2 / 9", "3 / 9", "4 / 9", "5 / 9", "6 / 9", "7 / 9", "8 / 9", "9 / 9"}},
        {187, 1, {"1 / 9", "2 / 9", "3 / 9", "4 / 9", "5 / 9", "6 / 9", "7 / 9", "8 / 9", "9 / 9"}},
        {0, 1, {"1 / 9", "2 / 9", "3 / 9", "4 / 9", "5 / 9", "6 / 9", "7 / 9", "8 / 9", "9 / 9"}},
        {-300, 1, {"1 / 9", "2 / 9", "3 / 9", "4 / 9", "5 / 9", "6 / 9", "7 / 9", "8 / 9", "9 / 9"}},
        {550, 4, {"1 / 3", "2 / 3", "3 / 3"}},
    };
    for (const auto& c : cases)
    {
        // The settings-change road of the controller.
        systemModel->pageHeight = c.pageHeight;
        pages.initPageData();
        const auto what = "page height " + juce::String(c.pageHeight);
        EXPECT_EQ(pages.getSentencesPerPage(), c.perPage) << what;
        EXPECT_EQ(pageNumbers(pages), c.numbers) << what;
        EXPECT_EQ(placesOfViews(w), expectedPlaces(9, c.perPage)) << what;
        EXPECT_EQ(pages.getPage(0)->getHeight(), juce::jmax(0, c.pageHeight)) << what;
    }
}

TEST(PagesContainer, AnAddedSentenceRedistributesFromItsPageOnAndLeavesEarlierPages)
{
    WorkspaceWithCourse w(9);
    auto& pages = w.pages();
    ASSERT_EQ(pages.getNumPages(), 3);

    // Moved out of its slot by hand: a page handed its views again would put it back.
    auto* firstView = w.model().getPages()[0];
    firstView->setTopLeftPosition(3, 3);
    auto* lastOnSecondPage = w.model().getPages()[7];

    // Sentence 5 (on the second page) becomes two: a view is added after it.
    w.model().splitSentence(5, WorkspaceWithCourse::rate / 2);
    ASSERT_EQ(w.model().getPages().size(), 10);

    EXPECT_EQ(firstView->getPosition(), juce::Point<int>(3, 3));
    EXPECT_EQ(pages.getNumPages(), 3);
    EXPECT_EQ(pageNumbers(pages), juce::StringArray({"1 / 3", "2 / 3", "3 / 3"}));
    auto places = placesOfViews(w);
    places.remove(0);
    auto expected = expectedPlaces(10, 4);
    expected.remove(0);
    EXPECT_EQ(places, expected);
    // The old last view of the second page moved on to the third.
    EXPECT_EQ(lastOnSecondPage->getParentComponent(), pages.getPage(2));
}

TEST(PagesContainer, RemovingTheOnlySentenceOfTheLastPageDeletesThatPage)
{
    WorkspaceWithCourse w(9);
    auto& pages = w.pages();
    ASSERT_EQ(pages.getNumPages(), 3);

    w.model().removeSentence(8);
    EXPECT_EQ(pages.getNumPages(), 2);
    EXPECT_EQ(pageNumbers(pages), juce::StringArray({"1 / 2", "2 / 2"}));
    EXPECT_EQ(placesOfViews(w), expectedPlaces(8, 4));

    // A sentence removed from the first page pulls one view back from the second.
    w.model().removeSentence(0);
    EXPECT_EQ(pages.getNumPages(), 2);
    EXPECT_EQ(placesOfViews(w), expectedPlaces(7, 4));
}

TEST(PagesContainer, ZoomSnapsBackToOneAndCentresThePages)
{
    WorkspaceWithCourse w(9);
    auto& pages = w.pages();
    const auto& holder = pages.getPageHolder();
    const auto centredAt = holder.getBounds();
    ASSERT_EQ(centredAt.getCentre(), pages.getLocalBounds().getCentre());

    pages.zoomAllPages(true);
    EXPECT_FLOAT_EQ(pages.getZoom(), 1.05f);
    EXPECT_FLOAT_EQ(holder.getTransform().mat00, 1.05f);
    // The container grows with the zoomed pages (vertical arrangement by default).
    EXPECT_EQ(pages.getHeight(), (int)(holder.getHeight() * 1.05f));

    // 1.05 x 0.95 = 0.9975, which is taken as 1.
    pages.zoomAllPages(false);
    EXPECT_EQ(pages.getZoom(), 1.0f);
    EXPECT_TRUE(holder.getTransform().isIdentity());
    EXPECT_EQ(holder.getBounds().getCentre(), pages.getLocalBounds().getCentre());

    pages.zoomAllPages(false);
    EXPECT_FLOAT_EQ(pages.getZoom(), 0.95f);
    pages.resetPagesZoom();
    EXPECT_EQ(pages.getZoom(), 1.0f);
    EXPECT_TRUE(holder.getTransform().isIdentity());
}

TEST(PagesContainer, ZoomStaysBetweenItsLimits)
{
    WorkspaceWithCourse w(9);
    auto& pages = w.pages();

    struct Case
    {
        bool in;
        int steps;
        float zoom;
    };
    const Case cases[] = {{false, 80, PagesContainer::minimumZoom}, {true, 120, PagesContainer::maximumZoom}};
    for (const auto& c : cases)
    {
        for (int i = 0; i < c.steps; ++i)
            pages.zoomAllPages(c.in);
        EXPECT_EQ(pages.getZoom(), c.zoom) << (c.in ? "in" : "out");
        EXPECT_FLOAT_EQ(pages.getPageHolder().getTransform().mat00, c.zoom) << (c.in ? "in" : "out");
    }
}

TEST(PagesContainer, ZoomMovesTheViewPositionByTheSquareOfTheStep)
{
    WorkspaceWithCourse w(9);
    auto& viewport = w.pagesViewport();
    viewport.setViewPosition(0, 200);
    ASSERT_EQ(viewport.getViewPosition(), juce::Point<int>(0, 200));

    w.pages().zoomAllPages(true);
    EXPECT_EQ(viewport.getViewPosition(), juce::Point<int>(11, 231)); // (0 + 10, 200 + 10) x 1.1025

    w.pages().zoomAllPages(false);
    EXPECT_EQ(viewport.getViewPosition().y, 217); // (231 + 10) x 0.9025
}

TEST(PagesContainer, PageNumberGoesToTheChosenPlace)
{
    WorkspaceWithCourse w(5);
    auto* page = w.pages().getPage(0);
    const int width = page->getWidth();
    const int height = page->getHeight();
    const auto& label = page->getPageNumberLabel();

    struct Case
    {
        int place;
        bool shown;
        juce::Rectangle<int> bounds;
    };
    // After "none" each place shows the number again.
    const Case cases[] = {
        {0, false, {}},
        {1, true, {5, 5, 90, 20}},
        {0, false, {}},
        {2, true, {width / 2 - 45, 7, 90, 20}},
        {3, true, {width - 100, 5, 90, 20}},
        {4, true, {5, height - 30, 90, 20}},
        {5, true, {width / 2 - 45, height - 27, 90, 20}},
        {6, true, {width - 100, height - 30, 90, 20}},
        {7, false, {}},
        {-1, false, {}},
    };
    for (const auto& c : cases)
    {
        systemModel->pageNumberPlace = c.place;
        page->resized();
        EXPECT_EQ(label.isVisible(), c.shown) << "place " << c.place;
        if (c.shown)
        {
            EXPECT_EQ(label.getBounds(), c.bounds) << "place " << c.place;
        }
    }
    EXPECT_EQ(label.getText(), "1 / 2");
}

TEST(PagesContainer, TheWheelZoomsWithCommandAndScrollsOtherwise)
{
    struct Case
    {
        bool horizontalArrangement;
        juce::ModifierKeys mods;
        float dy;
        float zoom;
        juce::Point<int> scrolledBy; // in single steps
    };
    const auto commandShift = command.withFlags(juce::ModifierKeys::shiftModifier);
    const Case cases[] = {
        {false, command, 1.0f, 1.05f, {}},          {false, command, -1.0f, 0.95f, {}},
        {false, {}, -1.0f, 1.0f, {0, 2}},           {false, shift, -1.0f, 1.0f, {4, 0}},
        {false, commandShift, -1.0f, 1.0f, {0, 2}}, {true, {}, -1.0f, 1.0f, {4, 0}},
        {true, shift, -1.0f, 1.0f, {0, 2}},         {true, commandShift, -1.0f, 1.0f, {4, 0}},
        {true, command, 1.0f, 1.05f, {}},
    };
    for (const auto& c : cases)
    {
        // Pages larger than the view leave room to scroll both ways in both directions.
        WorkspaceWithCourse w(9,
                              [&c]
                              {
                                  systemModel->pagesHorArrange = c.horizontalArrangement;
                                  systemModel->pageWidth = 3000;
                                  systemModel->pageHeight = 3000;
                              });
        auto& viewport = w.pagesViewport();
        viewport.setViewPosition(500, 500);
        const auto before = viewport.getViewPosition();
        const auto what = juce::String(c.horizontalArrangement ? "horizontal" : "vertical") + " mods " +
                          juce::String(c.mods.getRawFlags()) + " dy " + juce::String(c.dy);

        WorkspaceWithCourse::turnWheel(w.pages(), {50, 50}, c.mods, c.dy);
        WorkspaceWithCourse::settle();
        EXPECT_FLOAT_EQ(w.pages().getZoom(), c.zoom) << what;
        if (c.zoom == 1.0f)
        {
            const auto steps = juce::Point<int>((int)viewport.getHorizontalScrollBar().getSingleStepSize(),
                                                (int)viewport.getVerticalScrollBar().getSingleStepSize());
            EXPECT_EQ(viewport.getViewPosition() - before,
                      juce::Point<int>(c.scrolledBy.x * steps.x, c.scrolledBy.y * steps.y))
                << what;

            // The other way round with the wheel turned back.
            WorkspaceWithCourse::turnWheel(w.pages(), {50, 50}, c.mods, -c.dy);
            WorkspaceWithCourse::settle();
            EXPECT_EQ(viewport.getViewPosition(), before) << what;
        }
    }
}

TEST(PagesContainer, CommandWheelWithoutASentenceDoesNothing)
{
    WorkspaceWithCourse w(0);
    auto& viewport = w.pagesViewport();
    const auto before = viewport.getViewPosition();
    for (const float dy : {1.0f, -1.0f})
        WorkspaceWithCourse::turnWheel(w.pages(), {50, 50}, command, dy);
    WorkspaceWithCourse::settle();
    EXPECT_EQ(w.pages().getZoom(), 1.0f);
    EXPECT_TRUE(w.pages().getPageHolder().getTransform().isIdentity());
    EXPECT_EQ(viewport.getViewPosition(), before);
    EXPECT_EQ(w.pages().getNumPages(), 0);
}

TEST(PagesContainer, ResetDeletesThePagesAndTheZoom)
{
    WorkspaceWithCourse w(9);
    auto& pages = w.pages();
    pages.zoomAllPages(true);
    w.model().courseModelReset();
    pages.pagesReset();
    EXPECT_EQ(pages.getNumPages(), 0);
    EXPECT_EQ(pages.getZoom(), 1.0f);
    EXPECT_TRUE(pages.getPageHolder().getTransform().isIdentity());
}

TEST(SentencesContainer, AContextClickOnABackgroundAsksForTheBackgroundMenu)
{
    WorkspaceWithCourse w(5);
    std::vector<CommandCenter::PopupMenuType> asked;
    CommandCenter::rightClickMenuRequested = [&asked](CommandCenter::PopupMenuType type)
    { asked.push_back(type); };

    struct Click
    {
        juce::Component* on;
        juce::ModifierKeys mods;
        bool menu;
    };
    const juce::ModifierKeys left(juce::ModifierKeys::leftButtonModifier);
    const Click clicks[] = {
        {&w.pages(), juce::ModifierKeys(juce::ModifierKeys::rightButtonModifier), true},
        {&w.pages(), left.withFlags(juce::ModifierKeys::ctrlModifier), true},
        {&w.pages(), left, false},
        {w.pages().getPage(0), juce::ModifierKeys(juce::ModifierKeys::rightButtonModifier), true},
        {w.pages().getPage(0), left, false},
        {&w.strip(), juce::ModifierKeys(juce::ModifierKeys::rightButtonModifier), true},
        {&w.strip(), left.withFlags(juce::ModifierKeys::shiftModifier), false},
    };
    for (const auto& click : clicks)
    {
        asked.clear();
        click.on->mouseUp(WorkspaceWithCourse::mouseAt(*click.on, {5, 5}, click.mods));
        EXPECT_EQ(asked.size(), click.menu ? 1u : 0u)
            << click.on->getName() << " " << click.mods.getRawFlags();
        if (!asked.empty())
        {
            EXPECT_EQ(asked.front(), CommandCenter::backgroundMenu);
        }
    }
    CommandCenter::rightClickMenuRequested = nullptr;
}
