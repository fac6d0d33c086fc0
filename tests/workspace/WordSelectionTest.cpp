// Double, triple and quadruple clicks in qZ's text editors: the clicks reach a real editor as the
// framework delivers them, and the selection and the caret are read back from it.
#include "workspace/WordSelection.h"
#include "workspace/WordSelectingTextEditor.h"

#include <gtest/gtest.h>

using juce::String;

namespace
{
String utf8(const char* text)
{
    return String::fromUTF8(text);
}

class WordSelectionTest : public testing::Test
{
protected:
    void SetUp() override
    {
        editor.setMultiLine(true, false);
        editor.setFont(juce::Font(22.0f));
        editor.setBounds(0, 0, 1400, 200);
    }

    /** A point on the left edge of the character at index (past the last one for the length). */
    juce::Point<float> pointAt(int index) const
    {
        const auto caret = editor.getCaretRectangleForCharIndex(index);
        return {(float)caret.getX() + 1.0f, (float)caret.getCentreY()};
    }

    /** Clicks count times at the character at index, with the event the framework sends after the
        last release of a quick succession of clicks. */
    void clickAt(int index, int count)
    {
        const auto point = pointAt(index);
        ASSERT_EQ(editor.getTextIndexAt(point.roundToInt()), index) << "the click misses its character";

        const auto now = juce::Time::getCurrentTime();
        const juce::MouseEvent event(
            juce::Desktop::getInstance().getMainMouseSource(), point, {},
            juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation,
            juce::MouseInputSource::defaultRotation, juce::MouseInputSource::defaultTiltX,
            juce::MouseInputSource::defaultTiltY, &editor, &editor, now, point, now, count, false);
        static_cast<juce::Component&>(editor).mouseDoubleClick(event);
    }

    WordSelectingTextEditor editor;
};

struct ClickCase
{
    const char* text;
    int index;
    int clicks;
    const char* selected;
    const char* why;
};
} // namespace

TEST_F(WordSelectionTest, ClicksSelectByTheWordRule)
{
    // 0    5    10   15   20
    // Hello world, it's 2024.
    const char* english = "Hello world, it's 2024.";
    // 我们学习英语，每天听写。 (the mark "，" at 6, "。" at 11)
    const char* chinese = "我们学习英语，每天听写。";
    const char* mixed = "I love 北京 and Café123，真的 用Python编程";
    const char* lines = "first line, here\nsecond 行，二\rthird";

    const ClickCase cases[] = {
        {english, 0, 2, "Hello", "the first word"},
        {english, 7, 2, "world", "a click inside a word takes all of it"},
        {english, 11, 2, "world", "a mark right after a word selects that word"},
        {english, 5, 2, "Hello", "so does a blank right after a word"},
        {english, 12, 2, "", "between two non-word characters nothing is selected"},
        {english, 13, 2, "it", "an apostrophe ends a word"},
        {english, 16, 2, "s", "and starts the next one"},
        {english, 19, 2, "2024", "digits make a word"},
        {english, 23, 2, "", "past a final mark nothing is selected"},
        {chinese, 2, 2, "我们学习英语", "a run of Chinese up to the full-width comma"},
        {chinese, 6, 2, "我们学习英语", "a click on the comma selects the run before it"},
        {chinese, 9, 2, "每天听写", "a run between two marks"},
        {chinese, 12, 2, "", "past the final full stop nothing is selected"},
        {mixed, 8, 2, "北京", "Chinese between blanks"},
        {mixed, 15, 2, "Café123", "accented letters and digits, ended by the full-width comma"},
        {mixed, 23, 2, "真的", "the run after the comma"},
        {mixed, 27, 2, "用Python编程", "Chinese and Latin letters without a separator are one word"},
        {lines, 24, 2, "行", "a word inside the second line"},
        {lines, 24, 3, "second 行，二", "a triple click takes the line without its break"},
        {lines, 16, 3, "first line, here", "also on the line break itself"},
        {lines, 3, 3, "first line, here", "the first line"},
        {lines, 31, 3, "third", "the last line, after a lone CR"},
        {lines, 8, 4, "first line, here\nsecond 行，二\rthird", "four clicks take everything"},
        {chinese, 0, 5, "我们学习英语，每天听写。", "and so do more"},
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message()
                     << c.why << ": " << c.text << " at " << c.index << ", " << c.clicks << " clicks");
        editor.setText(utf8(c.text), false);
        editor.setCaretPosition(0);
        clickAt(c.index, c.clicks);

        const auto selected = utf8(c.selected);
        EXPECT_EQ(editor.getHighlightedText(), selected);
        EXPECT_EQ(editor.getHighlightedRegion().getLength(), selected.length());
        EXPECT_EQ(editor.getCaretPosition(), editor.getHighlightedRegion().getStart())
            << "caret not at the start";
    }
}

