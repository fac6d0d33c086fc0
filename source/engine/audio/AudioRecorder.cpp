#include "engine/audio/AudioRecorder.h"

#include "engine/DocumentManager.h"
#include "engine/FileReplacement.h"

namespace
{
constexpr int streamBufferBytes = 32768;
constexpr int fifoSamples = 32768;
constexpr int qualityOptionIndex = 6; // Vorbis quality 0.6
constexpr int bitsPerSample = 16;
// A header and nothing else: an empty or merely created file.
constexpr juce::int64 emptyFileBytes = 4;

void showInfo(const juce::String& title, const juce::String& message)
{
    juce::AlertWindow::showMessageBox(juce::MessageBoxIconType::InfoIcon, title, message);
}
} // namespace

AudioRecorder::AudioRecorder(juce::AudioDeviceManager& manager, juce::AudioThumbnail& thumbnailToFeed)
    : deviceManager(manager), thumbnail(thumbnailToFeed),
      tempFile(recordingFolder().getChildFile(
          "recording-" + juce::String::toHexString(juce::Random::getSystemRandom().nextInt64()) + ".ogg"))
{
    backgroundThread.startThread();
    deviceManager.addAudioCallback(this);
}

AudioRecorder::~AudioRecorder()
{
    deviceManager.removeAudioCallback(this);
    stop();
    tempFile.deleteFile();
    backgroundThread.stopThread(1000);
}

juce::File AudioRecorder::recordingFolder()
{
    return DocumentManager::TempDir().getSiblingFile("recording");
}

void AudioRecorder::deleteLeftoverRecordings()
{
    recordingFolder().deleteRecursively();
}

bool AudioRecorder::hasRecording() const
{
    return tempFile.getSize() > emptyFileBytes;
}

bool AudioRecorder::canRecordFromDevice() const
{
    return sampleRate.load() > 0.0 && numDeviceInputs.load() > 0;
}

void AudioRecorder::cannotStart(const juce::String& reason)
{
    showInfo(TRANS("Can't start recording"), reason);
}

//==============================================================================
bool AudioRecorder::startRecording()
{
    stop();

    // Checked before the last recording goes: a press that can't record loses nothing.
    if (!canRecordFromDevice())
    {
        cannotStart(TRANS("There is no audio input to record from.") + "\r\n" +
                    TRANS("Please check the audio device setup."));
        return false;
    }

    if (tempFile.exists() && !tempFile.deleteFile())
    {
        cannotStart(TRANS("Temp file maybe using now or missing."));
        return false;
    }

    recordingFolder().createDirectory();
    // The Ogg Vorbis writer ignores what its stream's writes return: the checked stream notices
    // a full disk, also when only the last flush meets it.
    auto stream = std::make_unique<CheckedFileOutputStream>(tempFile, streamBufferBytes);
    if (!stream->openedOk())
    {
        cannotStart(TRANS("The recording file can't be created."));
        return false;
    }

    writeOutcome = stream->getOutcome();
    closedShort = false;
    droppedSamples = 0;
    const double rate = sampleRate.load();
    std::unique_ptr<juce::AudioFormatWriter> writer(juce::OggVorbisAudioFormat().createWriterFor(
        stream.get(), rate, 1, bitsPerSample, {}, qualityOptionIndex));
    if (writer == nullptr)
    {
        stream.reset();
        tempFile.deleteFile();
        cannotStart(TRANS("The recording file can't be created."));
        return false;
    }
    stream.release(); // the writer owns it now

    const int numChannels = (int)writer->getNumChannels();
    threadedWriter = std::make_unique<juce::AudioFormatWriter::ThreadedWriter>(writer.release(),
                                                                               backgroundThread, fifoSamples);
    thumbnail.reset(numChannels, rate, 0);
    nextSampleNum = 0;

    const juce::ScopedLock lock(writerLock);
    activeWriter = threadedWriter.get();
    return true;
}

void AudioRecorder::stop()
{
    {
        const juce::ScopedLock lock(writerLock);
        activeWriter = nullptr;
    }
    // The device thread can't reach the writer any more: it writes out its queue and closes the
    // file, outside the lock.
    if (threadedWriter == nullptr)
        return;
    threadedWriter.reset();
    // A write the disk cut short returns no error: only the closed file's length tells.
    closedShort = !writeOutcome->wroteWholeFile();
}

void AudioRecorder::stopAndReport()
{
    const bool wasRecording = threadedWriter != nullptr;
    stop();
    if (!wasRecording)
        return;

    if (hasWriteFailed())
    {
        tempFile.deleteFile();
        showInfo(TRANS("Ah oh"),
                 TRANS("The recording could not be written to the disk and has been discarded."));
    }
    else if (droppedSamples.load() > 0)
    {
        showInfo(TRANS("Ah oh"),
                 TRANS("Part of the recording was lost: the computer could not keep up with it."));
    }
}

bool AudioRecorder::saveToFile(const juce::File& destination) const
{
    return FileReplacement::moveOnto(tempFile, destination);
}

//==============================================================================
void AudioRecorder::audioDeviceIOCallbackWithContext(const float* const* inputChannelData,
                                                     int numInputChannels, float* const* outputChannelData,
                                                     int numOutputChannels, int numSamples,
                                                     const juce::AudioIODeviceCallbackContext&)
{
    const juce::ScopedLock lock(writerLock);

    if (auto* writer = activeWriter.load(); writer != nullptr && numInputChannels > 0)
    {
        if (!writer->write(inputChannelData, numSamples))
            droppedSamples += numSamples;

        const juce::AudioBuffer<float> block(const_cast<float* const*>(inputChannelData),
                                             juce::jmin(thumbnail.getNumChannels(), numInputChannels),
                                             numSamples);
        thumbnail.addBlock(nextSampleNum, block, 0, numSamples);
        nextSampleNum += numSamples;
    }

    // Nothing of the recording is heard.
    for (int i = 0; i < numOutputChannels; ++i)
        if (outputChannelData[i] != nullptr)
            juce::FloatVectorOperations::clear(outputChannelData[i], numSamples);
}

void AudioRecorder::audioDeviceAboutToStart(juce::AudioIODevice* device)
{
    numDeviceInputs = device->getActiveInputChannels().countNumberOfSetBits();
    sampleRate = device->getCurrentSampleRate();
}

void AudioRecorder::audioDeviceStopped()
{
    sampleRate = 0.0;
    numDeviceInputs = 0;
}
