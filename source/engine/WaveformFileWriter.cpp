#include "engine/WaveformFileWriter.h"

#include "engine/ParallelZlibCompressor.h"
#include "engine/PcmWaveformPoints.h"
#include "engine/WaveformPoint.h"

#include <algorithm>

namespace
{
const int zlibLevel = 9;
const int fileBufferSize = 16384;
// Points read at a time: large enough that reading costs what a bare decode costs.
const int pointsPerBlock = 1024;
const int waitForPointsMs = 20;
const int stopTimeOutMs = 10000;

/** The extremes of one point of integer samples, as the framework's reader gives them: the
    integers' extremes, scaled to floating point. */
juce::Range<float> rangeOfIntegers(const int* samples)
{
    int low = samples[0];
    int high = samples[0];
    // A fixed count of independent comparisons, which the compiler turns into vector code.
    for (int i = 1; i < WaveformFileWriter::samplesPerPoint; ++i)
    {
        low = std::min(low, samples[i]);
        high = std::max(high, samples[i]);
    }
    return WaveformPoint::fromIntegers(low, high);
}
} // namespace

/** Decodes the audio block by block and reduces each block to its points, ahead of the
    compression. */
class WaveformFileWriter::ReadingThread : public juce::Thread
{
public:
    explicit ReadingThread(WaveformFileWriter& writerToFill)
        : juce::Thread("Waveform reading"), writer(writerToFill)
    {
    }
    ~ReadingThread() override { stopThread(stopTimeOutMs); }

    void run() override
    {
        auto& source = writer.reader;
        const int channels = writer.numChannels;
        // Read as integers, as the framework's loader does: a reader of floating-point data
        // leaves its floats in them.
        juce::AudioBuffer<float> block(channels, pointsPerBlock * samplesPerPoint);
        auto* const* samples = reinterpret_cast<int* const*>(block.getArrayOfWritePointers());

        for (int first = 0; first < writer.wholePoints && !threadShouldExit(); first += pointsPerBlock)
        {
            const int count = juce::jmin(pointsPerBlock, writer.wholePoints - first);
            source.read(samples, channels, (juce::int64)first * samplesPerPoint, count * samplesPerPoint,
                        false);
            for (int point = 0; point < count; ++point)
                for (int channel = 0; channel < channels; ++channel)
                {
                    const int offset = point * samplesPerPoint;
                    const auto range = source.usesFloatingPointData
                                           ? juce::FloatVectorOperations::findMinAndMax(
                                                 block.getReadPointer(channel, offset), samplesPerPoint)
                                           : rangeOfIntegers(samples[channel] + offset);
                    WaveformPoint::store(
                        writer.levels + ((size_t)(first + point) * (size_t)channels + (size_t)channel) * 2,
                        range);
                }
            writer.pointsRead.store(first + count, std::memory_order_release);
            writer.pointsReady.signal();
        }
        writer.pointsReady.signal();
    }

private:
    WaveformFileWriter& writer;
};

WaveformFileWriter::WaveformFileWriter(juce::AudioFormatReader& readerToUse, const juce::File& readersFile)
    : reader(readerToUse), sourceFile(readersFile), numChannels((int)readerToUse.numChannels),
      length(juce::jmax((juce::int64)0, readerToUse.lengthInSamples)),
      wholePoints((int)(length / samplesPerPoint)), entries(wholePoints + 1)
{
    stream.allocate(headerSize + streamLevelsSize(), true);
    levels = reinterpret_cast<juce::int8*>(stream.get() + headerSize);
}

WaveformFileWriter::~WaveformFileWriter()
{
    // The readers fill the levels, which go with this object.
    stopReading();
}

void WaveformFileWriter::startReading()
{
    if (sourceFile != juce::File())
        if (const auto layout = PcmSampleLayout::find(sourceFile, reader))
        {
            pcmPoints = std::make_unique<PcmWaveformPoints>(sourceFile, *layout, wholePoints, levels,
                                                            pointsRead, pointsReady);
            if (pcmPoints->openedOk())
            {
                pcmPoints->start();
                return;
            }
            pcmPoints.reset();
        }
    readingThread = std::make_unique<ReadingThread>(*this);
    readingThread->startThread();
}

void WaveformFileWriter::stopReading()
{
    readingThread.reset();
    pcmPoints.reset();
}

void WaveformFileWriter::writeHeader(int pointsDone)
{
    juce::MemoryOutputStream out(stream, headerSize);
    out.write("jatm", 4);
    out.writeInt(samplesPerPoint);
    out.writeInt64(length);
    out.writeInt64((juce::int64)pointsDone * samplesPerPoint);
    out.writeInt(entries);
    out.writeInt(numChannels);
    out.writeInt((int)reader.sampleRate);
    out.writeInt64(0);
    out.writeInt64(0);
    jassert(out.getPosition() == (juce::int64)headerSize);
}

size_t WaveformFileWriter::streamLevelsSize() const
{
    return (size_t)entries * (size_t)numChannels * 2;
}

bool WaveformFileWriter::writeFile(const juce::File& target,
                                   const std::function<bool(ParallelZlibCompressor&)>& body)
{
    target.deleteFile();
    if (!target.create())
        return false;
    juce::FileOutputStream out(target, fileBufferSize);
    if (!out.openedOk())
        return false;
    bool written = false;
    {
        ParallelZlibCompressor zlib(stream, out, zlibLevel);
        written = body(zlib);
    }
    out.flush();
    return written && out.getStatus().wasOk();
}

bool WaveformFileWriter::write(const juce::File& target, const std::function<bool()>& keepGoing,
                               const std::function<void(double)>& progress)
{
    pointsRead = 0;
    writeHeader(wholePoints);
    startReading();

    bool stopped = false;
    const bool written = writeFile(target, [&](ParallelZlibCompressor& zlib)
                                   { return compressWhileReading(zlib, keepGoing, progress, stopped); });
    if (stopped)
        return rewriteAfterStop(target);
    stopReading();
    return written;
}

bool WaveformFileWriter::compressWhileReading(ParallelZlibCompressor& zlib,
                                              const std::function<bool()>& keepGoing,
                                              const std::function<void(double)>& progress, bool& stopped)
{
    // The points go to the compressor as soon as they are read, behind the stream's opening.
    const size_t bytesPerEntry = (size_t)numChannels * 2;
    int compressed = 0;
    while (compressed < wholePoints)
    {
        if (!keepGoing())
        {
            stopped = true;
            return false;
        }
        const int ready = pointsRead.load(std::memory_order_acquire);
        if (ready == compressed)
        {
            pointsReady.wait(waitForPointsMs);
            continue;
        }
        if (!zlib.grow(headerSize + (size_t)ready * bytesPerEntry))
            return false;
        compressed = ready;
        progress(juce::jmin(0.999, (double)compressed * samplesPerPoint / (double)length));
    }

    progress(1.0);
    // The entry past the whole points stays empty.
    return zlib.finish(headerSize + streamLevelsSize());
}

bool WaveformFileWriter::rewriteAfterStop(const juce::File& target)
{
    stopReading();
    // Only the points that were handed over count; a block being reduced when the stop came is
    // left out, as the framework's overview would leave it.
    const int done = pointsRead.load();
    const size_t bytesPerEntry = (size_t)numChannels * 2;
    juce::zeromem(levels + (size_t)done * bytesPerEntry, (size_t)(entries - done) * bytesPerEntry);
    writeHeader(done);
    return writeFile(target, [this](ParallelZlibCompressor& zlib)
                     { return zlib.finish(headerSize + streamLevelsSize()); });
}
