#pragma once

#include <juce_core/juce_core.h>

#include <memory>
#include <vector>

/** Compresses a block of memory that fills from its start into one zlib stream (RFC 1950), on
    every core. The data is cut into pieces that are deflated side by side, each primed with the
    32 KiB before it as its dictionary and ended on a byte boundary; the pieces follow each other
    between the stream's header and its checksum, so any zlib decoder reads them as one stream
    of the given level. Each further piece costs a few bytes against a single compressor, and
    data of one piece gives exactly a single compressor's bytes.

    The data must stay where it is, unchanged, until finish() returns. */
class ParallelZlibCompressor
{
public:
    static constexpr size_t pieceSize = 128 * 1024;

    ParallelZlibCompressor(const juce::uint8* data, juce::OutputStream& out, int level);
    ~ParallelZlibCompressor();

    /** The data is whole up to `available` bytes: starts the pieces it completes and writes the
        ones already done, in order. False once a write failed. */
    bool grow(size_t available);

    /** The data is `total` bytes in all: compresses the rest and writes it and the checksum.
        False when a piece or a write failed. */
    bool finish(size_t total);

private:
    struct Piece;

    void start(size_t end, bool last);
    bool writeDone(bool wait);
    static void deflatePiece(const juce::uint8* data, Piece& piece, int level);

    const juce::uint8* const data;
    juce::OutputStream& out;
    const int level;
    size_t started = 0;
    juce::uint32 checksum;
    bool ok = true;
    std::vector<std::unique_ptr<Piece>> pieces;
    size_t written = 0;
    juce::ThreadPool pool;

    JUCE_DECLARE_NON_COPYABLE(ParallelZlibCompressor)
};
