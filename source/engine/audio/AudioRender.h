#pragma once

#include "engine/CheckedFileOutputStream.h"

#include <juce_audio_formats/juce_audio_formats.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <atomic>

/** Renders a queue of audio pieces into one Ogg Vorbis file, on a job thread behind a modal
    progress window. A piece is a reader (usually one sentence of the course audio) repeated a
    number of times, each repetition followed by a pause that lasts a ratio of the piece.

    Made for one output: the caller adds the pieces, sets the gain, calls render once and deletes
    the renderer. Every piece gets a fresh resampler, so no filter state carries over, and each is
    cut to a whole number of output samples. Mono output sums both channels, so every gain is
    halved first; a mono reader is read into both channels and keeps its level.

    A failed write (a full disk, a folder that can't be written) is noticed and reported as a
    failed render, never as a file that was written. */
class AudioRender : public juce::ThreadWithProgressWindow
{
public:
    /** More repetitions than this are taken as this many: a settings file may hold anything. */
    static constexpr int mostRepeats = 100;
    /** Pauses longer than this many times their piece are cut to it. */
    static constexpr double longestPauseRatio = 10.0;

    AudioRender();
    ~AudioRender() override;

    /** The samples written for a piece of that many samples at the source rate, rendered at the
        output rate: its length scaled and cut to whole samples. Course texts laid on rendered
        audio take their sentences' lengths from here, so that they agree with it exactly. */
    static juce::int64 renderedLength(juce::int64 pieceLength, double sourceRate, double outputRate);

    /** Queues the reader (the renderer owns it from now on) repeatCount times, each followed by a
        pause of pauseRatio times its length when that is above 0. */
    void addAudioSource(juce::AudioFormatReader* reader, int repeatCount, const double& pauseRatio);

    /** Sets the gain of every repetition queued so far; pauses and later pieces are left as they are. */
    void setAudioEffects(float gain);

    /** Writes the queue into the file (replacing it) at that sample rate, with 1 (mono) or 2
        (stereo) channels and that Ogg Vorbis quality index. False when the file can't be replaced,
        the settings can't be rendered (the learner is told), the writing failed or the learner
        cancelled; the file is then gone. Blocks in the progress window until the job ends. */
    bool render(const juce::File& file, const double& sampleRate, unsigned int channels, int qualityIndex);

    void run() override;

private:
    bool renderSettingsUsable(const double& sampleRate) const;
    /** Writes one queued source through its own resampler and channel mapping; false when the
        job should end (a cancel or a failed write). */
    bool writeSource(int index, juce::AudioFormatWriter& writer);

    juce::OwnedArray<juce::AudioFormatReader> readers;
    juce::OwnedArray<juce::PositionableAudioSource> sources;
    // Each queued source's own rate: a tip sound and a course may have been recorded at different
    // rates, and each must be resampled by its own ratio.
    juce::Array<double> sourceRates;
    double sourceSampleRate = 0.0;
    juce::File outputFile;
    double outputSampleRate = 44100.0;
    juce::uint32 numChannels = 2;
    int quality = 7;

    // Written by the job, read once it has ended.
    std::atomic<bool> written{false};
    // What became of the output file's bytes; the job checks it after every block.
    std::shared_ptr<const CheckedFileOutputStream::Outcome> outcome;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(AudioRender)
};
