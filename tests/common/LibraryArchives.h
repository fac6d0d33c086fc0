#pragma once

#include <juce_core/juce_core.h>

#include <vector>

/** Course archives in the library for tests and benchmarks, packed by qZ's own archive writer
    from files the caller describes: the course text with the values the library shows, the course
    audio and a retelling as short Ogg tones, and the mobile file beside the library. */
class LibraryArchives
{
public:
    LibraryArchives() = delete;

    struct Course
    {
        Course(const juce::String& stemToUse, const juce::String& title, const juce::String& learnt,
               const juce::String& nextReview, int sentenceCount = 3, int unfamiliarCount = 1,
               double seconds = 1.0, int status = 1)
            : stem(stemToUse), name(title), learnDate(learnt), nextReviewDate(nextReview),
              sentences(sentenceCount), unfamiliar(unfamiliarCount), courseSeconds(seconds), nowStatus(status)
        {
        }

        /** The archive's name without extension, normally a course stem. */
        juce::String stem;
        juce::String name;
        juce::String learnDate;
        juce::String nextReviewDate;
        int sentences = 3;
        int unfamiliar = 1;
        double courseSeconds = 1.0;
        int nowStatus = 1;
        juce::String notes;
        /** Seconds of the ".ogg" entry; 0 for none, negative for an entry that is no audio. */
        double audioSeconds = 1.0;
        /** Seconds of the "-retell.ogg" entry, the same way. */
        double retellSeconds = 0.0;
        /** Seconds of the mobile file; 0 for none. */
        double mobileSeconds = 1.0;
        /** Bytes of a ".smg" entry of noise in the waveform file's place; 0 for none. */
        int waveformBytes = 0;
        /** Whether the course text holds its sentences, as a learnt course's does: a second each,
            the first `unfamiliar` of them unfamiliar. Without, it holds only the course's values. */
        bool withSentences = false;
    };

    /** Packs the course into the library as stem + ".mqz" and writes its mobile file; false
        when a file could not be written. Each length of tone is encoded once and copied after,
        so that a library of hundreds of courses is packed quickly. */
    static bool add(const Course& course);
    static bool add(const std::vector<Course>& courses);

    /** The archive of that stem in the library, and its mobile file. */
    static juce::File archiveOf(const juce::String& stem);
    static juce::File mobileOf(const juce::String& stem);

    /** Flips bytes in the middle of the stored data of the archive's entry of that name, as a
        failing disk or a cut copy does: the archive's directory stays whole, so the archive still
        opens and its other entries still read. False when there is no such entry. */
    static bool damageEntry(const juce::File& archive, const juce::String& entryName);

    /** A mono 440 Hz tone of that length as Ogg Vorbis, replacing the file. */
    static bool writeTone(const juce::File& file, double seconds);

    /** The home trash's copy of a file of that name and its restore information, under the
        test's own $XDG_DATA_HOME. */
    static juce::File trashed(const juce::String& fileName);
    static juce::File trashInfo(const juce::String& fileName);

private:
    static juce::XmlElement courseText(const Course& course);
    static bool copyTone(double seconds, const juce::File& file);
};
