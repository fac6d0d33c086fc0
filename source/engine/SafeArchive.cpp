#include "engine/SafeArchive.h"

#include "engine/CheckedFileOutputStream.h"

#include <zlib.h>

#include <algorithm>
#include <atomic>

namespace
{
const size_t outputBufferSize = 16384;
const int copyBlockSize = 65536;
const char* const scratchSuffix = ".partial";
// The builder stores sizes and offsets in 32 bits.
const juce::int64 largestEntry = 0xffffffffLL;
// The end-of-archive record lies within its own 22 bytes plus a comment of at most 65535.
const int endRecordSearchLength = 22 + 65535;
// The framework reads everything from the start of the central directory to the end of the file
// into memory; qZ's archives hold a handful of entries, so a directory that claims more than this
// comes from a file made to exhaust memory.
const juce::int64 largestCentralDirectory = 16 * 1024 * 1024;
const juce::uint32 endRecordSignature = 0x06054b50;

// Unix file types in the upper bits of an entry's external attributes.
const juce::uint32 unixFileTypeMask = 0xf0000000u;
const juce::uint32 unixDirectory = 0x40000000u;
const juce::uint32 unixRegularFile = 0x80000000u;
// The DOS attribute bit of a folder.
const juce::uint32 dosDirectory = 0x10u;

juce::Result failure(const juce::String& why)
{
    return juce::Result::fail(why);
}

bool stopRequested(const SafeArchive::Monitor& monitor)
{
    return monitor.shouldStop != nullptr && monitor.shouldStop();
}

void report(const SafeArchive::Monitor& monitor, double progress)
{
    if (monitor.setProgress != nullptr)
        monitor.setProgress(juce::jlimit(0.0, 1.0, progress));
}

/** A source file as the ZIP builder reads it: reads fail once a stop is asked for, which ends the
    build at once, and every byte read counts towards the progress. */
class MonitoredInput : public juce::InputStream
{
public:
    MonitoredInput(std::unique_ptr<juce::FileInputStream> source, const SafeArchive::Monitor& jobMonitor,
                   std::atomic<juce::int64>& bytesRead, juce::int64 totalBytes)
        : input(std::move(source)), monitor(jobMonitor), done(bytesRead), total(totalBytes)
    {
    }

    juce::int64 getTotalLength() override { return input->getTotalLength(); }
    bool isExhausted() override { return input->isExhausted(); }
    juce::int64 getPosition() override { return input->getPosition(); }
    bool setPosition(juce::int64 position) override { return input->setPosition(position); }

