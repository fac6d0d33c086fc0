#pragma once

#include "workspace/sentences/SentenceComponent.h"

#include <juce_audio_utils/juce_audio_utils.h>
#include <juce_data_structures/juce_data_structures.h>

class CourseController;
class PageSentence;
class ReviewSentence;

/** The model of the one open course.

    It owns the course tree (a COURSE root with one SENTENCE child per sentence, in time order),
    the reader of the course audio, its waveform overview and, for every sentence, one view on the
    waveform strip and one on the pages. It loads the tree from the course text and writes it
    back 100 ms after the last change (later while a mouse button is held).

    Every edit goes into the tree, and the views, the controller and the save timer follow through
    the tree's change callbacks alone; undo and redo therefore need no code of their own. The
    names below are the tree's types and property keys, which are also the element and attribute
    names of the course text. */
class CourseModel : public juce::ValueTree::Listener, public SentenceComponent::Listener, private juce::Timer
{
public:
    // Tree types.
    static const juce::Identifier COURSE;
    static const juce::Identifier SENTENCE;

    // Properties of the course (the root).
    static const juce::Identifier AudioFile;
    static const juce::Identifier LearnDate;
    static const juce::Identifier CourseName;
    static const juce::Identifier CourseLength;
    static const juce::Identifier CourseSeconds;
    static const juce::Identifier TotalSentences;
    static const juce::Identifier TotalNeedReview;
    static const juce::Identifier NextNeedReview;
    static const juce::Identifier NowStatus;
    static const juce::Identifier Notes;

    // Properties of a sentence.
    static const juce::Identifier StartSamples;
    static const juce::Identifier EndSamples;
    static const juce::Identifier EnglishText;
    static const juce::Identifier ChineseText;
    static const juce::Identifier NeedReview;
    static const juce::Identifier NextIntervalDays;
    static const juce::Identifier TotalReviews;
    static const juce::Identifier CorrectTimes;

    // Both the course and each sentence carry their next review date.
    static const juce::Identifier NextReviewDate;

    explicit CourseModel(CourseController* owner);
    /** Writes the course text once more. */
    ~CourseModel() override;

    /** Opens a course text with its audio and waveform file; false (after telling the learner)
        when one of them can't be used. */
    bool loadCourseTextFile(const juce::File& file);
    /** Back to no course: empty tree, no reader, no views, no selection, no undo history. */
    void courseModelReset();
    /** Writes the tree to the course text, but only while that file exists: a working set that
        was deleted is never made again by a save. */
    bool saveCourseTextFile() const;
    /** Writes the tree into that file, replacing it whole or not at all. */
    bool writeCourseTextTo(const juce::File& target) const;

    /** A property of the sentence of that index, or of the course for -1. */
    const juce::var& getValue(int index, const juce::Identifier& key) const;
    /** Sets a property of the sentence of that index (or of the course for -1). Begins no
        transaction; callers that want a named undo step begin one. */
    void setValue(int index, const juce::Identifier& key, const juce::var& value, bool undoable);

    /** Shows the two views of that index as selected, and remembers it when asked. */
    void selectSentence(int index, bool remember);
    /** The selected sentence's waveform-strip view (true) or page view (false). */
    SentenceComponent* getCurrentSentence(bool thumb) const;
    juce::File getCourseThumbFile() const;
    /** A new reader over one sentence of the course audio, owned by the caller; null for an
        index outside the sentences. */
    juce::AudioFormatReader* getSentenceAudioReader(int index) const;
    /** The samples a sentence from start to end (both included) of a course audio of that length
        and rate takes once its audio reader is rendered at the render rate; at least one, so that
        a sentence too short to leave a sample keeps a place. Course texts laid back to back on
        rendered audio take their sentences' lengths from here. */
    static juce::int64 renderedSentenceLength(juce::int64 start, juce::int64 end, juce::int64 audioLength,
                                              double courseRate, double renderRate);

    double getCourseSeconds() const;
    /** Sample count of the selected sentence, in seconds. */
    double getSelectedLength() const;
    /** Distance from the sentence's first to its last sample. */
    int getSentenceLengthSamples(int index) const;
    double getSentenceLengthSeconds(int index) const;
    /** Start and end as held by the sentence's waveform-strip view. */
    double getSentenceStartSeconds(int index) const;
    double getSentenceEndSeconds(int index) const;

