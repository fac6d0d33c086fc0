// The faces that the framework's own font scan skips (font collections, which carry most Chinese
// fonts) are made known to it, so that the page fonts can name them and they draw Chinese.
#include "platform/FontSubstitution.h"

#include "workspace/QzLookAndFeel.h"

#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

namespace
{
constexpr juce::juce_wchar han = 0x8BFE;     // 课
constexpr juce::juce_wchar missing = 0xE000; // a private-use character no font maps

/** The families that fontconfig knows with Chinese glyphs, by their first name. */
juce::StringArray chineseFamiliesFontconfigKnows()
{
    juce::StringArray families;
    FcInit();
    FcPattern* pattern = FcPatternCreate();
    FcCharSet* characters = FcCharSetCreate();
    FcCharSetAddChar(characters, han);
    FcPatternAddCharSet(pattern, FC_CHARSET, characters);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
    if (FcFontSet* fonts = FcFontList(nullptr, pattern, objects))
    {
        for (int i = 0; i < fonts->nfont; ++i)
        {
            FcChar8* family = nullptr;
            if (FcPatternGetString(fonts->fonts[i], FC_FAMILY, 0, &family) == FcResultMatch)
                families.addIfNotAlreadyThere(juce::String::fromUTF8(reinterpret_cast<const char*>(family)));
        }
        FcFontSetDestroy(fonts);
    }
    FcObjectSetDestroy(objects);
    FcCharSetDestroy(characters);
    FcPatternDestroy(pattern);
    return families;
}

juce::String outlineOf(const juce::Font& font, juce::juce_wchar character)
{
    juce::Array<int> glyphs;
    juce::Array<float> offsets;
    auto typeface = font.getTypefacePtr();
    typeface->getGlyphPositions(juce::String::charToString(character), glyphs, offsets);
    juce::Path outline;
    if (!glyphs.isEmpty())
        typeface->getOutlineForGlyph(glyphs.getFirst(), outline);
    return outline.toString();
}

class FontSubstitutionTest : public testing::Test
{
protected:
    void SetUp() override { juce::LookAndFeel::setDefaultLookAndFeel(&lookAndFeel); }
    void TearDown() override { juce::LookAndFeel::setDefaultLookAndFeel(nullptr); }

    QzLookAndFeel lookAndFeel; // the first one makes the skipped faces known
};
} // namespace

TEST_F(FontSubstitutionTest, EveryChineseFaceFontconfigKnowsCanBeChosenAndDrawsChinese)
{
    const auto families = chineseFamiliesFontconfigKnows();
    ASSERT_FALSE(families.isEmpty()) << "no font with Chinese glyphs is installed";
    const auto names = juce::Font::findAllTypefaceNames();
    EXPECT_TRUE(FontSubstitution::findFilesTheFrameworkSkips().isEmpty());

    for (auto& family : families)
    {
        ASSERT_TRUE(names.contains(family)) << family << " is missing from the faces offered";
        const juce::Font font(family, 30.0f, juce::Font::plain);
        const auto shape = outlineOf(font, han);
        EXPECT_TRUE(shape.isNotEmpty()) << family;
        EXPECT_NE(shape, outlineOf(font, missing)) << family << " draws a box";
        EXPECT_EQ(FontSubstitution::drawingFaceFor(family), family);
    }
}

TEST_F(FontSubstitutionTest, AMissingFaceIsDrawnByAnOfferedChineseFace)
{
    const auto names = juce::Font::findAllTypefaceNames();
    const auto chinese = chineseFamiliesFontconfigKnows();
    for (const juce::String face : {"Microsoft YaHei", "No Such Face Here", ""})
    {
        const auto standIn = FontSubstitution::drawingFaceFor(face);
        EXPECT_TRUE(names.contains(standIn)) << "\"" << face << "\" is drawn by \"" << standIn << "\"";
        EXPECT_TRUE(chinese.contains(standIn)) << standIn;

        // A font of the missing face draws what its stand-in draws.
        const juce::Font font(face, 30.0f, juce::Font::plain);
        EXPECT_EQ(outlineOf(font, han), outlineOf(juce::Font(standIn, 30.0f, juce::Font::plain), han))
            << face;
    }
    EXPECT_EQ(FontSubstitution::drawingFaceFor(names[0]), names[0]) << "an installed face draws itself";
}
