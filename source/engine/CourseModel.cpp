#include "engine/CourseModel.h"

#include "engine/CourseModelRules.h"
#include "engine/CourseTextNumbers.h"
#include "engine/DocumentManager.h"
#include "engine/FileReplacement.h"
#include "engine/GlobalData.h"
#include "engine/SafeXml.h"
#include "engine/SystemModel.h"
#include "workspace/CourseController.h"
#include "workspace/Main.h"
#include "workspace/sentences/LearnSentence.h"
#include "workspace/sentences/ReviewSentence.h"
#include "workspace/sentences/ThumbSentence.h"

const juce::Identifier CourseModel::COURSE("COURSE");
const juce::Identifier CourseModel::SENTENCE("SENTENCE");

const juce::Identifier CourseModel::AudioFile("AudioFile");
const juce::Identifier CourseModel::LearnDate("LearnDate");
const juce::Identifier CourseModel::CourseName("CourseName");
const juce::Identifier CourseModel::CourseLength("CourseLength");
const juce::Identifier CourseModel::CourseSeconds("CourseSeconds");
const juce::Identifier CourseModel::TotalSentences("TotalSentences");
const juce::Identifier CourseModel::TotalNeedReview("TotalNeedReview");
const juce::Identifier CourseModel::NextNeedReview("NextNeedReview");
const juce::Identifier CourseModel::NowStatus("NowStatus");
const juce::Identifier CourseModel::Notes("Notes");

const juce::Identifier CourseModel::StartSamples("StartSamples");
const juce::Identifier CourseModel::EndSamples("EndSamples");
const juce::Identifier CourseModel::EnglishText("EnglishText");
const juce::Identifier CourseModel::ChineseText("ChineseText");
const juce::Identifier CourseModel::NeedReview("NeedReview");
const juce::Identifier CourseModel::NextIntervalDays("NextIntervalDays");
const juce::Identifier CourseModel::TotalReviews("TotalReviews");
const juce::Identifier CourseModel::CorrectTimes("CorrectTimes");

const juce::Identifier CourseModel::NextReviewDate("NextReviewDate");

namespace
{
const int saveDelayMs = 100;
const int overviewCacheSize = 3;
const int samplesPerOverviewPoint = 1024;
void showLoadFailure(const juce::String& message)
{
    juce::AlertWindow::showMessageBox(juce::MessageBoxIconType::InfoIcon, TRANS("Load course failed."),
                                      message);
}

bool mouseButtonHeld()
{
    return juce::ModifierKeys::currentModifiers.isAnyMouseButtonDown() ||
           juce::Desktop::getInstance().getNumDraggingMouseSources() > 0;
}

// The usage statistics follow the unfamiliar sentences and the time spent with the course.
void countUnfamiliarSentence(bool added)
{
    if (systemModel == nullptr)
        return;
    if (added)
        systemModel->reviewSentenceAddOne();
    else
        systemModel->reviewSentenceMinusOne();
}

/** Takes a view off the screen before it is deleted. A component deleted while its window is
    shown asks the window system, for itself and for each of its children, whether the window is
    minimised: a round trip each, which made removing hundreds of sentences slow. Hidden and
    detached first, it asks nothing. */
void detachView(juce::Component* view)
{
    if (view == nullptr)
        return;
    view->setVisible(false);
    if (auto* parent = view->getParentComponent())
        parent->removeChildComponent(view);
}

void deleteAllViews(juce::OwnedArray<SentenceComponent>& views)
{
    for (auto* view : views)
        detachView(view);
    views.clear();
}

void restartUsageTiming(bool learning)
{
    if (systemModel == nullptr)
        return;
    systemModel->stopTiming(learning);
    systemModel->startTiming();
}
} // namespace

using namespace courseModelRules;

CourseModel::CourseModel(CourseController* controller)
    : course(COURSE), owner(controller), thumbnailCache(overviewCacheSize),
      thumbnail(samplesPerOverviewPoint, *formatManager, thumbnailCache)
{
    jassert(owner != nullptr);
}

