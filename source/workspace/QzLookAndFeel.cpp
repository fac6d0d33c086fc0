#include "workspace/QzLookAndFeel.h"

#include "platform/AlertBeep.h"
#include "platform/FontSubstitution.h"

using juce::Colour;
using juce::Font;
using juce::Graphics;
using juce::Justification;
using juce::Rectangle;
using juce::String;

const String QzLookAndFeel::appFontName = "Microsoft YaHei";
const String QzLookAndFeel::shortcutFontName = "Arial Unicode MS";

namespace
{
// A tip's window is measured for lines up to 420 pixels and its text is drawn for 400.
constexpr float tooltipMeasuredWidth = 420.0f;
constexpr float tooltipDrawnWidth = 400.0f;

constexpr int fileIconRight = 32;
constexpr int fileDetailsMinWidth = 451;

juce::TextLayout layoutTooltip(const String& text, const Font& font, Colour colour, float maxWidth)
{
    juce::AttributedString attributed;
    attributed.setJustification(Justification::centred);
    attributed.append(text, font, colour);

    juce::TextLayout layout;
    layout.createLayoutWithBalancedLineLengths(attributed, maxWidth);
    return layout;
}

Font shortcutFont()
{
    return Font(QzLookAndFeel::shortcutFontName, 20.0f, Font::plain).withHeight(20.0f * 0.9f);
}

void drawFileIcon(juce::LookAndFeel& lookAndFeel, Graphics& g, int height, juce::Image* icon,
                  bool isDirectory)
{
    const auto placement = juce::RectanglePlacement::centred | juce::RectanglePlacement::onlyReduceInSize;
    const Rectangle<int> area(2, 2, fileIconRight - 4, height - 4);

    if (icon != nullptr && icon->isValid())
        g.drawImageWithin(*icon, area.getX(), area.getY(), area.getWidth(), area.getHeight(), placement,
                          false);
    else if (auto* image = isDirectory ? lookAndFeel.getDefaultFolderImage()
                                       : lookAndFeel.getDefaultDocumentFileImage())
        image->drawWithin(g, area.toFloat(), placement, 1.0f);
}
} // namespace

