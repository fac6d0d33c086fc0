#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <vector>

/** The ruler above the waveform strip. It covers only the visible part of the strip; the strip
    moves it and tells it the time at its left edge. */
class TimeScaleComponent : public juce::Component
{
public:
    /** The commands its context menu offers. */
    enum CommandId
    {
        zoomInWaveformArea = 0x2040,
        zoomOutWaveformArea = 0x2041
    };

    /** One tick: its x and the y it reaches down from to the bottom. */
    struct Mark
    {
        float x = 0.0f;
        int top = 0;
    };

    /** One time label, left-justified at x on the text baseline; tick counts the major ticks
        from the start of the course to its own. */
    struct TimeLabel
    {
        int x = 0;
        juce::String text;
        juce::int64 tick = 0;
    };

    /** What the ruler draws for a part of the time axis: its ticks and labels, and the pixels
        between two major ticks. */
    struct Ruler
    {
        std::vector<Mark> marks;
        std::vector<TimeLabel> labels;
        int majorPixels = 0;
    };

    TimeScaleComponent();
    ~TimeScaleComponent() override;

    /** The ticks and labels of a ruler `width` pixels wide whose left edge lies at
        `startSeconds`, at the current horizontal zoom. Empty when the zoom leaves no room
        between two major ticks. */
    static Ruler layOutRuler(double startSeconds, int width);

    /** The ruler's labels that are drawn in that font: where the labels are wider than the
        distance between major ticks, only every so many, so that none runs into the next. */
    static std::vector<TimeLabel> labelsThatFit(const Ruler& ruler, const juce::Font& font);

    /** The context menu: the two zoom commands of the command manager. */
    static juce::PopupMenu createContextMenu();

    void paint(juce::Graphics& g) override;
    void mouseMove(const juce::MouseEvent& event) override;
    void mouseUp(const juce::MouseEvent& event) override;
    void mouseWheelMove(const juce::MouseEvent& event, const juce::MouseWheelDetails& wheel) override;

    /** The time at the left edge of the visible part, in seconds. */
    double startTime = 0.0;

    static constexpr int labelBaseline = 13;
    static constexpr int majorTop = 5;
    static constexpr int middleTop = 12;
    static constexpr int minorTop = 17;
    /** The least room between the end of one time label and the start of the next. */
    static constexpr int labelGap = 6;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(TimeScaleComponent)
};