CourseModel::~CourseModel()
{
    stopTimer();
    course.removeListener(this);
    saveCourseTextFile();
    // The views draw from the overview, which goes before the arrays would.
    deleteAllViews(thumbs);
    deleteAllViews(pages);
}

//==============================================================================
bool CourseModel::loadCourseTextFile(const juce::File& file)
{
    const auto xml = SafeXml::parse(file);
    if (xml == nullptr || !xml->hasAttribute(AudioFile.toString()))
    {
        showLoadFailure(TRANS("Invalid course text file!"));
        return false;
    }

    courseModelReset();

    CourseTextNumbers::keepWithinInt(*xml);
    learning = xml->getIntAttribute(NowStatus) == 0;
    const auto stem = file.getFileNameWithoutExtension();
    const auto audioFile = courseAudioFile(file, xml->getStringAttribute(AudioFile));

    reader.reset(formatManager->createReaderFor(audioFile));
    if (reader == nullptr)
    {
        showLoadFailure(audioFile.getFullPathName() + lineBreak + lineBreak +
                        TRANS("This file is missing or doesn't contain any valid audio file info!"));
        return false;
    }

    const auto waveformFile = DocumentManager::TempDir().getChildFile(stem + ".smg");
    if (!waveformFile.existsAsFile())
    {
        showLoadFailure(waveformFile.getFullPathName() + lineBreak + lineBreak +
                        TRANS("Can't find the audio thumbnail file!"));
        return false;
    }
    loadWaveformFile(waveformFile);

    CourseTextNumbers::keepSentencesWithin(*xml, reader->lengthInSamples);
    course = juce::ValueTree::fromXml(*xml);
    GlobalData::courseAudioSampleRate = reader->sampleRate;
    course.addListener(this);
    courseFile = file;

    for (int i = 0; i < course.getNumChildren(); ++i)
        createViews(i);

    // A review starts at its first due sentence.
    if (learning || !stillHasDueSentence() || !selectFirstDueSentence())
        selectSentence(0, true);
    return true;
}

juce::File CourseModel::courseAudioFile(const juce::File& text, const juce::String& audioPath) const
{
    // A course in review plays the audio rendered when it was archived.
    if (!learning)
        return DocumentManager::TempDir().getChildFile(text.getFileNameWithoutExtension() + ".ogg");
    if (juce::File::isAbsolutePath(audioPath))
        return juce::File(audioPath);
    return {};
}

bool CourseModel::loadWaveformFile(const juce::File& waveformFile)
{
    auto stream = waveformFile.createInputStream();
    if (stream == nullptr)
        return false;
    juce::GZIPDecompressorInputStream zlib(stream.release(), true,
                                           juce::GZIPDecompressorInputStream::zlibFormat);
    return thumbnail.loadFrom(zlib);
}

void CourseModel::createViews(int index)
{
    const auto sentence = course.getChild(index);
    const int start = sentence[StartSamples];
    const int end = sentence[EndSamples];
    const bool unfamiliar = sentence[NeedReview];

    auto* thumb = new ThumbSentence(thumbnail, start, end);
    thumb->needReview(unfamiliar);
    thumb->addListener(this);
    thumbs.insert(index, thumb);

    PageSentence* page = nullptr;
    if (learning)
        page = new LearnSentence(thumbnail, start, end);
    else
        page = new ReviewSentence(thumbnail, start, end, unfamiliarIsDue(index));
    page->setOrginText(sentence[EnglishText].toString(), false);
    page->setTransText(sentence[ChineseText].toString(), false);
    page->needReview(unfamiliar);
    page->addListener(this);
    pages.insert(index, page);
}

void CourseModel::courseModelReset()
{
    course.removeListener(this);
    course.removeAllChildren(nullptr);
    course.removeAllProperties(nullptr);
    reader.reset();
    courseFile = juce::File();
    deleteAllViews(thumbs);
    deleteAllViews(pages);
    selected = -1;
    undoManager->clearUndoHistory();
}

