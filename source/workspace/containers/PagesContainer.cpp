#include "workspace/containers/PagesContainer.h"

#include "engine/SystemModel.h"
#include "workspace/Main.h"
#include "workspace/PopupMenuComponent.h"
#include "workspace/sentences/SentenceComponent.h"

PagesContainer::PagesContainer(juce::OwnedArray<SentenceComponent>& modelViews, juce::Viewport* pagesViewport)
    : SentencesContainer(modelViews), viewport(pagesViewport), badge(std::make_unique<PopupMenuComponent>())
{
    holder.setInterceptsMouseClicks(false, true);
    addAndMakeVisible(holder);
    addAndMakeVisible(*badge);
    badge->setAlwaysOnTop(true);
    initPageData();
}

PagesContainer::~PagesContainer() = default;

void PagesContainer::initPageData()
{
    sentenceCount = views.size();
    // A page too low for one block still holds one, so the page count never divides by zero.
    perPage = juce::jmax(1, (systemModel->pageHeight - 70) / Page::sentencePitch);
    if (sentenceCount > 0)
        managerAndSetPages(0);
}

void PagesContainer::managerAndSetPages(int from)
{
    from = juce::jmin(from, pendingFrom);
    pendingFrom = nothingPending;
    layoutDone();

    pageCount = (sentenceCount + perPage - 1) / perPage;
    while (pages.size() > pageCount)
        removeLastPage();
    const int firstNewPage = pages.size();
    while (pages.size() < pageCount)
        pages.add(new Page());

    for (int p = juce::jmax(0, from / perPage); p < pageCount; ++p)
    {
        juce::Array<SentenceComponent*> list;
        for (int i = p * perPage; i < juce::jmin((p + 1) * perPage, views.size()); ++i)
            list.add(views.getUnchecked(i));
        pages.getUnchecked(p)->setSentences(list);
    }
    // New pages are shown once they hold their views: filled while not shown, their views take
    // their places without asking the window system about each one.
    for (int p = firstNewPage; p < pageCount; ++p)
        holder.addAndMakeVisible(pages.getUnchecked(p));

    for (int p = 0; p < pages.size(); ++p)
    {
        pages.getUnchecked(p)->setPageNumber(p + 1, pageCount);
        pages.getUnchecked(p)->applyPageNumberColour();
    }
    resized();
}

void PagesContainer::removeLastPage()
{
    // Hidden first, the page and its page number leave without asking whether the window shows.
    if (auto* page = pages.getLast())
        page->setVisible(false);
    pages.removeLast();
}

void PagesContainer::pagesReset()
{
    sentenceCount = 0;
    pageCount = 0;
    pendingFrom = nothingPending;
    layoutDone();
    while (!pages.isEmpty())
        removeLastPage();
    setZoom(1.0f);
    resized();
    resized();
    badge->setBackground(false, false);
}

void PagesContainer::zoomAllPages(bool in)
{
    const auto before = viewport != nullptr ? viewport->getViewPosition() : juce::Point<int>();

    holder.setTransform(holder.getTransform().scaled(in ? 1.05f : 0.95f));
    // The holder is only ever scaled, equally in both directions.
    zoom = holder.getTransform().mat00;

    // Compared as floats: one step in from 1 is exactly 1.05f and must not snap back.
    if ((zoom > 0.99f && zoom < 1.05f) || (zoom > 0.95f && zoom < 0.99f))
        setZoom(1.0f);
    else if (zoom < minimumZoom)
        setZoom(minimumZoom);
    else if (zoom > maximumZoom)
        setZoom(maximumZoom);
    resized();

    // Roughly keeps the top-left of the view over the same part of the pages.
    if (viewport != nullptr)
    {
        const double f = in ? 1.1025 : 0.9025;
        viewport->setViewPosition((int)((before.x + 10) * f), (int)((before.y + 10) * f));
    }
}

void PagesContainer::resetPagesZoom()
{
    setZoom(1.0f);
    resized();
}

void PagesContainer::setZoom(float newZoom)
{
    zoom = newZoom;
    holder.setTransform(newZoom == 1.0f ? juce::AffineTransform() : juce::AffineTransform::scale(newZoom));
}

void PagesContainer::mouseWheelMove(const juce::MouseEvent& event, const juce::MouseWheelDetails& wheel)
{
    const auto mods = event.mods.withoutMouseButtons();
    if (mods == juce::ModifierKeys(juce::ModifierKeys::commandModifier))
    {
        // Without a sentence there is nothing to zoom, and the wheel does nothing else then.
        if (sentenceCount > 0)
            zoomAllPages(wheel.deltaY > 0);
        return;
    }
    if (viewport == nullptr)
        return;

    const bool shift = mods == juce::ModifierKeys(juce::ModifierKeys::shiftModifier);
    // Down or right when the wheel turns towards the learner.
    const int direction = wheel.deltaY < 0 ? 1 : -1;
    const bool vertical = systemModel->pagesHorArrange ? shift : !shift;
    if (vertical)
        viewport->getVerticalScrollBar().moveScrollbarInSteps(2 * direction, juce::sendNotificationAsync);
    else
        viewport->getHorizontalScrollBar().moveScrollbarInSteps(4 * direction, juce::sendNotificationAsync);
}

void PagesContainer::addAndDisplaySentences()
{
    initPageData();
}

void PagesContainer::sentenceAdded(int index)
{
    ++sentenceCount;
    distributeLater(index);
}

void PagesContainer::sentenceRemoved(int index, int)
{
    --sentenceCount;
    distributeLater(index);
}

void PagesContainer::distributeLater(int from)
{
    pendingFrom = juce::jmin(pendingFrom, from);
    layOutLater();
}

void PagesContainer::layOutPending()
{
    if (pendingFrom != nothingPending)
        managerAndSetPages(pendingFrom);
}

void PagesContainer::resized()
{
    // A layout asked for now includes the views still waiting for their pages.
    if (pendingFrom != nothingPending)
    {
        managerAndSetPages(pendingFrom);
        return;
    }

    const int pageWidth = systemModel->pageWidth;
    const int pageHeight = systemModel->pageHeight;
    const int visibleWidth = viewport != nullptr ? viewport->getMaximumVisibleWidth() : getWidth();
    const int visibleHeight = viewport != nullptr ? viewport->getMaximumVisibleHeight() : getHeight();
    const int w = juce::jmax(visibleWidth, pageWidth + 40);
    const int h = juce::jmax(visibleHeight, pageHeight + 40);
    const int n = pages.size();

    if (systemModel->pagesHorArrange)
    {
        for (int i = 0; i < n; ++i)
            pages.getUnchecked(i)->setTopLeftPosition(20 + i * (pageWidth + 20), 0);
        holder.setSize(20 + n * (pageWidth + 20), pageHeight);
        setSize(juce::jmax(w, (int)(holder.getWidth() * zoom)), juce::jmax(h, (int)(h * zoom)));
    }
    else
    {
        for (int i = 0; i < n; ++i)
            pages.getUnchecked(i)->setTopLeftPosition(0, 20 + i * (pageHeight + 20));
        holder.setSize(pageWidth, 20 + n * (pageHeight + 20));
        setSize(juce::jmax(w, (int)(w * zoom)), juce::jmax(h, (int)(holder.getHeight() * zoom)));
    }

    if (zoom == 1.0f)
        holder.setCentreRelative(0.5f, 0.5f);
}