QzLookAndFeel::QzLookAndFeel()
{
    // Before any text is drawn: the faces in font collections (most Chinese fonts) become
    // faces like any other, which the page fonts can name.
    FontSubstitution::addFacesTheFrameworkSkips();
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

void QzLookAndFeel::drawFileBrowserRow(Graphics& g, int width, int height, const juce::File&,
                                       const String& filename, juce::Image* icon,
                                       const String& fileSizeDescription, const String& fileTimeDescription,
                                       bool isDirectory, bool isItemSelected, int,
                                       juce::DirectoryContentsDisplayComponent& display)
{
    drawBrowserRow(g, width, height, filename, icon, fileSizeDescription, fileTimeDescription, isDirectory,
                   isItemSelected, dynamic_cast<juce::Component*>(&display));
}

void QzLookAndFeel::drawBrowserRow(Graphics& g, int width, int height, const String& filename,
                                   juce::Image* icon, const String& fileSizeDescription,
                                   const String& fileTimeDescription, bool isDirectory, bool isItemSelected,
                                   const juce::Component* displayComponent)
{
    const auto colourOf = [&](int colourId)
    { return displayComponent != nullptr ? displayComponent->findColour(colourId) : findColour(colourId); };

    if (isItemSelected)
        g.fillAll(colourOf(juce::DirectoryContentsDisplayComponent::highlightColourId));

    drawFileIcon(*this, g, height, icon, isDirectory);

    // One text colour for name, size and time, on selected rows too (the framework greys the
    // details and switches selected rows to another colour).
    g.setColour(colourOf(juce::DirectoryContentsDisplayComponent::textColourId));
    g.setFont(Font((float)height * 0.85f));

    if (width < fileDetailsMinWidth || isDirectory)
    {
        g.drawFittedText(filename, fileIconRight, 0, width - fileIconRight, height,
                         Justification::centredLeft, 1);
        return;
    }

    const auto sizeX = juce::roundToInt((float)width * 0.7f);
    const auto timeX = juce::roundToInt((float)width * 0.8f);
    g.drawFittedText(filename, fileIconRight, 0, sizeX - fileIconRight, height, Justification::centredLeft,
                     1);

    g.setFont(Font((float)height * 0.8f));
    g.drawFittedText(fileSizeDescription, sizeX, 0, timeX - 8 - sizeX, height, Justification::centredRight,
                     1);
    g.drawFittedText(fileTimeDescription, timeX, 0, width - 8 - timeX, height, Justification::centredRight,
                     1);
}

void QzLookAndFeel::drawPopupMenuItem(Graphics& g, const Rectangle<int>& area, bool isSeparator,
                                      bool isActive, bool isHighlighted, bool isTicked, bool hasSubMenu,
                                      const String& text, const String& shortcutKeyText,
                                      const juce::Drawable* icon, const Colour* textColour)
{
    // The framework's item is the one wanted except for its shortcut, which it draws smaller, in
    // the item's face: the item goes to the framework without it and the shortcut is drawn here.
    LookAndFeel_V3::drawPopupMenuItem(g, area, isSeparator, isActive, isHighlighted, isTicked, hasSubMenu,
                                      text, {}, icon, textColour);

    if (!isSeparator && shortcutKeyText.isNotEmpty())
        drawShortcut(g, area, isActive, isHighlighted, hasSubMenu, shortcutKeyText, textColour);
}

void QzLookAndFeel::drawShortcut(Graphics& g, Rectangle<int> area, bool isActive, bool isHighlighted,
                                 bool hasSubMenu, const String& shortcutKeyText, const Colour* textColour)
{
    auto r = area.reduced(1);
    r.removeFromLeft((r.getHeight() * 5) / 4); // the icon area
    if (hasSubMenu)
        r.removeFromRight((int)(0.6f * getPopupMenuFont().getAscent()));
    r.removeFromRight(3);

    if (isHighlighted)
        g.setColour(findColour(juce::PopupMenu::highlightedTextColourId));
    else
        g.setColour(textColour != nullptr ? *textColour : findColour(juce::PopupMenu::textColourId));
    if (!isActive)
        g.setOpacity(0.3f);

    g.setFont(shortcutFont());
    g.drawText(shortcutKeyText, r, Justification::centredRight, true);
}

Rectangle<int> QzLookAndFeel::getTooltipBounds(const String& tipText, juce::Point<int> screenPos,
                                               Rectangle<int> parentArea)
{
    const auto layout = layoutTooltip(tipText, getAppFont(), juce::Colours::black, tooltipMeasuredWidth);
    const auto w = (int)(layout.getWidth() + 20.0f);
    const auto h = (int)(layout.getHeight() + 10.0f);

    const auto x = screenPos.x > parentArea.getCentreX() ? screenPos.x - 12 - w : screenPos.x + 24;
    const auto y = screenPos.y > parentArea.getCentreY() ? screenPos.y - 6 - h : screenPos.y + 6;

    // A tip larger than the area is cut to it and keeps its left and top edges inside, where its
    // text starts.
    return Rectangle<int>(x, y, w, h).constrainedWithin(parentArea);
}

void QzLookAndFeel::drawTooltip(Graphics& g, const String& text, int width, int height)
{
    g.fillAll(findColour(juce::TooltipWindow::backgroundColourId));
    layoutTooltip(text, getAppFont(), findColour(juce::TooltipWindow::textColourId), tooltipDrawnWidth)
        .draw(g, Rectangle<int>(width, height).toFloat());
}

juce::Typeface::Ptr QzLookAndFeel::getTypefaceForFont(const Font& font)
{
    auto face = font.getTypefaceName();
    if (face == Font::getDefaultSansSerifFontName())
        face = appFontName;

    // The framework resolves its other placeholder names itself. Any real face it doesn't have
    // (the application's faces, a page font chosen on another machine) it would draw as nothing
    // at all, so that gets the stand-in with Chinese glyphs.
    if (face != Font::getDefaultSerifFontName() && face != Font::getDefaultMonospacedFontName())
        if (auto substitute = FontSubstitution::substituteFor(face))
            return substitute;

    return LookAndFeel_V3::getTypefaceForFont(font);
}

void QzLookAndFeel::playAlertSound()
{
    AlertBeep::play();
}