    int read(void* buffer, int bytes) override
    {
        if (stopRequested(monitor) || input->getStatus().failed())
            return -1;
        const int count = input->read(buffer, bytes);
        if (count < 0 || input->getStatus().failed())
            return -1;
        done += count;
        // Building is the first half of the job, reading the archive back the second.
        report(monitor, 0.5 * (double)done / (double)juce::jmax((juce::int64)1, total));
        return count;
    }

private:
    std::unique_ptr<juce::FileInputStream> input;
    const SafeArchive::Monitor& monitor;
    std::atomic<juce::int64>& done;
    juce::int64 total;
};

/** What the archive's central directory records: each entry's name and CRC-32, in directory
    order, which is the order the framework lists them in. The framework reads the same directory
    but keeps no checksum, and it reads a file without a directory whole into memory before it
    finds no entries, which a large recording named like an archive would make slow. */
struct CentralDirectory
{
    bool found = false;
    juce::StringArray names;
    juce::Array<juce::uint32> checksums;
};

CentralDirectory readCentralDirectory(const juce::File& file)
{
    CentralDirectory directory;
    juce::FileInputStream in(file);
    if (!in.openedOk() || in.getTotalLength() < 22)
        return directory;

    const auto tailStart = juce::jmax((juce::int64)0, in.getTotalLength() - endRecordSearchLength);
    juce::MemoryBlock tail;
    if (!in.setPosition(tailStart) || in.readIntoMemoryBlock(tail) < 22)
        return directory;
    const auto* bytes = static_cast<const juce::uint8*>(tail.getData());
    auto end = (juce::int64)tail.getSize() - 22;
    while (end >= 0 && juce::ByteOrder::littleEndianInt(bytes + end) != endRecordSignature)
        --end;
    if (end < 0)
        return directory;

    const int count = juce::ByteOrder::littleEndianShort(bytes + end + 10);
    const auto size = (juce::int64)juce::ByteOrder::littleEndianInt(bytes + end + 12);
    const auto offset = (juce::int64)juce::ByteOrder::littleEndianInt(bytes + end + 16);
    juce::MemoryBlock headers;
    if (offset + size > tailStart + end || in.getTotalLength() - offset > largestCentralDirectory ||
        !in.setPosition(offset) || (juce::int64)in.readIntoMemoryBlock(headers, (ssize_t)size) != size)
        return directory;

    const auto* header = static_cast<const char*>(headers.getData());
    for (juce::int64 pos = 0; directory.names.size() < count && pos + 46 <= size;)
    {
        const auto* entry = header + pos;
        if (juce::ByteOrder::littleEndianInt(entry) != 0x02014b50)
            break;
        const int nameLength = juce::ByteOrder::littleEndianShort(entry + 28);
        if (pos + 46 + nameLength > size)
            break;
        directory.checksums.add(juce::ByteOrder::littleEndianInt(entry + 16));
        directory.names.add(juce::String::fromUTF8(entry + 46, nameLength));
        pos += 46 + nameLength + juce::ByteOrder::littleEndianShort(entry + 30) +
               juce::ByteOrder::littleEndianShort(entry + 32);
    }
    directory.found = directory.names.size() == count;
    return directory;
}

/** Compares the stream with the file's bytes to their ends. */
bool sameBytes(juce::InputStream& stream, const juce::File& file, const SafeArchive::Monitor& monitor)
{
    juce::FileInputStream original(file);
    if (!original.openedOk())
        return false;
    juce::HeapBlock<char> expected(copyBlockSize), actual(copyBlockSize);
    for (;;)
    {
        if (stopRequested(monitor))
            return false;
        const int wanted = original.read(expected, copyBlockSize);
        if (wanted < 0 || original.getStatus().failed())
            return false;
        if (wanted == 0)
            return stream.read(actual, 1) <= 0;
        int got = 0;
        while (got < wanted)
        {
            const int count = stream.read(actual + got, wanted - got);
            if (count <= 0)
                return false;
            got += count;
        }
        if (memcmp(expected, actual, (size_t)wanted) != 0)
            return false;
    }
}

bool isFolderOrLink(const juce::ZipFile::ZipEntry& entry)
{
    const auto type = entry.externalFileAttributes & unixFileTypeMask;
    return entry.isSymbolicLink || type == unixDirectory || (type != unixRegularFile && type != 0) ||
           (entry.externalFileAttributes & dosDirectory) != 0;
}
juce::Result verify(const juce::File& archive, const juce::Array<juce::File>& files,
                    const SafeArchive::Monitor& monitor)
{
    juce::ZipFile zip(archive);
    if (zip.getNumEntries() != files.size())
        return failure("the new archive does not read back whole");

    juce::int64 total = 0, done = 0;
    for (const auto& file : files)
        total += file.getSize();
    for (int i = 0; i < files.size(); ++i)
    {
        const auto* entry = zip.getEntry(i);
        if (entry->filename != files[i].getFileName() || entry->uncompressedSize != files[i].getSize())
            return failure("the new archive does not read back whole");
        std::unique_ptr<juce::InputStream> stream(zip.createStreamForEntry(i));
        if (stream == nullptr || !sameBytes(*stream, files[i], monitor))
            return failure("the new archive differs from " + files[i].getFullPathName());
        done += files[i].getSize();
        report(monitor, 0.5 + 0.5 * (double)done / (double)juce::jmax((juce::int64)1, total));
    }
    return juce::Result::ok();
}

juce::Result checkEntries(juce::ZipFile& zip, const CentralDirectory& directory,
                          const SafeArchive::NameFilter& filter, juce::Array<int>& chosen)
{
    if (directory.names.size() != zip.getNumEntries())
        return failure("the archive's directory is damaged");
    juce::StringArray names;
    for (int i = 0; i < zip.getNumEntries(); ++i)
    {
        const auto& entry = *zip.getEntry(i);
        if (entry.filename != directory.names[i])
            return failure("the archive's directory is damaged");
        // One unsafe entry is reason enough to distrust the whole archive.
        if (!SafeArchive::isBareName(entry.filename) || names.contains(entry.filename))
            return failure("the archive holds an entry with a path or a repeated name: " + entry.filename);
        if (isFolderOrLink(entry))
            return failure("the archive holds a folder or a link: " + entry.filename);
        names.add(entry.filename);
        if (filter == nullptr || filter(entry.filename))
            chosen.add(i);
    }
    if (chosen.isEmpty())
        return failure("the archive holds nothing to unpack");
    return juce::Result::ok();
}

juce::Result extract(juce::ZipFile& zip, int index, juce::uint32 checksum, const juce::File& destination,
                     const SafeArchive::Monitor& monitor)
{
    const auto expected = zip.getEntry(index)->uncompressedSize;
    std::unique_ptr<juce::InputStream> in(zip.createStreamForEntry(index));
    if (in == nullptr)
        return failure("can't read the entry " + zip.getEntry(index)->filename);

    std::shared_ptr<const CheckedFileOutputStream::Outcome> outcome;
    juce::int64 copied = 0;
    uLong crc = crc32(0L, Z_NULL, 0);
    {
        CheckedFileOutputStream out(destination, outputBufferSize);
        outcome = out.getOutcome();
        juce::HeapBlock<char> block(copyBlockSize);
        while (out.openedOk() && copied < expected && !stopRequested(monitor))
        {
            const int count = in->read(block, (int)juce::jmin<juce::int64>(copyBlockSize, expected - copied));
            if (count <= 0 || !out.write(block, (size_t)count))
                break;
            crc = crc32(crc, reinterpret_cast<const Bytef*>(block.get()), (uInt)count);
            copied += count;
        }
    }
    // A cut entry decompresses short; a damaged one differs from the checksum written with it.
    if (copied != expected || crc != checksum || !outcome->wroteWholeFile())
        return failure("the entry " + zip.getEntry(index)->filename + " is damaged or can't be written");
    return juce::Result::ok();
}

} // namespace

