#pragma once

#include "engine/SafeArchive.h"

#include <juce_data_structures/juce_data_structures.h>

/** Courseware: a course handed to another learner as one ZIP file (".qzc") of exactly three
    entries under bare names: the course audio rendered as one Ogg Vorbis file, its waveform file
    and a course text with the sentence cuts and texts but none of the learner's own review data.

    Making one is split between the controller (which renders the audio and the waveform file) and
    the pure steps here: the course text, the file names, the folders. Loading is all here and
    needs no window: a courseware file comes from someone else, so every entry is checked (names,
    kinds, sizes, the audio, the waveform file and the sentences against the audio) before anything
    becomes part of a working set, and a failure leaves the folder as it was. */
class CoursewareFile
{
public:
    CoursewareFile() = delete;

    static constexpr int compressionLevel = 9;

    /** The largest entries a courseware file may hold: far beyond any real course (a course text
        of ten thousand sentences takes about two megabytes, the waveform file of ten hours some
        tens), small enough that no entry can fill the disk or the memory. */
    static constexpr juce::int64 largestCourseText = 32 * 1024 * 1024;
    static constexpr juce::int64 largestWaveformFile = 256 * 1024 * 1024;

    /** "qz/courseware" in the documents folder: where the save chooser starts. */
    static juce::File saveFolder();
    /** "qz/generateCourseware" in the documents folder: where a courseware file's entries are made. */
    static juce::File scratchFolder();

    /** The file name the save chooser offers for a course of that name: the name with every
        character that a file name can't hold (a "/" above all) made a "-", no leading dot, short
        enough for any file system, and ".qzc"; the fallback's when nothing of the name is left. */
    static juce::String fileNameFor(const juce::String& courseName, const juce::String& fallback);

    /** The stem of the entries of a courseware file written to the target: its name without the
        extension, or "course" when that can't be an entry's bare name. */
    static juce::String entryStemFor(const juce::File& target);

    /** The course text of the courseware made from this course tree, whose audio has that length
        and sample rate, rendered at the other: each sentence laid on exactly the samples its audio
        became, back to back, the review data removed, the state set to learning. The tree itself
        is left as it is. */
    static std::unique_ptr<juce::XmlElement> makeCourseText(const juce::ValueTree& course,
                                                            juce::int64 courseAudioLength,
                                                            double courseSampleRate, double renderSampleRate);

    /** Writes a course text as courseware and its working sets store it (no document type,
        "UTF-8", lines wrapped at 60), checking that every byte reached the disk. */
    static bool writeCourseText(const juce::XmlElement& courseText, const juce::File& file);

    /** Unpacks the courseware file into the folder as a new working set of that stem: stem +
        ".smg", stem + ".xml" and "courseware-" + stem + ".ogg", the course text naming the audio
        by its full path, learnt from the given time on. Checks everything first, in a hidden
        folder inside the folder; on failure (the reason is the result) the folder holds what it
        held before. May run on a job thread. */
    static juce::Result unpack(const juce::File& courseware, const juce::File& folder,
                               const juce::String& stem, const juce::Time& learnDate,
                               const SafeArchive::Monitor& monitor = {});
};
