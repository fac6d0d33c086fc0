// The page text fields' editor: its context menu, the web look-ups of a selection and the two
// exercises that rewrite a sentence's texts, run in the editors of a real course's page blocks.
#include "workspace/sentences/TextLabel.h"
#include "engine/CourseModel.h"
#include "harness/CommandWatcher.h"
#include "harness/OpenCourse.h"
#include "workspace/sentences/PageSentence.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <stdexcept>
#include <vector>

namespace
{
using Editor = TextLabel::TextEditorWithMenu;
using juce::String;

constexpr juce::CommandID joinOrExitReview = 0x2007;

String utf8(const char* text)
{
    return String::fromUTF8(text);
}

struct ExerciseCase
{
    const char* what;
    const char* storedText; // what the field whose editor is used holds
    bool foreignField;
    const char* typed; // appended in the open editor, not committed
    juce::Range<int> selection;
    int item;
    bool unfamiliar;
    const char* foreign; // both texts afterwards
    const char* native;
    bool joinsReview;
};

/** The text the other field of an exercise's sentence holds. */
const char* const otherText = "other";

const ExerciseCase exerciseCases[] = {
    {"cloze of two words leaves a gap for each",
     "I saw a b c",
     true,
     "",
     {6, 9},
     Editor::clozeItem,
     false,
     "a b",
     "I saw ____ ____ c",
     true},
    {"every blank inside the selection adds a gap",
     "x a  b y",
     true,
     "",
     {2, 6},
     Editor::clozeItem,
     false,
     "a  b",
     "x ____ ____ ____ y",
     true},
    {"the start of a longer word changes nothing",
     "Hello world",
     true,
     "",
     {0, 2},
     Editor::clozeItem,
     false,
     "Hello world",
     otherText,
     false},
    {"letters that are nowhere a whole word change nothing",
     "Hello world",
     true,
     "",
     {7, 10},
     Editor::transcribeItem,
     false,
     "Hello world",
     otherText,
     false},
    {"words typed but not committed are not in the stored text",
     "I saw it",
     true,
     " now",
     {9, 12},
     Editor::clozeItem,
     false,
     "I saw it",
     otherText,
     false},
    {"blanks around the selection are trimmed",
     "I saw a b c",
     true,
     "",
     {5, 8},
     Editor::clozeItem,
     false,
     "a",
     "I saw ____ b c",
     true},
    {"transcribe marks the first whole-word occurrence only",
     "the cat and the dog",
     true,
     "",
     {12, 15},
     Editor::transcribeItem,
     false,
     "",
     "*the* cat and the dog",
     true},
    {"a sentence already marked for review stays marked",
     "I saw a b c",
     true,
     "",
     {8, 9},
     Editor::transcribeItem,
     true,
     "",
     "I saw a *b* c",
     false},
    {"the native field's editor writes both fields the same way",
     "we go home",
     false,
     "",
     {3, 5},
     Editor::clozeItem,
     false,
     "go",
     "we ____ home",
     true},
};

class TextLabelTest : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(course.workingSet().wasCreated()); }

    /** Opens the field's editor, appends what is typed and selects the range. */
    static Editor& openEditor(TextLabel& field, const String& typed, juce::Range<int> selection)
    {
        field.showEditor();
        auto* editor = dynamic_cast<Editor*>(field.getCurrentTextEditor());
        if (editor == nullptr)
            throw std::runtime_error("the field opened no editor with the menu");
        editor->moveCaretToEnd();
        editor->insertTextAtCaret(typed);
        editor->setHighlightedRegion(selection);
        return *editor;
    }

    /** Opens a course of one sentence with that foreign text. */
    void openOneSentence(const String& foreign)
    {
        auto sentences = OpenCourse::contiguous({OpenCourse::rate});
        sentences[0].foreign = foreign;
        ASSERT_TRUE(course.open(sentences));
    }

    int timesPerformed(juce::CommandID id) const
    {
        CommandWatcher::deliverPostedMessages();
        return (int)std::count(watcher.performed.begin(), watcher.performed.end(), id);
    }

    OpenCourse course;
    CommandWatcher watcher{joinOrExitReview, 0x200C, 0x200D};
};
} // namespace

