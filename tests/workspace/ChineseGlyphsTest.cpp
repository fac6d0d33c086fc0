// The interface starts in Chinese, so the application font must draw Chinese characters as
// themselves. A font without them draws every character as the same box (the font's glyph for
// a missing character) or as nothing at all; both show here.
#include "engine/SystemModel.h"
#include "workspace/QzLookAndFeel.h"

#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

using juce::String;

namespace
{
// A private-use character that no font maps: it shows what the font draws for a missing glyph.
constexpr juce::juce_wchar missingCharacter = 0xE000;

class ChineseGlyphsTest : public testing::Test
{
protected:
    void SetUp() override
    {
        juce::LookAndFeel::setDefaultLookAndFeel(&lookAndFeel);
        systemModel = std::make_unique<SystemModel>(lookAndFeel); // installs Simplified Chinese
    }

    void TearDown() override
    {
        systemModel.reset();
        juce::LookAndFeel::setDefaultLookAndFeel(nullptr);
        juce::LocalisedStrings::setCurrentMappings(nullptr);
    }

    juce::Font appFont() const { return lookAndFeel.getAppFont().withHeight(40.0f); }

    /** The text drawn black on white with the application font. */
    juce::Image draw(const String& text) const
    {
        juce::Image image(juce::Image::RGB, 400, 60, true);
        juce::Graphics g(image);
        g.fillAll(juce::Colours::white);
        g.setColour(juce::Colours::black);
        g.setFont(appFont());
        g.drawSingleLineText(text, 4, 46);
        return image;
    }

    static int inkPixels(const juce::Image& image)
    {
        int count = 0;
        for (int y = 0; y < image.getHeight(); ++y)
            for (int x = 0; x < image.getWidth(); ++x)
                if (image.getPixelAt(x, y).getBrightness() < 0.5f)
                    ++count;
        return count;
    }

    static bool samePixels(const juce::Image& a, const juce::Image& b)
    {
        for (int y = 0; y < a.getHeight(); ++y)
            for (int x = 0; x < a.getWidth(); ++x)
                if (a.getPixelAt(x, y) != b.getPixelAt(x, y))
                    return false;
        return true;
    }

    /** The outline the application font gives one character. */
    juce::Path outlineOf(juce::juce_wchar character) const
    {
        juce::Array<int> glyphs;
        juce::Array<float> offsets;
        auto typeface = appFont().getTypefacePtr();
        typeface->getGlyphPositions(String::charToString(character), glyphs, offsets);
        juce::Path outline;
        if (!glyphs.isEmpty())
            typeface->getOutlineForGlyph(glyphs.getFirst(), outline);
        return outline;
    }

    QzLookAndFeel lookAndFeel;
    std::unique_ptr<SystemModel> systemModel;
};
} // namespace

TEST_F(ChineseGlyphsTest, TranslatedTextsDrawRealGlyphs)
{
    const auto missing = outlineOf(missingCharacter).toString();

    for (auto* key : {"Ah oh", "Load course failed."})
    {
        const auto text = TRANS(key);
        ASSERT_NE(text, key) << "no Chinese text to draw for \"" << key << "\"";

        std::set<String> shapes;
        for (auto character : text)
        {
            if (character < 0x2E80) // punctuation and Latin characters are not in question here
                continue;
            const auto outline = outlineOf(character);
            EXPECT_FALSE(outline.isEmpty()) << "U+" << String::toHexString((int)character) << " has no shape";
            EXPECT_NE(outline.toString(), missing)
                << "U+" << String::toHexString((int)character) << " is a box";
            shapes.insert(outline.toString());
        }
        EXPECT_GE(shapes.size(), 2u) << "the characters of \"" << text << "\" share one shape";

        EXPECT_GT(appFont().getStringWidthFloat(text), 0.0f);
        EXPECT_GT(inkPixels(draw(text)), 100) << text << " draws no ink";
    }
}

TEST_F(ChineseGlyphsTest, DifferentCharactersDrawDifferentPixels)
{
    const auto first = draw(String::fromUTF8("课"));
    const auto second = draw(String::fromUTF8("程"));
    const auto box = draw(String::charToString(missingCharacter));

    EXPECT_GT(inkPixels(first), 50);
    EXPECT_GT(inkPixels(second), 50);
    EXPECT_FALSE(samePixels(first, second));
    EXPECT_FALSE(samePixels(first, box));
    EXPECT_FALSE(samePixels(second, box));
}
