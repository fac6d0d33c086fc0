#include "workspace/AnimateSplash.h"

namespace
{
const int width = 530;
const int height = 380;

juce::StringArray makeCreditLines()
{
    return {TRANS("qZ: learn a language by listening closely"),
            TRANS("Application framework: JUCE"),
            TRANS("MP3 decoding: libmpg123"),
            TRANS("Ogg Vorbis audio: libvorbis and libogg"),
            TRANS("FLAC audio: libFLAC"),
            TRANS("Audio CDs: libcdio"),
            TRANS("Trash and web pages: GLib and GIO"),
            TRANS("Fonts: fontconfig and FreeType"),
            TRANS("Images: libpng and libjpeg"),
            TRANS("Compression: zlib"),
            TRANS("Audio devices: ALSA and JACK")};
}

juce::ColourGradient makeBackground()
{
    juce::ColourGradient gradient(juce::Colours::cyan, 20.0f, 20.0f, juce::Colours::black, 400.0f, 380.0f,
                                  true);
    gradient.addColour(0.6, juce::Colours::green);
    gradient.addColour(0.9, juce::Colours::blue);
    gradient.addColour(0.95, juce::Colours::darkgrey.withAlpha(0.2f));
    return gradient;
}

juce::Array<AnimateSplash*>& openWindows()
{
    static juce::Array<AnimateSplash*> windows;
    return windows;
}

// Text boxes: left, top, width, height, with width and height never below 0.
juce::Rectangle<int> box(int x, int y, int w, int h)
{
    return {x, y, juce::jmax(0, w), juce::jmax(0, h)};
}
} // namespace

int AnimateSplash::creditIndex = 0;

AnimateSplash::AnimateSplash()
    : productName(TRANS("qZ")), versionLine(TRANS("Version: ") + JUCE_APPLICATION_VERSION_STRING),
      creditLines(makeCreditLines()), animation(creditIndex, creditLines.size()), background(makeBackground())
{
    setOpaque(true);
    setWantsKeyboardFocus(true);
    setSize(width, height);
    openWindows().add(this);
}

AnimateSplash::~AnimateSplash()
{
    stopTimer();
    openWindows().removeFirstMatchingValue(this);
}

void AnimateSplash::show(const double& durationSeconds)
{
    animation.start(durationSeconds);
    area = getLocalBounds();
    startTimer(SplashAnimation::stepMs);

    addToDesktop(juce::ComponentPeer::windowIsTemporary | juce::ComponentPeer::windowHasDropShadow);
    centreWithSize(width, height);
    setVisible(true);
    // Whatever else ends the modal state (the modal manager cancelling every modal window, say)
    // closes the window too, rather than leaving it on top of everything with nothing to close it.
    enterModalState(true,
                    juce::ModalCallbackFunction::create(
                        [window = juce::Component::SafePointer<AnimateSplash>(this)](int)
                        {
                            if (window != nullptr)
                                window->close();
                        }),
                    false);
    setAlwaysOnTop(true);
}

int AnimateSplash::getNumOpenWindows()
{
    return openWindows().size();
}

void AnimateSplash::closeAll()
{
    while (!openWindows().isEmpty())
        openWindows().getLast()->close();
}

void AnimateSplash::close()
{
    stopTimer();
    delete this;
}

void AnimateSplash::mouseUp(const juce::MouseEvent&)
{
    close();
}

bool AnimateSplash::keyPressed(const juce::KeyPress& key)
{
    if (key != juce::KeyPress::escapeKey)
        return false;
    close();
    return true;
}

void AnimateSplash::timerCallback()
{
    const bool creditOnly = animation.onlyCreditChanges();
    if (!animation.advance())
    {
        close();
        return;
    }
    if (creditOnly)
        repaint(creditBox());
    else
        repaint();
}

juce::Rectangle<int> AnimateSplash::creditBox() const
{
    return box(area.getX() + 5, area.getY() + 175, area.getWidth() - 10, area.getHeight() - 350);
}

void AnimateSplash::paint(juce::Graphics& g)
{
    const int x = area.getX(), y = area.getY(), w = area.getWidth(), h = area.getHeight();

    // The gradient ends in a translucent ring; the window itself is opaque.
    g.fillAll(juce::Colours::black);
    g.setGradientFill(background);
    g.fillAll();

    g.setColour(juce::Colours::whitesmoke);
    g.setFont(juce::Font(80.0f, juce::Font::bold));
    g.drawFittedText(productName,
                     box(x + 20, y + 80, w - 40, h - 160).translated(0, animation.getTitleDrop()),
                     juce::Justification::centredTop, 1);

    g.setFont(juce::Font(25.0f, juce::Font::plain));
    if (animation.showsFirstCredit())
        g.drawFittedText(creditLines[0],
                         box(x + 50, y + 175, w - 100, h - 350).translated(0, -animation.getCreditLift()),
                         juce::Justification::centredBottom, 1);
    else if (animation.showsCreditsByTurn())
        drawTextByTurn(g);

    if (animation.showsVersion())
    {
        g.setColour(juce::Colours::lightgrey);
        g.setFont(juce::Font(22.0f, juce::Font::bold));
        g.drawFittedText(versionLine,
                         box(x + 15, y + 10, w - 30, h - 20).translated(-animation.getVersionShift(), 0),
                         juce::Justification::bottomRight, 1);
    }

    // Drawn, since the window can't be made translucent: from dark to the full picture.
    if (const float fade = animation.getFadeLevel(); fade < 1.0f)
        g.fillAll(juce::Colours::black.withAlpha(1.0f - fade));
}

void AnimateSplash::drawTextByTurn(juce::Graphics& g)
{
    g.drawFittedText(creditLines[animation.getCreditIndex() % creditLines.size()], creditBox(),
                     juce::Justification::centredBottom, 1);
}
