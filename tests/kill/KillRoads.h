#pragma once

#include <juce_core/juce_core.h>

/** The roads of qZ that replace something the learner owns, run without the learner by a driver
    process that the kill script stops with SIGKILL at a random moment, and the check that a
    restarted qZ makes of what the kill left.

    Each kind of write has three steps, each run in a process of its own in the same home folder:
    prepare (the course or the settings as they were before the write), write (the road itself,
    reporting on standard output when it starts, every version it completed and its end) and check
    (a start as the application makes it, then what must hold). The home folder also holds the
    driver's notes: the courses that exist and the first versions of their files. */
namespace KillRoads
{
/** The courseware file that the courseware write replaces, in the home folder. */
inline const char* const coursewareName = "lesson.qzc";

/** The kinds of write, by the names the script gives them. */
juce::StringArray kinds();

/** Makes the data folder the kind's write starts from. False when it could not be made. */
bool prepare(const juce::String& kind);

/** Runs the kind's write road to its end (or until killed), telling on standard output "go" when
    it starts, "saved N" when version N is complete on the disk, and "done" at its end. */
bool write(const juce::String& kind);

/** Starts as the application starts, after the kill, and checks what the data folder holds
    against what the write reported in the progress file. Empty when every course is intact;
    otherwise what was found wrong. */
juce::String check(const juce::String& kind, const juce::File& progressFile);
} // namespace KillRoads
