#include "platform/AudioCdDiscReader.h"

#include "platform/CdTrackSpans.h"
#include "platform/CueSheet.h"

#include <cdio/cdio.h>
#include <cdio/cdtext.h>
#include <cdio/logging.h>
#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>

#include <cstdio>
#include <cstring>
#include <mutex>

namespace
{
const int samplesPerSectorAndChannel = AudioCdDiscReader::samplesPerSector * 2;
// Read a few hundred milliseconds at a time: one call per sector costs more than the copy.
const int sectorsPerChunk = 32;
// cd-paranoia's own default is 20; a bad spot then takes a long while to give up on.
const int verifiedReadRetries = 5;

void logLibraryMessage(cdio_log_level_t level, const char* message)
{
    // Its warnings ("image size not a multiple of the block size" and the like) are for
    // developers; the catalog reports what keeps a disc out in words of its own.
    if (level >= CDIO_LOG_ERROR)
        juce::Logger::writeToLog("libcdio: " + juce::String::fromUTF8(message));
}

void quietenLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] { cdio_log_set_handler(logLibraryMessage); });
}

// cd-paranoia reports on a read through a callback without a context: it runs on the reading
// thread, within the read call.
thread_local bool sectorSkipped = false;

void noteParanoiaEvent(long, paranoia_cb_mode_t event)
{
    // It retries failed reads on its own; a skip means it gave the sector up.
    if (event == PARANOIA_CB_SKIP)
        sectorSkipped = true;
}
} // namespace

struct AudioCdDiscReader::Disc
{
    CdIo_t* cdio = nullptr;
    // Only for verified reading.
    cdrom_drive_t* drive = nullptr;
    cdrom_paranoia_t* paranoia = nullptr;
    juce::int64 paranoiaNextSector = -1;

    explicit Disc(CdIo_t* opened) : cdio(opened) {}

    ~Disc()
    {
        if (paranoia != nullptr)
            cdio_paranoia_free(paranoia);
        if (drive != nullptr)
            cdio_cddap_close_no_free_cdio(drive);
        cdio_destroy(cdio);
    }

    bool startVerifiedReading()
    {
        drive = cdio_cddap_identify_cdio(cdio, CDDA_MESSAGE_FORGETIT, nullptr);
        if (drive == nullptr || cdio_cddap_open(drive) != 0)
            return false;
        paranoia = cdio_paranoia_init(drive);
        if (paranoia == nullptr)
            return false;
        cdio_paranoia_modeset(paranoia, PARANOIA_MODE_FULL ^ PARANOIA_MODE_NEVERSKIP);
        return true;
    }

    JUCE_DECLARE_NON_COPYABLE(Disc)
};

std::unique_ptr<AudioCdDiscReader> AudioCdDiscReader::openDrive(const juce::String& devicePath,
                                                                Reading reading)
{
    quietenLibrary();
    auto* cdio = cdio_open(devicePath.toRawUTF8(), DRIVER_DEVICE);
    if (cdio == nullptr)
        return nullptr;
    auto disc = std::make_unique<Disc>(cdio);
    if (reading == Reading::verified && !disc->startVerifiedReading())
        return nullptr;
    return fromDisc(std::move(disc));
}

std::unique_ptr<AudioCdDiscReader> AudioCdDiscReader::openImage(const juce::File& cueSheet, Reading reading,
                                                                juce::String* problem)
{
    quietenLibrary();
    const auto checked = CueSheet::check(cueSheet);
    if (checked.failed())
    {
        if (problem != nullptr)
            *problem = checked.getErrorMessage();
        return nullptr;
    }

    auto* cdio = cdio_open_cue(cueSheet.getFullPathName().toRawUTF8());
    if (cdio == nullptr)
    {
        if (problem != nullptr)
            *problem = "libcdio can't read the cue sheet";
        return nullptr;
    }
    auto disc = std::make_unique<Disc>(cdio);
    if (reading == Reading::verified && !disc->startVerifiedReading())
        return nullptr;

    auto reader = fromDisc(std::move(disc));
    if (reader == nullptr && problem != nullptr)
        *problem = "the cue sheet lists no audio track";
    return reader;
}

std::unique_ptr<AudioCdDiscReader> AudioCdDiscReader::fromDisc(std::unique_ptr<Disc> disc)
{
    std::unique_ptr<AudioCdDiscReader> reader(new AudioCdDiscReader(std::move(disc)));
    if (reader->tracks.empty())
        return nullptr;
    return reader;
}

AudioCdDiscReader::AudioCdDiscReader(std::unique_ptr<Disc> openedDisc)
    : juce::AudioFormatReader(nullptr, "Audio CD"), disc(std::move(openedDisc))
{
    sampleRate = 44100.0;
    bitsPerSample = 16;
    numChannels = 2;
    usesFloatingPointData = false;

    listTracks();
    lengthInSamples = tracks.empty() ? 0 : tracks.back().endSample;

    if (auto* text = cdio_get_cdtext(disc->cdio))
        if (const char* discTitle = cdtext_get_const(text, CDTEXT_FIELD_TITLE, 0))
            title = juce::String::fromUTF8(discTitle).trim();
}

AudioCdDiscReader::~AudioCdDiscReader() = default;

