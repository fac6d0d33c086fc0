#pragma once

#include "workspace/sentences/ComponentEdgeDrager.h"
#include "workspace/sentences/SentenceComponent.h"

#include <memory>

/** The block that shows one sentence on the waveform strip: its stretch of the course waveform,
    a dashed boundary line at its right end and, while selected, a highlight and two edges with
    which the learner moves the sentence's start and end.

    An edge drag changes only this view while it goes on; the listeners hear of the new start or
    end when the edge is released after a movement. Holding the command key when an edge is
    pressed inverts, for that drag only, whether the neighbouring sentence follows the boundary. */
class ThumbSentence : public SentenceComponent, private ComponentEdgeDrager::Listener
{
public:
    ThumbSentence(juce::AudioThumbnail& overview, int startSample, int endSample);
    ~ThumbSentence() override;

    void setSelected(bool shouldBeSelected) override;
    void needReview(bool unfamiliar) override;

    void paint(juce::Graphics& g) override;
    void resized() override;

    void mouseDrag(const juce::MouseEvent& event) override;
    void mouseUp(const juce::MouseEvent& event) override;
    void mouseDoubleClick(const juce::MouseEvent& event) override;

private:
    /** The overview of the columns of the area that the graphics context is to draw. */
    void drawVisibleWaveform(juce::Graphics& g, juce::Rectangle<int> area);

    void prepareDrag(ComponentEdgeDrager* edge, const juce::ModifierKeys& mods) override;
    void dragging(ComponentEdgeDrager* edge, int distanceX) override;
    void dragFinished(ComponentEdgeDrager* edge, int distanceX) override;

    void dragStartTo(int candidate);
    void dragEndTo(int candidate);
    void cancelDrag(ComponentEdgeDrager* edge);
    void restoreEdgeMoveSetting();
    void layOutParent();
    int clampedX(const juce::MouseEvent& event) const;

    /** The shortest sentence an edge drag leaves: 0.3 s plus one sample. */
    static int shortestSentence();

    std::unique_ptr<ComponentEdgeDrager> leftEdge;
    std::unique_ptr<ComponentEdgeDrager> rightEdge;
    /** The start (left edge) or the end (right edge) when the current drag began. */
    int valueAtDragStart;
    /** The edge-move setting when the current drag began; the drag may hold it inverted. */
    bool savedEdgeMoveSetting;
    /** Where the block lay when the current drag began. */
    juce::Rectangle<int> boundsAtDragStart;
    bool edgeDragInProgress = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(ThumbSentence)
};
