#include "workspace/QzLookAndFeel.h"

#include "platform/FontSubstitution.h"

using juce::Font;

const juce::String QzLookAndFeel::appFontName = "Microsoft YaHei";
const juce::String QzLookAndFeel::shortcutFontName = "Arial Unicode MS";

QzLookAndFeel::QzLookAndFeel()
{
    // Fonts made without a face name (labels, the status bar) take the application face too.
    setDefaultSansSerifTypefaceName(appFontName);
}

QzLookAndFeel::~QzLookAndFeel() = default;

Font QzLookAndFeel::getAppFont() const
{
    return Font(appFontName, appFontHeight, Font::plain);
}

Font QzLookAndFeel::getTextButtonFont(juce::TextButton&, int)
{
    return getAppFont();
}

Font QzLookAndFeel::getAlertWindowMessageFont()
{
    return getAppFont();
}

Font QzLookAndFeel::getAlertWindowFont()
{
    return getAppFont();
}

Font QzLookAndFeel::getPopupMenuFont()
{
    return getAppFont();
}

juce::Typeface::Ptr QzLookAndFeel::getTypefaceForFont(const Font& font)
{
    auto face = font.getTypefaceName();
    if (face == Font::getDefaultSansSerifFontName())
        face = appFontName;

    if (face == appFontName || face == shortcutFontName)
        if (auto substitute = FontSubstitution::substituteFor(face))
            return substitute;

    return LookAndFeel_V3::getTypefaceForFont(font);
}
