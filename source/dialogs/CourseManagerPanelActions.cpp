// What the buttons of the course library do: the notes and listen call-outs, and moving courses
// to the trash.
#include "dialogs/CourseManagerPanel.h"

#include "dialogs/SimpleListenComponent.h"
#include "engine/SafeArchive.h"
#include "platform/Trash.h"
#include "workspace/Main.h"

namespace
{
const juce::String lineBreak("\r\n");
const juce::Colour whitesmoke(0xfff5f5f5);

void tellAhOh(const juce::String& message)
{
    juce::AlertWindow::showMessageBox(juce::MessageBoxIconType::InfoIcon, TRANS("Ah oh"), message);
}
} // namespace

juce::Rectangle<int> CourseManagerPanel::getCallOutArea(int row)
{
    return table.getRowPosition(row, true).translated(-180, 240);
}

void CourseManagerPanel::buttonClicked(juce::Button* button)
{
    const int row = table.getSelectedRow();
    if (button == buttons[okButton])
    {
        // The dialog's modal loop ends with 1, and the loop's owner deletes the window.
        if (auto* window = findParentComponentOfClass<juce::DialogWindow>())
            window->exitModalState(1);
        return;
    }
    if (button == buttons[deleteFinishedButton])
    {
        delAllFinishedCourses();
        return;
    }
    if (row < 0 || row >= numRows)
        return;

    if (button == buttons[noteButton])
        showNotes(row);
    else if (button == buttons[listenButton])
        listenTo(row, ".ogg", TRANS("The audio data of this course maybe missing or invalid."),
                 TRANS("The audio data of this course maybe missing or damaged."));
    else if (button == buttons[retellButton])
        listenTo(row, "-retell.ogg", TRANS("This course doesn't has retell data."),
                 TRANS("The retell data of this course maybe missing or damaged."));
    else if (button == buttons[deleteButton])
        confirmAndDelete(row);
}

void CourseManagerPanel::showNotes(int row)
{
    const auto notes = CoursesData->getChildElement(row)->getStringAttribute("c8");
    if (notes.isEmpty())
    {
        tellAhOh(TRANS("This course doesn't has any notes."));
        return;
    }

    auto editor = std::make_unique<juce::TextEditor>();
    editor->setReadOnly(true);
    editor->setMultiLine(true, true);
    editor->setCaretVisible(false);
    editor->setFont(juce::Font(20.0f));
    editor->setScrollBarThickness(12);
    editor->setColour(juce::TextEditor::backgroundColourId, whitesmoke);
    editor->setText(notes, false);
    editor->setSize(400, 300);
    editor->setAlpha(0.85f);
    juce::CallOutBox::launchAsynchronously(std::move(editor), getCallOutArea(row), this);
}

void CourseManagerPanel::listenTo(int row, const juce::String& entryEnding, const juce::String& missing,
                                  const juce::String& damaged)
{
    const auto& archive = archives.getReference(row);
    auto zip = SafeArchive::open(archive);
    const int index =
        zip != nullptr ? zip->getIndexOfFileName(archive.getFileNameWithoutExtension() + entryEnding) : -1;
    if (index < 0)
    {
        tellAhOh(missing);
        return;
    }

    std::unique_ptr<juce::InputStream> entry(zip->createStreamForEntry(index));
    juce::AudioFormatReader* reader = nullptr;
    if (entry != nullptr && formatManager != nullptr)
        reader = formatManager->createReaderFor(std::move(entry));
    if (reader == nullptr)
    {
        tellAhOh(damaged);
        return;
    }
    // The box keeps the archive open for as long as its player reads from it.
    juce::CallOutBox::launchAsynchronously(std::make_unique<SimpleListenComponent>(reader, std::move(zip)),
                                           getCallOutArea(row), this);
}

void CourseManagerPanel::confirmAndDelete(int row)
{
    const bool confirmed = juce::AlertWindow::showOkCancelBox(
        juce::MessageBoxIconType::WarningIcon, TRANS("This course will be deleted"),
        TRANS("Are you sure you want to delete this course?") + lineBreak + lineBreak +
            TRANS("This action can not undo!"),
        TRANS("Delete"), {}, nullptr, nullptr);
    if (confirmed)
        delSelectedCourse(row, true);
}

void CourseManagerPanel::delSelectedCourse(int row, bool updateTable)
{
    if (row < 0 || row >= numRows)
        return;
    const auto archive = archives[row];
    const auto mobile = mobileFileOf(archive);

    if (!Trash::moveToTrash(archive))
    {
        juce::AlertWindow::showMessageBoxAsync(
            juce::MessageBoxIconType::InfoIcon, TRANS("Can't delete this course"),
            archive.getFullPathName() + lineBreak + lineBreak +
                TRANS("The course file maybe using by another application now."));
        return;
    }

    CoursesData->removeChildElement(CoursesData->getChildElement(row), true);
    archives.remove(row);
    --numRows;
    if (updateTable)
    {
        table.updateContent();
        table.repaint();
        // The selection keeps its place and may now stand on another course, the open one too.
        selectedRowsChanged(table.getSelectedRow());
    }

    if (!Trash::moveToTrash(mobile))
        juce::AlertWindow::showMessageBoxAsync(
            juce::MessageBoxIconType::InfoIcon, TRANS("Can't delete this mobile file"),
            mobile.getFullPathName() + lineBreak + lineBreak +
                TRANS("The course mobile file maybe using by another application now."));
}

void CourseManagerPanel::delAllFinishedCourses()
{
    const bool confirmed = juce::AlertWindow::showOkCancelBox(
        juce::MessageBoxIconType::WarningIcon, TRANS("All finished courses will be deleted"),
        TRANS("Are you sure you really want to do this?") + lineBreak + lineBreak +
            TRANS("This action can not undo!"),
        TRANS("Delete"), {}, nullptr, nullptr);
    if (!confirmed)
        return;

    // From the last row, so that the rows still to come keep their numbers.
    for (int row = numRows - 1; row >= 0; --row)
        if (CoursesData->getChildElement(row)->getStringAttribute("NowStatus") == "-1")
            delSelectedCourse(row, false);

    table.updateContent();
    table.repaint();
    selectedRowsChanged(table.getSelectedRow());
    buttons[deleteFinishedButton]->setEnabled(false);
}
