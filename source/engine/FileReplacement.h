#pragma once

#include <juce_core/juce_core.h>

#include <functional>

/** Replaces a file the learner owns so that a failure or a kill leaves the old file or the new
    one, never neither and never half of one: the new content is written completely into a
    partial file beside the target (so on the same file system) and only then renamed onto it. */
class FileReplacement
{
public:
    FileReplacement() = delete;

    /** Moves the source onto the target, replacing it; its folders are made. A rename when both
        lie on one file system, else a checked copy beside the target that is renamed onto it,
        after which the source is deleted. False leaves the target as it was and the source in place. */
    static bool moveOnto(const juce::File& source, const juce::File& target);

    /** Copies the source onto the target in the same way; the source stays. */
    static bool copyOnto(const juce::File& source, const juce::File& target);

    /** Writes the target anew: the writer fills the partial file beside it, every write checked,
        the file flushed to the disk and found as long as what was written, and only then is it
        renamed onto the target. False (the writer's false too) leaves the target as it was. */
    static bool writeOnto(const juce::File& target, const std::function<bool(juce::OutputStream&)>& writer);

    /** The partial file that a copy or a write onto the target writes first. */
    static juce::File partialFileFor(const juce::File& target);

    /** Deletes the partial files that a killed run left in the folder. */
    static void deleteLeftovers(const juce::File& folder);
};