    /** Whether the sentence is unfamiliar and its review date has come. */
    bool unfamiliarIsDue(int index) const;

    // The review schedule.
    /** Where the sentence stands: 0 no course, no page views or a negative index; 1 familiar or
        past the end; 2 unfamiliar, but learned or not due in this review; 3 due in this review
        and not yet answered right; 4 due and answered right. */
    int getSentenceStatus(int index) const;
    /** The mark command on the selected sentence: a familiar one becomes unfamiliar (one undo
        step); for an unfamiliar one, its review figures, with the offer to stop its review. */
    void browseInfoAndSetUnfamiliar();
    /** In review, whether some sentence still waits for its right answer today. */
    bool stillHasDueSentence() const;
    /** Stops the sentence player and opens the selected review view's answer editor. */
    void transCurrentDueSentence();
    /** Schedules the next review of an unfamiliar sentence after an answer (right or wrong). */
    void setNextIntervalDays(int index, bool ok);
    /** Opens the answer of the next sentence still due, or finishes the course's review day. */
    void transFirstDueSentence();
    /** Whether every unfamiliar sentence has a foreign text; if not, the first without one is
        selected and shown. */
    bool allUnfamiliarsHaveTexts();
    /** Marks the course fully reviewed when every unfamiliar sentence has finished its reviews. */
    bool allReviewedAndMakerNeedDel();
    /** The day close of the open review course: its next date and the number then due. */
    void updateCourseAttribWhenReviewed();
    /** Turns the learned course into a review course on the rendered audio's time line and saves
        it into the target, beside the rendered audio it is packed with; the learning course's own
        text stays as it was until the archive is in the library. The model stops following its
        tree for good: the course is packed and the workspace cleared next, or it is loaded again.
        False (after telling the learner) when the course text could not be written. */
    bool updateAndSaveTextOfNewCourse(const juce::File& target);

    // Moving between the sentences due in this review (statuses 3 and 4).
    bool selectFirstDueSentence();
    bool selectPrevDueSentence();
    bool selectNextDueSentence();
    bool currentSentenceIsFirstDue() const;
    bool currentSentenceIsLastDue() const;
    /** Splits the selected sentence at its silences (one undo step). */
    void autoSplitSelectedSentence();
    /** The second half of the automatic split: replaces the sentence by the pieces that end at
        the cuts (ascending, inside the sentence, at least two) and the one after the last cut,
        as the one undo step "Auto split sentence". */
    void splitAtCuts(int index, const juce::Array<int>& cuts);

    // Sentence editing: each edit is one named undo step.
    /** Splits the sentence after the sample at its start plus the offset. */
    void splitSentence(int index, int offsetSamples);
    /** Merges the sentence with the next one. */
    void mergeSentences(int index);
    void removeSentence(int index);
    /** Moves the sentence's start (or end) to that sample. */
    void setSentenceStart(int index, int startSample);
    void setSentenceEnd(int index, int endSample);
    /** Moves the selected sentence's start (or end) by a signed number of samples. */
    void changeCurrentSentenceStart(int samples);
    void changeCurrentSentenceEnd(int samples);

    int getSelectedIndex() const { return selected; }
    bool isLearning() const { return learning; }
    int getNumSentences() const { return course.getNumChildren(); }
    const juce::File& getCourseFile() const { return courseFile; }
    const juce::ValueTree& getCourseTree() const { return course; }
    juce::AudioFormatReader* getReader() const { return reader.get(); }
    juce::AudioThumbnail& getThumbnail() { return thumbnail; }
    /** The views, in sentence order; the containers show them. */
    juce::OwnedArray<SentenceComponent>& getThumbs() { return thumbs; }
    juce::OwnedArray<SentenceComponent>& getPages() { return pages; }

