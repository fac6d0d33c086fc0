// The application's look and feel, drawn into images and read back by pixel.
#include "workspace/QzLookAndFeel.h"

#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdlib>

using juce::Colour;
using juce::Image;
using juce::Rectangle;
using juce::String;

namespace
{
/** The summed alpha of the pixels in area: how much ink was put there. */
double inkIn(const Image& image, Rectangle<int> area)
{
    double ink = 0.0;
    area = area.getIntersection(image.getBounds());
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            ink += image.getPixelAt(x, y).getFloatAlpha();
    return ink;
}

/** The smallest rectangle holding every pixel of area with visible ink. */
Rectangle<int> inkBounds(const Image& image, Rectangle<int> area)
{
    Rectangle<int> bounds;
    area = area.getIntersection(image.getBounds());
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            if (image.getPixelAt(x, y).getAlpha() > 40)
                bounds = bounds.isEmpty() ? Rectangle<int>(x, y, 1, 1)
                                          : bounds.getUnion(Rectangle<int>(x, y, 1, 1));
    return bounds;
}

/** The most opaque pixel of area: the colour of its ink. */
Colour strongestInk(const Image& image, Rectangle<int> area)
{
    Colour strongest = juce::Colours::transparentBlack;
    area = area.getIntersection(image.getBounds());
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            if (image.getPixelAt(x, y).getAlpha() > strongest.getAlpha())
                strongest = image.getPixelAt(x, y);
    return strongest;
}

bool sameColour(Colour a, Colour b, int tolerance = 10)
{
    return std::abs(a.getRed() - b.getRed()) <= tolerance &&
           std::abs(a.getGreen() - b.getGreen()) <= tolerance &&
           std::abs(a.getBlue() - b.getBlue()) <= tolerance;
}

class QzLookAndFeelTest : public testing::Test
{
protected:
    void SetUp() override { juce::LookAndFeel::setDefaultLookAndFeel(&lookAndFeel); }
    void TearDown() override { juce::LookAndFeel::setDefaultLookAndFeel(nullptr); }

    struct MenuItem
    {
        String text = "Open recording";
        String shortcut;
        bool isActive = true;
        bool isHighlighted = false;
        bool isTicked = false;
        bool hasSubMenu = false;
        bool isSeparator = false;
        int width = 320;
        int height = 30;
    };

    Image drawMenuItem(const MenuItem& item)
    {
        Image image(Image::ARGB, item.width, item.height, true);
        juce::Graphics g(image);
        lookAndFeel.drawPopupMenuItem(g, image.getBounds(), item.isSeparator, item.isActive,
                                      item.isHighlighted, item.isTicked, item.hasSubMenu, item.text,
                                      item.shortcut, nullptr, &black);
        return image;
    }

    Colour black = juce::Colours::black;
    QzLookAndFeel lookAndFeel;
};
} // namespace

TEST_F(QzLookAndFeelTest, OneApplicationFontWhateverTheWidget)
{
    const auto appFont = lookAndFeel.getAppFont();
    EXPECT_EQ(appFont.getTypefaceName(), "Microsoft YaHei");
    EXPECT_EQ(appFont.getHeight(), 18.0f);
    EXPECT_EQ(appFont.getStyleFlags(), juce::Font::plain);

    for (int buttonHeight : {12, 24, 80})
    {
        juce::TextButton button;
        EXPECT_EQ(lookAndFeel.getTextButtonFont(button, buttonHeight), appFont)
            << "button height " << buttonHeight;
    }
    EXPECT_EQ(lookAndFeel.getAlertWindowMessageFont(), appFont);
    EXPECT_EQ(lookAndFeel.getAlertWindowFont(), appFont);
    EXPECT_EQ(lookAndFeel.getPopupMenuFont(), appFont);

    // A font made without a face name is drawn in the application's face.
    EXPECT_EQ(lookAndFeel.getTypefaceForFont(juce::Font(12.0f)).get(),
              lookAndFeel.getTypefaceForFont(appFont).get());
}

