#pragma once

#include <juce_audio_utils/juce_audio_utils.h>
#include <juce_gui_basics/juce_gui_basics.h>

/** The on-screen view of one sentence of the open course: a block on the waveform strip or on a
    page. A view never edits course data; it reports what the learner did to its listeners (in
    practice the course model), which turn the reports into edits, selections and play positions.

    The course model and the containers read the public fields directly; the model keeps them in
    step with the course tree. */
class SentenceComponent : public juce::Component
{
public:
    /** What a view reports. Every operation receives the reporting view first. */
    class Listener
    {
    public:
        virtual ~Listener() = default;

        virtual void prepareDrag(SentenceComponent* view) = 0;
        virtual void startChanged(SentenceComponent* view) = 0;
        virtual void endChanged(SentenceComponent* view) = 0;
        virtual void splitThumbSentence(SentenceComponent* view, int x) = 0;
        virtual void hasBeenSelected(SentenceComponent* view) = 0;
        virtual void setCursorPosition(SentenceComponent* view, int x) = 0;
        virtual void setPlayPosition(SentenceComponent* view, int x) = 0;
        virtual void orginTextChanged(SentenceComponent* view, const juce::String& text, bool moveOn) = 0;
        virtual void transTextChanged(SentenceComponent* view, const juce::String& text, bool moveOn) = 0;
        virtual void hasBeenEnterTransModal(SentenceComponent* view) = 0;
        virtual void reviewSuccessed(SentenceComponent* view, bool counted) = 0;
        virtual void reviewFailed(SentenceComponent* view) = 0;
    };

    SentenceComponent(juce::AudioThumbnail& overview, int startSample, int endSample);
    ~SentenceComponent() override;

    virtual void setSelected(bool shouldBeSelected);
    virtual void needReview(bool unfamiliar) = 0;
    virtual void applySystemTextAttrib() {}
    virtual void textLabelEnterInputStatus(bool /*foreign*/) {}
    virtual void switchTextInputStatus() {}

    void setStartSamples(int newStart);
    void setEndSamples(int newEnd);

    void addListener(Listener* listener);
    void removeListener(Listener* listener);

    void mouseDown(const juce::MouseEvent& event) override;

    /** First sample of the sentence in the course audio. */
    int start;
    /** Last sample of the sentence, inclusive. */
    int end;
    /** The course's waveform overview, owned by the course model and shared by every view. */
    juce::AudioThumbnail& thumbnail;

protected:
    /** Calls every listener, from the last registered to the first. The count is read again
        before each call, so a listener may remove itself (or others) while it is called; and a
        listener may delete this view (the end of a review day clears the workspace), after which
        no further listener is called. */
    template <typename Call> void callListeners(Call&& call)
    {
        juce::Component::BailOutChecker checker(this);
        for (int i = listeners.size(); --i >= 0;)
        {
            call(*listeners.getUnchecked(i));
            if (checker.shouldBailOut())
                return;
            i = juce::jmin(i, listeners.size());
        }
    }

private:
    juce::Array<Listener*> listeners;

public:
    bool selected = false;
    bool needsReview = false;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(SentenceComponent)
};
