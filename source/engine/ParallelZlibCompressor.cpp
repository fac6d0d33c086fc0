#include "engine/ParallelZlibCompressor.h"

#include <zlib.h>

namespace
{
// A deflate stream refers back at most this far.
const size_t windowSize = 32768;

/** The two bytes that open a zlib stream of the default window, marked with the level's class
    as zlib marks it. */
juce::uint16 streamHeader(int level)
{
    const unsigned levelClass = level < 2 ? 0u : level < 6 ? 1u : level == 6 ? 2u : 3u;
    unsigned header = (0x78u << 8) | (levelClass << 6);
    header += 31u - header % 31u;
    return (juce::uint16)header;
}
} // namespace

struct ParallelZlibCompressor::Piece
{
    size_t begin = 0, end = 0;
    bool last = false;
    std::vector<juce::uint8> output;
    bool deflated = false;
    juce::WaitableEvent done{true};
};

ParallelZlibCompressor::ParallelZlibCompressor(const juce::uint8* dataToCompress, juce::OutputStream& output,
                                               int compressionLevel)
    : data(dataToCompress), out(output), level(compressionLevel),
      checksum((juce::uint32)adler32(0, nullptr, 0)), pool(juce::jmax(1, juce::SystemStats::getNumCpus()))
{
    const auto header = streamHeader(level);
    ok = out.writeByte((char)(header >> 8)) && out.writeByte((char)(header & 0xff));
}

ParallelZlibCompressor::~ParallelZlibCompressor()
{
    // The pieces being deflated read the data and write into the pieces.
    pool.removeAllJobs(true, -1);
}

bool ParallelZlibCompressor::grow(size_t available)
{
    while (available - started >= pieceSize)
        start(started + pieceSize, false);
    return writeDone(false);
}

bool ParallelZlibCompressor::finish(size_t total)
{
    while (total - started > pieceSize)
        start(started + pieceSize, false);
    start(total, true);
    if (!writeDone(true))
        return false;
    const auto sum = juce::ByteOrder::swapIfLittleEndian(checksum);
    return ok && out.write(&sum, sizeof(sum));
}

void ParallelZlibCompressor::start(size_t end, bool last)
{
    auto piece = std::make_unique<Piece>();
    piece->begin = started;
    piece->end = end;
    piece->last = last;
    // The checksum goes over the data in order, at memory speed, here rather than in the pieces.
    checksum = (juce::uint32)adler32_z(checksum, data + started, end - started);
    started = end;

    auto* job = piece.get();
    pieces.push_back(std::move(piece));
    pool.addJob(
        [this, job]
        {
            deflatePiece(data, *job, level);
            job->done.signal();
        });
}

bool ParallelZlibCompressor::writeDone(bool wait)
{
    for (; written < pieces.size(); ++written)
    {
        auto& piece = *pieces[written];
        if (!piece.done.wait(wait ? -1 : 0))
            break;
        ok = ok && piece.deflated && out.write(piece.output.data(), piece.output.size());
        // What is written is no longer needed.
        std::vector<juce::uint8>().swap(piece.output);
    }
    return ok;
}

void ParallelZlibCompressor::deflatePiece(const juce::uint8* data, Piece& piece, int level)
{
    z_stream stream{};
    // Raw deflate: the stream's header and checksum are written once, around all the pieces.
    if (deflateInit2(&stream, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return;
    const size_t primed = juce::jmin(windowSize, piece.begin);
    bool fine =
        primed == 0 || deflateSetDictionary(&stream, data + piece.begin - primed, (uInt)primed) == Z_OK;

    const size_t size = piece.end - piece.begin;
    // Room for the worst case and the empty block that ends a piece on a byte boundary.
    piece.output.resize(deflateBound(&stream, (uLong)size) + 16);
    stream.next_in = const_cast<Bytef*>(data + piece.begin);
    stream.avail_in = (uInt)size;
    stream.next_out = piece.output.data();
    stream.avail_out = (uInt)piece.output.size();
    if (fine)
    {
        const int result = deflate(&stream, piece.last ? Z_FINISH : Z_SYNC_FLUSH);
        fine = piece.last ? result == Z_STREAM_END
                          : result == Z_OK && stream.avail_in == 0 && stream.avail_out > 0;
    }
    piece.output.resize(stream.total_out);
    deflateEnd(&stream);
    piece.deflated = fine;
}
