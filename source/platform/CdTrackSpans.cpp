#include "platform/CdTrackSpans.h"

std::vector<CdTrackSpans::Span> CdTrackSpans::audioSpans(const std::vector<Entry>& entries,
                                                         juce::int64 leadOut, juce::int64 lastSessionStart)
{
    // Sessions are told apart only when the last one starts after the first track.
    const bool multiSession =
        !entries.empty() && lastSessionStart > 0 && lastSessionStart > entries.front().firstSector;
    std::vector<Span> spans;
    for (const auto& entry : entries)
    {
        if (!entry.audio)
            continue;
        auto last = entry.lastSector;
        if (leadOut >= 0)
            last = juce::jmin(last, leadOut - 1);
        // The track just before the last session runs into the first session's lead-out and the
        // next one's lead-in and pregap: no audio, and a drive fails to read them. A session start
        // too close for that gap is taken as it stands.
        const auto sessionAudioEnd = lastSessionStart - sessionGapSectors;
        const bool endsSession =
            entry.firstSector < lastSessionStart && entry.lastSector + 1 >= lastSessionStart;
        if (multiSession && endsSession && sessionAudioEnd > entry.firstSector)
            last = juce::jmin(last, sessionAudioEnd - 1);
        if (entry.firstSector < 0 || last < entry.firstSector)
            continue;
        spans.push_back({entry.number, entry.firstSector, last + 1});
    }
    return spans;
}
