#include "engine/audio/AudioRender.h"

#include "engine/audio/EffectAudioSource.h"
#include "engine/audio/SilenceAudioSource.h"

#include <cmath>

namespace
{
const int cancelTimeOutMs = 3000;
const int blockSize = 2048;
const size_t outputBufferSize = 32768;
const int bitsPerSample = 16;
// The chain always carries two channels; mono output sums them into the first.
const int chainChannels = 2;

void showMessage(const juce::String& message)
{
    juce::AlertWindow::showMessageBox(juce::MessageBoxIconType::InfoIcon, TRANS("Message"), message);
}
} // namespace

AudioRender::AudioRender()
    : juce::ThreadWithProgressWindow(TRANS("Audio Rendering..."), true, true, cancelTimeOutMs,
                                     TRANS("Cancel"), nullptr)
{
}

AudioRender::~AudioRender()
{
    stopThread(cancelTimeOutMs);
    // The sources read the readers, so they go first.
    sources.clear();
    readers.clear();
}

juce::int64 AudioRender::renderedLength(juce::int64 pieceLength, double sourceRate, double outputRate)
{
    if (pieceLength <= 0 || !(sourceRate > 0.0) || !(outputRate > 0.0))
        return 0;
    // Multiplied first: with whole rates the quotient is then exact, where dividing by the
    // ratio of the rates can fall just short of a whole number and lose a sample.
    return (juce::int64)((double)pieceLength * outputRate / sourceRate);
}

void AudioRender::addAudioSource(juce::AudioFormatReader* reader, int repeatCount, const double& pauseRatio)
{
    if (reader == nullptr)
        return;
    readers.add(reader);
    sourceSampleRate = reader->sampleRate;

    const int repeats = juce::jmin(repeatCount, mostRepeats);
    // NaN fails every comparison and ends up as no pause.
    const double ratio = pauseRatio > 0.0 ? juce::jmin(pauseRatio, longestPauseRatio) : 0.0;
    for (int i = 0; i < repeats; ++i)
    {
        auto* piece = sources.add(new EffectAudioSource(reader, false));
        sourceRates.add(reader->sampleRate);
        if (ratio > 0.0)
        {
            sources.add(new SilenceAudioSource((juce::int64)(ratio * (double)piece->getTotalLength())));
            sourceRates.add(reader->sampleRate);
        }
    }
}

void AudioRender::setAudioEffects(float gain)
{
    // Nothing has played yet: each piece starts at its gain instead of ramping to it across its
    // first block from 1.0, which would be louder than the rest of it.
    for (auto* source : sources)
        if (auto* piece = dynamic_cast<EffectAudioSource*>(source))
            piece->setGainWithoutRamp(gain);
}

bool AudioRender::renderSettingsUsable(const double& sampleRate) const
{
    // The encoder takes these rates only; anything else (0 from a damaged settings file, say)
    // would leave no writer, or a division by zero in the resampling ratio.
    const auto rates = juce::OggVorbisAudioFormat().getPossibleSampleRates();
    if (std::isfinite(sampleRate) && sampleRate >= rates.getFirst() && sampleRate <= rates.getLast() &&
        rates.contains((int)sampleRate) && (double)(int)sampleRate == sampleRate)
        return true;
    showMessage(TRANS("Can't render! The sample rate in the settings isn't supported.") + "\r\n" +
                juce::String(sampleRate) + " Hz");
    return false;
}

bool AudioRender::render(const juce::File& file, const double& sampleRate, unsigned int channels,
                         int qualityIndex)
{
    if (!renderSettingsUsable(sampleRate))
        return false;
    outputFile = file;
    outputSampleRate = sampleRate;
    numChannels = juce::jlimit(1u, 2u, channels);
    quality = juce::jlimit(0, juce::OggVorbisAudioFormat().getQualityOptions().size() - 1, qualityIndex);

    if (!outputFile.deleteFile())
    {
        showMessage(TRANS("Can't render! This file may be using now."));
        return false;
    }

    // Mono sums both channels, so every piece starts, and stays, at half its gain.
    if (numChannels == 1)
        for (auto* source : sources)
            if (auto* piece = dynamic_cast<EffectAudioSource*>(source))
                piece->setGainWithoutRamp(piece->gain * 0.5f);

    written = false;
    // The old numeric priority 5 is the framework's normal one.
    const bool notCancelled = runThread(juce::Thread::Priority::normal);
    if (!notCancelled || !written)
    {
        outputFile.deleteFile();
        return false;
    }
    return true;
}

void AudioRender::run()
{
    setProgress(-1.0);
    if (!outputFile.getParentDirectory().createDirectory().wasOk())
        return;

    auto stream = std::make_unique<CheckedFileOutputStream>(outputFile, outputBufferSize);
    outcome = stream->getOutcome();
    if (!stream->openedOk())
        return;
    std::unique_ptr<juce::AudioFormatWriter> writer(juce::OggVorbisAudioFormat().createWriterFor(
        stream.get(), outputSampleRate, numChannels, bitsPerSample, {}, quality));
    if (writer == nullptr)
        return;
    stream.release(); // the writer owns it now

    const int n = sources.size();
    for (int i = 0; i < n; ++i)
    {
        if (threadShouldExit())
            return;
        if (n > 1)
            setProgress((double)i / (double)(n - 1));
        setStatusMessage(TRANS("Please wait..."));
        if (!writeSource(i, *writer))
            return;
    }

    // Deleting the writer finishes the Ogg stream and closes the file; only then is it known
    // whether every byte reached the disk.
    writer.reset();
    written = outcome->wroteWholeFile();
}

bool AudioRender::writeSource(int index, juce::AudioFormatWriter& writer)
{
    auto* source = sources.getUnchecked(index);
    const double ratio = sourceRates[index] / outputSampleRate;

    juce::ResamplingAudioSource resampler(source, false, chainChannels);
    resampler.setResamplingRatio(ratio);
    // The mapping owns nothing here: the resampler lives on this function's stack.
    juce::ChannelRemappingAudioSource chain(&resampler, false);
    chain.setNumberOfChannelsToProduce(chainChannels);
    chain.setOutputChannelMapping(0, 0);
    chain.setOutputChannelMapping(1, numChannels == 1 ? 0 : 1);
    chain.prepareToPlay(blockSize, sourceRates[index]);

    // A single long piece (a course of one sentence) still shows how far it has got.
    const auto total = renderedLength(source->getTotalLength(), sourceRates[index], outputSampleRate);
    juce::AudioBuffer<float> block(chainChannels, blockSize);
    bool ok = true;
    for (juce::int64 done = 0; done < total && ok;)
    {
        // Checked between blocks as well as between pieces: a piece may last an hour.
        if (threadShouldExit())
        {
            ok = false;
            break;
        }
        const int count = (int)juce::jmin<juce::int64>(blockSize, total - done);
        juce::AudioSourceChannelInfo info(&block, 0, count);
        info.clearActiveBufferRegion();
        chain.getNextAudioBlock(info);
        ok = writer.writeFromAudioSampleBuffer(block, 0, count) && !outcome->hasFailed();
        done += count;
        if (sources.size() == 1)
            setProgress((double)done / (double)total);
    }
    chain.releaseResources();
    return ok;
}
