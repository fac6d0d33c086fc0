#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

#include <memory>
#include <vector>

/** Reads the audio of one compact disc through libcdio: a disc in a drive ("/dev/sr0") or a
    ripped image of one (a cue sheet and its data file, see CueSheet).

    The reader spans the disc from its first sector (sample 0) to the end of its last audio track,
    at 44100 Hz, 16 bits, 2 channels, 588 sample frames to a sector. Only audio tracks are listed
    and read; sectors outside them (data tracks, the gap before a later session) read as silence.
    Where the drive tells sessions apart, the last audio track before a later session ends short
    of that gap (see CdTrackSpans).
    A sector that can't be read makes the read fail, so a scratched disc or an image cut off
    part-way is never passed on as sound.

    Like every reader it is used from one thread at a time. */
class AudioCdDiscReader : public juce::AudioFormatReader
{
public:
    /** How sectors come off the disc. Drives are read through cd-paranoia, which reads
        overlapping spans again until they agree and retries failed reads; an image is a file and
        is read as it stands. */
    enum class Reading
    {
        direct,
        verified
    };

    /** One audio track: its number on the disc and its samples, from its first sample up to (not
        including) the first sample of what follows it. */
    struct Track
    {
        int number = 0;
        juce::int64 startSample = 0;
        juce::int64 endSample = 0;
    };

    static constexpr int samplesPerSector = 588;

    /** A disc in the drive with this device path; null when there is no disc with audio. */
    static std::unique_ptr<AudioCdDiscReader> openDrive(const juce::String& devicePath,
                                                        Reading reading = Reading::verified);

    /** The image of this cue sheet; null when the sheet fails its check (the reason goes to
        `problem` when given) or holds no audio track. */
    static std::unique_ptr<AudioCdDiscReader>
    openImage(const juce::File& cueSheet, Reading reading = Reading::direct, juce::String* problem = nullptr);

    ~AudioCdDiscReader() override;

    /** The audio tracks in the order of the disc. */
    const std::vector<Track>& getTracks() const { return tracks; }

    /** The disc's title from its CD-Text (or the sheet's TITLE line); empty when it has none. */
    const juce::String& getTitle() const { return title; }

    bool readSamples(int* const* destChannels, int numDestChannels, int startOffsetInDestBuffer,
                     juce::int64 startSampleInFile, int numSamples) override;

private:
    struct Disc;

    explicit AudioCdDiscReader(std::unique_ptr<Disc> openedDisc);
    static std::unique_ptr<AudioCdDiscReader> fromDisc(std::unique_ptr<Disc> disc);
    void listTracks();
    const Track* trackHolding(juce::int64 sector) const;
    bool loadChunkHolding(juce::int64 sector);
    bool readSectors(juce::int64 firstSector, int count);

    std::unique_ptr<Disc> disc;
    std::vector<Track> tracks;
    juce::String title;

    // The sectors read last, as 16-bit samples in the machine's order, left and right in turn.
    std::vector<juce::int16> chunk;
    juce::int64 chunkFirstSector = -1;
    int chunkSectors = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(AudioCdDiscReader)
};
