#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

#include <atomic>
#include <functional>

/** Writes the waveform file of a whole recording: the framework's waveform-overview stream at 64
    samples per point (the four bytes "jatm", the resolution, the sample counts, the channel count
    and the sample rate, then the smallest and largest value of every point and channel, as
    AudioThumbnail::saveTo writes them) compressed as a zlib stream at level 9: the stream that
    filling an AudioThumbnail from the reader and saving it would give, byte for byte.

    A reading thread decodes the audio and reduces it to the points while the calling thread
    hands the points already made to a compressor that deflates them on every core, so that
    neither a single core's level-9 deflate nor the decode alone sets the pace. A plain PCM file
    (WAV, AIFF) is read straight from its samples instead, in pieces on every core
    (PcmWaveformPoints). */
class ParallelZlibCompressor;
class PcmWaveformPoints;

class WaveformFileWriter
{
public:
    static constexpr int samplesPerPoint = 64;

    /** `readersFile`, when given, is the file that the reader reads: a plain PCM file is then read
        straight from its samples, with the very points that the reader would give. */
    explicit WaveformFileWriter(juce::AudioFormatReader& reader, const juce::File& readersFile = {});
    ~WaveformFileWriter();

    /** Reads the whole recording and writes the file, replacing it. `keepGoing` is asked often on
        the calling thread: once it says no, reading stops and the file holds what was read (the
        sample count in it says how much). `progress` gets the part of the audio done so far,
        and 1 once only the end of the stream is left to write. False when the file could not be
        written. */
    bool write(const juce::File& target, const std::function<bool()>& keepGoing,
               const std::function<void(double)>& progress);

    /** Whether the whole recording was read (false after a stop). */
    bool readToTheEnd() const { return pointsRead.load() == wholePoints; }

private:
    class ReadingThread;

    // "jatm", the resolution, three sample counts, the channel count, the rate and two zeros.
    static constexpr size_t headerSize = 4 + 4 + 8 + 8 + 4 + 4 + 4 + 8 + 8;

    /** Puts the stream's opening, with the sample count that this many points make, before the
        levels. */
    void writeHeader(int pointsDone);
    void startReading();
    void stopReading();
    size_t streamLevelsSize() const;
    /** Hands the points to the compressor as the reading thread makes them; false when the
        stream could not be written or (stopped) reading was stopped. */
    bool compressWhileReading(ParallelZlibCompressor& zlib, const std::function<bool()>& keepGoing,
                              const std::function<void(double)>& progress, bool& stopped);
    /** Stops reading and writes the file again from what was read. */
    bool rewriteAfterStop(const juce::File& target);
    bool writeFile(const juce::File& target, const std::function<bool(ParallelZlibCompressor&)>& body);

    juce::AudioFormatReader& reader;
    const juce::File sourceFile;
    const int numChannels;
    const juce::int64 length;
    // Whole points only, as the framework's loader makes them; the overview holds one entry more
    // than that, which stays empty.
    const int wholePoints;
    const int entries;
    // The whole stream: its opening, then two bytes (smallest, largest) per channel and entry,
    // entries one after the other, which the levels point at.
    juce::HeapBlock<juce::uint8> stream;
    juce::int8* levels = nullptr;
    // The whole points ready from the start, and a signal each time that grows.
    std::atomic<int> pointsRead{0};
    juce::WaitableEvent pointsReady;
    std::unique_ptr<ReadingThread> readingThread;
    std::unique_ptr<PcmWaveformPoints> pcmPoints;

    JUCE_DECLARE_NON_COPYABLE(WaveformFileWriter)
};
