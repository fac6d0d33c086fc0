#pragma once

#include "engine/audio/AudioDataPlayer.h"

#include <juce_audio_utils/juce_audio_utils.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

class AudioRecorder;
class CourseModel;
class RecordingThumbnail;

/** The panel for interpretation practice during review: it shows one due sentence's text (the
    foreign text or its translation, by setting) and waveform, records the learner's
    interpretation, then plays the recording and the sentence's own audio in turn, without end,
    until the learner stops or moves to another due sentence. Nothing it does changes course data
    or review results. */
class InterpretComponent : public juce::Component,
                           private AudioDataPlayer::Listener,
                           private juce::Button::Listener
{
public:
    InterpretComponent(CourseModel* model, int sentence);
    ~InterpretComponent() override;

    void setWidgetsText();
    void showText(int sentence, bool foreign);
    void drawThumbOfSentence(int sentence);
    /** Play as given; the navigation buttons by where the selection stands among the due sentences. */
    void setPlayButtonsStatus(bool playable);

    void paint(juce::Graphics& g) override;
    void resized() override;

    /** Whether the next playback is the sentence (true) or the recording (false). */
    bool isSentenceNext() const { return sentenceNext; }
    AudioDataPlayer& getPlayer() const { return *player; }
    AudioRecorder& getRecorder() const { return *recorder; }

private:
    void buttonClicked(juce::Button* button) override;
    void playFinished(AudioDataPlayer* player) override;
    void playerStarted(AudioDataPlayer*) override {}
    void playerStopped(AudioDataPlayer*) override {}

    void recordOrStop();
    void playOrStop();
    void moveTo(bool (CourseModel::*select)());
    /** After a recording: the player holds it, to be heard first. */
    void cueRecording();

    double start = 0.0;
    double end = 0.0;
    CourseModel* courseModel;
    juce::AudioThumbnail& overview;
    std::unique_ptr<RecordingThumbnail> recordingWaveform;
    std::unique_ptr<AudioDataPlayer> player;
    std::unique_ptr<AudioRecorder> recorder;
    bool sentenceNext = true;
    // Between Play and Stop (or a recording, or a move): an end of playback that the message loop
    // delivers after those comes too late to go on.
    bool alternating = false;

    juce::Label text;
    juce::TextButton recordButton;
    juce::TextButton playButton;
    juce::TextButton nextButton;
    juce::TextButton previousButton;
    juce::TextButton firstButton;
    juce::Label title;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(InterpretComponent)
};
