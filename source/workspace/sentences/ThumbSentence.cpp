#include "workspace/sentences/ThumbSentence.h"

#include "engine/GlobalData.h"
#include "engine/SystemModel.h"
#include "workspace/CommandCenter.h"
#include "workspace/Main.h"

namespace
{
constexpr int edgeWidth = 10;
/** A block this wide or narrower counts as shrunk: its edges snap to the shortest sentence. */
constexpr int shrunkWidth = 30;

/** The view can be built before the settings exist (the sentence view base is usable alone). */
bool currentEdgeMoveSetting()
{
    return systemModel != nullptr && systemModel->effOtherWhenAdjust;
}
} // namespace

ThumbSentence::ThumbSentence(juce::AudioThumbnail& overview, int startSample, int endSample)
    : SentenceComponent(overview, startSample, endSample),
      leftEdge(std::make_unique<ComponentEdgeDrager>(this, juce::ResizableEdgeComponent::leftEdge)),
      rightEdge(std::make_unique<ComponentEdgeDrager>(this, juce::ResizableEdgeComponent::rightEdge)),
      valueAtDragStart(startSample), savedEdgeMoveSetting(currentEdgeMoveSetting())
{
    for (auto* edge : {leftEdge.get(), rightEdge.get()})
    {
        edge->addListener(this);
        addChildComponent(edge);
    }
}

ThumbSentence::~ThumbSentence()
{
    // A view deleted in the middle of a drag (an undo from the keyboard, a cleared workspace)
    // never sees the release that would give the setting back.
    if (edgeDragInProgress)
        restoreEdgeMoveSetting();
}

void ThumbSentence::setSelected(bool shouldBeSelected)
{
    SentenceComponent::setSelected(shouldBeSelected);
    leftEdge->setVisible(shouldBeSelected);
    rightEdge->setVisible(shouldBeSelected);
}

void ThumbSentence::needReview(bool unfamiliar)
{
    needsReview = unfamiliar;
    repaint();
}

//==============================================================================
void ThumbSentence::paint(juce::Graphics& g)
{
    const auto width = (float)getWidth();
    const auto height = (float)getHeight();

    if (selected)
    {
        g.setGradientFill(juce::ColourGradient(systemModel->areaHighlightColour, width / 2.0f, height / 2.0f,
                                               juce::Colours::darkgrey, 0.0f, 0.0f, true));
        g.fillAll();
    }

    g.setColour(needsReview ? systemModel->areaReviewThumbColour : systemModel->areaThumbColour);
    drawVisibleWaveform(g, getLocalBounds().reduced(0, 2));

    const float dashes[] = {4.0f, 4.0f};
    g.setColour(systemModel->dotLineColour);
    g.drawDashedLine(juce::Line<float>(width - 1.5f, 0.5f, width - 1.5f, height - 1.0f), dashes,
                     juce::numElementsInArray(dashes), 2.0f);
}

void ThumbSentence::drawVisibleWaveform(juce::Graphics& g, juce::Rectangle<int> area)
{
    // Zoomed in, a block can be millions of pixels wide, and the overview builds its cache for
    // the whole width it is given: it is given only the columns that are to be drawn, with the
    // time span they show.
    const auto columns = g.getClipBounds().getIntersection(area);
    if (columns.isEmpty())
        return;
    const double startSeconds = GlobalData::samplesToSeconds(start);
    const double secondsPerPixel = (GlobalData::samplesToSeconds(end) - startSeconds) / area.getWidth();
    thumbnail.drawChannels(g, area.withX(columns.getX()).withWidth(columns.getWidth()),
                           startSeconds + secondsPerPixel * (columns.getX() - area.getX()),
                           startSeconds + secondsPerPixel * (columns.getRight() - area.getX()),
                           GlobalData::ampFactor);
}

void ThumbSentence::resized()
{
    leftEdge->setBounds(0, 0, edgeWidth, getHeight());
    rightEdge->setBounds(getWidth() - edgeWidth - 1, 0, edgeWidth, getHeight());
}

//==============================================================================
int ThumbSentence::clampedX(const juce::MouseEvent& event) const
{
    return juce::jlimit(0, getWidth(), event.x);
}

void ThumbSentence::mouseDrag(const juce::MouseEvent& event)
{
    const int x = clampedX(event);
    callListeners([this, x](SentenceComponent::Listener& l) { l.setCursorPosition(this, x); });
}

