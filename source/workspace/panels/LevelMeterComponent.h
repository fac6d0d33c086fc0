#pragma once

#include "workspace/panels/GraphicalComponent.h"

/** A vertical segmented peak meter with peak hold and decay.

    The time-slice thread finds the peak of every 2048 samples, however the device cuts its
    blocks, and raises the held level to it at once; every 30 ms tick lights the segments for the
    held level and lets it fall by the factor 0.9. Full scale lights the 36 green and 22 orange
    segments; the two red ones light above it. Drawing blits two images built on resize: the lit
    one below the level, the unlit one above it. */
class LevelMeterComponent : public GraphicalComponent
{
public:
    LevelMeterComponent();
    ~LevelMeterComponent() override;

    void paint(juce::Graphics& g) override;
    void resized() override;
    void moved() override;
    void process() override;
    void timerCallback() override;

    /** Lights the segments for the held level, then decays it; repaints only on a change. */
    void calculateSegments();

    int getLitSegments() const { return litSegments; }
    float getLevel() const { return level.load(std::memory_order_relaxed); }

private:
    int redSegments = 2;
    int orangeSegments = 22;
    int greenSegments = 36;
    int totalSegments = 60;
    float dBPerSegment = 0.6f;
    int litSegments = 0;
    int sampleCount = 0;
    int blockSize = 2048;
    float blockPeak = 0.0f;
    // Raised by the time-slice thread and decayed by the message thread; a lost update between
    // the two only shows for one tick.
    std::atomic<float> level{0.0f};
    bool needsRepaint = true;
    juce::Image litImage, unlitImage;

    int segmentsFor(float heldLevel) const;
    void paintSegments(juce::Graphics& g, int width, int height, bool lit) const;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(LevelMeterComponent)
};
