// The page blocks of a real course: what a press, a release and a double click on a block or its
// fields report and invoke, text input switched between the two fields, the learner typing into a
// field, the settings' fonts and colours, and the waveform's width.
#include "workspace/sentences/PageSentence.h"
#include "engine/CourseModel.h"
#include "engine/SystemModel.h"
#include "harness/CommandWatcher.h"
#include "harness/OpenCourse.h"
#include "harness/SentenceReports.h"
#include "workspace/CommandCenter.h"
#include "workspace/Main.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace
{
using juce::String;

constexpr juce::CommandID joinOrExitReview = 0x2007;
constexpr juce::CommandID dictateOn = 0x200C;
constexpr juce::CommandID dictateOff = 0x200D;
constexpr int blockHeight = 100;

const juce::ModifierKeys leftButton(juce::ModifierKeys::leftButtonModifier);
const juce::ModifierKeys rightButton(juce::ModifierKeys::rightButtonModifier);
const juce::ModifierKeys leftWithCtrl(juce::ModifierKeys::leftButtonModifier |
                                      juce::ModifierKeys::ctrlModifier);

std::vector<OpenCourse::Sentence> threeSentences()
{
    auto sentences = OpenCourse::contiguous({OpenCourse::rate, OpenCourse::rate, OpenCourse::rate});
    const char* foreign[] = {"one", "two", "three"};
    for (size_t i = 0; i < sentences.size(); ++i)
    {
        sentences[i].foreign = foreign[i];
        sentences[i].native = String::fromUTF8("句") + String((int)i);
    }
    return sentences;
}

class PageSentenceTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(course.workingSet().wasCreated());
        ASSERT_TRUE(course.open(threeSentences()));
        for (int i = 0; i < 3; ++i)
            course.page(i).setSize(400, blockHeight);
    }

    void TearDown() override { CommandCenter::rightClickMenuRequested = nullptr; }

    OpenCourse course;
    CommandWatcher watcher{joinOrExitReview, dictateOn, dictateOff};
};
} // namespace

TEST_F(PageSentenceTest, PressAndReleaseSelectSetThePlayPositionAndOpenTheContextMenu)
{
    const struct
    {
        const char* what;
        juce::ModifierKeys mods;
        const char* reports;
        bool menu;
    } cases[] = {
        {"a left click", leftButton, "selected, play -1", false},
        {"a right click does not select; its release opens the menu", rightButton, "play -1", true},
        {"Ctrl with the left button is a context click", leftWithCtrl, "selected, play -1", true},
    };

    std::vector<int> menus;
    CommandCenter::rightClickMenuRequested = [&menus](CommandCenter::PopupMenuType type)
    { menus.push_back(type); };
    auto& page = course.page(1);
    SentenceReports reports;
    page.addListener(&reports);

    for (const auto& c : cases)
    {
        for (auto* target :
             {static_cast<juce::Component*>(&page), static_cast<juce::Component*>(&page.getTextField(true)),
              static_cast<juce::Component*>(&page.getMarker(false))})
        {
            SCOPED_TRACE(String(c.what) + " on the " + (target == &page ? "block" : "field or marker"));
            reports.log.clear();
            menus.clear();

            target->mouseDown(mouseEventOn(*target, c.mods));
            EXPECT_EQ(reports.log.size(), String(c.reports).startsWith("selected") ? 1 : 0)
                << "only a press with the left button selects";
            target->mouseUp(mouseEventOn(*target, c.mods));

            EXPECT_EQ(reports.log.joinIntoString(", "), c.reports);
            EXPECT_EQ(menus, c.menu ? std::vector<int>{CommandCenter::pageSentenceMenu} : std::vector<int>{});
        }
    }
    page.removeListener(&reports);
}

TEST_F(PageSentenceTest, CommandsAreInvokedFromTheMessageLoopAfterTheEvent)
{
    auto& page = course.page(0);
    auto& field = page.getTextField(false);
    const struct
    {
        const char* what;
        std::function<void()> action;
        juce::CommandID command;
    } cases[] = {
        {"a double click on the block toggles the review mark",
         [&page] { page.mouseDoubleClick(mouseEventOn(page, leftButton, 2)); }, joinOrExitReview},
        {"a field's editor opening starts dictation",
         [&field]
         { static_cast<juce::Component&>(field).mouseDoubleClick(mouseEventOn(field, leftButton, 2)); },
         dictateOn},
        {"its closing ends dictation", [&field] { field.hideEditor(false); }, dictateOff},
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        CommandWatcher::deliverPostedMessages();
        watcher.performed.clear();
        c.action();
        EXPECT_TRUE(watcher.performed.isEmpty()) << "performed before the event handler returned";
        CommandWatcher::deliverPostedMessages();
        EXPECT_EQ(watcher.performed, juce::Array<juce::CommandID>(c.command));
    }
    EXPECT_FALSE(course.model().getValue(0, CourseModel::NeedReview)) << "the view never marks it itself";
}

TEST_F(PageSentenceTest, SwitchingInputStoresTheOpenEditorsTextAndOpensTheOtherField)
{
    const struct
    {
        const char* what;
        int openField; // 1 foreign, 0 native, -1 none
        const char* foreign;
        const char* native;
        bool foreignOpenAfter;
    } cases[] = {
        {"with no editor open, input starts in the foreign field", -1, "one", "", true},
        {"from the foreign field to the native field", 1, "typed", "", false},
        {"from the native field back to the foreign field", 0, "typed", "typed", true},
    };

    auto& page = course.page(0);
    const auto nativeBefore = course.textOf(0, CourseModel::ChineseText);
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        if (c.openField >= 0)
        {
            auto& field = page.getTextField(c.openField == 1);
            field.showEditor();
            field.getCurrentTextEditor()->insertTextAtCaret("typed"); // replaces the selected text
        }

        page.switchTextInputStatus();

        EXPECT_EQ(course.textOf(0, CourseModel::EnglishText), c.foreign);
        EXPECT_EQ(course.textOf(0, CourseModel::ChineseText),
                  *c.native != 0 ? String(c.native) : nativeBefore);
        EXPECT_EQ(page.getTextField(true).isBeingEdited(), c.foreignOpenAfter);
        EXPECT_EQ(page.getTextField(false).isBeingEdited(), !c.foreignOpenAfter);
        page.getTextField(c.foreignOpenAfter).hideEditor(true);
    }
}

