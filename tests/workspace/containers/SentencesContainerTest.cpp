// Hundreds of sentences added or removed at once (the automatic split and its undo and redo):
// the containers lay out once per burst of tree changes, and what they show afterwards is what a
// full layout of both containers shows; views, selection and status bar follow at once.
#include "workspace/containers/SentencesContainer.h"

#include "WorkspaceWithCourse.h"
#include "engine/CourseModel.h"
#include "harness/OpenCourse.h"
#include "workspace/CourseController.h"
#include "workspace/Main.h"
#include "workspace/MainComponent.h"
#include "workspace/StatusBar.h"
#include "workspace/containers/Page.h"
#include "workspace/containers/PagesContainer.h"
#include "workspace/containers/ThumbsContainer.h"
#include "workspace/sentences/SentenceComponent.h"

#include <gtest/gtest.h>

namespace
{
constexpr int rate = WorkspaceWithCourse::rate;

/** Everything the two containers show of the sentences, one line each: every block's bounds on
    the strip, every page view's page and bounds, the page numbers, and the strip's size; with any
    view shown where it should not be. */
juce::StringArray shownLayout(WorkspaceWithCourse& w)
{
    juce::StringArray lines;
    auto& strip = w.strip();
    auto& pages = w.pages();
    auto& model = w.model();
    lines.add("strip " + strip.getLocalBounds().toString());

    int blocksOnStrip = 0;
    for (auto* child : strip.getChildren())
        blocksOnStrip += dynamic_cast<SentenceComponent*>(child) != nullptr ? 1 : 0;
    lines.add("blocks on the strip " + juce::String(blocksOnStrip));
    for (auto* view : model.getThumbs())
        lines.add("block " + view->getBounds().toString() +
                  (view->getParentComponent() == &strip ? "" : " off") +
                  (view->isVisible() ? "" : " hidden"));

    for (int p = 0; p < pages.getNumPages(); ++p)
    {
        auto* page = pages.getPage(p);
        lines.add("page " + page->getBounds().toString() + " " + page->getPageNumberLabel().getText());
    }
    for (auto* view : model.getPages())
    {
        int page = -1;
        for (int p = 0; p < pages.getNumPages(); ++p)
            if (view->getParentComponent() == pages.getPage(p))
                page = p;
        lines.add("on page " + juce::String(page) + " " + view->getBounds().toString() +
                  (view->isVisible() ? "" : " hidden"));
    }
    return lines;
}

/** The layout that laying both containers out from scratch gives. */
juce::StringArray fullLayout(WorkspaceWithCourse& w)
{
    w.pages().initPageData();
    w.main().getController()->resizeViews();
    return shownLayout(w);
}

bool laidOut(WorkspaceWithCourse& w)
{
    return OpenCourse::pumpUntil([&w]
                                 { return !w.strip().isLayoutPending() && !w.pages().isLayoutPending(); });
}

/** Cuts every `step` samples inside the sentence of that index. */
juce::Array<int> cutsInside(CourseModel& model, int index, int step)
{
    juce::Array<int> cuts;
    const int start = model.getValue(index, CourseModel::StartSamples);
    const int end = model.getValue(index, CourseModel::EndSamples);
    for (int cut = start + step; cut < end - step; cut += step)
        cuts.add(cut);
    return cuts;
}

/** Waits until the window has kept its size for a moment and nothing waits to be laid out: on a
    loaded display the window manager can resize a new window a good while after it shows. */
void settle(WorkspaceWithCourse& w)
{
    auto last = w.main().getBounds();
    int steady = 0;
    OpenCourse::pumpUntil(
        [&]
        {
            juce::MessageManager::getInstance()->runDispatchLoopUntil(50);
            const auto now = w.main().getBounds();
            steady = now == last ? steady + 1 : 0;
            last = now;
            return steady >= 4 && !w.strip().isLayoutPending() && !w.pages().isLayoutPending();
        },
        5000);
}

juce::String status(WorkspaceWithCourse& w, int type)
{
    return w.main().getStatusBar().getInfo(type);
}
} // namespace

TEST(SentencesContainer, ABurstOfSentencesShowsWhatAFullLayoutShows)
{
    const struct
    {
        const char* what;
        int sentences;
        int selected;
        int step;
    } cases[] = {
        {"the one sentence of a course", 1, 0, 5000},
        // The blocks and page views after the split sentence move too.
        {"a sentence in the middle", 9, 4, 1000},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        WorkspaceWithCourse w(c.sentences);
        settle(w);
        auto& model = w.model();
        model.selectSentence(c.selected, true);
        const auto cuts = cutsInside(model, c.selected, c.step);
        const int after = c.sentences + cuts.size();
        const auto before = shownLayout(w);

        model.splitAtCuts(c.selected, cuts);
        // The split lays out before it returns.
        EXPECT_FALSE(w.strip().isLayoutPending() || w.pages().isLayoutPending());
        EXPECT_EQ(model.getNumSentences(), after);
        EXPECT_EQ(model.getSelectedIndex(), c.selected);
        EXPECT_EQ(status(w, StatusBar::sentenceCount), juce::String(after));
        EXPECT_EQ(status(w, StatusBar::selectedNumber), juce::String(c.selected + 1) + " -");
        const auto split = shownLayout(w);
        EXPECT_EQ(split, fullLayout(w));

        undoManager->undo();
        EXPECT_EQ(model.getNumSentences(), c.sentences);
        EXPECT_EQ(model.getThumbs().size(), c.sentences);
        EXPECT_EQ(status(w, StatusBar::sentenceCount), juce::String(c.sentences));
        EXPECT_EQ(status(w, StatusBar::selectedNumber), juce::String(model.getSelectedIndex() + 1) + " -");
        ASSERT_TRUE(laidOut(w));
        EXPECT_EQ(shownLayout(w), before);
        // The cursor went to the block that the last removal selected, where it now lies.
        EXPECT_EQ(w.strip().getCursorX() + 1, model.getThumbs()[model.getSelectedIndex()]->getX());
        EXPECT_EQ(shownLayout(w), fullLayout(w));

        undoManager->redo();
        EXPECT_EQ(model.getNumSentences(), after);
        ASSERT_TRUE(laidOut(w));
        EXPECT_EQ(shownLayout(w), split);
    }
}

TEST(SentencesContainer, TheCursorAndTheStatusFollowTheLastChangeOfABurst)
{
    WorkspaceWithCourse w(9);
    auto& model = w.model();
    auto& strip = w.strip();
    model.selectSentence(2, true);
    model.splitAtCuts(2, cutsInside(model, 2, 4000));
    model.selectSentence(12, true);
    model.removeSentence(12);

    // The undo puts back the last sentence removed; the selection, the cursor and the status
    // show it at once, and the cursor stays at its left edge once the strip is laid out.
    undoManager->undo();
    ASSERT_EQ(model.getSelectedIndex(), 12);
    const int left = model.getThumbs()[12]->getX();
    EXPECT_EQ(strip.getCursorX() + 1, left);
    EXPECT_EQ(status(w, StatusBar::selectedNumber), "13 -");
    ASSERT_TRUE(laidOut(w));
    EXPECT_EQ(model.getThumbs()[12]->getX(), left);
    EXPECT_EQ(strip.getCursorX() + 1, left);
}