TEST_F(QzLookAndFeelTest, SetsNoColoursOfItsOwn)
{
    juce::LookAndFeel_V3 framework;
    for (int colourId : {(int)juce::PopupMenu::backgroundColourId, (int)juce::PopupMenu::textColourId,
                         (int)juce::PopupMenu::highlightedBackgroundColourId,
                         (int)juce::TooltipWindow::backgroundColourId, (int)juce::TooltipWindow::textColourId,
                         (int)juce::DirectoryContentsDisplayComponent::highlightColourId,
                         (int)juce::DirectoryContentsDisplayComponent::textColourId,
                         (int)juce::TextButton::buttonColourId, (int)juce::Label::textColourId})
        EXPECT_EQ(lookAndFeel.findColour(colourId), framework.findColour(colourId))
            << "colour id " << colourId;
}

TEST_F(QzLookAndFeelTest, ShortcutIsDrawnAtTheRightInItsOwnFace)
{
    MenuItem item;
    item.width = 400;
    const auto rightPart = Rectangle<int>(item.width / 2, 0, item.width / 2, item.height);
    EXPECT_EQ(inkIn(drawMenuItem(item), rightPart), 0.0) << "no shortcut, no ink at the right";

    item.shortcut = "Ctrl+Shift+O";
    const auto drawn = inkBounds(drawMenuItem(item), rightPart);
    ASSERT_FALSE(drawn.isEmpty()) << "the shortcut is not drawn";
    // Right-aligned 1 + 3 pixels inside the item, at its full height of 18.
    EXPECT_NEAR(drawn.getRight(), item.width - 4, 2);
    const auto expectedWidth = juce::Font(QzLookAndFeel::shortcutFontName, 18.0f, juce::Font::plain)
                                   .getStringWidthFloat(item.shortcut);
    EXPECT_NEAR(drawn.getWidth(), expectedWidth, 3.0);

    // Drawn once, and only in that face and size.
    Image alone(Image::ARGB, item.width, item.height, true);
    {
        juce::Graphics g(alone);
        g.setColour(black);
        g.setFont(juce::Font(QzLookAndFeel::shortcutFontName, 18.0f, juce::Font::plain));
        g.drawSingleLineText(item.shortcut, item.width / 2, item.height - 8);
    }
    EXPECT_NEAR(inkIn(drawMenuItem(item), rightPart) / inkIn(alone, alone.getBounds()), 1.0, 0.1);
}

TEST_F(QzLookAndFeelTest, DisabledItemIsDrawnAtThirtyPercent)
{
    MenuItem item;
    item.shortcut = "Ctrl+O";
    const auto enabled = drawMenuItem(item);
    item.isActive = false;
    const auto disabled = drawMenuItem(item);

    const auto half = item.width / 2;
    for (auto area : {Rectangle<int>(0, 0, half, item.height), Rectangle<int>(half, 0, half, item.height)})
    {
        ASSERT_GT(inkIn(enabled, area), 0.0);
        EXPECT_NEAR(inkIn(disabled, area) / inkIn(enabled, area), 0.3, 0.03) << "in " << area.toString();
    }
}

TEST_F(QzLookAndFeelTest, HighlightedItemIsFilledAndDrawsInTheHighlightedTextColour)
{
    const Colour background(0xff30c030), text(0xffc02020);
    lookAndFeel.setColour(juce::PopupMenu::highlightedBackgroundColourId, background);
    lookAndFeel.setColour(juce::PopupMenu::highlightedTextColourId, text);

    MenuItem item;
    item.shortcut = "Ctrl+O";
    item.isHighlighted = true;
    const auto image = drawMenuItem(item);

    EXPECT_EQ(image.getPixelAt(0, 0).getAlpha(), 0) << "the fill leaves one pixel around the item";
    EXPECT_EQ(image.getPixelAt(1, 1), background);
    EXPECT_EQ(image.getPixelAt(item.width - 2, item.height - 2), background);

    const auto half = item.width / 2;
    for (auto area : {Rectangle<int>(0, 0, half, item.height), Rectangle<int>(half, 0, half, item.height)})
    {
        int textPixels = 0;
        for (int y = area.getY(); y < area.getBottom(); ++y)
            for (int x = area.getX(); x < area.getRight(); ++x)
                textPixels += sameColour(image.getPixelAt(x, y), text, 12) ? 1 : 0;
        EXPECT_GT(textPixels, 10) << "in " << area.toString();
    }
}

