#include "engine/audio/AudioCDExtractor.h"

// TODO(cd): read the track through the framework's CD reader behind a progress window.
bool AudioCDExtractor::extractAudioDataToFile(const juce::File&, const juce::File&)
{
    return false;
}
