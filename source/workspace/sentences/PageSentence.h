#pragma once

#include "workspace/sentences/SentenceComponent.h"
#include "workspace/sentences/TextLabel.h"

/** The block that shows one sentence on a page: a short waveform above two one-line text
    fields, the foreign text and the native text, each after a faint marker. Edits of a field are
    reported to the listeners; the texts the model sets are shown without a report. */
class PageSentence : public SentenceComponent, private juce::Label::Listener
{
public:
    /** The command that marks a sentence for review or takes it out of review. */
    static constexpr juce::CommandID joinOrExitReview = 0x2007;

    PageSentence(juce::AudioThumbnail& overview, int startSample, int endSample);
    ~PageSentence() override;

    /** Shows the foreign text; with notify, the listeners hear of it as of an edit. */
    void setOrginText(const juce::String& text, bool notify);
    /** Shows the native text; with notify, the listeners hear of it as of an edit. */
    void setTransText(const juce::String& text, bool notify);

    /** The foreign-text field (true) or the native-text field (false). */
    TextLabel& getTextField(bool foreign) { return foreign ? foreignText : nativeText; }
    const TextLabel& getTextField(bool foreign) const { return foreign ? foreignText : nativeText; }
    /** The faint marker before the foreign-text field (true) or the native one (false). */
    TextLabel& getMarker(bool foreign) { return foreign ? foreignMarker : nativeMarker; }

    /** Fonts and colours of the texts from the settings. */
    void applySystemTextAttrib() override;

    void paint(juce::Graphics& g) override;
    void resized() override;
    void mouseUp(const juce::MouseEvent& event) override;
    void mouseDoubleClick(const juce::MouseEvent& event) override;

    /** Invokes a command through the application's command manager from the message loop, after
        the caller has returned: views never change course data while they handle an event. */
    static void invokeAsync(juce::CommandID command);

    /** How wide the waveform of a sentence of that many samples is drawn in a block that wide. */
    static int waveformWidth(int samples, int blockWidth);

private:
    void labelTextChanged(juce::Label* label) override;

    // Declared in the order they are made.
    TextLabel foreignMarker{"T: "};
    TextLabel nativeMarker{"R: "};
    TextLabel foreignText;
    TextLabel nativeText;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(PageSentence)
};
