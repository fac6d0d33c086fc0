#pragma once

#include "engine/CheckedFileOutputStream.h"

#include <juce_audio_devices/juce_audio_devices.h>
#include <juce_audio_formats/juce_audio_formats.h>
#include <juce_audio_utils/juce_audio_utils.h>

#include <atomic>
#include <memory>

/** Records the first channel of the audio input into a temporary Ogg Vorbis file (mono, 16 bits,
    at the device's sample rate) while it feeds a waveform overview with every block.

    Registered as a device callback for its whole life, recording or not, and silent: it clears
    every output channel it is given. The device thread only hands blocks to a FIFO; encoding and
    writing run on "Audio Recorder Thread". The writer lock guards the writer pointer that the
    device thread uses, so a recording starts and stops between two blocks.

    A recording stays in the temporary file until its owner saves it elsewhere or starts the next
    one. The temporary files lie in one folder of the data tree (on the file system of the
    working set, so saving a retelling is a rename), which the next start clears of what a killed
    run left there. */
class AudioRecorder : public juce::AudioIODeviceCallback
{
public:
    AudioRecorder(juce::AudioDeviceManager& deviceManager, juce::AudioThumbnail& thumbnail);
    ~AudioRecorder() override;

    /** Ends any recording and starts a new one in the temporary file, from the next device block.
        False when nothing records: no running device with an input, or the file can't be made;
        the learner has been told why. The last recording is kept when no device can record. */
    bool startRecording();
    /** Ends the recording, writing what is still queued and closing the file. Harmless when not
        recording. */
    void stop();
    /** Ends the recording as stop does, then tells the learner when it lost blocks (the writer
        could not keep up) or could not be written (it is then deleted, being damaged). */
    void stopAndReport();

    bool isRecording() const { return activeWriter != nullptr; }
    /** Whether the temporary file holds a recording (more than a few bytes). */
    bool hasRecording() const;
    const juce::File& getTemporaryFile() const { return tempFile; }

    /** Moves the recording onto the destination, replacing it, the new file complete before the
        old one goes; its folders are made. False leaves the recording in the temporary file.
        Stop first. */
    bool saveToFile(const juce::File& destination) const;

    /** Samples that the device delivered but the writer could not take, in the last recording. */
    juce::int64 getDroppedSamples() const { return droppedSamples.load(); }
    /** Whether writing the last recording failed (a full disk, say). */
    bool hasWriteFailed() const
    {
        return closedShort || (writeOutcome != nullptr && writeOutcome->hasFailed());
    }

    /** The folder of the recorders' temporary files. */
    static juce::File recordingFolder();
    /** Deletes the recordings that an earlier run left: call at start-up, before any recorder. */
    static void deleteLeftoverRecordings();

    void audioDeviceIOCallbackWithContext(const float* const* inputChannelData, int numInputChannels,
                                          float* const* outputChannelData, int numOutputChannels,
                                          int numSamples,
                                          const juce::AudioIODeviceCallbackContext& context) override;
    void audioDeviceAboutToStart(juce::AudioIODevice* device) override;
    void audioDeviceStopped() override;

private:
    bool canRecordFromDevice() const;
    static void cannotStart(const juce::String& reason);

    juce::AudioDeviceManager& deviceManager;
    juce::TimeSliceThread backgroundThread{"Audio Recorder Thread"};
    juce::AudioThumbnail& thumbnail;
    juce::File tempFile;
    std::atomic<double> sampleRate{0.0};
    std::atomic<int> numDeviceInputs{0};
    juce::int64 nextSampleNum = 0;
    juce::CriticalSection writerLock;
    std::unique_ptr<juce::AudioFormatWriter::ThreadedWriter> threadedWriter;
    std::atomic<juce::AudioFormatWriter::ThreadedWriter*> activeWriter{nullptr};
    std::atomic<juce::int64> droppedSamples{0};
    // How writing the last recording went; shared with its stream, which the writer deletes.
    std::shared_ptr<const CheckedFileOutputStream::Outcome> writeOutcome;
    bool closedShort = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(AudioRecorder)
};
