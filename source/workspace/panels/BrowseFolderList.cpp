#include "workspace/panels/BrowseFolderList.h"

namespace
{
// How long one slice reads before it lets the thread's other clients run.
constexpr juce::uint32 sliceMilliseconds = 20;
// How often a long scan shows what it has found so far.
constexpr juce::uint32 publishMilliseconds = 500;

void sortByName(std::vector<BrowseFolderList::Entry>& entries)
{
    std::sort(entries.begin(), entries.end(),
              [](const BrowseFolderList::Entry& a, const BrowseFolderList::Entry& b)
              { return a.name.compareNatural(b.name) < 0; });
}
} // namespace

BrowseFolderList::BrowseFolderList(const juce::FileFilter& f, juce::TimeSliceThread& t) : filter(f), thread(t)
{
}

BrowseFolderList::~BrowseFolderList()
{
    stopScanning();
}

void BrowseFolderList::stopScanning()
{
    // Blocks while a slice is running, so the scanning thread is done with the iterator after it.
    thread.removeTimeSliceClient(this);
    publisher.cancelPendingUpdate();
    const juce::ScopedLock sl(lock);
    iterator.reset();
    found.clear();
    published.clear();
    hasPublished = false;
    publishedAll = false;
    loading = false;
}

void BrowseFolderList::setDirectory(const juce::File& newFolder)
{
    stopScanning();
    folder = newFolder;
    if (!entries.empty())
    {
        entries.clear();
        sendChangeMessage();
    }

    {
        const juce::ScopedLock sl(lock);
        loading = true;
        lastPublishTime = juce::Time::getMillisecondCounter();
    }
    // The folder is opened on the scanning thread: opening a folder on a slow or hung mount must
    // not hold the interface.
    thread.addTimeSliceClient(this);
}

bool BrowseFolderList::isStillLoading() const
{
    const juce::ScopedLock sl(lock);
    return loading;
}

int BrowseFolderList::useTimeSlice()
{
    const auto start = juce::Time::getMillisecondCounter();
    if (iterator == nullptr)
        iterator = std::make_unique<juce::RangedDirectoryIterator>(
            folder, false, "*", juce::File::findFilesAndDirectories | juce::File::ignoreHiddenFiles);

    while (*iterator != juce::RangedDirectoryIterator())
    {
        const auto& item = **iterator;
        const auto file = item.getFile();
        const bool isDirectory = item.isDirectory();
        if (isDirectory ? filter.isDirectorySuitable(file) : filter.isFileSuitable(file))
            found.push_back(
                {file.getFileName(), isDirectory, item.getFileSize(), item.getModificationTime()});
        ++(*iterator);

        const auto now = juce::Time::getMillisecondCounter();
        if (now - start >= sliceMilliseconds)
        {
            if (now - lastPublishTime >= publishMilliseconds)
            {
                auto soFar = found;
                sortByName(soFar);
                const juce::ScopedLock sl(lock);
                published = std::move(soFar);
                hasPublished = true;
                lastPublishTime = now;
                publisher.triggerAsyncUpdate();
            }
            return 0;
        }
    }

    sortByName(found);
    const juce::ScopedLock sl(lock);
    published = std::move(found);
    found.clear();
    hasPublished = true;
    publishedAll = true;
    iterator.reset();
    publisher.triggerAsyncUpdate();
    return -1;
}

void BrowseFolderList::takePublished()
{
    {
        const juce::ScopedLock sl(lock);
        if (!hasPublished)
            return;
        entries = std::move(published);
        published.clear();
        hasPublished = false;
        // Loading ends when the list holds everything, not when the scanning thread is done.
        if (publishedAll)
            loading = false;
    }
    sendSynchronousChangeMessage();
}
