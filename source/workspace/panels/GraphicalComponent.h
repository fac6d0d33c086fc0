#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <atomic>

/** Base of the components that display audio. The audio thread hands it blocks of samples
    (copySamples), a time-slice thread analyses the latest block (useTimeSlice runs process), and a
    30 ms timer on the message thread decides when to repaint.

    Only the latest block is kept: a block copied before the time-slice thread got to the previous
    one replaces it. The lock is held while a block is copied in and while it is analysed, so the
    audio thread waits at most for one analysis of one block.

    The audio thread never allocates here as long as its blocks fit the room reserved beforehand
    (reserveSamples, from the message thread, before the device starts); a larger block grows the
    buffer where it arrives. */
class GraphicalComponent : public juce::Component, public juce::TimeSliceClient, public juce::Timer
{
public:
    GraphicalComponent();
    ~GraphicalComponent() override;

    /** Analyses the buffer; runs on the time-slice thread, holding bufferLock. */
    virtual void process() = 0;

    /** One channel (audio thread). */
    virtual void copySamples(const float* samples, int numSamples);
    /** Several channels, reduced to one: per sample the value of larger magnitude (audio thread). */
    virtual void copySamples(float** channels, int numSamples, int numChannels);

    /** Analyses the latest block if one arrived since the last call; the time until the next call. */
    int useTimeSlice() override;
    void timerCallback() override {}

    /** Makes room for blocks of up to this many samples, so that copying them never allocates. */
    void reserveSamples(int numSamples);

protected:
    juce::CriticalSection bufferLock;
    // Written by the audio thread and read by the time-slice thread, both holding bufferLock.
    bool hasNewData = true;
    int sliceInterval = 5;
    int bufferSize = 0;
    juce::HeapBlock<float> buffer;

private:
    /** Sets bufferSize, growing the allocation only when the block doesn't fit. Holding bufferLock. */
    void setBufferSize(int numSamples);

    int capacity = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(GraphicalComponent)
};
