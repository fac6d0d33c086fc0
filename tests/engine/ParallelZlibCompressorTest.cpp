// The compressor that deflates the pieces of one zlib stream side by side: what any zlib decoder
// reads back, how the pieces meet, and what a failing output makes of it.
#include "engine/ParallelZlibCompressor.h"

#include <gtest/gtest.h>

#include <zlib.h>

#include <cstring>

namespace
{
/** Bytes that compress somewhat, as waveform levels do: a wandering value with noise. */
juce::MemoryBlock levelsLike(size_t size)
{
    juce::MemoryBlock bytes(size);
    juce::Random random(11);
    auto* out = static_cast<juce::uint8*>(bytes.getData());
    for (size_t i = 0; i < size; ++i)
        out[i] = (juce::uint8)(64.0 * std::sin((double)i / 5000.0) + random.nextInt(12));
    return bytes;
}

juce::MemoryBlock singleCompressor(const juce::MemoryBlock& data)
{
    juce::MemoryOutputStream out;
    {
        juce::GZIPCompressorOutputStream zlib(out, 9);
        zlib.write(data.getData(), data.getSize());
        zlib.flush();
    }
    return out.getMemoryBlock();
}

/** Compresses in steps of `step` bytes, as a reading thread hands its data over. */
juce::MemoryBlock compressInSteps(const juce::MemoryBlock& data, size_t step, bool* finished = nullptr)
{
    juce::MemoryOutputStream out;
    {
        ParallelZlibCompressor zlib(static_cast<const juce::uint8*>(data.getData()), out, 9);
        for (size_t available = 0; available < data.getSize(); available += step)
            zlib.grow(available);
        const bool done = zlib.finish(data.getSize());
        if (finished != nullptr)
            *finished = done;
    }
    return out.getMemoryBlock();
}

juce::MemoryBlock inflated(const juce::MemoryBlock& compressed)
{
    juce::MemoryInputStream in(compressed, false);
    juce::GZIPDecompressorInputStream zlib(&in, false, juce::GZIPDecompressorInputStream::zlibFormat);
    juce::MemoryBlock bytes;
    zlib.readIntoMemoryBlock(bytes);
    return bytes;
}

/** Equal bytes; the framework's own comparison hands empty blocks' null data to memcmp. */
bool sameBytes(const juce::MemoryBlock& a, const juce::MemoryBlock& b)
{
    return a.getSize() == b.getSize() &&
           (a.getSize() == 0 || std::memcmp(a.getData(), b.getData(), a.getSize()) == 0);
}

/** zlib's own one-call decoder, which checks the header and the checksum. */
bool zlibAccepts(const juce::MemoryBlock& compressed, size_t size)
{
    std::vector<Bytef> out(size + 1);
    uLongf outSize = (uLongf)out.size();
    return uncompress(out.data(), &outSize, static_cast<const Bytef*>(compressed.getData()),
                      (uLong)compressed.getSize()) == Z_OK &&
           outSize == size;
}

/** An output that takes only so many bytes. */
struct FullDisk : juce::OutputStream
{
    explicit FullDisk(size_t bytesOfRoom) : room(bytesOfRoom) {}
    void flush() override {}
    bool setPosition(juce::int64) override { return false; }
    juce::int64 getPosition() override { return (juce::int64)taken; }
    bool write(const void*, size_t bytes) override
    {
        if (taken + bytes > room)
            return false;
        taken += bytes;
        return true;
    }
    size_t room, taken = 0;
};
} // namespace

TEST(ParallelZlibCompressor, GivesOneStreamThatDecodesToTheData)
{
    const size_t piece = ParallelZlibCompressor::pieceSize;
    struct Case
    {
        size_t size, step;
    };
    const Case cases[] = {{0, 1},
                          {1, 1},
                          {piece - 1, 4096},
                          {piece, piece},
                          {piece + 1, 1000},
                          {3 * piece, 7777},
                          {10 * piece + 52, 40000}};
    for (const auto& c : cases)
    {
        const auto data = levelsLike(c.size);
        bool finished = false;
        const auto compressed = compressInSteps(data, c.step, &finished);
        EXPECT_TRUE(finished) << c.size;
        EXPECT_TRUE(sameBytes(inflated(compressed), data)) << c.size;
        EXPECT_TRUE(zlibAccepts(compressed, c.size)) << c.size << ": header or checksum wrong";
        ASSERT_GE(compressed.getSize(), 2u);
        // Marked as maximum compression, as zlib marks its level 9.
        EXPECT_EQ((juce::uint8)compressed[0], 0x78);
        EXPECT_EQ((juce::uint8)compressed[1], 0xda);
    }
}

TEST(ParallelZlibCompressor, OnePieceIsASingleCompressorsStreamAndMorePiecesCostLittle)
{
    const auto small = levelsLike(ParallelZlibCompressor::pieceSize);
    EXPECT_TRUE(sameBytes(compressInSteps(small, 5000), singleCompressor(small)));

    // Each piece starts from the 32 KiB before it: the stream stays within a percent.
    const auto large = levelsLike(40 * ParallelZlibCompressor::pieceSize);
    const auto parallel = compressInSteps(large, 100000).getSize();
    const auto single = singleCompressor(large).getSize();
    EXPECT_LT((double)parallel, (double)single * 1.01) << parallel << " against " << single;
}

TEST(ParallelZlibCompressor, AFailedWriteFailsTheStream)
{
    const auto data = levelsLike(5 * ParallelZlibCompressor::pieceSize);
    for (size_t room : {(size_t)0, (size_t)1, (size_t)100, (size_t)60000})
    {
        FullDisk disk(room);
        ParallelZlibCompressor zlib(static_cast<const juce::uint8*>(data.getData()), disk, 9);
        zlib.grow(data.getSize() / 2);
        EXPECT_FALSE(zlib.finish(data.getSize())) << room;
    }
}
