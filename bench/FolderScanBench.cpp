// Reading a folder of 10,000 recordings into the side browser: how long until every row is in
// the tree, against `ls -f` of the same folder, and the longest time the message thread was kept
// from running while the folder was read (goal: a few frames at most). For comparison, the
// framework's own directory list reads the same folder for at most 20 s.
#include "engine/SystemModel.h"
#include "support/BenchEnvironment.h"
#include "workspace/Main.h"
#include "workspace/QzLookAndFeel.h"
#include "workspace/panels/BrowseFileTree.h"
#include "workspace/panels/BrowseFolderList.h"
#include "workspace/panels/FilesBrowsePanel.h"

#include <chrono>
#include <cstdio>
#include <functional>

namespace
{
constexpr int fileCount = 10000;
constexpr double frameMs = 1000.0 / 60.0;
using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

/** Measures the longest gap between the ticks of a fast timer: how long the message thread was
    busy with something else. */
struct StallMeter : juce::Timer
{
    StallMeter() { startTimer(2); }
    void timerCallback() override
    {
        const auto now = Clock::now();
        if (ticked)
            longest = juce::jmax(longest, std::chrono::duration<double, std::milli>(now - last).count());
        last = now;
        ticked = true;
    }
    Clock::time_point last;
    bool ticked = false;
    double longest = 0.0;
};

/** Runs the message loop until the condition holds or the time is up; the time it took in ms. */
double runUntil(const std::function<bool()>& condition, double timeoutMs)
{
    const auto start = Clock::now();
    while (!condition() && millisecondsSince(start) < timeoutMs)
        juce::MessageManager::getInstance()->runDispatchLoopUntil(1);
    return millisecondsSince(start);
}

double listWithLs(const juce::File& folder)
{
    double best = 1e9;
    for (int run = 0; run < 3; ++run)
    {
        juce::ChildProcess ls;
        const auto start = Clock::now();
        if (!ls.start(juce::StringArray{"ls", "-f", folder.getFullPathName()}))
            return 0.0;
        const auto listed = ls.readAllProcessOutput();
        best = juce::jmin(best, millisecondsSince(start));
        if (juce::StringArray::fromLines(listed.trim()).size() < fileCount)
            std::printf("ls listed too few files\n");
    }
    return best;
}
} // namespace

int main()
{
    BenchEnvironment environment;
    const auto folder = environment.getHome().getChildFile("many");
    folder.createDirectory();
    for (int i = 0; i < fileCount; ++i)
        folder.getChildFile("take " + juce::String(i).paddedLeft('0', 5) + (i % 2 == 0 ? ".wav" : ".mp3"))
            .replaceWithText("x");

    const double lsMs = listWithLs(folder);

    // The side browser, its saved root the folder, from construction until every row is there.
    systemModel->getProperties().setValue(SystemModel::FileBrowseRoot, folder.getFullPathName());
    systemModel->getProperties().saveIfNeeded();
    delete systemModel;
    systemModel = new SystemModel(dynamic_cast<QzLookAndFeel&>(juce::LookAndFeel::getDefaultLookAndFeel()));

    double panelMs = 0.0, longestStall = 0.0, constructionMs = 0.0;
    int rows = 0;
    double best = 1e9;
    for (int run = 0; run < 3; ++run)
    {
        StallMeter stalls;
        runUntil([&] { return stalls.ticked; }, 1000);
        const auto start = Clock::now();
        FilesBrowsePanel panel;
        // Making the panel (the roots, the discs) is not reading the folder.
        constructionMs = juce::jmax(constructionMs, millisecondsSince(start));
        stalls.ticked = false;
        auto& root = *panel.getTree().getRootItem();
        runUntil([&]
                 { return !panel.getDirectoryList().isStillLoading() && root.getNumSubItems() >= fileCount; },
                 120000);
        const double took = millisecondsSince(start);
        rows = root.getNumSubItems();
        best = juce::jmin(best, took);
        longestStall = juce::jmax(longestStall, stalls.longest);
    }
    panelMs = best;

    // The framework's own list over the same folder, for at most 20 s.
    int frameworkFiles = 0;
    double frameworkMs = 0.0, frameworkStall = 0.0;
    {
        juce::TimeSliceThread thread("framework list");
        thread.startThread();
        juce::WildcardFileFilter filter("*.wav;*.mp3", "*", "recordings");
        juce::DirectoryContentsList list(&filter, thread);
        juce::FileTreeComponent tree(list);
        StallMeter stalls;
        runUntil([&] { return stalls.ticked; }, 1000);
        list.setDirectory(folder, true, true);
        frameworkMs = runUntil([&] { return !list.isStillLoading(); }, 20000);
        frameworkFiles = list.getNumFiles();
        frameworkStall = stalls.longest;
        list.setDirectory({}, true, true);
    }

    std::printf("\nReading a folder of %d recordings into the side browser\n", fileCount);
    std::printf("  side browser, every row in the tree  %9.1f ms (%d rows)\n", panelMs, rows);
    std::printf("  reference: ls -f of the same folder  %9.1f ms\n", lsMs);
    std::printf("  ratio browser / ls                   %9.1f\n", lsMs > 0.0 ? panelMs / lsMs : 0.0);
    std::printf("  longest message-thread stall         %9.1f ms (%.1f frames of %.1f ms; goal: a few)\n",
                longestStall, longestStall / frameMs, frameMs);
    std::printf("  (making the panel, before the folder is read: %.1f ms)\n", constructionMs);
    std::printf(
        "  framework's directory list           %9.1f ms, %d of %d files listed%s, longest stall %.1f ms\n",
        frameworkMs, frameworkFiles, fileCount, frameworkFiles < fileCount ? " when stopped" : "",
        frameworkStall);
    return 0;
}
