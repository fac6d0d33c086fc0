#pragma once

#include <juce_events/juce_events.h>

#include <vector>

/** The entries of one folder that a filter lets through, read on a scanning thread and handed to
    the message thread as a sorted list.

    The framework's directory list sorts its whole list again under its lock for every entry it
    adds, which makes a folder of ten thousand recordings take minutes and keeps the interface
    waiting on that lock. This one gathers the entries on the scanning thread, sorts them there
    (folders and files together, by natural name order) and only then swaps them in, so the message
    thread never waits longer than that swap. A scan that runs long shows what it has found so far
    every half second.

    A change message tells the owner that the list changed; the list is read on the message
    thread. */
class BrowseFolderList : public juce::ChangeBroadcaster, private juce::TimeSliceClient
{
public:
    struct Entry
    {
        juce::String name;
        bool isDirectory = false;
        juce::int64 size = 0;
        juce::Time modified;
    };

    BrowseFolderList(const juce::FileFilter& filter, juce::TimeSliceThread& thread);
    ~BrowseFolderList() override;

    /** Starts reading the folder afresh (the same folder again too); the list is emptied at once. */
    void setDirectory(const juce::File& folder);
    const juce::File& getDirectory() const { return folder; }

    /** Whether the list does not hold the whole folder yet. */
    bool isStillLoading() const;

    int getNumFiles() const { return (int)entries.size(); }
    const Entry& getEntry(int index) const { return entries[(size_t)index]; }
    juce::File getFile(int index) const { return folder.getChildFile(entries[(size_t)index].name); }

    const juce::FileFilter& getFilter() const { return filter; }
    juce::TimeSliceThread& getTimeSliceThread() const { return thread; }

private:
    int useTimeSlice() override;
    /** Runs on the message thread: takes what the scanning thread has published. */
    void takePublished();
    void stopScanning();

    const juce::FileFilter& filter;
    juce::TimeSliceThread& thread;
    juce::File folder;
    std::vector<Entry> entries;

    // Shared with the scanning thread.
    juce::CriticalSection lock;
    std::unique_ptr<juce::RangedDirectoryIterator> iterator;
    std::vector<Entry> found;
    std::vector<Entry> published;
    bool hasPublished = false;
    bool publishedAll = false;
    bool loading = false;
    juce::uint32 lastPublishTime = 0;

    /** Lives on the message thread; the scanning thread only triggers it. */
    struct Publisher : public juce::AsyncUpdater
    {
        explicit Publisher(BrowseFolderList& l) : list(l) {}
        void handleAsyncUpdate() override { list.takePublished(); }
        BrowseFolderList& list;
    } publisher{*this};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(BrowseFolderList)
};
