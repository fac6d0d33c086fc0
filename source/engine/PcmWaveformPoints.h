#pragma once

#include "engine/PcmSampleLayout.h"

#include <atomic>
#include <memory>
#include <vector>

/** Makes the waveform overview's points of a plain PCM file straight from its samples, in pieces
    on every core: each worker reads a piece of the file through a stream of its own and reduces
    it to its points, the pieces taken in file order, so that the whole points ready from the
    start grow steadily for the compression that follows them.

    The points are the framework's (WaveformPoint over the samples its reader gives), stored as
    the overview stream keeps them: two bytes per channel and point, points one after the
    other. */
class PcmWaveformPoints
{
public:
    static constexpr int samplesPerPoint = 64;

    /** `levels` receives `wholePoints` points; `pointsDone` and `pointsReady` say how many from
        the start are ready, each time that grows. */
    PcmWaveformPoints(const juce::File& file, const PcmSampleLayout& layout, int wholePoints,
                      juce::int8* levels, std::atomic<int>& pointsDone, juce::WaitableEvent& pointsReady);
    /** Stops the workers after the pieces they are on. */
    ~PcmWaveformPoints();

    /** Whether every worker could open the file. */
    bool openedOk() const { return opened; }
    void start();

private:
    void work(juce::InputStream& in);
    void reduce(const juce::uint8* frames, int firstPoint, int count) const;
    void pieceDone(int piece);

    const PcmSampleLayout layout;
    const int wholePoints;
    juce::int8* const levels;
    std::atomic<int>& pointsDone;
    juce::WaitableEvent& pointsReady;
    const int pointsPerPiece;
    const int numPieces;
    std::vector<std::unique_ptr<juce::FileInputStream>> streams;
    bool opened = true;
    std::atomic<int> nextPiece{0};
    std::atomic<bool> stopping{false};
    juce::CriticalSection doneLock;
    std::vector<bool> done;
    int piecesDoneFromStart = 0;
    juce::ThreadPool pool;

    JUCE_DECLARE_NON_COPYABLE(PcmWaveformPoints)
};