//==============================================================================
bool SafeArchive::isBareName(const juce::String& name)
{
    if (name.isEmpty() || name.startsWithChar('.') || name.containsAnyOf("/\\") ||
        name.getNumBytesAsUTF8() > 255)
        return false;
    for (auto c : name)
        if (c < 0x20 || c == 0x7f)
            return false;
    return true;
}

juce::File SafeArchive::scratchFileFor(const juce::File& target)
{
    // Hidden, and with an extension of its own, so that no listing of the folder's archives or
    // working-set files takes it for one.
    return target.getSiblingFile("." + target.getFileName() + scratchSuffix);
}

void SafeArchive::removeLeftovers(const juce::File& folder)
{
    for (const auto& file :
         folder.findChildFiles(juce::File::findFiles, false, juce::String(".*") + scratchSuffix))
        file.deleteFile();
}

std::unique_ptr<juce::ZipFile> SafeArchive::open(const juce::File& archive)
{
    if (!archive.existsAsFile() || !readCentralDirectory(archive).found)
        return nullptr;
    auto zip = std::make_unique<juce::ZipFile>(archive);
    if (zip->getNumEntries() == 0)
        return nullptr;
    return zip;
}

//==============================================================================
juce::Result SafeArchive::write(const juce::File& target, const juce::Array<juce::File>& files,
                                int compressionLevel, const Monitor& monitor)
{
    juce::StringArray names;
    juce::int64 totalBytes = 0;
    for (const auto& file : files)
    {
        if (!file.existsAsFile() || file.isSymbolicLink())
            return failure("not a plain file: " + file.getFullPathName());
        if (!isBareName(file.getFileName()) || names.contains(file.getFileName()))
            return failure("no name of its own in an archive: " + file.getFileName());
        if (file.getSize() >= largestEntry)
            return failure("too large for an archive: " + file.getFullPathName());
        names.add(file.getFileName());
        totalBytes += file.getSize();
    }

    const auto folder = target.getParentDirectory();
    if (const auto made = folder.createDirectory(); made.failed())
        return made;
    const auto scratch = scratchFileFor(target);
    if (!scratch.deleteFile())
        return failure("can't replace the scratch file " + scratch.getFullPathName());

    std::atomic<juce::int64> bytesRead{0};
    juce::ZipFile::Builder builder;
    for (const auto& file : files)
    {
        auto input = std::make_unique<juce::FileInputStream>(file);
        if (!input->openedOk())
            return failure("can't read " + file.getFullPathName());
        builder.addEntry(new MonitoredInput(std::move(input), monitor, bytesRead, totalBytes),
                         compressionLevel, file.getFileName(), file.getLastModificationTime());
    }

    std::shared_ptr<const CheckedFileOutputStream::Outcome> outcome;
    bool built = false;
    {
        CheckedFileOutputStream out(scratch, outputBufferSize);
        outcome = out.getOutcome();
        built = out.openedOk() && builder.writeToStream(out, nullptr);
    }

    auto result = juce::Result::ok();
    if (!built || !outcome->wroteWholeFile())
        result = failure(stopRequested(monitor) ? "stopped" : "can't write " + scratch.getFullPathName());
    else
        result = verify(scratch, files, monitor);
    // The rename is atomic within the folder: readers see the old archive or the new one.
    if (result.wasOk() && !scratch.replaceFileIn(target))
        result = failure("can't rename the new archive to " + target.getFullPathName());

    if (result.failed())
        scratch.deleteFile();
    return result;
}

