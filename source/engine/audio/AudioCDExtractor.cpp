#include "engine/audio/AudioCDExtractor.h"

#include "engine/DocumentManager.h"
#include "platform/AudioCdDiscs.h"

namespace
{
const int cancelTimeOutMs = 3000;
const int outputBufferBytes = 32768;
const double outputSampleRate = 44100.0;
const unsigned int outputChannels = 2;
const int outputBitsPerSample = 16;

/** A file output stream that remembers whether anything it was given failed to reach the file.
    Neither the framework's WAV writer nor its file stream looks: a write that the disk cuts short
    when the stream flushes is lost without a word, and a full disk would leave a short file that
    passes for the whole track. So the file's size is compared, once closed, with how far it was
    written. */
class WatchedFileOutputStream : public juce::OutputStream
{
public:
    WatchedFileOutputStream(const juce::File& file, bool& failedFlag)
        : target(file), stream(file, outputBufferBytes), failed(failedFlag)
    {
        // The file was emptied before; an output stream on a file appends to it.
        if (stream.openedOk())
            failed = !stream.setPosition(0) || stream.truncate().failed();
    }

    ~WatchedFileOutputStream() override
    {
        stream.flush();
        if (stream.getStatus().failed() || target.getSize() < end)
            failed = true;
    }

    bool openedOk() const { return stream.openedOk() && !failed; }

    void flush() override { stream.flush(); }
    bool setPosition(juce::int64 position) override { return note(stream.setPosition(position)); }
    juce::int64 getPosition() override { return stream.getPosition(); }

    bool write(const void* data, size_t bytes) override
    {
        end = juce::jmax(end, stream.getPosition() + (juce::int64)bytes);
        return note(stream.write(data, bytes));
    }

private:
    bool note(bool succeeded)
    {
        if (!succeeded)
            failed = true;
        return succeeded;
    }

    juce::File target;
    juce::FileOutputStream stream;
    bool& failed;
    juce::int64 end = 0;
};
} // namespace

AudioCDExtractor::AudioCDExtractor(std::unique_ptr<juce::AudioFormatReader> trackReader,
                                   const juce::File& destination)
    : juce::ThreadWithProgressWindow(TRANS("Extracting audio data..."), true, true, cancelTimeOutMs,
                                     TRANS("Cancel")),
      reader(std::move(trackReader)), outputFile(destination)
{
    outputFile.deleteFile();
    outputFile.create();
}

AudioCDExtractor::~AudioCDExtractor()
{
    // The job reads through the reader, which goes before the base class would stop the thread.
    stopThread(cancelTimeOutMs);
}

bool AudioCDExtractor::isOnCdDrive(const juce::File& file)
{
    return AudioCdDiscs::isOnCdDrive(file);
}

int AudioCDExtractor::trackIndexOf(const juce::File& cdaFile)
{
    // Sorted by name, so that the count doesn't depend on the order the folder lists them in.
    auto tracks = cdaFile.getParentDirectory().findChildFiles(juce::File::findFiles, false, "*.cda");
    DocumentManager::FileNameComparator byName;
    tracks.sort(byName);
    for (int i = tracks.size() - 1; i >= 0; --i)
        if (tracks[i] == cdaFile)
            return i;
    return -1;
}

std::unique_ptr<juce::AudioFormatReader> AudioCDExtractor::extractAudioFormatReader(const juce::File& cdaFile)
{
    if (!isOnCdDrive(cdaFile))
        return nullptr;

    auto disc = AudioCdDiscs::openDisc(cdaFile.getParentDirectory());
    if (disc == nullptr)
        return nullptr;

    const int index = trackIndexOf(cdaFile);
    const auto& tracks = disc->getTracks();
    if (index < 0 || index >= (int)tracks.size())
        return nullptr;

    // The track ends where the disc's next part begins, which for the last audio track before a
    // data session is not the next track's start.
    const auto track = tracks[(size_t)index];
    return std::make_unique<juce::AudioSubsectionReader>(disc.release(), track.startSample,
                                                         track.endSample - track.startSample, true);
}

bool AudioCDExtractor::extractAudioDataToFile(const juce::File& cdaFile, const juce::File& destination)
{
    if (!isOnCdDrive(cdaFile))
        return false;

    AudioCDExtractor extractor(extractAudioFormatReader(cdaFile), destination);
    // The old numeric priority 5 is the framework's normal one.
    return extractor.runThread(juce::Thread::Priority::normal);
}

void AudioCDExtractor::run()
{
    if (reader == nullptr)
    {
        juce::AlertWindow::showMessageBox(juce::MessageBoxIconType::InfoIcon, TRANS("Ah oh"),
                                          TRANS("This file isn't a valid CD audio."));
        return;
    }

    setProgress(-1.0);
    bool writeFailed = false;
    auto stream = std::make_unique<WatchedFileOutputStream>(outputFile, writeFailed);
    if (!stream->openedOk())
        return;
    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatWriter> writer(
        wav.createWriterFor(stream.get(), outputSampleRate, outputChannels, outputBitsPerSample, {}, 0));
    if (writer == nullptr)
        return;
    stream.release(); // the writer owns it now

    const bool copied = copyTrack(*writer);
    // Closing the writer completes the file's header; only then are all writes known.
    writer.reset();
    if (!copied || writeFailed)
        outputFile.deleteFile();
}

bool AudioCDExtractor::copyTrack(juce::AudioFormatWriter& writer)
{
    const auto total = reader->lengthInSamples;
    if (total < 0)
        return true;

    const auto status = TRANS("Please wait...");
    // Whole blocks while the block start lies within the track: the last is padded with silence.
    for (juce::int64 position = 0; position <= total; position += blockSamples)
    {
        if (threadShouldExit())
            return true; // cancelled: what was written stays
        setProgress(total > 0 ? (double)position / (double)total : 0.0);
        setStatusMessage(status);
        if (!writer.writeFromAudioReader(*reader, position, blockSamples))
            return false;
    }
    return true;
}
