#pragma once

#include "workspace/containers/SentencesContainer.h"
#include "workspace/containers/TimeScaleComponent.h"

/** The waveform strip: the sentence blocks laid end to end, each as wide as its sentence lasts at
    the current horizontal zoom, under the time scale, with the play cursor over everything.
    The zoom is the process-wide GlobalData::widthZoomFactor. */
class ThumbsContainer : public SentencesContainer
{
public:
    ThumbsContainer(juce::OwnedArray<SentenceComponent>& modelViews, juce::Viewport* stripViewport);
    ~ThumbsContainer() override;

    void setCursorPosition(int x);
    /** The left edge of the cursor's component: the x it was set to, less one, since the cursor
        is drawn from half a pixel left of it. */
    int getCursorX() const { return cursorX - 1; }
    void applyCursorColour();
    void setChannelNumber(bool single);
    int getAllThumbsWidth() const;
    /** One zoom step in or out around the container pixel x. */
    void zoomThumbs(bool in, int x);
    /** Keeps the time scale over the visible part of the strip. */
    void setTimeScaleBounds();
    /** The time between two major ticks of the time scale at that zoom: 1/B seconds for the power
        of two B with B/2 <= zoom < B, so that major ticks lie 35 to 70 px apart. */
    static double getMinTimeUnitInSeconds(const double& zoom);

    double getMinimumZoom() const { return minimumZoom; }
    TimeScaleComponent& getTimeScale() { return timeScale; }

    void sentenceAdded(int index) override;
    void sentenceRemoved(int index, int samples) override;
    void parentSizeChanged() override;
    void mouseWheelMove(const juce::MouseEvent& event, const juce::MouseWheelDetails& wheel) override;
    void paint(juce::Graphics& g) override;
    void resized() override;

    static constexpr double maximumZoom = 511.99;

private:
    int visibleWidth() const;
    static int blockWidth(const SentenceComponent& view);
    /** Where the layout puts the block of that index: the widths of the blocks before it. */
    int leftEdgeOf(int index) const;
    void place(SentenceComponent& view, int x);
    void placeCursor();

    double minimumZoom = 0.001;
    juce::Viewport* viewport;
    TimeScaleComponent timeScale;
    juce::DrawableRectangle cursor;
    int cursorX = 0;
    bool singleChannel = true;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(ThumbsContainer)
};