bool CourseModel::saveCourseTextFile() const
{
    // The working set may have been deleted while the course was open (cleared, archived, or
    // removed by hand); writing the text would bring part of it back.
    return courseFile.existsAsFile() && writeCourseTextTo(courseFile);
}

bool CourseModel::writeCourseTextTo(const juce::File& target) const
{
    const auto xml = course.createXml();
    if (xml == nullptr)
        return false;
    juce::XmlElement::TextFormat format;
    format.lineWrapLength = 60;
    // Not the framework's own file write: it leaves a scratch file named like a course text
    // beside it when the process is killed.
    return FileReplacement::writeOnto(target,
                                      [&](juce::OutputStream& out)
                                      {
                                          xml->writeTo(out, format);
                                          return true;
                                      });
}

//==============================================================================
const juce::var& CourseModel::getValue(int index, const juce::Identifier& key) const
{
    if (index == -1)
        return course.getProperty(key);
    return course.getChild(index).getProperty(key);
}

void CourseModel::setValue(int index, const juce::Identifier& key, const juce::var& value, bool undoable)
{
    auto tree = index == -1 ? course : course.getChild(index);
    if (!tree.isValid() || tree.getProperty(key) == value)
        return;
    tree.setProperty(key, value, undoable ? undoManager : nullptr);
}

void CourseModel::selectSentence(int index, bool remember)
{
    if (index < 0 || index >= thumbs.size() || index >= pages.size())
        return;

    for (auto* view : thumbs)
        view->setSelected(false);
    for (auto* view : pages)
        view->setSelected(false);
    thumbs.getUnchecked(index)->setSelected(true);
    pages.getUnchecked(index)->setSelected(true);

    if (remember)
        selected = index;
}

SentenceComponent* CourseModel::getCurrentSentence(bool thumb) const
{
    return thumb ? thumbs[selected] : pages[selected];
}

juce::File CourseModel::getCourseThumbFile() const
{
    return DocumentManager::getCourseFile(DocumentManager::waveformFile);
}

juce::AudioFormatReader* CourseModel::getSentenceAudioReader(int index) const
{
    if (!isValidIndex(index) || reader == nullptr)
        return nullptr;
    const int start = getInt(index, StartSamples);
    // A hand-written text could hold an end before the start; the reader then holds nothing.
    const auto length = juce::jmax((juce::int64)0, (juce::int64)getInt(index, EndSamples) - start + 1);
    return new juce::AudioSubsectionReader(reader.get(), start, length, false);
}

//==============================================================================
double CourseModel::getCourseSeconds() const
{
    return GlobalData::samplesToSeconds(getInt(-1, CourseLength));
}

double CourseModel::getSelectedLength() const
{
    if (!isValidIndex(selected))
        return 0.0;
    return GlobalData::samplesToSeconds(getInt(selected, EndSamples) - getInt(selected, StartSamples) + 1);
}

int CourseModel::getSentenceLengthSamples(int index) const
{
    if (!isValidIndex(index))
        return 0;
    return getInt(index, EndSamples) - getInt(index, StartSamples);
}

double CourseModel::getSentenceLengthSeconds(int index) const
{
    return GlobalData::samplesToSeconds(getSentenceLengthSamples(index));
}

double CourseModel::getSentenceStartSeconds(int index) const
{
    if (auto* view = thumbs[index])
        return GlobalData::samplesToSeconds(view->start);
    return 0.0;
}

double CourseModel::getSentenceEndSeconds(int index) const
{
    if (auto* view = thumbs[index])
        return GlobalData::samplesToSeconds(view->end);
    return 0.0;
}

//==============================================================================
void CourseModel::valueTreePropertyChanged(juce::ValueTree& tree, const juce::Identifier& property)
{
    if (tree == course)
    {
        coursePropertyChanged(property);
        restartSaveTimer();
    }
    else if (tree.getParent() == course)
    {
        sentencePropertyChanged(course.indexOf(tree), property);
    }
}

