#pragma once

#include <juce_audio_formats/juce_audio_formats.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <vector>

/** Finds the pauses of one sentence's audio, on a job thread behind the modal progress window
    "Please wait...": the audio is measured in blocks of half the shortest pause, the blocks at or
    below the silence level mark pauses, and those are reduced to the cut positions that the course
    model splits the sentence at.

    The three settings that steer it (shortest pause, shortest piece, silence level) are taken from
    the settings object when the parser is made. The reader must be the parser's own: the job
    reads it on its thread while the message thread waits. */
class AutoSplitParser : public juce::ThreadWithProgressWindow
{
public:
    /** Takes ownership of the reader; offset is the sentence's first sample in the course audio
        and is added to every cut. */
    AutoSplitParser(juce::AudioFormatReader* sentenceReader, int offset);
    ~AutoSplitParser() override;

    /** Fills the cuts. */
    void run() override;

    /** The cuts found, ascending, each the last sample of a piece in the course audio; complete
        once the job has ended without being cancelled. */
    const juce::Array<int>& getCuts() const { return cuts; }

    /** Samples per block: half the shortest pause, kept within what the audio can use. */
    juce::int64 getBlockSize() const { return blockSize; }

private:
    /** The largest RMS level among the channels over the samples from `start` on. */
    float blockLevel(juce::int64 start, int count);
    /** Makes sure the read-ahead chunk holds the sample; false when the job was asked to stop. */
    bool chunkHolds(juce::int64 sample);
    /** Notes the end of a silent block; a run of silent blocks keeps only its last end. */
    void addSilentBlockEnd(juce::int64 position);
    /** Turns the ends of the silent runs into the cuts. */
    void reduceToCuts();

    std::unique_ptr<juce::AudioFormatReader> reader;
    juce::Array<int> cuts;
    const int offset;

    // Settings at the start of the job.
    double pauseSeconds = 0.0;
    double pieceSeconds = 0.0;
    float levelDecibels = 0.0f;

    juce::int64 length = 0;
    juce::int64 blockSize = 1;
    std::vector<juce::int64> runEnds;

    // The audio is read in chunks whatever the block size, so that neither very short nor very
    // long blocks cost more than one pass over the audio with one buffer.
    juce::AudioBuffer<float> chunk;
    juce::int64 chunkStart = 0;
    int chunkLength = 0;
    // One sum of squares per channel for the block being measured.
    std::vector<double> sums;

    JUCE_DECLARE_NON_COPYABLE(AutoSplitParser)
};
