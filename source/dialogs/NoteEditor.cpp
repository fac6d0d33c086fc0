#include "dialogs/NoteEditor.h"

#include "engine/CourseModel.h"
#include "engine/DocumentManager.h"
#include "engine/FileReplacement.h"
#include "engine/GlobalData.h"
#include "engine/SystemModel.h"
#include "engine/audio/AudioDataPlayer.h"
#include "engine/audio/AudioRecorder.h"
#include "engine/audio/RecordingThumbnail.h"
#include "workspace/CommandCenter.h"
#include "workspace/CourseController.h"
#include "workspace/Main.h"
#include "workspace/WordSelectingTextEditor.h"
#include "workspace/sentences/PageSentence.h"

namespace
{
constexpr int editorWidth = 730;
constexpr int editorHeight = 600;
const juce::Colour background(0xffaaaaaa);
const juce::Colour waveformBar(0xff333333);
const juce::Colour editorBackground(0xffa0cd89);
const juce::Colour titleColour(0xff505050);
const juce::String zeroTime("0:00.00");
// A file of this size or less holds no recording (an empty or merely created file).
constexpr juce::int64 emptyFileBytes = 4;
// How far ahead input mode looks for the end of the next sentence.
constexpr int lookAhead = 120;

std::unique_ptr<juce::TextButton> makeButton(const juce::String& text, int focusOrder = 0)
{
    auto button = std::make_unique<juce::TextButton>(text);
    if (focusOrder > 0)
        button->setExplicitFocusOrder(focusOrder);
    return button;
}

std::unique_ptr<juce::Label> makeTimeLabel(juce::Justification justification)
{
    auto label = std::make_unique<juce::Label>(juce::String(), zeroTime);
    label->setFont(juce::Font(18.0f, juce::Font::bold));
    label->setColour(juce::Label::textColourId, juce::Colours::azure);
    label->setJustificationType(justification);
    label->setEditable(false, false, false);
    return label;
}

std::unique_ptr<juce::Slider> makePositionSlider(int focusOrder)
{
    auto slider = std::make_unique<juce::Slider>(juce::Slider::LinearHorizontal, juce::Slider::NoTextBox);
    slider->setRange(0.0, 1.0, 0.005);
    slider->setExplicitFocusOrder(focusOrder);
    return slider;
}

std::unique_ptr<WordSelectingTextEditor> makeEditor(bool multiLine)
{
    auto editor = std::make_unique<WordSelectingTextEditor>();
    editor->setMultiLine(multiLine, true);
    editor->setReturnKeyStartsNewLine(multiLine);
    editor->setScrollbarsShown(multiLine);
    editor->setPopupMenuEnabled(true);
    editor->setColour(juce::TextEditor::backgroundColourId, editorBackground);
    editor->setFont(juce::Font(20.0f, juce::Font::plain));
    if (multiLine)
        editor->setScrollBarThickness(12);
    return editor;
}

std::unique_ptr<juce::GroupComponent> makeGroup(const juce::String& text)
{
    auto group = std::make_unique<juce::GroupComponent>(juce::String(), text);
    group->setTextLabelPosition(juce::Justification::centredLeft);
    return group;
}

bool holdsRecording(const juce::File& file)
{
    return file.getSize() > emptyFileBytes;
}

void showInfo(const juce::String& message)
{
    juce::AlertWindow::showMessageBox(juce::MessageBoxIconType::InfoIcon, TRANS("Ah oh"), message);
}
} // namespace

NoteEditor::NoteEditor(CourseController* courseController) : controller(courseController)
{
    setName(TRANS("Course Note Book"));
    player = std::make_unique<AudioDataPlayer>();
    recordingWaveform = std::make_unique<RecordingThumbnail>();
    recordingWaveform->colour = systemModel->areaThumbColour;
    recorder = std::make_unique<AudioRecorder>(*deviceManager, recordingWaveform->thumbnail);
    buildWidgets();

    findOrCreateRetellFile();
    setRetellWidgetsStatus();
    const auto& model = controller->getCourseModel();
    inputSelectedButton->setEnabled(controller->isCourseOpen() && model.isLearning());
    setSize(editorWidth, editorHeight);
}

NoteEditor::~NoteEditor()
{
    stopTimer();
    player->stop();
    player->setAudioSource(nullptr);
    recorder->stop();
}

