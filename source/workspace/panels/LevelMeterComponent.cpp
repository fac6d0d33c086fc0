#include "workspace/panels/LevelMeterComponent.h"

#include <cmath>

namespace
{
const juce::Colour background(0xff333333);
constexpr float decayPerTick = 0.9f;
// Far beyond the top of the meter: keeps the segment count of an absurd level an int.
constexpr float mostSegments = 1.0e6f;
} // namespace

LevelMeterComponent::LevelMeterComponent()
{
    setOpaque(true);
}

LevelMeterComponent::~LevelMeterComponent() = default;

void LevelMeterComponent::process()
{
    const float* samples = buffer.get();
    for (int i = 0; i < bufferSize; ++i)
    {
        const float magnitude = std::abs(samples[i]);
        if (magnitude > blockPeak)
            blockPeak = magnitude;
        if (++sampleCount >= blockSize)
        {
            if (blockPeak > level.load(std::memory_order_relaxed))
                level.store(blockPeak, std::memory_order_relaxed);
            blockPeak = 0.0f;
            sampleCount = 0;
        }
    }
}

void LevelMeterComponent::timerCallback()
{
    calculateSegments();
}

int LevelMeterComponent::segmentsFor(float heldLevel) const
{
    if (!(heldLevel > 0.0f)) // silence lights nothing; so does a NaN
        return 0;
    const float segments =
        (float)(totalSegments - redSegments) + 20.0f * std::log10(heldLevel) / dBPerSegment;
    return segments < 0.0f ? 0 : juce::roundToInt(juce::jmin(segments, mostSegments));
}

void LevelMeterComponent::calculateSegments()
{
    const float heldLevel = level.load(std::memory_order_relaxed);
    const int lit = segmentsFor(heldLevel);
    const int previous = litSegments;
    litSegments = lit;
    level.store(heldLevel * decayPerTick, std::memory_order_relaxed);

    if (lit != previous || needsRepaint)
        repaint();
}

void LevelMeterComponent::paintSegments(juce::Graphics& g, int width, int height, bool lit) const
{
    const float bottom = (float)(height - 1);
    const float segmentHeight = bottom / (float)totalSegments;

    for (int i = 1; i <= totalSegments; ++i)
    {
        juce::Colour colour;
        if (i <= greenSegments)
            colour = lit ? juce::Colours::green.brighter(0.95f) : background;
        else if (i <= greenSegments + orangeSegments)
            colour = lit ? juce::Colours::orange.brighter(0.95f) : background;
        else
            colour = lit ? juce::Colours::red.brighter(0.4f) : juce::Colours::darkred.darker(0.3f);

        const float y = bottom - (float)i * segmentHeight;
        g.setColour(colour);
        g.fillRect(1.0f, y, (float)(width - 2), segmentHeight);
        g.setColour(juce::Colours::black);
        g.drawLine(1.0f, y, (float)(width - 1), y, 1.0f);
    }

    g.setColour(background);
    g.drawRect(0, 0, width, height, 1);
}

void LevelMeterComponent::resized()
{
    const int width = getWidth(), height = getHeight();
    if (width <= 0 || height <= 0)
    {
        litImage = unlitImage = juce::Image();
        return;
    }

    litImage = juce::Image(juce::Image::RGB, width, height, true);
    unlitImage = juce::Image(juce::Image::RGB, width, height, true);
    {
        juce::Graphics litGraphics(litImage);
        paintSegments(litGraphics, width, height, true);
        juce::Graphics unlitGraphics(unlitImage);
        paintSegments(unlitGraphics, width, height, false);
    }
    needsRepaint = true;
}

void LevelMeterComponent::paint(juce::Graphics& g)
{
    if (litImage.isValid())
    {
        const int width = litImage.getWidth(), height = litImage.getHeight();
        const int unlitRows =
            getHeight() - juce::roundToInt((double)height * litSegments / (double)totalSegments);
        g.drawImageAt(litImage, 0, 0);
        if (unlitRows > 0)
            g.drawImage(unlitImage, 0, 0, width, unlitRows, 0, 0, width, unlitRows);
    }
    needsRepaint = false;
}

void LevelMeterComponent::moved()
{
    needsRepaint = true;
}
