#pragma once

#include "workspace/containers/Page.h"

#include <limits>

class PopupMenuComponent;

/** The pages: the page sentence views distributed over pages of the size the settings give,
    laid side by side or under one another inside the pages viewport. */
class PagesContainer : public SentencesContainer
{
public:
    PagesContainer(juce::OwnedArray<SentenceComponent>& modelViews, juce::Viewport* pagesViewport);
    ~PagesContainer() override;

    /** Re-reads the page geometry and shows every view again. */
    void initPageData();
    /** Makes as many pages as the views need and hands the views from the page of `from` on. */
    void managerAndSetPages(int from);
    void pagesReset();
    /** Zooms every page by one step in or out (the zoom commands, Command with the wheel). */
    void zoomAllPages(bool in);
    /** Back to zoom 1. */
    void resetPagesZoom();

    PopupMenuComponent* getBadge() const { return badge.get(); }
    float getZoom() const { return zoom; }
    /** The child that holds the pages and carries the zoom. */
    const juce::Component& getPageHolder() const { return holder; }
    int getSentencesPerPage() const { return perPage; }
    int getNumPages() const { return pages.size(); }
    Page* getPage(int index) const { return pages[index]; }

    void addAndDisplaySentences() override;
    void sentenceAdded(int index) override;
    void sentenceRemoved(int index, int samples) override;
    void resized() override;
    void mouseWheelMove(const juce::MouseEvent& event, const juce::MouseWheelDetails& wheel) override;

    static constexpr float minimumZoom = 0.1f;
    static constexpr float maximumZoom = 26.0f;

private:
    void setZoom(float newZoom);
    /** The views from that index on go to their pages with the burst's one layout. */
    void distributeLater(int from);
    void layOutPending() override;
    void removeLastPage();

    juce::OwnedArray<Page> pages;
    juce::Viewport* viewport;
    std::unique_ptr<PopupMenuComponent> badge;
    int perPage = 1;
    int sentenceCount = 0;
    int pageCount = 0;
    juce::Component holder;
    float zoom = 1.0f;
    // The first sentence whose page is still to be given its views; none when it is this.
    static constexpr int nothingPending = std::numeric_limits<int>::max();
    int pendingFrom = nothingPending;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(PagesContainer)
};