void CourseModel::coursePropertyChanged(const juce::Identifier& property)
{
    if (property == TotalNeedReview)
        owner->unfamiliarNumberChanged();
    else if (property == CourseName)
        owner->setTitleBarText(true);
    else if (property == CourseLength)
        owner->lengthChanged();
    else if (property == Notes)
        owner->showOrHideNoteMarker();
}

void CourseModel::sentencePropertyChanged(int index, const juce::Identifier& property)
{
    auto* thumb = thumbs[index];
    auto* page = getPage(index);
    if (thumb == nullptr || page == nullptr)
        return;

    const auto& value = getValue(index, property);
    if (property == StartSamples)
    {
        thumb->setStartSamples(value);
        page->setStartSamples(value);
    }
    else if (property == EndSamples)
    {
        thumb->setEndSamples(value);
        page->setEndSamples(value);
    }
    else if (property == EnglishText)
    {
        page->setOrginText(value.toString(), false);
    }
    else if (property == ChineseText)
    {
        page->setTransText(value.toString(), false);
    }
    else if (property == NeedReview)
    {
        // Every change of the flag, its undo and redo included, comes with other changes in the
        // same step; those select the sentence and restart the save timer.
        const bool unfamiliar = value;
        thumb->needReview(unfamiliar);
        page->needReview(unfamiliar);
        countUnfamiliarSentence(unfamiliar);
        return;
    }

    selectSentence(index, true);
    owner->resizeViews();
    moveCursorToSentence(index);
    restartSaveTimer();
}

void CourseModel::valueTreeChildAdded(juce::ValueTree& parent, juce::ValueTree& child)
{
    if (parent != course)
        return;

    const int index = course.indexOf(child);
    createViews(index);
    selectSentence(index, true);
    owner->sentenceAdded(index);
    moveCursorToSentence(index);
    if (static_cast<bool>(child[NeedReview]))
        countUnfamiliarSentence(true);
    restartSaveTimer();
}

void CourseModel::valueTreeChildRemoved(juce::ValueTree& parent, juce::ValueTree& child, int formerIndex)
{
    if (parent != course)
        return;

    // The views are found by their start. When two sentences share a start (boundary moves
    // without the neighbour's limit allow that), the former index tells which one went.
    const int removedStart = child[StartSamples];
    int k = -1;
    if (auto* view = thumbs[formerIndex]; view != nullptr && view->start == removedStart)
        k = formerIndex;
    for (int i = thumbs.size(); k < 0 && --i >= 0;)
        if (thumbs.getUnchecked(i)->start == removedStart)
            k = i;

    if (k >= 0)
    {
        auto* view = thumbs.getUnchecked(k);
        const int length = view->end - view->start;
        const bool wasUnfamiliar = view->needsReview;
        detachView(view);
        detachView(pages[k]);
        thumbs.remove(k);
        pages.remove(k);
        if (wasUnfamiliar)
            countUnfamiliarSentence(false);

        const int nowSelected = juce::jmin(k, thumbs.size() - 1);
        if (nowSelected < 0)
            selected = -1;
        selectSentence(nowSelected, true);
        owner->sentenceRemoved(k, length);
        moveCursorToSentence(nowSelected);
    }
    restartSaveTimer();
}

void CourseModel::restartSaveTimer()
{
    startTimer(saveDelayMs);
}

void CourseModel::timerCallback()
{
    // A drag or a held button is never written midway; the write follows the release.
    if (mouseButtonHeld())
        return;

    stopTimer();
    saveCourseTextFile();
    restartUsageTiming(learning);
}

//==============================================================================
PageSentence* CourseModel::getPage(int index) const
{
    // Every page view is a learning or a review view, both page sentences.
    return static_cast<PageSentence*>(pages[index]);
}

int CourseModel::indexAmongThumbs(const SentenceComponent* view) const
{
    return thumbs.indexOf(view);
}

int CourseModel::indexAmongPages(const SentenceComponent* view) const
{
    return pages.indexOf(view);
}

int CourseModel::indexAmongViews(const SentenceComponent* view) const
{
    const int index = indexAmongThumbs(view);
    return index >= 0 ? index : indexAmongPages(view);
}