TEST_F(WordSelectionTest, EveryChinesePunctuationMarkEndsAWord)
{
    // Each ideograph stands between two of the sixteen marks, so a double click selects it alone.
    const auto text = utf8("甲，乙。丙…丁—戊、己《庚》辛；壬：癸？子！丑“寅”卯（辰）巳·午");
    editor.setText(text, false);

    for (int index = 0; index < text.length(); index += 2)
    {
        clickAt(index, 2);
        EXPECT_EQ(editor.getHighlightedText(), text.substring(index, index + 1)) << "at " << index;
    }
}

TEST(WordCharacterTest, LettersAndDigitsByTheClassificationExceptTheMarks)
{
    struct CharacterCase
    {
        juce::juce_wchar character;
        bool isWordCharacter;
    };
    const CharacterCase cases[] = {
        {'a', true},     {'Z', true},     {'7', true},     {0x00E9, true},  {0x4E2D, true},  {0x3042, true},
        {0xFF11, true},  {0xFF21, true},  {'\'', false},   {'_', false},    {' ', false},    {'-', false},
        {0x3000, false}, {0x00A0, false}, {0x20AC, false}, {0x00D7, false}, {0x2019, false}, {0xFF0C, false},
        {0x3002, false}, {0x2026, false}, {0x2014, false}, {0x3001, false}, {0x300A, false}, {0x300B, false},
        {0xFF1B, false}, {0xFF1A, false}, {0xFF1F, false}, {0xFF01, false}, {0x201C, false}, {0x201D, false},
        {0xFF08, false}, {0xFF09, false}, {0x00B7, false},
    };

    for (const auto& c : cases)
        EXPECT_EQ(WordSelection::isWordCharacter(c.character), c.isWordCharacter)
            << "U+" << String::toHexString((int)c.character).paddedLeft('0', 4);
}

TEST(WordCharacterTest, SymbolsAboveAsciiSplitWords)
{
    // Characters that are not letters end a word even though they are not ASCII.
    const auto text = utf8("价格€100　元×2");
    EXPECT_EQ(WordSelection::rangeForClicks(text, 0, 2), juce::Range<int>(0, 2));
    EXPECT_EQ(WordSelection::rangeForClicks(text, 4, 2), juce::Range<int>(3, 6));
    EXPECT_EQ(WordSelection::rangeForClicks(text, 7, 2), juce::Range<int>(7, 8));
    EXPECT_EQ(WordSelection::rangeForClicks(text, 9, 2), juce::Range<int>(9, 10));
}

TEST_F(WordSelectionTest, QuickClicksThroughTheWindowAreCountedAndSelect)
{
    // Presses and releases sent to the editor's window as the window system would: the framework
    // counts the clicks and calls the double-click handler after the last release.
    editor.setText(utf8("我们学习英语，每天听写。\nsecond line"), false);
    editor.addToDesktop(0);
    editor.setVisible(true);
    auto* peer = editor.getPeer();
    ASSERT_NE(peer, nullptr);

    struct Case
    {
        int clicks;
        const char* selected;
    };
    auto time = juce::Time::currentTimeMillis();
    for (auto c : {Case{2, "我们学习英语"}, Case{3, "我们学习英语，每天听写。"},
                   Case{4, "我们学习英语，每天听写。\nsecond line"}})
    {
        const auto point = pointAt(6); // on the full-width comma
        time += 2000;                  // far from the clicks before
        for (int i = 0; i < c.clicks; ++i, time += 80)
        {
            peer->handleMouseEvent(juce::MouseInputSource::InputSourceType::mouse, point,
                                   juce::ModifierKeys(juce::ModifierKeys::leftButtonModifier),
                                   juce::MouseInputSource::defaultPressure,
                                   juce::MouseInputSource::defaultOrientation, time);
            peer->handleMouseEvent(juce::MouseInputSource::InputSourceType::mouse, point,
                                   juce::ModifierKeys(), juce::MouseInputSource::defaultPressure,
                                   juce::MouseInputSource::defaultOrientation, time + 20);
        }
        EXPECT_EQ(editor.getHighlightedText(), utf8(c.selected)) << c.clicks << " clicks";
        EXPECT_EQ(editor.getCaretPosition(), 0);
    }
    editor.removeFromDesktop();
}