TEST_F(QzLookAndFeelTest, LowItemsShrinkTheirText)
{
    MenuItem item;
    item.height = 40;
    const auto full = inkBounds(drawMenuItem(item), {0, 0, item.width, item.height});
    item.height = 18; // the text may be at most 18 / 1.3 high
    const auto low = inkBounds(drawMenuItem(item), {0, 0, item.width, item.height});

    EXPECT_NEAR((double)low.getWidth() / full.getWidth(), (18.0 / 1.3) / 18.0, 0.05);
}

TEST_F(QzLookAndFeelTest, TickAndSubmenuArrowHaveTheirPlaces)
{
    MenuItem item;
    item.text = {};
    // One pixel more than the icon area for the edges of the smoothed tick.
    const auto iconArea = Rectangle<int>(1, 1, (item.height - 2) * 5 / 4, item.height - 2).reduced(2);
    const auto arrowArea = Rectangle<int>(item.width - 24, 0, 24, item.height);

    struct Case
    {
        bool ticked, subMenu;
    };
    for (auto c : {Case{false, false}, Case{true, false}, Case{false, true}, Case{true, true}})
    {
        item.isTicked = c.ticked;
        item.hasSubMenu = c.subMenu;
        const auto image = drawMenuItem(item);
        SCOPED_TRACE(testing::Message() << "ticked " << c.ticked << ", submenu " << c.subMenu);
        EXPECT_EQ(inkIn(image, iconArea) > 0.0, c.ticked);
        EXPECT_EQ(inkIn(image, arrowArea) > 0.0, c.subMenu);
        EXPECT_NEAR(inkIn(image, image.getBounds()), inkIn(image, iconArea) + inkIn(image, arrowArea), 1e-6)
            << "ink outside the tick and the arrow";
    }
}

TEST_F(QzLookAndFeelTest, SeparatorDrawsADarkAndALightLineAtTheMiddle)
{
    for (int height : {9, 10, 24})
    {
        MenuItem item;
        item.isSeparator = true;
        item.height = height;
        const auto image = drawMenuItem(item);
        const int dark = height / 2 - 1;
        SCOPED_TRACE(testing::Message() << "height " << height);

        for (int y = 0; y < height; ++y)
        {
            const auto expected = y == dark       ? Colour(0x33000000)
                                  : y == dark + 1 ? Colour(0x66ffffff)
                                                  : juce::Colours::transparentBlack;
            for (int x : {5, item.width / 2, item.width - 6})
                EXPECT_EQ(image.getPixelAt(x, y).getARGB(), expected.getARGB()) << "at " << x << ", " << y;
            for (int x : {4, item.width - 5})
                EXPECT_EQ(image.getPixelAt(x, y).getAlpha(), 0)
                    << "the line reaches the side at " << x << ", " << y;
        }
    }
}

TEST_F(QzLookAndFeelTest, ChineseMenuItemsDrawRealGlyphs)
{
    MenuItem item;
    item.text = String::fromUTF8("打开课程");
    item.shortcut = String::fromUTF8("空格");
    const auto chinese = drawMenuItem(item);
    item.text =
        String::fromUTF8("\xee\x80\x80\xee\x80\x80\xee\x80\x80\xee\x80\x80"); // unmapped: boxes or nothing
    item.shortcut = String::fromUTF8("\xee\x80\x80\xee\x80\x80");
    const auto missing = drawMenuItem(item);

    const auto half = item.width / 2;
    for (auto area : {Rectangle<int>(0, 0, half, item.height), Rectangle<int>(half, 0, half, item.height)})
    {
        EXPECT_GT(inkIn(chinese, area), 20.0) << "no ink in " << area.toString();
        EXPECT_NE(inkIn(chinese, area), inkIn(missing, area)) << "boxes in " << area.toString();
    }
}