TEST_F(TextLabelTest, ExercisesRewriteBothTextsOfTheSentence)
{
    std::vector<OpenCourse::Sentence> sentences =
        OpenCourse::contiguous(std::vector<int>(std::size(exerciseCases), OpenCourse::rate));
    for (size_t i = 0; i < sentences.size(); ++i)
    {
        const auto& c = exerciseCases[i];
        sentences[i].foreign = c.foreignField ? c.storedText : otherText;
        sentences[i].native = c.foreignField ? otherText : c.storedText;
        sentences[i].unfamiliar = c.unfamiliar;
    }
    ASSERT_TRUE(course.open(sentences));

    for (int i = 0; i < (int)std::size(exerciseCases); ++i)
    {
        const auto& c = exerciseCases[i];
        SCOPED_TRACE(c.what);
        auto& field = course.page(i).getTextField(c.foreignField);
        auto& editor = openEditor(field, c.typed, c.selection);
        watcher.performed.clear();

        editor.performPopupMenuAction(c.item);

        EXPECT_EQ(course.textOf(i, CourseModel::EnglishText), c.foreign);
        EXPECT_EQ(course.textOf(i, CourseModel::ChineseText), c.native);
        EXPECT_EQ(timesPerformed(joinOrExitReview), c.joinsReview ? 1 : 0);
        field.hideEditor(true);
    }
    EXPECT_EQ(course.viewsOutOfStep(), "");
}

TEST_F(TextLabelTest, LookUpsAndExercisesNeedASelection)
{
    openOneSentence("Hello world");

    for (const bool selected : {false, true})
    {
        SCOPED_TRACE(selected ? "with a selection" : "without a selection");
        auto& field = course.page(0).getTextField(true);
        auto& editor = openEditor(field, {}, selected ? juce::Range<int>(0, 5) : juce::Range<int>(3, 3));

        juce::PopupMenu menu;
        editor.addPopupMenuItems(menu, nullptr);
        std::vector<int> ownIds;
        bool frameworkItemsFirst = false;
        for (juce::PopupMenu::MenuItemIterator it(menu); it.next();)
        {
            const auto& item = it.getItem();
            if (item.itemID >= Editor::firstTranslationItem)
            {
                ownIds.push_back(item.itemID);
                EXPECT_EQ(item.isEnabled, selected) << item.text;
            }
            else if (item.itemID != 0 && ownIds.empty())
            {
                frameworkItemsFirst = true;
            }
        }
        EXPECT_TRUE(frameworkItemsFirst);
        EXPECT_EQ(ownIds, (std::vector<int>{0x50000, 0x50001, 0x50002, 0x50003, 0x50004}));
        field.hideEditor(true);
    }
}

TEST_F(TextLabelTest, LookUpOpensTheTrimmedSelectionEscapedAsAPath)
{
    const auto stored = utf8("say (don't) 好 now");
    openOneSentence(stored);

    std::vector<String> opened;
    const auto savedOpener = Editor::openWebPage;
    Editor::openWebPage = [&opened](const juce::URL& url)
    {
        opened.push_back(url.toString(true));
        return true;
    };

    // Round brackets and the apostrophe stay as they are; blanks and the Chinese character are
    // escaped; the slashes of the address's tail are kept.
    const struct
    {
        int item;
        const char* address;
    } cases[] = {
        {Editor::firstTranslationItem, "https://translate.google.com/#auto/zh-CN/(don't)%20%E5%A5%BD"},
        {Editor::secondTranslationItem, "https://fanyi.baidu.com/#en/zh/(don't)%20%E5%A5%BD"},
        {Editor::encyclopediaItem, "https://en.wikipedia.org/wiki/(don't)%20%E5%A5%BD"},
    };
    for (const auto& c : cases)
    {
        opened.clear();
        auto& field = course.page(0).getTextField(true);
        openEditor(field, {}, {3, 14}).performPopupMenuAction(c.item);
        EXPECT_EQ(opened, std::vector<String>{c.address});
        EXPECT_TRUE(field.isBeingEdited()) << "a look-up leaves the editor open";
        field.hideEditor(true);
    }
    Editor::openWebPage = savedOpener;

    EXPECT_EQ(course.textOf(0, CourseModel::EnglishText), stored);
    EXPECT_EQ(timesPerformed(joinOrExitReview), 0);
}