void CourseModel::moveCursorToSentence(int index)
{
    if (auto* thumb = thumbs[index])
        owner->setCursorPosition(GlobalData::xToSeconds(thumb->getX()));
}

double CourseModel::cursorSecondsWithin(int index, int pixel) const
{
    const auto seconds = juce::jmax(0.0, GlobalData::xToSeconds(pixel));
    return juce::jmin(seconds, GlobalData::samplesToSeconds(getInt(index, EndSamples)));
}

//==============================================================================
void CourseModel::prepareDrag(SentenceComponent* view)
{
    view->toFront(true);
}

void CourseModel::startChanged(SentenceComponent* view)
{
    const int index = indexAmongThumbs(view);
    if (index >= 0)
        setSentenceStart(index, view->start);
}

void CourseModel::endChanged(SentenceComponent* view)
{
    const int index = indexAmongThumbs(view);
    if (index >= 0)
        setSentenceEnd(index, view->end);
}

void CourseModel::splitThumbSentence(SentenceComponent* view, int x)
{
    const int index = indexAmongThumbs(view);
    if (index >= 0)
        splitSentence(index, GlobalData::xToSamples(x));
}

void CourseModel::hasBeenSelected(SentenceComponent* view)
{
    const int index = indexAmongViews(view);
    if (index >= 0 && index != selected)
        selectSentence(index, false);
}

void CourseModel::setCursorPosition(SentenceComponent* view, int x)
{
    const int index = indexAmongViews(view);
    if (index < 0)
        return;
    if (!view->selected)
        selectSentence(index, false);
    owner->setCursorPosition(cursorSecondsWithin(index, x + thumbs.getUnchecked(index)->getX()));
}

void CourseModel::setPlayPosition(SentenceComponent* view, int x)
{
    const int index = indexAmongViews(view);
    if (index < 0)
        return;

    int cursorPixel = thumbs.getUnchecked(index)->getX();
    if (index == selected)
    {
        owner->setPlayPosition(false, GlobalData::xToSeconds(x));
        cursorPixel += juce::jmax(x, 0);
    }
    else
    {
        selectSentence(index, true);
        owner->setPlayPosition(true, 0.0);
    }

    // The container the learner did not click follows.
    const bool fromStrip = dynamic_cast<ThumbSentence*>(view) != nullptr;
    owner->makeViewportScroll(!fromStrip, fromStrip);
    owner->setCursorPosition(cursorSecondsWithin(index, cursorPixel));
}

void CourseModel::orginTextChanged(SentenceComponent* view, const juce::String& text, bool moveOn)
{
    textChanged(view, text, moveOn, true);
}

void CourseModel::transTextChanged(SentenceComponent* view, const juce::String& text, bool moveOn)
{
    textChanged(view, text, moveOn, false);
}

void CourseModel::textChanged(SentenceComponent* view, const juce::String& text, bool moveOn, bool foreign)
{
    const int index = indexAmongPages(view);
    if (index < 0)
        return;

    undoManager->beginNewTransaction(foreign ? TRANS("Input / edit foreign text")
                                             : TRANS("Input / edit native text"));
    setValue(index, foreign ? EnglishText : ChineseText, text, true);
    undoManager->beginNewTransaction();

    if (learning && moveOn)
        moveTextInputOn(index, foreign);
}

void CourseModel::moveTextInputOn(int index, bool foreign)
{
    // After the last sentence, input goes on with the other text of the first sentence.
    if (index < pages.size() - 1)
    {
        selectSentence(index + 1, true);
        pages.getUnchecked(index + 1)->textLabelEnterInputStatus(foreign);
    }
    else
    {
        selectSentence(0, true);
        pages.getUnchecked(0)->textLabelEnterInputStatus(!foreign);
    }

    owner->setPlayPosition(true, 0.0);
    if (!owner->isSentencePlayerPlaying())
        owner->makeViewportScroll(true, true);
}

void CourseModel::hasBeenEnterTransModal(SentenceComponent*)
{
    if (owner->isSentencePlayerPlaying())
        owner->stopSentencePlayer();
}