TEST_F(PageSentenceTest, TypingIntoAFieldAndPressingReturnStoresAndSavesTheText)
{
    auto& field = course.page(1).getTextField(true);
    field.mouseDown(mouseEventOn(field, leftButton));
    field.mouseUp(mouseEventOn(field, leftButton));
    field.mouseDown(mouseEventOn(field, leftButton, 2));
    static_cast<juce::Component&>(field).mouseDoubleClick(mouseEventOn(field, leftButton, 2));
    field.mouseUp(mouseEventOn(field, leftButton, 2));
    auto* editor = field.getCurrentTextEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(course.model().getSelectedIndex(), 1);

    // The editor opens with all its text selected: typing replaces it.
    const String typed = "Good night";
    for (auto c = typed.getCharPointer(); !c.isEmpty(); ++c)
        EXPECT_TRUE(editor->keyPressed(juce::KeyPress((int)*c, {}, *c)));
    EXPECT_EQ(course.textOf(1, CourseModel::EnglishText), "two") << "nothing is stored before Return";
    EXPECT_TRUE(editor->keyPressed(juce::KeyPress(juce::KeyPress::returnKey)));

    // The editor hears of Return from the message loop, and ends dictation from there.
    CommandWatcher::deliverPostedMessages();
    CommandWatcher::deliverPostedMessages();
    EXPECT_FALSE(field.isBeingEdited());
    EXPECT_EQ(course.textOf(1, CourseModel::EnglishText), typed);
    EXPECT_EQ(course.viewsOutOfStep(), "");
    EXPECT_EQ(watcher.performed, juce::Array<juce::CommandID>(dictateOn, dictateOff));

    const auto courseText = course.workingSet().getCourseText();
    EXPECT_TRUE(OpenCourse::pumpUntil([&] { return courseText.loadFileAsString().contains(typed); }));
}

TEST_F(PageSentenceTest, FieldsAndMarkersTakeTheSettingsFontsAndColours)
{
    systemModel->foreignFont = juce::Font(31.0f);
    systemModel->foreignFontStyle = juce::Font::bold;
    systemModel->nativeFont = juce::Font(23.0f);
    systemModel->nativeFontStyle = juce::Font::italic;
    systemModel->foreignTextColour = juce::Colour(0xff102030);
    systemModel->nativeTextColour = juce::Colour(0xff405060);
    auto& page = course.page(0);
    page.applySystemTextAttrib();

    const struct
    {
        bool foreign;
        float height;
        int style;
        juce::Colour colour;
    } cases[] = {
        {true, 31.0f, juce::Font::bold, juce::Colour(0xff102030)},
        {false, 23.0f, juce::Font::italic, juce::Colour(0xff405060)},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.foreign ? "foreign" : "native");
        const auto& field = page.getTextField(c.foreign);
        EXPECT_FLOAT_EQ(field.getFont().getHeight(), c.height);
        EXPECT_EQ(field.getFont().getStyleFlags(), c.style);
        EXPECT_EQ(field.findColour(juce::Label::textColourId), c.colour);
        EXPECT_EQ(page.getMarker(c.foreign).findColour(juce::Label::textColourId), c.colour.withAlpha(0.4f));
    }
}

TEST_F(PageSentenceTest, TheWaveformIsDrawnNoWiderThanTheBlockLeaves)
{
    systemModel->pageThumbColour = juce::Colours::red;
    systemModel->pageReviewThumbColour = juce::Colours::blue;
    systemModel->pageHighlightColour = juce::Colours::lime;

    // The sentence lasts one second: 70 pixels unless the block is too narrow.
    const struct
    {
        const char* what;
        int blockWidth;
        bool unfamiliar;
        bool selected;
        int lastColumn;
        juce::Colour colour;
    } cases[] = {
        {"a wide block shows the whole second", 300, false, false, 32 + 70 - 1, juce::Colours::red},
        {"a narrow block leaves 42 pixels", 100, false, false, 32 + 58 - 1, juce::Colours::red},
        {"an unfamiliar sentence in the review colour", 300, true, false, 32 + 70 - 1, juce::Colours::blue},
        {"a selected block is highlighted under its waveform", 300, false, true, 32 + 70 - 1,
         juce::Colours::red},
    };

    auto& page = course.page(0);
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        page.setSize(c.blockWidth, blockHeight);
        page.needReview(c.unfamiliar);
        page.setSelected(c.selected);
        juce::Image image(juce::Image::ARGB, c.blockWidth, blockHeight, true);
        {
            juce::Graphics g(image);
            page.paint(g);
        }

        int lastColumn = -1;
        for (int x = 0; x < c.blockWidth; ++x)
            for (int y = 0; y < 30; ++y)
                if (image.getPixelAt(x, y) == c.colour)
                    lastColumn = x;
        EXPECT_EQ(lastColumn, c.lastColumn);
        EXPECT_EQ(image.getPixelAt(c.blockWidth / 2, 80), c.selected ? juce::Colours::lime : juce::Colour());
    }
}
