#pragma once

#include "workspace/SplashAnimation.h"

#include <juce_gui_basics/juce_gui_basics.h>

/** The about window: a borderless, always-on-top window of 530 x 380 that fades in, brings the
    product name, the first credit line and the version line into place, then shows the credit
    lines one after another. A click anywhere or Escape closes it, and so does the end of its time;
    it deletes itself when it closes.

    X11 windows have no transparency here, so the fade-in is drawn: the window starts dark and
    brightens over its first 3.2 s. */
class AnimateSplash : public juce::Component, public juce::DeletedAtShutdown, private juce::Timer
{
public:
    AnimateSplash();
    ~AnimateSplash() override;

    /** Puts the window on the screen, centred, modal and on top, for at most this many seconds;
        returns at once. */
    void show(const double& durationSeconds);

    void mouseUp(const juce::MouseEvent& event) override;
    void paint(juce::Graphics& g) override;
    bool keyPressed(const juce::KeyPress& key) override;

    const SplashAnimation& getAnimation() const { return animation; }
    const juce::StringArray& getCreditLines() const { return creditLines; }
    const juce::String& getProductName() const { return productName; }
    const juce::String& getVersionLine() const { return versionLine; }

    /** The credit line shown in turn, kept for the whole run across about windows. */
    static int creditIndex;

    /** The about windows open now. */
    static int getNumOpenWindows();
    /** Closes every open about window; the application calls it at shut-down, before the look
        and feel the windows draw with goes. */
    static void closeAll();

private:
    void timerCallback() override;
    void close();
    void drawTextByTurn(juce::Graphics& g);
    juce::Rectangle<int> creditBox() const;

    const juce::String productName;
    const juce::String versionLine;
    const juce::StringArray creditLines;
    SplashAnimation animation;
    juce::ColourGradient background;
    juce::Rectangle<int> area;

    JUCE_DECLARE_NON_COPYABLE(AnimateSplash)
};
