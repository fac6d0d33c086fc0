// Course creation from an hour of speech-like stereo audio (the audio check, the course text and,
// behind the modal progress window, the waveform file), against the fastest bare decode of the
// same file by a Debian tool in the same run: `sox FILE -n` for WAV, FLAC and Ogg Vorbis,
// `mpg123 -q -t` for MP3. The goal is at most 1.3 times the peer for every format.
//
// Two more figures show where the time goes: one pass of qZ's own reader over the file, and the
// level-9 zlib compression of the waveform stream alone (the file's bytes are fixed, and zlib
// compresses one stream on one core).
#include "engine/DocumentManager.h"
#include "support/BenchEnvironment.h"
#include "support/SpeechRecording.h"
#include "workspace/Main.h"

#include <chrono>
#include <cstdio>

namespace
{
const double recordingSeconds = 60.0 * 60.0;
const int blockSize = 65536;
// Creation and the peers run this often, in turns; the fastest run of each counts.
const int runs = 3;

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

/** Every sample through the reader the format manager gives for the file, block by block. */
double timeReaderPass(const juce::File& audio)
{
    const auto start = Clock::now();
    std::unique_ptr<juce::AudioFormatReader> reader(formatManager->createReaderFor(audio));
    if (reader == nullptr)
        return -1.0;
    juce::AudioBuffer<float> block((int)reader->numChannels, blockSize);
    for (juce::int64 position = 0; position < reader->lengthInSamples; position += blockSize)
    {
        const int count = (int)juce::jmin((juce::int64)blockSize, reader->lengthInSamples - position);
        reader->read(&block, 0, count, position, true, true);
    }
    return secondsSince(start);
}

double timeCreation(const juce::File& audio, bool& created)
{
    // Each creation starts from no working set, as the first course of a learner would.
    DocumentManager::TempDir().deleteRecursively();
    const auto start = Clock::now();
    created = DocumentManager::createCourseFiles(audio);
    return secondsSince(start);
}

/** The waveform stream of the course just made, compressed once more as creation does. */
double timeCompressionAlone()
{
    const auto waveform = DocumentManager::getCourseFile(DocumentManager::waveformFile);
    juce::FileInputStream file(waveform);
    juce::GZIPDecompressorInputStream zlib(&file, false, juce::GZIPDecompressorInputStream::zlibFormat);
    juce::MemoryBlock stream;
    zlib.readIntoMemoryBlock(stream);

    const auto start = Clock::now();
    juce::MemoryOutputStream out;
    {
        juce::GZIPCompressorOutputStream compressor(out, 9);
        compressor.write(stream.getData(), stream.getSize());
        compressor.flush();
    }
    return secondsSince(start);
}

juce::StringArray peerFor(const juce::File& audio)
{
    if (audio.hasFileExtension("mp3"))
        return {"mpg123", "-q", "-t", audio.getFullPathName()};
    return {"sox", audio.getFullPathName(), "-n"};
}

struct Result
{
    juce::String label;
    juce::String peer;
    double creation = -1.0;
    double peerSeconds = -1.0;
    double readerPass = -1.0;
    double compression = -1.0;
    bool created = true;
};

double fastest(double a, double b)
{
    return a < 0.0 ? b : (b < 0.0 ? a : juce::jmin(a, b));
}

Result measure(const juce::String& label, const juce::File& audio)
{
    Result r{label, peerFor(audio)[0]};
    for (int i = 0; i < runs; ++i)
    {
        r.peerSeconds = fastest(r.peerSeconds, SpeechRecording::timeTool(peerFor(audio)));
        bool created = false;
        r.creation = fastest(r.creation, timeCreation(audio, created));
        r.created = r.created && created;
    }
    r.compression = timeCompressionAlone();
    r.readerPass = timeReaderPass(audio);
    return r;
}

void print(const juce::Array<Result>& results)
{
    std::printf(
        "\nCourse creation of a 60-minute 44.1 kHz stereo recording (goal: creation / peer <= 1.3)\n");
    std::printf("  %-8s %10s %18s %8s %14s %16s\n", "format", "creation", "peer's decode", "ratio",
                "qZ's reader", "zlib -9 alone");
    for (const auto& r : results)
        std::printf("  %-8s %8.3f s %8s %7.3f s %8.2f %12.3f s %14.3f s%s\n", r.label.toRawUTF8(), r.creation,
                    r.peer.toRawUTF8(), r.peerSeconds, r.peerSeconds > 0.0 ? r.creation / r.peerSeconds : 0.0,
                    r.readerPass, r.compression, r.created ? "" : "   (creation failed)");
}
} // namespace

int main(int argc, char** argv)
{
    // "--only EXT" measures one format.
    const juce::String only =
        argc > 2 && juce::String(argv[1]) == "--only" ? juce::String(argv[2]) : juce::String();

    BenchEnvironment environment;
    const auto inputs = environment.getHome().getChildFile("inputs");
    inputs.createDirectory();
    const auto wav = inputs.getChildFile("lecture.wav");

    std::printf("%s\n%s\n", SpeechRecording::firstLineOf({"sox", "--version"}).toRawUTF8(),
                SpeechRecording::firstLineOf({"mpg123", "--version"}).toRawUTF8());
    std::printf("Generating %.0f minutes of speech-like stereo audio as WAV, FLAC, Ogg Vorbis and MP3...\n",
                recordingSeconds / 60.0);
    std::fflush(stdout);
    if (!SpeechRecording::writeWav(wav, recordingSeconds, {}))
    {
        std::fprintf(stderr, "could not make the recording\n");
        return 1;
    }

    juce::Array<Result> results;
    for (const auto* extension : {"wav", "flac", "ogg", "mp3"})
    {
        if (only.isNotEmpty() && only != extension)
            continue;
        const auto audio = inputs.getChildFile(juce::String("lecture.") + extension);
        if (audio != wav && !SpeechRecording::encode(wav, audio))
        {
            std::fprintf(stderr, "could not encode the recording as %s\n", extension);
            return 1;
        }
        results.add(measure(juce::String(extension).toUpperCase(), audio));
        // The encodings are large; each goes once it has been measured.
        if (audio != wav)
            audio.deleteFile();
    }
    print(results);
    return 0;
}
