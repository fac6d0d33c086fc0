// Course creation from an hour of speech-like stereo audio (the audio check, the course text and,
// behind the modal progress window, the waveform file), against the fastest bare decode of the
// same file by a Debian tool in the same run: `sox FILE -n` for WAV, FLAC and Ogg Vorbis,
// `mpg123 -q -t` for MP3. The goal is at most 1.3 times the peer for every format.
//
// Two more figures show where the time goes: one pass of qZ's own reader over the file, and the
// level-9 compression of the waveform stream alone, by the compressor creation uses (its pieces
// deflated side by side on every core) and by a single zlib stream on one core.
#include "engine/DocumentManager.h"
#include "engine/ParallelZlibCompressor.h"
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
using SpeechRecording::Timing;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

/** Every sample through the reader the format manager gives for the file, block by block. */
Timing timeReaderPass(const juce::File& audio)
{
    return SpeechRecording::timeOwn(
        [&audio]
        {
            std::unique_ptr<juce::AudioFormatReader> reader(formatManager->createReaderFor(audio));
            if (reader == nullptr)
                return false;
            juce::AudioBuffer<float> block((int)reader->numChannels, blockSize);
            for (juce::int64 position = 0; position < reader->lengthInSamples; position += blockSize)
            {
                const int count = (int)juce::jmin((juce::int64)blockSize, reader->lengthInSamples - position);
                reader->read(&block, 0, count, position, true, true);
            }
            return true;
        });
}

Timing timeCreation(const juce::File& audio)
{
    // Each creation starts from no working set, as the first course of a learner would.
    DocumentManager::TempDir().deleteRecursively();
    return SpeechRecording::timeOwn([&audio] { return DocumentManager::createCourseFiles(audio); });
}

struct CompressionTimes
{
    double parallel = -1.0, single = -1.0;
};

/** The waveform stream of the course just made, compressed once more as creation does, and by a
    single zlib stream. */
CompressionTimes timeCompressionAlone()
{
    const auto waveform = DocumentManager::getCourseFile(DocumentManager::waveformFile);
    juce::FileInputStream file(waveform);
    juce::GZIPDecompressorInputStream zlib(&file, false, juce::GZIPDecompressorInputStream::zlibFormat);
    juce::MemoryBlock stream;
    zlib.readIntoMemoryBlock(stream);

    CompressionTimes times;
    auto start = Clock::now();
    {
        juce::MemoryOutputStream out;
        ParallelZlibCompressor compressor(static_cast<const juce::uint8*>(stream.getData()), out, 9);
        compressor.finish(stream.getSize());
    }
    times.parallel = secondsSince(start);
    start = Clock::now();
    {
        juce::MemoryOutputStream out;
        juce::GZIPCompressorOutputStream compressor(out, 9);
        compressor.write(stream.getData(), stream.getSize());
        compressor.flush();
    }
    times.single = secondsSince(start);
    return times;
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
    Timing creation;
    Timing peerDecode;
    Timing readerPass;
    CompressionTimes compression;
};

Result measure(const juce::String& label, const juce::File& audio)
{
    Result r;
    r.label = label;
    r.peer = peerFor(audio)[0];
    for (int i = 0; i < runs; ++i)
    {
        r.peerDecode = r.peerDecode.fastest(SpeechRecording::timeTool(peerFor(audio)));
        r.creation = r.creation.fastest(timeCreation(audio));
    }
    r.compression = timeCompressionAlone();
    r.readerPass = timeReaderPass(audio);
    return r;
}

double ratio(double figure, double peer)
{
    return peer > 0.0 ? figure / peer : 0.0;
}

void print(const juce::Array<Result>& results)
{
    std::printf(
        "\nCourse creation of a 60-minute 44.1 kHz stereo recording (goal: creation / peer <= 1.3)\n");
    std::printf(
        "  (wall clock; processor time in brackets: creation reads WAV on every core, decodes the other "
        "formats on one thread, and compresses on all)\n");
    std::printf("  %-5s %20s %26s %14s %20s %24s\n", "", "creation", "peer's bare decode", "ratio",
                "qZ's reader alone", "level 9: pieces / single");
    for (const auto& r : results)
        std::printf("  %-5s %8.3f s (%6.3f s) %7s %7.3f s (%6.3f s) %5.2f (%4.2f) %8.3f s (%6.3f s) %9.3f s "
                    "/ %7.3f s%s\n",
                    r.label.toRawUTF8(), r.creation.wall, r.creation.cpu, r.peer.toRawUTF8(),
                    r.peerDecode.wall, r.peerDecode.cpu, ratio(r.creation.wall, r.peerDecode.wall),
                    ratio(r.creation.cpu, r.peerDecode.cpu), r.readerPass.wall, r.readerPass.cpu,
                    r.compression.parallel, r.compression.single,
                    r.creation.succeeded() ? "" : "   (creation failed)");
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