void NoteEditor::buildWidgets()
{
    titleEditor = makeEditor(false);
    titleEditor->setExplicitFocusOrder(1);
    notesEditor = makeEditor(true);

    inputGroup = makeGroup(TRANS("Input mode"));
    inputSelectedButton = makeButton(TRANS("Input selected text"));
    playSentenceButton = makeButton(TRANS("Play current sentence"));
    previousButton = makeButton(TRANS("Previous"));
    nextButton = makeButton(TRANS("Next"));

    retellGroup = makeGroup(TRANS("Retell"));
    for (auto* row : {&stored, &fresh})
    {
        row->position = makeTimeLabel(juce::Justification::centredLeft);
        row->length = makeTimeLabel(juce::Justification::centredRight);
    }
    stored.slider = makePositionSlider(2);
    stored.play = makeButton(TRANS("Play"), 3);
    saveAsButton = makeButton(TRANS("Save as"), 4);
    deleteButton = makeButton(TRANS("Delete"), 5);
    fresh.slider = makePositionSlider(6);
    replaceButton = makeButton(TRANS("Replace"), 7);
    fresh.play = makeButton(TRANS("Play"), 8);
    recordButton = makeButton({}, 9);
    recordButton->setTooltip(TRANS("Retell record"));
    setRecordButtonColour(false);
    okButton = makeButton(TRANS("OK"), 10);
    cancelButton = makeButton(TRANS("Cancel"), 11);

    titleLabel = std::make_unique<juce::Label>(juce::String(), TRANS("Course Note Book"));
    titleLabel->setFont(juce::Font(23.0f, juce::Font::bold));
    titleLabel->setColour(juce::Label::textColourId, titleColour);
    titleLabel->setJustificationType(juce::Justification::centredLeft);
    titleLabel->setEditable(false, false, false);

    // Named for finding them (tests, the widget tree): several share a text.
    const std::pair<juce::Component*, const char*> ids[] = {{titleEditor.get(), "title"},
                                                            {notesEditor.get(), "notes"},
                                                            {recordingWaveform.get(), "waveform"},
                                                            {inputSelectedButton.get(), "inputSelected"},
                                                            {stored.position.get(), "storedPosition"},
                                                            {stored.length.get(), "storedLength"},
                                                            {stored.slider.get(), "storedSlider"},
                                                            {stored.play.get(), "storedPlay"},
                                                            {saveAsButton.get(), "saveAs"},
                                                            {deleteButton.get(), "delete"},
                                                            {fresh.position.get(), "freshPosition"},
                                                            {fresh.length.get(), "freshLength"},
                                                            {fresh.slider.get(), "freshSlider"},
                                                            {fresh.play.get(), "freshPlay"},
                                                            {replaceButton.get(), "replace"},
                                                            {recordButton.get(), "record"},
                                                            {okButton.get(), "ok"},
                                                            {cancelButton.get(), "cancel"}};
    for (const auto& [child, id] : ids)
        child->setComponentID(id);

    // Groups first, so that the widgets inside them are drawn over them.
    for (juce::Component* child : std::initializer_list<juce::Component*>{
             inputGroup.get(),         retellGroup.get(),       titleEditor.get(),
             notesEditor.get(),        recordingWaveform.get(), inputSelectedButton.get(),
             playSentenceButton.get(), previousButton.get(),    nextButton.get(),
             stored.position.get(),    stored.length.get(),     stored.slider.get(),
             stored.play.get(),        saveAsButton.get(),      deleteButton.get(),
             fresh.position.get(),     fresh.length.get(),      fresh.slider.get(),
             replaceButton.get(),      fresh.play.get(),        recordButton.get(),
             okButton.get(),           cancelButton.get(),      titleLabel.get()})
        addAndMakeVisible(child);

    for (auto* button :
         {inputSelectedButton.get(), playSentenceButton.get(), previousButton.get(), nextButton.get(),
          stored.play.get(), saveAsButton.get(), deleteButton.get(), replaceButton.get(), fresh.play.get(),
          recordButton.get(), okButton.get(), cancelButton.get()})
        button->addListener(this);
    stored.slider->addListener(this);
    fresh.slider->addListener(this);
}

void NoteEditor::findOrCreateRetellFile()
{
    retellFile = DocumentManager::getCourseFile(DocumentManager::retelling);
    if (retellFile.existsAsFile())
    {
        recordingWaveform->setAudioSource(retellFile);
        recordingWaveform->setDisplayFullThumbnail(true);
        return;
    }

    // Named after the working set's stem, the first 17 characters of its waveform file's name.
    const auto stem =
        DocumentManager::getCourseFile(DocumentManager::waveformFile).getFileNameWithoutExtension();
    retellFile = DocumentManager::TempDir().getChildFile(stem.substring(0, 17) + "-retell" +
                                                         stem.substring(17) + ".ogg");
    retellFile.create();
}

