#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The application-wide look and feel: the framework's V3 look with one application font, and
    typefaces for the requested faces that this machine lacks. */
class QzLookAndFeel : public juce::LookAndFeel_V3
{
public:
    static const juce::String appFontName;      // "Microsoft YaHei"
    static const juce::String shortcutFontName; // "Arial Unicode MS"
    static constexpr float appFontHeight = 18.0f;

    QzLookAndFeel();
    ~QzLookAndFeel() override;

    juce::Font getTextButtonFont(juce::TextButton&, int buttonHeight) override;
    juce::Font getAlertWindowMessageFont() override;
    juce::Font getAlertWindowFont() override;
    juce::Font getPopupMenuFont() override;

    juce::Typeface::Ptr getTypefaceForFont(const juce::Font& font) override;

    juce::Font getAppFont() const;
};
