#include "harness/FileFaults.h"

#include <csignal>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace
{
bool setImmutable(const juce::File& fileOrFolder, bool on)
{
    const int fd = ::open(fileOrFolder.getFullPathName().toRawUTF8(), O_RDONLY);
    if (fd < 0)
        return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done)
    {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return done;
}
} // namespace

ReadOnlyFolder::ReadOnlyFolder(const juce::File& readOnly) : folder(readOnly)
{
    folder.createDirectory();
    folder.setReadOnly(true, false);
    if (!holds())
        immutable = setImmutable(folder, true);
}

ReadOnlyFolder::~ReadOnlyFolder()
{
    if (immutable)
        setImmutable(folder, false);
    folder.setReadOnly(false, false);
}

bool ReadOnlyFolder::holds() const
{
    const auto probe = folder.getChildFile(".probe");
    const bool made = probe.create().wasOk();
    if (made)
        probe.deleteFile();
    return !made;
}

UnmovableFile::UnmovableFile(const juce::File& unmovable) : file(unmovable)
{
    immutable = setImmutable(file, true);
}

UnmovableFile::~UnmovableFile()
{
    if (immutable)
        setImmutable(file, false);
}

FileSizeLimit::FileSizeLimit(juce::int64 bytes)
{
    // Past the limit a write fails with EFBIG, after the signal, which must not end the test.
    previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &previous);
    rlimit limit = previous;
    limit.rlim_cur = (rlim_t)bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit()
{
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
}