//==============================================================================
void NoteEditor::resized()
{
    const int w = getWidth();
    const int h = getHeight();
    titleEditor->setBounds(2, 1, w - 5, 30);
    notesEditor->setBounds(2, 33, w - 5, h - 228);
    recordingWaveform->setBounds(3, h - 190, w - 6, 45);

    inputGroup->setBounds(4, h - 140, 230, 105);
    inputSelectedButton->setBounds(17, h - 123, 200, 24);
    playSentenceButton->setBounds(16, h - 94, 200, 24);
    previousButton->setBounds(16, h - 66, 95, 24);
    nextButton->setBounds(120, h - 66, 95, 24);

    retellGroup->setBounds(w - 482, h - 140, w - 253, 105);
    stored.position->setBounds(w - 467, h - 123, 80, 24);
    stored.length->setBounds(w - 334, h - 123, 80, 24);
    stored.slider->setBounds(w - 466, h - 103, 210, 24);
    stored.play->setBounds(w - 458, h - 76, 50, 25);
    saveAsButton->setBounds(w - 396, h - 76, 60, 25);
    deleteButton->setBounds(w - 324, h - 76, 60, 25);
    fresh.position->setBounds(w - 234, h - 124, 80, 24);
    fresh.length->setBounds(w - 101, h - 124, 80, 24);
    fresh.slider->setBounds(w - 233, h - 103, 210, 24);
    replaceButton->setBounds(w - 225, h - 76, 60, 25);
    fresh.play->setBounds(w - 153, h - 76, 60, 25);
    recordButton->setBounds(w - 62, h - 79, 30, 30);

    okButton->setBounds(w - 150, h - 30, 65, 25);
    cancelButton->setBounds(w - 80, h - 30, 65, 25);
    titleLabel->setBounds(15, h - 30, 223, 26);
}

void NoteEditor::paint(juce::Graphics& g)
{
    g.fillAll(background);
    g.setColour(waveformBar);
    g.fillRoundedRectangle(juce::Rectangle<int>(3, getHeight() - 190, getWidth() - 6, 45).toFloat(), 5.0f);
}

//==============================================================================
void NoteEditor::setTitleAndNoteText(const juce::String& title, const juce::String& notes)
{
    titleEditor->setText(title, false);
    notesEditor->setText(notes, false);
    openingTitle = title;
    openingNotes = notes;
}

void NoteEditor::enableRow(Row& row, bool enabled)
{
    for (juce::Component* widget : {(juce::Component*)row.position.get(), (juce::Component*)row.length.get(),
                                    (juce::Component*)row.slider.get(), (juce::Component*)row.play.get()})
        widget->setEnabled(enabled);
}

void NoteEditor::setRetellWidgetsStatus()
{
    recordButton->setEnabled(true);

    const bool hasStored = holdsRecording(retellFile);
    enableRow(stored, hasStored);
    saveAsButton->setEnabled(hasStored);
    deleteButton->setEnabled(hasStored);
    if (hasStored)
    {
        player->setAudioSource(retellFile);
        stored.seconds = player->transportSource.getLengthInSeconds();
        stored.length->setText(GlobalData::secondsToCsString(stored.seconds), juce::dontSendNotification);
    }

    // Loaded last, so with both present the player holds the fresh recording.
    const bool hasFresh = recorder->hasRecording();
    enableRow(fresh, hasFresh);
    replaceButton->setEnabled(hasFresh);
    if (hasFresh)
    {
        player->setAudioSource(recorder->getTemporaryFile());
        fresh.seconds = player->transportSource.getLengthInSeconds();
        fresh.length->setText(GlobalData::secondsToCsString(fresh.seconds), juce::dontSendNotification);
    }
}

bool NoteEditor::dataChanged() const
{
    return titleEditor->getText().trim() != openingTitle.trim() ||
           notesEditor->getText().trim() != openingNotes.trim();
}

void NoteEditor::saveAndExit()
{
    if (dataChanged())
    {
        undoManager->beginNewTransaction(TRANS("Edit course title and notes"));
        controller->setCourseTitle(titleEditor->getText().trim());
        controller->setCourseNotes(notesEditor->getText().trim());
        undoManager->beginNewTransaction();
    }
    setVisible(false);
    controller->showOrHideNoteMarker();
    reset();
}