juce::Result SafeArchive::unpack(const juce::File& archive, const juce::File& folder,
                                 const NameFilter& filter, const Monitor& monitor)
{
    const auto directory = readCentralDirectory(archive);
    auto zip = open(archive);
    if (zip == nullptr || !directory.found)
        return failure(archive.getFullPathName() + " is not a ZIP archive, or is cut short");

    juce::Array<int> chosen;
    if (const auto checked = checkEntries(*zip, directory, filter, chosen); checked.failed())
        return checked;

    const bool folderWasThere = folder.isDirectory();
    if (const auto made = folder.createDirectory(); made.failed())
        return made;

    // A text that names the other files (the course text) takes its name last, so that even a
    // kill while the names are given never leaves it beside files that are missing.
    std::stable_sort(chosen.begin(), chosen.end(),
                     [&zip](int a, int b) {
                         return !zip->getEntry(a)->filename.endsWith(".xml") &&
                                zip->getEntry(b)->filename.endsWith(".xml");
                     });

    juce::Array<juce::File> staged, placed;
    auto result = juce::Result::ok();
    for (int i = 0; i < chosen.size() && result.wasOk(); ++i)
    {
        const auto scratch = scratchFileFor(folder.getChildFile(zip->getEntry(chosen[i])->filename));
        staged.add(scratch);
        result = scratch.deleteFile()
                     ? extract(*zip, chosen[i], directory.checksums[chosen[i]], scratch, monitor)
                     : failure("can't replace " + scratch.getFullPathName());
        report(monitor, (double)(i + 1) / (double)chosen.size());
    }
    if (result.wasOk() && stopRequested(monitor))
        result = failure("stopped");

    for (int i = 0; i < chosen.size() && result.wasOk(); ++i)
    {
        const auto named = folder.getChildFile(zip->getEntry(chosen[i])->filename);
        if (staged[i].replaceFileIn(named))
            placed.add(named);
        else
            result = failure("can't write " + named.getFullPathName());
    }

    if (result.failed())
    {
        for (const auto& file : staged)
            file.deleteFile();
        for (const auto& file : placed)
            file.deleteFile();
        if (!folderWasThere)
            folder.deleteRecursively();
    }
    return result;
}
