#include "engine/audio/RecordingThumbnail.h"

#include "workspace/Main.h"

namespace
{
constexpr int samplesPerPoint = 512;
constexpr double slidingWindowSeconds = 30.0;
constexpr int margin = 2;

} // namespace

RecordingThumbnail::RecordingThumbnail() : thumbnail(samplesPerPoint, *formatManager, thumbnailCache)
{
    thumbnail.addChangeListener(this);
}

RecordingThumbnail::~RecordingThumbnail()
{
    thumbnail.removeChangeListener(this);
}

void RecordingThumbnail::setDisplayFullThumbnail(bool displayFull)
{
    displayFullThumbnail = displayFull;
    repaint();
}

void RecordingThumbnail::setAudioSource(const juce::File& file)
{
    thumbnail.setSource(new juce::FileInputSource(file, false));
}

double RecordingThumbnail::getDisplayedSeconds() const
{
    const double length = thumbnail.getTotalLength();
    return displayFullThumbnail ? length : juce::jmax(length, slidingWindowSeconds);
}

void RecordingThumbnail::paint(juce::Graphics& g)
{
    g.setColour(colour);
    if (thumbnail.getTotalLength() > 0.0)
        thumbnail.drawChannels(g, getLocalBounds().reduced(margin), 0.0, getDisplayedSeconds(), 1.0f);
}

void RecordingThumbnail::changeListenerCallback(juce::ChangeBroadcaster* source)
{
    if (source == &thumbnail)
        repaint();
}