void NoteEditor::askSaveOrNot()
{
    if (dataChanged() &&
        juce::AlertWindow::showOkCancelBox(juce::MessageBoxIconType::InfoIcon, TRANS("Confirm"),
                                           TRANS("Notes and/or title has been changed, do you want to save?"),
                                           TRANS("Save"), TRANS("Discard"), nullptr, nullptr))
    {
        endRecording();
        saveAndExit();
        return;
    }
    hideAndReset();
}

void NoteEditor::hideAndReset()
{
    setVisible(false);
    reset();
}

void NoteEditor::reset()
{
    titleEditor->clear();
    notesEditor->clear();
    openingTitle.clear();
    openingNotes.clear();
    stopTimer();
    player->stop();
    player->setAudioSource(nullptr);
    endRecording();
}

void NoteEditor::userTriedToCloseWindow()
{
    askSaveOrNot();
}

void NoteEditor::setKeyboardFoucsForNoteEditor()
{
    notesEditor->grabKeyboardFocus();
    notesEditor->moveCaretToEnd();
}

//==============================================================================
void NoteEditor::buttonClicked(juce::Button* button)
{
    if (button == okButton.get())
    {
        endRecording();
        saveAndExit();
        controller->showOrHideNoteMarker();
    }
    else if (button == cancelButton.get())
    {
        endRecording();
        askSaveOrNot();
    }
    else if (button == stored.play.get())
        playOrStopRow(true);
    else if (button == fresh.play.get())
        playOrStopRow(false);
    else if (button == saveAsButton.get())
        saveRetellingAs();
    else if (button == replaceButton.get())
        replaceRetelling();
    else if (button == deleteButton.get())
        deleteRetelling();
    else if (button == recordButton.get())
    {
        if (recorder->isRecording())
        {
            endRecording();
            setRetellWidgetsStatus();
        }
        else
            startRecording();
    }
    else if (button == playSentenceButton.get())
        replayCurrentSentence();
    else if (button == previousButton.get())
    {
        controller->gotoPrevSentence();
        replayCurrentSentence();
    }
    else if (button == nextButton.get())
    {
        controller->gotoNextSentence();
        replayCurrentSentence();
    }
    else if (button == inputSelectedButton.get())
        inputSelectedText();
}

void NoteEditor::replayCurrentSentence()
{
    commandManager->invokeDirectly(CommandCenter::replaySentence, true);
}

void NoteEditor::setRecordButtonColour(bool isRecording)
{
    recordButton->setColour(juce::TextButton::buttonColourId,
                            isRecording ? juce::Colours::green : juce::Colours::red);
}

void NoteEditor::playOrStopRow(bool storedRow)
{
    auto& row = storedRow ? stored : fresh;
    if (player->transportSource.isPlaying())
    {
        player->stop();
        stopTimer();
        row.play->setButtonText(TRANS("Play"));
        setRetellWidgetsStatus();
        return;
    }

    if (controller->isSentencePlayerPlaying())
        controller->stopSentencePlayer();
    player->setAudioSource(storedRow ? retellFile : recorder->getTemporaryFile());
    row.seconds = player->transportSource.getLengthInSeconds();
    player->transportSource.setPosition(row.slider->getValue() * row.seconds);
    if (!player->start())
        return;
    playingStoredRetelling = storedRow;
    startTimer(GlobalData::timerCallbackInterval);
    row.play->setButtonText(TRANS("Stop"));

    auto& other = storedRow ? fresh : stored;
    for (auto* button :
         {other.play.get(), recordButton.get(), deleteButton.get(), replaceButton.get(), saveAsButton.get()})
        button->setEnabled(false);
}

void NoteEditor::sliderValueChanged(juce::Slider* slider)
{
    auto& row = slider == stored.slider.get() ? stored : fresh;
    const double seconds = slider->getValue() * row.seconds;
    // The player holds one row's file at a time; the other row only shows where it would start.
    if (playingStoredRetelling == (&row == &stored) && player->transportSource.isPlaying())
        player->transportSource.setPosition(seconds);
    row.position->setText(GlobalData::secondsToCsString(seconds), juce::dontSendNotification);
}

void NoteEditor::timerCallback()
{
    if (recording)
    {
        const double seconds = (juce::Time::getMillisecondCounter() - recordingStart) / 1000.0;
        fresh.length->setText(GlobalData::secondsToCsString(seconds), juce::dontSendNotification);
        return;
    }

    auto& row = playedRow();
    const double position = player->transportSource.getCurrentPosition();
    const double length = player->transportSource.getLengthInSeconds();
    row.position->setText(GlobalData::secondsToCsString(position), juce::dontSendNotification);
    if (length > 0.0)
        row.slider->setValue(position / length, juce::dontSendNotification);
    if (position >= length - 0.001)
        endOfRowReached(row);
}

