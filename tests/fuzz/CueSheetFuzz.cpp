// A cue sheet of a ripped audio CD from elsewhere, beside its data file in the images folder: our
// check, libcdio's reader behind it, the placeholder files the chooser shows for the disc, and the
// tracks read through as the extraction reads them.
#include "FuzzSupport.h"

#include "platform/AudioCdDiscReader.h"
#include "platform/AudioCdDiscs.h"

#include <cstdlib>

namespace
{
FuzzEnvironment* environment = nullptr;
juce::File sheet;
constexpr int sectors = 150; // two seconds
constexpr int bytesPerSector = 2352;

// Two seconds of a tone as raw CD samples: the data file every sheet names.
void writeDataFile(const juce::File& data)
{
    juce::MemoryOutputStream samples;
    for (int frame = 0; frame < sectors * AudioCdDiscReader::samplesPerSector; ++frame)
    {
        const auto value = (short)(8000.0 * std::sin(0.06 * frame));
        samples.writeShort(value);
        samples.writeShort((short)-value);
    }
    fuzzCheck(samples.getDataSize() == (size_t)sectors * bytesPerSector, "whole sectors");
    fuzzCheck(data.replaceWithData(samples.getData(), samples.getDataSize()), "the data file is written");
}

// Sheets as ripping tools write them, naming the data file "disc.bin".
void writeSeeds(FuzzEnvironment&)
{
    FuzzEnvironment::writeSeed("one-track.cue",
                               "FILE \"disc.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n");
    FuzzEnvironment::writeSeed("two-tracks.cue",
                               "REM GENRE Speech\nPERFORMER \"Teacher\"\nTITLE \"Lesson\"\n"
                               "FILE \"disc.bin\" BINARY\n  TRACK 01 AUDIO\n    TITLE \"One\"\n"
                               "    INDEX 01 00:00:00\n  TRACK 02 AUDIO\n    TITLE \"Two\"\n"
                               "    PREGAP 00:00:10\n    INDEX 00 00:00:60\n"
                               "    INDEX 01 00:01:00\n");
    FuzzEnvironment::writeSeed("mixed.cue", "CATALOG 0000000000000\r\nFILE disc.bin BINARY\r\n"
                                            "  TRACK 01 MODE1/2352\r\n    INDEX 01 00:00:00\r\n"
                                            "  TRACK 02 AUDIO\r\n    FLAGS DCP\r\n    ISRC ABCDE1234567\r\n"
                                            "    INDEX 01 00:00:40\r\n  TRACK 03 AUDIO\r\n"
                                            "    INDEX 01 00:01:50\r\n    POSTGAP 00:00:05\r\n");
}

void readThrough(juce::AudioFormatReader& reader)
{
    juce::AudioBuffer<float> block(2, 4096);
    const auto length = juce::jmin<juce::int64>(reader.lengthInSamples, 4 * sectors * 588);
    for (juce::int64 position = 0; position < length; position += block.getNumSamples())
        reader.read(&block, 0, block.getNumSamples(), position, true, true);
    for (const auto position : {length / 2, reader.lengthInSamples - 10, reader.lengthInSamples + 10})
        reader.read(&block, 0, block.getNumSamples(), position, true, true);
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    environment = &FuzzEnvironment::start(writeSeeds);
    const auto images = environment->home().getChildFile("images");
    images.createDirectory();
    sheet = images.getChildFile("disc.cue");
    writeDataFile(images.getChildFile("disc.bin"));
    setenv(AudioCdDiscs::imagesVariable, images.getFullPathName().toRawUTF8(), 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    sheet.replaceWithData(data, size);

    juce::String problem;
    if (auto reader = AudioCdDiscReader::openImage(sheet, AudioCdDiscReader::Reading::direct, &problem))
    {
        fuzzCheck(!reader->getTracks().empty(), "an opened image has an audio track");
        for (const auto& track : reader->getTracks())
            fuzzCheck(track.startSample >= 0 && track.startSample <= track.endSample &&
                          track.endSample <= reader->lengthInSamples,
                      "tracks lie within the disc");
        readThrough(*reader);
    }

    // The road of the file chooser: a folder of placeholders per disc, a track opened from one.
    for (const auto& disc : AudioCdDiscs::refreshPlaceholders())
        if (auto reader = AudioCdDiscs::openDisc(disc.folder))
            fuzzCheck(reader->getTracks().size() == (size_t)disc.numTracks, "one placeholder a track");
    return 0;
}
