#pragma once

#include <juce_core/juce_core.h>

#include <sys/resource.h>

/** Makes a folder unwritable for its lifetime, as a read-only library folder would be: new files
    can't be made in it, nor renamed into it. Owner root is not stopped by permission bits, so the
    folder is also marked immutable when the file system allows it. */
class ReadOnlyFolder
{
public:
    explicit ReadOnlyFolder(const juce::File& folder);
    ~ReadOnlyFolder();

    /** Whether a file really can't be made in the folder now; a test without it skips. */
    bool holds() const;

private:
    juce::File folder;
    bool immutable = false;

    JUCE_DECLARE_NON_COPYABLE(ReadOnlyFolder)
};

/** Marks a file immutable for its lifetime, as a file that another program holds open on some
    systems is: it can't be renamed, moved, deleted or written, not even by root. */
class UnmovableFile
{
public:
    explicit UnmovableFile(const juce::File& file);
    ~UnmovableFile();

    /** Whether the file system took the mark; a test without it skips. */
    bool holds() const { return immutable; }

private:
    juce::File file;
    bool immutable = false;

    JUCE_DECLARE_NON_COPYABLE(UnmovableFile)
};

/** Lets no file of this process grow past a number of bytes for its lifetime, so writes beyond
    it fail as they do on a full disk. */
class FileSizeLimit
{
public:
    explicit FileSizeLimit(juce::int64 bytes);
    ~FileSizeLimit();

private:
    rlimit previous{};
    void (*previousHandler)(int) = nullptr;

    JUCE_DECLARE_NON_COPYABLE(FileSizeLimit)
};