void NoteEditor::endOfRowReached(Row& row)
{
    player->stop();
    player->transportSource.setPosition(0.0);
    stopTimer();
    setRetellWidgetsStatus();
    row.slider->setValue(0.0, juce::dontSendNotification);
    row.position->setText(zeroTime, juce::dontSendNotification);
    row.play->setButtonText(TRANS("Play"));
}

//==============================================================================
void NoteEditor::startRecording()
{
    if (controller->isSentencePlayerPlaying())
        controller->stopSentencePlayer();
    stopTimer();
    player->setAudioSource(nullptr);

    // A device that can't record leaves the window as it was: no green button over nothing.
    if (!recorder->startRecording())
    {
        setRetellWidgetsStatus();
        return;
    }

    fresh.slider->setValue(0.0, juce::dontSendNotification);
    fresh.slider->setEnabled(false);
    fresh.length->setText(zeroTime, juce::dontSendNotification);
    fresh.length->setEnabled(true);
    setRecordButtonColour(true);
    recordingWaveform->setDisplayFullThumbnail(false);
    recording = true;
    recordingStart = juce::Time::getMillisecondCounter();
    startTimer(GlobalData::timerCallbackInterval);
    for (auto* button :
         {stored.play.get(), fresh.play.get(), saveAsButton.get(), replaceButton.get(), deleteButton.get()})
        button->setEnabled(false);
}

void NoteEditor::endRecording()
{
    if (recording)
    {
        recording = false;
        stopTimer();
    }
    recorder->stopAndReport();
    setRecordButtonColour(false);
    recordingWaveform->setDisplayFullThumbnail(true);
}

void NoteEditor::replaceRetelling()
{
    player->setAudioSource(nullptr);
    if (!recorder->saveToFile(retellFile))
        showInfo(TRANS("The new retelling could not be kept; the recording is still there to try again."));
    fresh.slider->setValue(0.0, juce::sendNotificationAsync);
    fresh.length->setText(zeroTime, juce::dontSendNotification);
    setRetellWidgetsStatus();
    controller->showOrHideNoteMarker();
}

void NoteEditor::deleteRetelling()
{
    stopTimer();
    player->setAudioSource(nullptr);
    if (retellFile.deleteFile())
    {
        stored.slider->setValue(0.0, juce::sendNotificationAsync);
        stored.length->setText(zeroTime, juce::dontSendNotification);
        recordingWaveform->setAudioSource(juce::File());
    }
    setRetellWidgetsStatus();
    controller->showOrHideNoteMarker();
}

void NoteEditor::saveRetellingAs()
{
    juce::FileChooser chooser(TRANS("File save as..."), juce::File(), "*.ogg", true);
    if (!chooser.browseForFileToSave(true))
        return;
    if (!FileReplacement::copyOnto(retellFile, chooser.getResult()))
        showInfo(TRANS("The retelling could not be saved as this file."));
}

//==============================================================================
void NoteEditor::inputSelectedText()
{
    const auto selection = notesEditor->getHighlightedText();
    if (selection.isEmpty())
        return;

    const auto text = selection.replace("&#160;", " ").replace("&#10;", "").trim();
    if (auto* page = dynamic_cast<PageSentence*>(controller->getCourseModel().getCurrentSentence(false)))
        page->setOrginText(text, true);
    controller->gotoNextSentence();
    replayCurrentSentence();

    notesEditor->insertTextAtCaret({});
    selectNextPiece(*notesEditor);
}

void NoteEditor::selectNextPiece(juce::TextEditor& editor)
{
    const int caret = editor.getCaretPosition();
    const auto text = editor.getText();
    int blanks = 0;
    while (caret + blanks < text.length() && juce::String(" \n\r\t").containsChar(text[caret + blanks]))
        ++blanks;
    if (blanks > 0)
    {
        editor.setHighlightedRegion({caret, caret + blanks});
        editor.insertTextAtCaret({});
    }

    const auto ahead = editor.getText().substring(caret, caret + lookAhead);
    int end = lookAhead;
    for (auto* mark : {"?", ";", ":", "!", ".", ","})
        if (const int at = ahead.indexOf(mark); at >= 0)
        {
            end = at;
            break;
        }
    if (ahead.containsChar('"'))
        end += 1;
    else if (ahead.contains("..."))
        end += 2;

    editor.setHighlightedRegion({caret, juce::jmin(caret + end + 1, editor.getTotalNumChars())});
}
