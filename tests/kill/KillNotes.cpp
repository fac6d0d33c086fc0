#include "kill/KillNotes.h"

#include "workspace/Main.h"

#include <cmath>

namespace
{
const int rate = 44100;
// Retellings of seven lengths, a tenth of a second apart: a version and the next always differ.
const int retellingLengths = 7;
const int retellingStep = rate / 10;

juce::File notesFile()
{
    return juce::File::getSpecialLocation(juce::File::userHomeDirectory).getChildFile("kill-courses.txt");
}

int retellingSamples(int version)
{
    return (version % retellingLengths + 1) * retellingStep;
}
} // namespace

void KillNotes::addCourse(const juce::String& stem)
{
    notesFile().appendText(stem + "\n");
}

juce::StringArray KillNotes::courses()
{
    juce::StringArray stems;
    stems.addLines(notesFile().loadFileAsString());
    stems.removeEmptyStrings();
    return stems;
}

bool KillNotes::keepOriginal(const juce::File& file)
{
    return file.copyFileTo(original(file.getFileName()));
}

juce::File KillNotes::original(const juce::String& fileName)
{
    const auto folder =
        juce::File::getSpecialLocation(juce::File::userHomeDirectory).getChildFile("kill-originals");
    folder.createDirectory();
    return folder.getChildFile(fileName);
}

juce::String KillNotes::versionText(int version)
{
    return "version " + juce::String(version);
}

int KillNotes::versionOfText(const juce::String& text)
{
    if (!text.startsWith("version ") || !text.substring(8).containsOnly("0123456789"))
        return -1;
    return text.substring(8).getIntValue();
}

juce::Colour KillNotes::versionColour(int version)
{
    return juce::Colour(0xff000000u | (juce::uint32)(version & 0xffffff));
}

bool KillNotes::writeRetelling(const juce::File& file, int version)
{
    if (!file.deleteFile())
        return false;
    auto stream = std::make_unique<juce::FileOutputStream>(file);
    if (stream->failedToOpen())
        return false;
    std::unique_ptr<juce::AudioFormatWriter> writer(
        juce::OggVorbisAudioFormat().createWriterFor(stream.get(), rate, 1, 16, {}, 5));
    if (writer == nullptr)
        return false;
    stream.release();
    juce::AudioBuffer<float> tone(1, retellingSamples(version));
    for (int i = 0; i < tone.getNumSamples(); ++i)
        tone.setSample(0, i, 0.5f * std::sin(juce::MathConstants<float>::twoPi * 440.0f * (float)i / rate));
    return writer->writeFromAudioSampleBuffer(tone, 0, tone.getNumSamples());
}

bool KillNotes::isRetellingVersion(const juce::File& file, int version)
{
    std::unique_ptr<juce::AudioFormatReader> reader(formatManager->createReaderFor(file));
    if (reader == nullptr || reader->lengthInSamples != retellingSamples(version))
        return false;
    // Read to its end: a cut file would fail before.
    juce::AudioBuffer<float> samples(1, (int)reader->lengthInSamples);
    return reader->read(&samples, 0, samples.getNumSamples(), 0, true, false);
}

int KillNotes::lastSavedVersion(const juce::File& progressFile)
{
    juce::StringArray lines;
    lines.addLines(progressFile.loadFileAsString());
    int last = 0;
    for (const auto& line : lines)
        if (line.startsWith("saved "))
            last = line.substring(6).getIntValue();
    return last;
}

bool KillNotes::reportedDone(const juce::File& progressFile)
{
    juce::StringArray lines;
    lines.addLines(progressFile.loadFileAsString());
    return lines.contains("done");
}
