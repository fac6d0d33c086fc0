#include "platform/Mp3AudioFormat.h"

#include "platform/Mp3AudioFormatReader.h"

Mp3AudioFormat::Mp3AudioFormat() : juce::AudioFormat("MP3 file", ".mp3") {}

Mp3AudioFormat::~Mp3AudioFormat() = default;

juce::Array<int> Mp3AudioFormat::getPossibleSampleRates()
{
    return {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};
}

juce::Array<int> Mp3AudioFormat::getPossibleBitDepths()
{
    return {16, 24, 32};
}

juce::AudioFormatReader* Mp3AudioFormat::createReaderFor(juce::InputStream* sourceStream,
                                                         bool deleteStreamIfOpeningFails)
{
    auto reader = std::make_unique<Mp3AudioFormatReader>(sourceStream);

    if (reader->isOpen())
        return reader.release();

    if (!deleteStreamIfOpeningFails)
        reader->input = nullptr;

    return nullptr;
}

juce::AudioFormatWriter* Mp3AudioFormat::createWriterFor(juce::OutputStream*, double, unsigned int, int,
                                                         const juce::StringPairArray&, int)
{
    return nullptr;
}