void ThumbSentence::mouseUp(const juce::MouseEvent& event)
{
    const int x = clampedX(event);
    callListeners([this, x](SentenceComponent::Listener& l) { l.setPlayPosition(this, x); });

    // Ctrl marks a context click on every platform, also where it is the command key.
    if (event.mods.isRightButtonDown() || event.mods.isCtrlDown())
        CommandCenter::showRightClickMenu(CommandCenter::thumbSentenceMenu);
}

void ThumbSentence::mouseDoubleClick(const juce::MouseEvent& event)
{
    // Unclamped: the model decides whether the position can split the sentence.
    const int x = event.x;
    callListeners([this, x](SentenceComponent::Listener& l) { l.splitThumbSentence(this, x); });
}

//==============================================================================
int ThumbSentence::shortestSentence()
{
    return (int)(GlobalData::courseAudioSampleRate * 0.3) + 1;
}

void ThumbSentence::prepareDrag(ComponentEdgeDrager* edge, const juce::ModifierKeys& mods)
{
    savedEdgeMoveSetting = currentEdgeMoveSetting();
    if (mods.isCommandDown() && systemModel != nullptr)
        systemModel->effOtherWhenAdjust = !savedEdgeMoveSetting;
    edgeDragInProgress = true;

    valueAtDragStart = edge == leftEdge.get() ? start : end;
    boundsAtDragStart = getBounds();
    toFront(true);
    callListeners([this](SentenceComponent::Listener& l) { l.prepareDrag(this); });
}

void ThumbSentence::dragging(ComponentEdgeDrager* edge, int distanceX)
{
    const int candidate = valueAtDragStart + GlobalData::xToSamples(distanceX);
    if (edge == leftEdge.get())
        dragStartTo(candidate);
    else
        dragEndTo(candidate);
}

void ThumbSentence::dragStartTo(int candidate)
{
    const int shortest = shortestSentence();
    if (candidate <= 0)
    {
        setSize(GlobalData::samplesToX(end), getHeight());
        setStartSamples(0);
        layOutParent();
    }
    else if (candidate < end - shortest && getWidth() > shrunkWidth)
    {
        setStartSamples(candidate);
    }
    else
    {
        setSize(GlobalData::samplesToX(shortest), getHeight());
        setStartSamples(end - shortest);
        layOutParent();
    }
}

void ThumbSentence::dragEndTo(int candidate)
{
    const int shortest = shortestSentence();
    const int total = GlobalData::secondsToSamples(thumbnail.getTotalLength());
    if (candidate >= total)
    {
        setSize(GlobalData::samplesToX(total - start), getHeight());
        setEndSamples(total);
    }
    else if (candidate <= start + shortest || getWidth() <= shrunkWidth)
    {
        setSize(GlobalData::samplesToX(shortest), getHeight());
        setEndSamples(start + shortest);
    }
    else
    {
        setEndSamples(candidate);
    }
}

void ThumbSentence::dragFinished(ComponentEdgeDrager* edge, int distanceX)
{
    if (distanceX != 0)
    {
        juce::Component::BailOutChecker checker(this);
        callListeners([this, edge](SentenceComponent::Listener& l)
                      { edge == leftEdge.get() ? l.startChanged(this) : l.endChanged(this); });
        if (checker.shouldBailOut())
            return;
    }
    else
    {
        cancelDrag(edge);
    }
    restoreEdgeMoveSetting();
}

void ThumbSentence::cancelDrag(ComponentEdgeDrager* edge)
{
    // A drag that ends where it began reports nothing, so the view must not keep what the drag
    // showed: a shrunk block snaps to the shortest sentence on any movement, even one straight
    // up or down, and would otherwise show a boundary the course doesn't have.
    const bool left = edge == leftEdge.get();
    if ((left ? start : end) == valueAtDragStart)
        return;
    setBounds(boundsAtDragStart);
    if (left)
        setStartSamples(valueAtDragStart);
    else
        setEndSamples(valueAtDragStart);
}

void ThumbSentence::restoreEdgeMoveSetting()
{
    if (systemModel != nullptr)
        systemModel->effOtherWhenAdjust = savedEdgeMoveSetting;
    edgeDragInProgress = false;
}

void ThumbSentence::layOutParent()
{
    if (auto* parent = getParentComponent())
        parent->resized();
}
