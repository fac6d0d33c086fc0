// The kill driver: one step of one kind of write per process, for the kill script.
//   qz_kill_driver prepare KIND
//   qz_kill_driver write KIND
//   qz_kill_driver check KIND PROGRESS_FILE
//   qz_kill_driver kinds             (lists the kinds)
// It works in the data folder under $HOME, which the script gives each round fresh.
#include "kill/KillRoads.h"

#include "platform/DisplayCheck.h"

#include "common/XErrors.h"

#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdio>

namespace
{
int usage()
{
    std::fprintf(stderr,
                 "usage: qz_kill_driver prepare|write KIND, or check KIND PROGRESS_FILE\n"
                 "kinds: %s\n",
                 KillRoads::kinds().joinIntoString(" ").toRawUTF8());
    return 2;
}
} // namespace

int main(int argc, char** argv)
{
    // The harness's window answerer reports through the test framework.
    testing::InitGoogleTest(&argc, argv);
    if (argc == 2 && juce::String(argv[1]) == "kinds")
    {
        std::printf("%s\n", KillRoads::kinds().joinIntoString(" ").toRawUTF8());
        return 0;
    }
    if (argc < 3 || !KillRoads::kinds().contains(argv[2]))
        return usage();
    const juce::String step(argv[1]), kind(argv[2]);

    const auto noDisplay = DisplayCheck::whyNoDisplay();
    if (!noDisplay.empty())
    {
        std::fprintf(stderr, "qz_kill_driver: %s\n", noDisplay.c_str());
        return 2;
    }
    ignoreXErrors();
    juce::ScopedJuceInitialiser_GUI gui;

    if (step == "prepare")
        return KillRoads::prepare(kind) ? 0 : 2;
    if (step == "write")
        return KillRoads::write(kind) ? 0 : 2;
    if (step == "check" && argc >= 4)
    {
        const auto faults = KillRoads::check(kind, juce::File(juce::String::fromUTF8(argv[3])));
        std::printf("%s\n", faults.isEmpty() ? "intact" : ("LOST " + faults).toRawUTF8());
        return faults.isEmpty() ? 0 : 1;
    }
    return usage();
}
