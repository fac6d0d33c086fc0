#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The application-wide look and feel: the framework's V3 look with one application font for
    buttons, alert windows, menus and tooltips, menu shortcuts in a face that has their glyphs,
    and file-browser rows with larger text. It sets no colours of its own. It also serves
    typefaces for the requested faces that this machine lacks, and makes the faces of font
    collections known to the framework when the first one is made. */
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

    void drawFileBrowserRow(juce::Graphics&, int width, int height, const juce::File&,
                            const juce::String& filename, juce::Image* icon,
                            const juce::String& fileSizeDescription, const juce::String& fileTimeDescription,
                            bool isDirectory, bool isItemSelected, int itemIndex,
                            juce::DirectoryContentsDisplayComponent&) override;
    /** The same row, with the colours (the file list colour ids) taken from any component: the
        side browser's tree is not one of the framework's file lists. */
    void drawBrowserRow(juce::Graphics&, int width, int height, const juce::String& filename,
                        juce::Image* icon, const juce::String& fileSizeDescription,
                        const juce::String& fileTimeDescription, bool isDirectory, bool isItemSelected,
                        const juce::Component* colourSource);

    void drawPopupMenuItem(juce::Graphics&, const juce::Rectangle<int>& area, bool isSeparator, bool isActive,
                           bool isHighlighted, bool isTicked, bool hasSubMenu, const juce::String& text,
                           const juce::String& shortcutKeyText, const juce::Drawable* icon,
                           const juce::Colour* textColour) override;
    juce::Font getPopupMenuFont() override;

    juce::Rectangle<int> getTooltipBounds(const juce::String& tipText, juce::Point<int> screenPos,
                                          juce::Rectangle<int> parentArea) override;
    void drawTooltip(juce::Graphics&, const juce::String& text, int width, int height) override;

    juce::Typeface::Ptr getTypefaceForFont(const juce::Font& font) override;

    /** qZ's own short beep through the open audio device (the framework's writes a bell
        character to standard output). */
    void playAlertSound() override;

    juce::Font getAppFont() const;

private:
    void drawShortcut(juce::Graphics&, juce::Rectangle<int> area, bool isActive, bool isHighlighted,
                      bool hasSubMenu, const juce::String& shortcutKeyText, const juce::Colour* textColour);
};
