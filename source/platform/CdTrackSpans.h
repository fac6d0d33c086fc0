#pragma once

#include <juce_core/juce_core.h>

#include <vector>

/** Where the audio tracks of a compact disc begin and end, worked out from its table of contents.

    A table of contents gives where each track starts; a track is taken to run up to the next
    one's start. That holds within a session but not across one: an Enhanced CD puts its data
    track in a second session, and between the last audio track and that data track lie the first
    session's lead-out, the second one's lead-in and the data track's pregap, none of which is
    audio (11400 sectors, about 152 seconds, on a disc made to the usual layout). Audio tracks
    before the last session therefore end that far before the session starts. */
class CdTrackSpans
{
public:
    /** A track of the table of contents, with sector numbers as libcdio counts them (LSN, 0 at
        the first track's usual start). A negative sector is one that could not be told. */
    struct Entry
    {
        int number = 0;
        juce::int64 firstSector = -1;
        /** The sector before the next track's start, or before the lead-out for the last track. */
        juce::int64 lastSector = -1;
        bool audio = false;
    };

    /** An audio track's sectors, from its first up to (not including) endSector. */
    struct Span
    {
        int number = 0;
        juce::int64 firstSector = 0;
        juce::int64 endSector = 0;
    };

    /** Sectors between the end of the first session's audio and the start of the first track of
        the next session: lead-out 6750, lead-in 4500, pregap 150. */
    static constexpr juce::int64 sessionGapSectors = 11400;

    /** The audio tracks, in the order given, with the sectors they can be read from. The lead-out
        (negative when unknown) bounds every track. lastSessionStart is the first sector of the
        last session's first track, 0 or negative for a disc of one session or when the drive
        can't tell. A track left with nothing to read (an image cut off before it) is dropped. */
    static std::vector<Span> audioSpans(const std::vector<Entry>& entries, juce::int64 leadOut,
                                        juce::int64 lastSessionStart);
};