TEST_F(QzLookAndFeelTest, TooltipOpensBesideThePointerAndStaysInTheArea)
{
    const String tip = "Open a recording";
    // The tip's own size, from a place where nothing moves or cuts it.
    const auto free = lookAndFeel.getTooltipBounds(tip, {100, 100}, {0, 0, 2000, 2000});
    ASSERT_EQ(free.getPosition(), juce::Point<int>(124, 106));
    const int w = free.getWidth(), h = free.getHeight();
    ASSERT_GT(w, 20);
    ASSERT_GT(h, 10);

    const String longTip = String::repeatedString("Play the sentence again and again ", 6);
    const auto longFree = lookAndFeel.getTooltipBounds(longTip, {0, 0}, {0, 0, 4000, 4000});

    struct Case
    {
        const char* where;
        String text;
        juce::Point<int> pointer;
        Rectangle<int> area;
        Rectangle<int> expected;
    };
    const Rectangle<int> area(100, 50, 1000, 800); // centre 600, 450
    const Case cases[] = {
        {"above left of the centre: right of and below the pointer", tip, {200, 100}, area, {224, 106, w, h}},
        {"on the centre itself", tip, {600, 450}, area, {624, 456, w, h}},
        {"right of and below the centre: left of and above",
         tip,
         {1000, 700},
         area,
         {1000 - 12 - w, 700 - 6 - h, w, h}},
        {"at the right edge", tip, {1099, 300}, area, {1099 - 12 - w, 306, w, h}},
        {"at the bottom edge", tip, {300, 849}, area, {324, 849 - 6 - h, w, h}},
        {"pointer left of the area", tip, {0, 300}, area, {100, 306, w, h}},
        {"pointer above the area", tip, {300, 0}, area, {324, 50, w, h}},
        {"pointer beyond the bottom right", tip, {1500, 1200}, area, {1100 - w, 850 - h, w, h}},
        {"a tip wider than the area, pointer at the left",
         longTip,
         {20, 20},
         {0, 0, 300, 400},
         {0, 26, 300, longFree.getHeight()}},
        {"a tip wider than the area, pointer at the right",
         longTip,
         {280, 20},
         {0, 0, 300, 400},
         {0, 26, 300, longFree.getHeight()}},
        {"a tip taller than the area", longTip, {20, 5}, {0, 0, 2000, 30}, {44, 0, longFree.getWidth(), 30}},
        {"a tip taller than the area, pointer below",
         longTip,
         {20, 25},
         {0, 0, 2000, 30},
         {44, 0, longFree.getWidth(), 30}},
    };

    for (const auto& c : cases)
        EXPECT_EQ(lookAndFeel.getTooltipBounds(c.text, c.pointer, c.area), c.expected) << c.where;
}

TEST_F(QzLookAndFeelTest, LongTooltipsAreBalancedForTheirWidth)
{
    const String longTip = String::repeatedString("Play the sentence again and again ", 6).trim();
    const auto bounds = lookAndFeel.getTooltipBounds(longTip, {0, 0}, {0, 0, 4000, 4000});
    const auto lineHeight = lookAndFeel.getAppFont().getHeight();

    EXPECT_LE(bounds.getWidth(), 420 + 20);
    EXPECT_GE(bounds.getHeight(), (int)(3 * lineHeight) + 10) << "should wrap into three lines or more";
}

TEST_F(QzLookAndFeelTest, TooltipHasNoOutlineAndItsOwnTextColour)
{
    lookAndFeel.setColour(juce::TooltipWindow::backgroundColourId, juce::Colours::white);
    lookAndFeel.setColour(juce::TooltipWindow::outlineColourId, juce::Colours::red);
    lookAndFeel.setColour(juce::TooltipWindow::textColourId, juce::Colours::blue);

    const String tip = "Open a recording";
    const auto bounds = lookAndFeel.getTooltipBounds(tip, {0, 0}, {0, 0, 2000, 2000});
    EXPECT_EQ(bounds.getHeight(), (int)lookAndFeel.getAppFont().getHeight() + 10)
        << "one line, 5 pixels above and below";
    Image image(Image::ARGB, bounds.getWidth(), bounds.getHeight(), true);
    {
        juce::Graphics g(image);
        lookAndFeel.drawTooltip(g, tip, image.getWidth(), image.getHeight());
    }

    for (auto corner :
         {juce::Point<int>(0, 0), juce::Point<int>(image.getWidth() - 1, image.getHeight() - 1)})
        EXPECT_EQ(image.getPixelAt(corner.x, corner.y), juce::Colours::white) << corner.toString();

    // The text sits in the middle of the measured window, 10 pixels from its sides, in the text
    // colour.
    lookAndFeel.setColour(juce::TooltipWindow::backgroundColourId, juce::Colours::transparentBlack);
    Image text(Image::ARGB, image.getWidth(), image.getHeight(), true);
    {
        juce::Graphics g(text);
        lookAndFeel.drawTooltip(g, tip, text.getWidth(), text.getHeight());
    }
    const auto ink = inkBounds(text, text.getBounds());
    // (the glyphs' own side bearings add a pixel or two)
    EXPECT_GE(ink.getX(), 10);
    EXPECT_LE(ink.getX(), 12);
    EXPECT_GE(text.getWidth() - ink.getRight(), 9);
    EXPECT_LE(text.getWidth() - ink.getRight(), 12);

    const auto textArea = image.getBounds().reduced(2);
    int bluePixels = 0;
    for (int y = textArea.getY(); y < textArea.getBottom(); ++y)
        for (int x = textArea.getX(); x < textArea.getRight(); ++x)
            if (sameColour(image.getPixelAt(x, y), juce::Colours::blue, 60))
                ++bluePixels;
    EXPECT_GT(bluePixels, 20);
}

