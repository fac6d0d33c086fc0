#include "harness/CdImages.h"

#include "harness/AudioFixtures.h"
#include "platform/AudioCdDiscs.h"

#include <cstdlib>

namespace
{
const int framesPerSector = 588;
const int bytesPerFrame = 4;
const int sectorsPerSecond = 75;

juce::String cueTime(juce::int64 sector)
{
    const auto two = [](juce::int64 value) { return juce::String(value).paddedLeft('0', 2); };
    return two(sector / (sectorsPerSecond * 60)) + ":" + two(sector / sectorsPerSecond % 60) + ":" +
           two(sector % sectorsPerSecond);
}
} // namespace

juce::int64 CdImages::trackFrames(const Track& track)
{
    const auto frames = (juce::int64)std::llround(track.seconds * 44100.0);
    return (frames + framesPerSector - 1) / framesPerSector * framesPerSector;
}

juce::File CdImages::write(const juce::File& folder, const juce::String& name,
                           const std::vector<Track>& tracks, const juce::String& title)
{
    folder.createDirectory();
    const auto sheet = folder.getChildFile(name + ".cue");
    const auto data = folder.getChildFile(name + ".bin");
    juce::MemoryBlock samples;
    juce::String cue;
    if (title.isNotEmpty())
        cue << "TITLE \"" << title << "\"\n";
    cue << "FILE \"" << data.getFileName() << "\" BINARY\n";

    for (size_t i = 0; i < tracks.size(); ++i)
    {
        const auto raw = folder.getChildFile(name + "-track.raw");
        juce::StringArray command{"sox", "-n", "-r",     "44100", "-c", "2",   "-b",
                                  "16",  "-e", "signed", "-L",    "-t", "raw", raw.getFullPathName()};
        const auto seconds = juce::String(tracks[i].seconds);
        if (tracks[i].frequency > 0.0)
            command.addArray({"synth", seconds, "sine", juce::String(tracks[i].frequency)});
        else
            command.addArray({"trim", "0", seconds});
        if (!AudioFixtures::runTool(command))
            return {};

        juce::MemoryBlock track;
        raw.loadFileAsData(track);
        raw.deleteFile();
        track.setSize((size_t)(trackFrames(tracks[i]) * bytesPerFrame), true);

        cue << "  TRACK " << juce::String((int)i + 1).paddedLeft('0', 2) << " AUDIO\n"
            << "    INDEX 01 " << cueTime((juce::int64)samples.getSize() / bytesPerFrame / framesPerSector)
            << "\n";
        samples.append(track.getData(), track.getSize());
    }

    if (!data.replaceWithData(samples.getData(), samples.getSize()) || !sheet.replaceWithText(cue))
        return {};
    return sheet;
}

std::vector<juce::int16> CdImages::rawSamples(const juce::File& dataFile, juce::int64 firstFrame,
                                              int numFrames)
{
    std::vector<juce::int16> samples((size_t)numFrames * 2, 0);
    juce::FileInputStream in(dataFile);
    if (in.openedOk() && in.setPosition(firstFrame * bytesPerFrame))
        for (auto& sample : samples)
            sample = in.readShort(); // little-endian, as the data file holds them
    return samples;
}

CdImages::ScopedFolder::ScopedFolder(const juce::File& folder)
{
    if (const char* value = std::getenv(AudioCdDiscs::imagesVariable))
    {
        previous = value;
        hadPrevious = true;
    }
    setenv(AudioCdDiscs::imagesVariable, folder.getFullPathName().toRawUTF8(), 1);
}

CdImages::ScopedFolder::~ScopedFolder()
{
    if (hadPrevious)
        setenv(AudioCdDiscs::imagesVariable, previous.toRawUTF8(), 1);
    else
        unsetenv(AudioCdDiscs::imagesVariable);
}
