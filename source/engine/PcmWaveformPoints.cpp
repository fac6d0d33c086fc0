#include "engine/PcmWaveformPoints.h"

#include "engine/WaveformPoint.h"

#include <algorithm>
#include <cstring>

namespace
{
// A piece is about a megabyte of samples (4096 points of 16-bit stereo), small beside the
// compressor's pieces so that the points ready from the start grow in fine steps; files of many
// channels take fewer points a piece.
const int pieceBytes = 1 << 20;
const int mostPointsPerPiece = 4096;

int piecePoints(const PcmSampleLayout& layout)
{
    return juce::jlimit(1, mostPointsPerPiece,
                        pieceBytes / (PcmWaveformPoints::samplesPerPoint * layout.bytesPerFrame()));
}

int numWorkers()
{
    return juce::jmax(1, juce::SystemStats::getNumCpus());
}
} // namespace

PcmWaveformPoints::PcmWaveformPoints(const juce::File& file, const PcmSampleLayout& sampleLayout,
                                     int pointsToMake, juce::int8* levelsToFill, std::atomic<int>& done_,
                                     juce::WaitableEvent& ready)
    : layout(sampleLayout), wholePoints(pointsToMake), levels(levelsToFill), pointsDone(done_),
      pointsReady(ready), pointsPerPiece(piecePoints(sampleLayout)),
      numPieces((pointsToMake + pointsPerPiece - 1) / pointsPerPiece), done((size_t)numPieces, false),
      pool(numWorkers())
{
    for (int i = 0; i < numWorkers(); ++i)
    {
        streams.push_back(std::make_unique<juce::FileInputStream>(file));
        opened = opened && streams.back()->openedOk();
    }
}

PcmWaveformPoints::~PcmWaveformPoints()
{
    stopping = true;
    // The workers write into the levels and read the streams.
    pool.removeAllJobs(true, -1);
}

void PcmWaveformPoints::start()
{
    for (auto& stream : streams)
    {
        auto* in = stream.get();
        pool.addJob([this, in] { work(*in); });
    }
}

void PcmWaveformPoints::work(juce::InputStream& in)
{
    const size_t frameBytes = (size_t)layout.bytesPerFrame();
    juce::HeapBlock<juce::uint8> frames((size_t)pointsPerPiece * samplesPerPoint * frameBytes);
    while (!stopping)
    {
        const int piece = nextPiece++;
        if (piece >= numPieces)
            return;
        const int first = piece * pointsPerPiece;
        const int count = std::min(pointsPerPiece, wholePoints - first);
        layout.readFrames(in, (juce::int64)first * samplesPerPoint, count * samplesPerPoint, frames);
        reduce(frames, first, count);
        pieceDone(piece);
    }
}

void PcmWaveformPoints::reduce(const juce::uint8* frames, int firstPoint, int count) const
{
    const int channels = layout.numChannels;
    const size_t frameBytes = (size_t)layout.bytesPerFrame();
    const size_t sampleBytes = (size_t)layout.bytesPerSample;
    const bool floats = layout.encoding == PcmSampleLayout::Encoding::float32;
    layout.withDecoder(
        [&](auto decoder)
        {
            using Decoder = decltype(decoder);
            float values[samplesPerPoint];
            for (int point = 0; point < count; ++point)
                for (int channel = 0; channel < channels; ++channel)
                {
                    const auto* sample =
                        frames + (size_t)point * samplesPerPoint * frameBytes + (size_t)channel * sampleBytes;
                    auto* dest =
                        levels + ((size_t)(firstPoint + point) * (size_t)channels + (size_t)channel) * 2;
                    if (floats)
                    {
                        // The framework's reader leaves the floats' bits as they are.
                        for (int i = 0; i < samplesPerPoint; ++i)
                        {
                            const auto bits = Decoder::decode(sample + (size_t)i * frameBytes);
                            std::memcpy(values + i, &bits, sizeof(float));
                        }
                        WaveformPoint::store(
                            dest, juce::FloatVectorOperations::findMinAndMax(values, samplesPerPoint));
                        continue;
                    }
                    int low = Decoder::decode(sample), high = low;
                    for (int i = 1; i < samplesPerPoint; ++i)
                    {
                        const int value = Decoder::decode(sample + (size_t)i * frameBytes);
                        low = std::min(low, value);
                        high = std::max(high, value);
                    }
                    WaveformPoint::store(dest, WaveformPoint::fromIntegers(low, high));
                }
        });
}

void PcmWaveformPoints::pieceDone(int piece)
{
    {
        const juce::ScopedLock lock(doneLock);
        done[(size_t)piece] = true;
        while (piecesDoneFromStart < numPieces && done[(size_t)piecesDoneFromStart])
            ++piecesDoneFromStart;
        pointsDone.store(std::min(wholePoints, piecesDoneFromStart * pointsPerPiece),
                         std::memory_order_release);
    }
    pointsReady.signal();
}