TEST_F(QzLookAndFeelTest, TooltipTextIsDrawnForANarrowerWidthThanMeasured)
{
    // A one-line tip between 400 and 420 pixels wide gets a one-line window but is drawn on two
    // lines.
    const auto font = lookAndFeel.getAppFont();
    String tip = "Repeat";
    while (font.getStringWidthFloat(tip + " again") < 380.0f)
        tip += " again";
    tip += " a";
    while (font.getStringWidthFloat(tip) <= 405.0f)
        tip += "a";
    ASSERT_LT(font.getStringWidthFloat(tip), 420.0f);

    const auto bounds = lookAndFeel.getTooltipBounds(tip, {0, 0}, {0, 0, 2000, 2000});
    EXPECT_LT(bounds.getHeight(), (int)(2 * font.getHeight())) << "measured for one line";

    // Drawn into a tall image the two lines show as ink higher than one line.
    lookAndFeel.setColour(juce::TooltipWindow::backgroundColourId, juce::Colours::transparentBlack);
    Image text(Image::ARGB, bounds.getWidth(), 200, true);
    {
        juce::Graphics g(text);
        lookAndFeel.drawTooltip(g, tip, text.getWidth(), text.getHeight());
    }
    EXPECT_GT(inkBounds(text, text.getBounds()).getHeight(), (int)(1.5f * font.getHeight()));
}

namespace
{
/** A file list to draw rows for, with its own colours. */
class FileRowTest : public QzLookAndFeelTest
{
protected:
    void SetUp() override
    {
        QzLookAndFeelTest::SetUp();
        display.setColour(juce::DirectoryContentsDisplayComponent::textColourId, textColour);
        display.setColour(juce::DirectoryContentsDisplayComponent::highlightColourId, highlight);
        display.setColour(juce::DirectoryContentsDisplayComponent::highlightedTextColourId,
                          juce::Colours::red);
    }

    struct Row
    {
        int width = 600;
        bool isDirectory = false;
        bool isSelected = false;
        Image* icon = nullptr;
        String name = "lesson.mp3";
        String size = "3.2 MB";
        String time = "12/05/2021 10:00";
    };

    Image drawRow(const Row& row)
    {
        Image image(Image::ARGB, row.width, rowHeight, true);
        juce::Graphics g(image);
        lookAndFeel.drawFileBrowserRow(g, row.width, rowHeight, juce::File(), row.name, row.icon, row.size,
                                       row.time, row.isDirectory, row.isSelected, 0, display);
        return image;
    }

    /** The width of the ink that text leaves in the default face at height. */
    static int inkWidthOf(const String& text, float height)
    {
        Image image(Image::ARGB, 1000, rowHeight, true);
        juce::Graphics g(image);
        g.setColour(juce::Colours::black);
        g.setFont(juce::Font(height));
        g.drawSingleLineText(text, 10, rowHeight - 6);
        return inkBounds(image, image.getBounds()).getWidth();
    }

    static constexpr int rowHeight = 30;
    const Colour textColour{0xff2040c0};
    const Colour highlight{0xff30c030};
    juce::TimeSliceThread thread{"file list"};
    juce::DirectoryContentsList list{nullptr, thread};
    juce::FileListComponent display{list};
};
} // namespace

