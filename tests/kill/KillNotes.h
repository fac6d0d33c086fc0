#pragma once

#include <juce_audio_formats/juce_audio_formats.h>
#include <juce_graphics/juce_graphics.h>

/** What the kill driver writes down for its later steps, in the home folder beside the data
    folder, and how the versions of a file it writes are told apart when read back. */
namespace KillNotes
{
/** The stems of the courses that exist: none may be lost. */
void addCourse(const juce::String& stem);
juce::StringArray courses();

/** Keeps a copy of a file as it was prepared, and gives it back. */
bool keepOriginal(const juce::File& file);
juce::File original(const juce::String& fileName);

/** The text of version N of the course text's first sentence. */
juce::String versionText(int version);
/** The version a first sentence's text tells, or -1. */
int versionOfText(const juce::String& text);

/** Version N of the settings: the time scale's background colour. */
juce::Colour versionColour(int version);

/** Writes version N of a retelling: a tone whose length tells the version. */
bool writeRetelling(const juce::File& file, int version);
/** Whether the file is a whole retelling of version N. */
bool isRetellingVersion(const juce::File& file, int version);

/** The last version a write reported as complete (0 when none), and whether it reported its end. */
int lastSavedVersion(const juce::File& progressFile);
bool reportedDone(const juce::File& progressFile);
} // namespace KillNotes