void AudioCdDiscReader::listTracks()
{
    const track_t first = cdio_get_first_track_num(disc->cdio);
    const track_t count = cdio_get_num_tracks(disc->cdio);
    if (first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK)
        return;

    std::vector<CdTrackSpans::Entry> entries;
    for (int number = first; number < first + count; ++number)
    {
        const auto track = (track_t)number;
        const auto sector = [](lsn_t lsn)
        { return lsn == CDIO_INVALID_LSN ? (juce::int64)-1 : (juce::int64)lsn; };
        entries.push_back({number, sector(cdio_get_track_lsn(disc->cdio, track)),
                           sector(cdio_get_track_last_lsn(disc->cdio, track)),
                           cdio_get_track_format(disc->cdio, track) == TRACK_FORMAT_AUDIO});
    }

    const lsn_t leadOut = cdio_get_track_lsn(disc->cdio, CDIO_CDROM_LEADOUT_TRACK);
    // Images can't tell sessions (their tracks lie end to end in the data file); drives can.
    lsn_t lastSessionStart = 0;
    if (cdio_get_last_session(disc->cdio, &lastSessionStart) != DRIVER_OP_SUCCESS)
        lastSessionStart = 0;

    for (const auto& span : CdTrackSpans::audioSpans(
             entries, leadOut == CDIO_INVALID_LSN ? -1 : (juce::int64)leadOut, (juce::int64)lastSessionStart))
        tracks.push_back(
            {span.number, span.firstSector * samplesPerSector, span.endSector * samplesPerSector});
}

const AudioCdDiscReader::Track* AudioCdDiscReader::trackHolding(juce::int64 sector) const
{
    const auto sample = sector * samplesPerSector;
    for (const auto& track : tracks)
        if (sample >= track.startSample && sample < track.endSample)
            return &track;
    return nullptr;
}

bool AudioCdDiscReader::readSamples(int* const* destChannels, int numDestChannels,
                                    int startOffsetInDestBuffer, juce::int64 startSampleInFile,
                                    int numSamples)
{
    clearSamplesBeyondAvailableLength(destChannels, numDestChannels, startOffsetInDestBuffer,
                                      startSampleInFile, numSamples, lengthInSamples);

    while (numSamples > 0)
    {
        const auto sector = startSampleInFile / samplesPerSector;
        if (!loadChunkHolding(sector))
            return false;

        const auto first = (int)(startSampleInFile - chunkFirstSector * samplesPerSector);
        const int count = juce::jmin(numSamples, chunkSectors * samplesPerSector - first);
        for (int channel = 0; channel < juce::jmin(2, numDestChannels); ++channel)
            if (auto* dest = destChannels[channel])
                for (int i = 0; i < count; ++i)
                    // The framework's integer samples are left-justified 32-bit values.
                    dest[startOffsetInDestBuffer + i] = chunk[(size_t)(2 * (first + i) + channel)] * 65536;

        startSampleInFile += count;
        startOffsetInDestBuffer += count;
        numSamples -= count;
    }
    return true;
}

bool AudioCdDiscReader::loadChunkHolding(juce::int64 sector)
{
    if (chunkFirstSector >= 0 && sector >= chunkFirstSector && sector < chunkFirstSector + chunkSectors)
        return true;

    const auto* track = trackHolding(sector);
    if (track == nullptr)
    {
        // Between audio tracks: nothing to read, silence to give.
        chunk.assign((size_t)samplesPerSectorAndChannel, 0);
        chunkFirstSector = sector;
        chunkSectors = 1;
        return true;
    }

    // Never past the track's end: what follows may be a data track that can't be read as audio.
    const auto count =
        (int)juce::jmin<juce::int64>(sectorsPerChunk, track->endSample / samplesPerSector - sector);
    if (!readSectors(sector, count))
    {
        chunkFirstSector = -1;
        chunkSectors = 0;
        return false;
    }
    chunkFirstSector = sector;
    chunkSectors = count;
    return true;
}

bool AudioCdDiscReader::readSectors(juce::int64 firstSector, int count)
{
    chunk.assign((size_t)(count * samplesPerSectorAndChannel), 0);

    if (disc->paranoia == nullptr)
    {
        if (cdio_read_audio_sectors(disc->cdio, chunk.data(), (lsn_t)firstSector, (uint32_t)count) !=
            DRIVER_OP_SUCCESS)
            return false;
        // Audio sectors hold little-endian samples.
        for (auto& sample : chunk)
            sample = (juce::int16)juce::ByteOrder::swapIfBigEndian((juce::uint16)sample);
        return true;
    }

    // cd-paranoia reads on from where it stands; it hands out samples in the machine's order.
    if (disc->paranoiaNextSector != firstSector)
        cdio_paranoia_seek(disc->paranoia, (int32_t)firstSector, SEEK_SET);
    disc->paranoiaNextSector = -1;
    for (int i = 0; i < count; ++i)
    {
        sectorSkipped = false;
        const int16_t* samples =
            cdio_paranoia_read_limited(disc->paranoia, noteParanoiaEvent, verifiedReadRetries);
        if (samples == nullptr || sectorSkipped)
            return false;
        std::memcpy(chunk.data() + (size_t)i * samplesPerSectorAndChannel, samples,
                    sizeof(juce::int16) * (size_t)samplesPerSectorAndChannel);
    }
    disc->paranoiaNextSector = firstSector + count;
    return true;
}