TEST_F(FileRowTest, SizeAndTimeFromWidth451InTheNamesColour)
{
    struct Case
    {
        int width;
        bool isDirectory;
        bool showsDetails;
    };
    for (auto c :
         {Case{450, false, false}, Case{451, false, true}, Case{451, true, false}, Case{800, false, true}})
    {
        SCOPED_TRACE(testing::Message() << "width " << c.width << (c.isDirectory ? ", folder" : ", file"));
        Row row;
        row.width = c.width;
        row.isDirectory = c.isDirectory;
        const auto image = drawRow(row);
        const int s = juce::roundToInt(c.width * 0.7f), d = juce::roundToInt(c.width * 0.8f);
        const Rectangle<int> name(32, 0, s - 32, rowHeight), size(s, 0, d - 8 - s, rowHeight),
            time(d, 0, c.width - 8 - d, rowHeight);

        EXPECT_TRUE(sameColour(strongestInk(image, name), textColour));
        EXPECT_EQ(inkIn(image, size) > 0.0, c.showsDetails);
        EXPECT_EQ(inkIn(image, time) > 0.0, c.showsDetails);
        if (c.showsDetails)
        {
            EXPECT_TRUE(sameColour(strongestInk(image, size), textColour));
            EXPECT_TRUE(sameColour(strongestInk(image, time), textColour));
            EXPECT_NEAR(inkBounds(image, time).getRight(), c.width - 8, 2) << "time right-aligned";
        }
        EXPECT_EQ(inkIn(image, {c.width - 7, 0, 7, rowHeight}), 0.0);
    }
}

TEST_F(FileRowTest, SelectedRowIsFilledAndKeepsItsTextColour)
{
    Row row;
    row.isSelected = true;
    const auto image = drawRow(row);
    EXPECT_EQ(image.getPixelAt(599, 0), highlight);
    EXPECT_EQ(image.getPixelAt(400, rowHeight - 1), highlight);

    bool textColourSeen = false, redSeen = false;
    for (int y = 0; y < rowHeight; ++y)
        for (int x = 32; x < 600; ++x)
        {
            textColourSeen = textColourSeen || sameColour(image.getPixelAt(x, y), textColour, 12);
            redSeen = redSeen || sameColour(image.getPixelAt(x, y), juce::Colours::red, 60);
        }
    EXPECT_TRUE(textColourSeen);
    EXPECT_FALSE(redSeen) << "selected rows keep the display's text colour";
}

TEST_F(FileRowTest, IconIsCentredInItsAreaAndNeverEnlarged)
{
    const Rectangle<int> iconArea(2, 2, 28, rowHeight - 4);

    Row row;
    row.width = 300;
    const auto standard = drawRow(row);
    EXPECT_GT(inkIn(standard, iconArea), 10.0) << "no document image without an icon";
    EXPECT_EQ(inkIn(standard, {0, 0, 2, rowHeight}), 0.0);

    Image icon(Image::ARGB, 8, 8, true);
    icon.clear(icon.getBounds(), juce::Colours::orange);
    row.icon = &icon;
    const auto withIcon = drawRow(row);
    EXPECT_EQ(inkBounds(withIcon, iconArea), Rectangle<int>(12, 11, 8, 8));
    EXPECT_EQ(withIcon.getPixelAt(15, 14), juce::Colours::orange);
}

TEST_F(FileRowTest, LongNamesStopWhereTheSizeBeginsOnlyWhenDetailsShow)
{
    Row row;
    row.name = "a very long lesson name about listening and repeating every sentence.mp3";
    row.size = row.time = {};

    row.width = 800;
    EXPECT_LE(inkBounds(drawRow(row), {0, 0, row.width, rowHeight}).getRight(),
              juce::roundToInt(800 * 0.7f) + 1);

    row.width = 450;
    EXPECT_GT(inkBounds(drawRow(row), {0, 0, row.width, rowHeight}).getRight(), 450 - 20)
        << "without details the name has the whole row";
}

TEST_F(FileRowTest, TextSizesFollowTheRowHeight)
{
    Row row;
    row.width = 1200;
    row.name = row.size = "Listening 12";
    row.time = {};
    const auto image = drawRow(row);
    const int s = juce::roundToInt(row.width * 0.7f), d = juce::roundToInt(row.width * 0.8f);

    const auto name = inkBounds(image, {32, 0, s - 32, rowHeight});
    const auto size = inkBounds(image, {s, 0, d - s, rowHeight});
    EXPECT_NEAR(name.getWidth(), inkWidthOf(row.name, rowHeight * 0.85f), 1);
    EXPECT_NEAR(size.getWidth(), inkWidthOf(row.size, rowHeight * 0.8f), 1);
}
