// Where a disc's audio tracks end, from its table of contents: up to the next track within a
// session, and short of the gap before a later session, which holds no audio.
#include "platform/CdTrackSpans.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
using Entry = CdTrackSpans::Entry;
using Span = CdTrackSpans::Span;

std::string describe(const std::vector<Span>& spans)
{
    std::string text;
    for (const auto& span : spans)
        text += std::to_string(span.number) + ":" + std::to_string(span.firstSector) + "-" +
                std::to_string(span.endSector) + " ";
    return text;
}

/** Each entry ends a sector before the next one's start, and the last before the lead-out: what
    libcdio reports for a track's last sector. */
std::vector<Entry> tableOfContents(const std::vector<std::pair<juce::int64, bool>>& starts,
                                   juce::int64 leadOut)
{
    std::vector<Entry> entries;
    for (size_t i = 0; i < starts.size(); ++i)
    {
        const auto next = i + 1 < starts.size() ? starts[i + 1].first : leadOut;
        entries.push_back({(int)i + 1, starts[i].first, next - 1, starts[i].second});
    }
    return entries;
}
} // namespace

TEST(CdTrackSpans, AudioTracksEndWhereTheirSessionsAudioEnds)
{
    const auto gap = CdTrackSpans::sessionGapSectors;
    // Enhanced CD: three audio tracks, then, in a second session, a data track at 30000.
    const juce::int64 dataStart = 30000;
    const juce::int64 leadOut = 40000;
    const auto enhanced =
        tableOfContents({{0, true}, {9000, true}, {15000, true}, {dataStart, false}}, leadOut);

    const struct
    {
        const char* what;
        std::vector<Entry> entries;
        juce::int64 leadOut;
        juce::int64 lastSessionStart;
        std::vector<Span> expected;
    } cases[] = {
        {"one session: each track runs up to the next and the last to the lead-out",
         tableOfContents({{0, true}, {9000, true}, {15000, true}}, 20000),
         20000,
         0,
         {{1, 0, 9000}, {2, 9000, 15000}, {3, 15000, 20000}}},
        {"a drive that can't tell sessions",
         tableOfContents({{0, true}, {9000, true}}, 20000),
         20000,
         -1,
         {{1, 0, 9000}, {2, 9000, 20000}}},
        {"a data track in a second session: the last audio track stops short of the gap",
         enhanced,
         leadOut,
         dataStart,
         {{1, 0, 9000}, {2, 9000, 15000}, {3, 15000, dataStart - gap}}},
        {"audio in the last session too: it runs up to the lead-out",
         tableOfContents({{0, true}, {15000, true}, {dataStart, true}}, leadOut),
         leadOut,
         dataStart,
         {{1, 0, 15000}, {2, 15000, dataStart - gap}, {3, dataStart, leadOut}}},
        {"a data track first in a single session (mixed mode): the audio after it is whole",
         tableOfContents({{0, false}, {20000, true}, {25000, true}}, leadOut),
         leadOut,
         0,
         {{2, 20000, 25000}, {3, 25000, leadOut}}},
        {"a session start too close for the gap leaves the track as the next start ends it",
         tableOfContents({{0, true}, {15000, true}, {20000, false}}, leadOut),
         leadOut,
         20000,
         {{1, 0, 15000}, {2, 15000, 20000}}},
        {"an image cut off before a track's start drops that track",
         tableOfContents({{0, true}, {9000, true}}, 20000),
         8000,
         0,
         {{1, 0, 8000}}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(describe(CdTrackSpans::audioSpans(c.entries, c.leadOut, c.lastSessionStart)),
                  describe(c.expected));
    }
}
