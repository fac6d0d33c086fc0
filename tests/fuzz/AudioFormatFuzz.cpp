// Audio files from elsewhere through the format manager's reader for one format (the framework's
// WAV, FLAC and Ogg Vorbis readers, our MP3 reader): opening, reading through, and seeking.
#include "FuzzSupport.h"

#include "workspace/Main.h"

#include <juce_audio_formats/juce_audio_formats.h>

#ifndef QZ_FUZZ_FORMAT
#error "QZ_FUZZ_FORMAT names the file extension of the format under test"
#endif

namespace
{
juce::AudioFormat* formatUnderTest()
{
    auto* format = formatManager->findFormatForFileExtension(QZ_FUZZ_FORMAT);
    fuzzCheck(format != nullptr, "the format under test is registered");
    return format;
}

// A short tone in the framework's own writer for the format, where it has one.
void writeSeeds(FuzzEnvironment&)
{
    auto* format = formatUnderTest();
    for (const int channels : {1, 2})
    {
        juce::MemoryBlock bytes;
        {
            auto* stream = new juce::MemoryOutputStream(bytes, false);
            std::unique_ptr<juce::AudioFormatWriter> writer(
                format->createWriterFor(stream, 22050.0, (unsigned int)channels, 16, {}, 0));
            if (writer == nullptr)
            {
                delete stream;
                return; // no writer (MP3): the seeds come from the fuzz script's encoder
            }
            juce::AudioBuffer<float> tone(channels, 2205);
            for (int c = 0; c < channels; ++c)
                for (int i = 0; i < tone.getNumSamples(); ++i)
                    tone.setSample(c, i, 0.5f * std::sin(0.1f * (float)i * (float)(c + 1)));
            writer->writeFromAudioSampleBuffer(tone, 0, tone.getNumSamples());
        }
        FuzzEnvironment::writeSeed("tone-" + juce::String(channels) + "." QZ_FUZZ_FORMAT, bytes.getData(),
                                   bytes.getSize());
    }
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzEnvironment::start(writeSeeds);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    auto* stream = new juce::MemoryInputStream(data, size, false);
    std::unique_ptr<juce::AudioFormatReader> reader(formatUnderTest()->createReaderFor(stream, true));
    if (reader == nullptr)
        return 0;

    // What a course relies on: a sane rate and channel count, and reads that end.
    const int channels = (int)juce::jlimit(0u, 8u, reader->numChannels);
    if (channels == 0 || reader->lengthInSamples <= 0)
        return 0;
    juce::AudioBuffer<float> block(channels, 4096);
    const auto length = juce::jmin<juce::int64>(reader->lengthInSamples, 1 << 20);
    for (juce::int64 position = 0; position < length; position += block.getNumSamples())
        reader->read(&block, 0, block.getNumSamples(), position, true, channels > 1);
    // Seeks back, to the middle and past the end, as a player does.
    for (const auto position : {length / 2, juce::int64(0), reader->lengthInSamples + 10, juce::int64(-5)})
        reader->read(&block, 0, block.getNumSamples(), position, true, channels > 1);
    return 0;
}