    // The course tree's change callbacks.
    void valueTreePropertyChanged(juce::ValueTree& tree, const juce::Identifier& property) override;
    void valueTreeChildAdded(juce::ValueTree& parent, juce::ValueTree& child) override;
    void valueTreeChildRemoved(juce::ValueTree& parent, juce::ValueTree& child, int formerIndex) override;
    void valueTreeChildOrderChanged(juce::ValueTree&, int, int) override {}
    void valueTreeParentChanged(juce::ValueTree&) override {}

    // What the sentence views report.
    void prepareDrag(SentenceComponent* view) override;
    void startChanged(SentenceComponent* view) override;
    void endChanged(SentenceComponent* view) override;
    void splitThumbSentence(SentenceComponent* view, int x) override;
    void hasBeenSelected(SentenceComponent* view) override;
    void setCursorPosition(SentenceComponent* view, int x) override;
    void setPlayPosition(SentenceComponent* view, int x) override;
    void orginTextChanged(SentenceComponent* view, const juce::String& text, bool moveOn) override;
    void transTextChanged(SentenceComponent* view, const juce::String& text, bool moveOn) override;
    void hasBeenEnterTransModal(SentenceComponent* view) override;
    void reviewSuccessed(SentenceComponent* view, bool counted) override;
    void reviewFailed(SentenceComponent* view) override;

private:
    void timerCallback() override;

    bool isValidIndex(int index) const { return index >= 0 && index < course.getNumChildren(); }
    int getInt(int index, const juce::Identifier& key) const
    {
        return static_cast<int>(getValue(index, key));
    }
    bool getBool(int index, const juce::Identifier& key) const
    {
        return static_cast<bool>(getValue(index, key));
    }
    PageSentence* getPage(int index) const;
    int indexAmongThumbs(const SentenceComponent* view) const;
    int indexAmongPages(const SentenceComponent* view) const;
    int indexAmongViews(const SentenceComponent* view) const;

    void createViews(int index);
    bool loadWaveformFile(const juce::File& waveformFile);
    /** The audio a course text plays: the recording it names while learning, the audio rendered
        at archiving in review. */
    juce::File courseAudioFile(const juce::File& text, const juce::String& audioPath) const;
    /** A reader over one sentence of a reader of its own for the course audio, which no player
        reads; null when the audio can't be opened. */
    juce::AudioFormatReader* createPrivateSentenceReader(int index) const;
    void restartSaveTimer();
    void sentencePropertyChanged(int index, const juce::Identifier& property);
    void coursePropertyChanged(const juce::Identifier& property);
    /** Sends the cursor to the left edge of the sentence's waveform-strip view. */
    void moveCursorToSentence(int index);
    /** Seconds of a cursor pixel, kept within 0 and the sentence's end. */
    double cursorSecondsWithin(int index, int pixel) const;
    void textChanged(SentenceComponent* view, const juce::String& text, bool moveOn, bool foreign);
    void moveTextInputOn(int index, bool foreign);
    /** The shortest part a boundary move leaves: 0.3 s of the course audio, in samples. */
    int shortestPartSamples() const;
    void resyncBoundaries(int index);
    void setUnfamiliar(int index);
    void showReviewInfo(int index);

    // The review schedule (CourseModelReview.cpp).
    class NotListening;
    /** When the sentence's review date comes due; an unreadable date never does. */
    juce::Time reviewTimeOf(int index) const;
    /** A review counter or interval, read so that no text makes it wrap around. */
    int reviewFigure(int index, const juce::Identifier& key) const;
    ReviewSentence* getReviewPage(int index) const;
    bool isDueInThisReview(int index) const;
    /** The first sentence due in this review from that index on, stepping by step; -1 for none. */
    int findDueSentence(int from, int step) const;
    /** Selects the sentence, cues it in the player and scrolls both containers to it. */
    void showDueSentence(int index);
    bool selectDueSentenceFound(int index);

    juce::File courseFile;
    juce::ValueTree course;
    CourseController* owner;
    juce::OwnedArray<SentenceComponent> thumbs;
    juce::OwnedArray<SentenceComponent> pages;
    std::unique_ptr<juce::AudioFormatReader> reader;
    juce::AudioThumbnailCache thumbnailCache;
    juce::AudioThumbnail thumbnail;
    int selected = -1;
    bool learning = true;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(CourseModel)
};
