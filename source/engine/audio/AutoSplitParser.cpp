#include "engine/audio/AutoSplitParser.h"

#include "engine/SystemModel.h"
#include "workspace/Main.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace
{
const int cancelTimeOutMs = 3000;
const int chunkSamples = 65536;
// Each later piece starts this long before its sound resumes.
const double leadSeconds = 0.18;
// At or below this level only digital silence counts.
const float digitalSilenceDecibels = -100.0f;
// The preferences keep the shortest pause at 0.2 s; a settings file edited by hand can hold 0 or
// less. Blocks never get shorter than this, so the job always moves on and the pauses it notes
// stay few.
const double shortestBlockSeconds = 0.01;

/** The sum of the squares of the samples, in double precision. Four independent sums let the
    compiler keep several in flight (and in vector registers) without reordering any one of them. */
double sumOfSquares(const float* samples, int count)
{
    double lanes[4] = {0.0, 0.0, 0.0, 0.0};
    int i = 0;
    for (; i + 4 <= count; i += 4)
        for (int lane = 0; lane < 4; ++lane)
        {
            const double s = samples[i + lane];
            lanes[lane] += s * s;
        }
    double sum = (lanes[0] + lanes[1]) + (lanes[2] + lanes[3]);
    for (; i < count; ++i)
        sum += (double)samples[i] * (double)samples[i];
    return sum;
}

float silenceThreshold(float decibels)
{
    if (decibels <= digitalSilenceDecibels)
        return 0.0f;
    return std::pow(10.0f, 0.05f * decibels);
}
} // namespace

AutoSplitParser::AutoSplitParser(juce::AudioFormatReader* sentenceReader, int sentenceOffset)
    : juce::ThreadWithProgressWindow(TRANS("Please wait..."), true, true, cancelTimeOutMs, TRANS("Cancel")),
      reader(sentenceReader), offset(sentenceOffset)
{
    if (systemModel != nullptr)
    {
        pauseSeconds = systemModel->autoSplitIntervalMinLength;
        pieceSeconds = systemModel->autoSplitSentenceMinLength;
        levelDecibels = systemModel->autoSplitIntervalMinLevel;
    }

    if (reader == nullptr || reader->numChannels == 0 || !(reader->sampleRate > 0.0))
        return;

    const double rate = reader->sampleRate;
    length = juce::jlimit<juce::int64>(0, std::numeric_limits<int>::max(), reader->lengthInSamples);
    // Half the shortest pause, so that every pause of that length holds one whole block. A block
    // longer than the audio reads all of it once, as one just as long would.
    const double wanted = pauseSeconds * rate * 0.5;
    const auto shortest = juce::jmax<juce::int64>(1, (juce::int64)(shortestBlockSeconds * rate));
    if (!(wanted >= (double)shortest))
        blockSize = shortest;
    else if (wanted > (double)(length + 1))
        blockSize = length + 1;
    else
        blockSize = (juce::int64)wanted;

    chunk.setSize((int)reader->numChannels,
                  (int)juce::jmin<juce::int64>(chunkSamples, juce::jmax<juce::int64>(1, length)));
    sums.resize(reader->numChannels);
}

AutoSplitParser::~AutoSplitParser()
{
    // The job reads the reader, which goes before the base class would stop the thread.
    stopThread(cancelTimeOutMs);
}

void AutoSplitParser::run()
{
    cuts.clear();
    runEnds.clear();
    chunkLength = 0;
    if (chunk.getNumChannels() == 0)
        return;

    const float threshold = silenceThreshold(levelDecibels);
    juce::int64 position = 0;
    // One block more than the audio fills when its length is a whole number of blocks: that empty
    // block counts as silent and marks the end, like a pause at the end of the sentence.
    for (juce::int64 remaining = length; remaining >= 0 && !threadShouldExit(); remaining -= blockSize)
    {
        const int count = (int)juce::jmin(remaining, blockSize);
        const float level = blockLevel(position, count);
        position += blockSize;
        if (threshold >= level)
            addSilentBlockEnd(offset + position);
        setProgress(length > 0 ? juce::jmin(1.0, (double)position / (double)length) : 1.0);
    }

    if (!threadShouldExit())
        reduceToCuts();
}

float AutoSplitParser::blockLevel(juce::int64 start, int count)
{
    if (count <= 0)
        return 0.0f;

    const int channels = chunk.getNumChannels();
    std::fill(sums.begin(), sums.end(), 0.0);
    const juce::int64 end = start + count;
    for (juce::int64 sample = start; sample < end;)
    {
        if (!chunkHolds(sample))
            return 0.0f;
        const int from = (int)(sample - chunkStart);
        const int n = (int)(juce::jmin(end, chunkStart + chunkLength) - sample);
        for (int channel = 0; channel < channels; ++channel)
            sums[(size_t)channel] += sumOfSquares(chunk.getReadPointer(channel, from), n);
        sample += n;
    }

    float level = 0.0f;
    for (const double sum : sums)
        level = juce::jmax(level, (float)std::sqrt(sum / count));
    return level;
}

bool AutoSplitParser::chunkHolds(juce::int64 sample)
{
    if (sample >= chunkStart && sample < chunkStart + chunkLength)
        return true;
    // A block can be far longer than a chunk: Cancel is looked at before every read.
    if (threadShouldExit())
        return false;

    chunkStart = sample;
    chunkLength = (int)juce::jmin<juce::int64>(chunk.getNumSamples(), length - sample);
    reader->read(chunk.getArrayOfWritePointers(), chunk.getNumChannels(), chunkStart, chunkLength);
    return chunkLength > 0;
}

void AutoSplitParser::addSilentBlockEnd(juce::int64 position)
{
    // Two silent blocks in a row: the run goes on, and only the end where the sound resumes counts.
    if (!runEnds.empty() && position - runEnds.back() == blockSize)
        runEnds.back() = position;
    else
        runEnds.push_back(position);
}

void AutoSplitParser::reduceToCuts()
{
    const double rate = reader->sampleRate;
    auto& ends = runEnds;

    // Every later piece starts a little before its sound.
    if (ends.size() >= 2)
    {
        const auto lead = (juce::int64)(leadSeconds * rate);
        for (size_t i = 1; i < ends.size(); ++i)
            ends[i] -= lead;
    }

    // A first piece too short to be a sentence joins the next one.
    const double shortestPiece = pieceSeconds * rate;
    if (!ends.empty() && (double)(ends.front() - offset) <= shortestPiece)
        ends.erase(ends.begin());

    // A cut too close to the cut kept before it goes.
    std::vector<juce::int64> kept;
    for (const auto end : ends)
        if (kept.empty() || !((double)(end - kept.back()) <= shortestPiece))
            kept.push_back(end);

    setProgress(1.0);
    // The last one is the pause at the end of the sentence.
    if (!kept.empty())
        kept.pop_back();

    // With the settings the preferences allow, the cuts are ascending and inside the sentence;
    // a settings file edited by hand (a negative shortest piece, say) must not make a piece that
    // ends before it starts.
    juce::int64 previous = (juce::int64)offset - 1;
    const juce::int64 lastSample = (juce::int64)offset + length - 1;
    for (const auto cut : kept)
        if (cut > previous && cut < lastSample)
        {
            cuts.add((int)cut);
            previous = cut;
        }
}
