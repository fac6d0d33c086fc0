#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

/** Answers the real modal windows that the code under test opens: message boxes, questions, file
    choosers, progress windows and dialogs.

    The blocking calls of the framework run nested modal loops, so the test can't act while they
    run. The answerer polls the top modal window on a timer, which those loops keep running, reads
    it and gives it the next queued answer. Every window must be expected: one met with nothing
    queued is reported as a test failure after a while and dismissed, so a wrong path never hangs.

        ModalAnswerer answerer;
        answerer.press("OK");
        AlertWindow::showMessageBox(MessageBoxIconType::InfoIcon, "Title", "Text");
        EXPECT_EQ(answerer.seen().at(0).message, "Text");

    Answers are taken in order, one per window met. Only windows count (top-level windows and
    components on the desktop); modal components inside another window, such as an editor, are
    left alone. Create and use it on the message thread. */
class ModalAnswerer : private juce::Timer
{
public:
    enum class Kind
    {
        alert,       ///< an alert window with at most one button
        question,    ///< an alert window with two or more buttons
        progress,    ///< an alert window with a progress bar (ThreadWithProgressWindow)
        fileChooser, ///< the framework's own file chooser window
        dialog       ///< any other window
    };

    /** One modal window as it was met. */
    struct Seen
    {
        Kind kind = Kind::dialog;
        juce::String title;
        /** The alert's text; for a progress window, the last status it showed. */
        juce::String message;
        /** The visible text buttons in reading order. */
        juce::StringArray buttons;
        juce::MessageBoxIconType icon = juce::MessageBoxIconType::NoIcon;
        /** File chooser: the folder it opened in, and the file name it offered. */
        juce::File folder;
        juce::String fileName;
        /** What the answerer did with it, for failure messages. */
        juce::String action;

        juce::String describe() const;
    };

    /** Gets the window itself, on the message loop; it may press, type, or start nested windows. */
    using Handler = std::function<void(juce::Component& window)>;

    ModalAnswerer();
    /** Reports unused answers and windows left open (see expectDone). */
    ~ModalAnswerer() override;

    /** Presses the button with this text (enabled and visible) in the next window. */
    void press(const juce::String& buttonText);
    /** Fills this file into the next file chooser (open or save) and confirms it. */
    void chooseFile(const juce::File& file);
    /** Presses the next window's "Cancel" button, or closes it as its close button would. */
    void cancel();
    /** Leaves the next window, which must be a progress window, to finish on its own. */
    void letProgressRun();
    /** Presses the Cancel button of the next window, a progress window, this long after it opened. */
    void cancelProgressAfter(int milliseconds);
    /** Hands the next window to the handler. It may stay open for further answers. */
    void handle(Handler handler);

    /** Every window met, in order. */
    const std::vector<Seen>& seen() const { return met; }

    /** Runs the message loop until this many windows were met and every press, choice or cancel
        given so far has closed its window; false when the time ran out first. For windows
        opened asynchronously. */
    bool waitUntilSeen(int count, int timeoutMs);

    /** How long an unanswered window, a window that stays open after its answer, or a button that
        stays disabled is waited for before it is reported. */
    void setPatience(int milliseconds) { patienceMs = milliseconds; }

    /** Reports answers never used and modal windows still open (and dismisses them). */
    void expectDone();

    /** The first component of this type in the window (the window itself included), in depth-first
        order; nullptr when there is none. For handlers that reach into a dialog's content. */
    template <typename Type> static Type* findContent(juce::Component& window)
    {
        if (auto* found = dynamic_cast<Type*>(&window))
            return found;
        for (auto* child : window.getChildren())
            if (auto* found = findContent<Type>(*child))
                return found;
        return nullptr;
    }

    /** The button with this text in the window, visible ones first; nullptr when there is none. */
    static juce::Button* findButton(juce::Component& window, const juce::String& text);
    static juce::String toString(Kind kind);

private:
    struct Answer;
    struct Tracked;

    void timerCallback() override;
    juce::Component* findTopWindow() const;
    void forgetClosedWindows();
    Tracked& meet(juce::Component& window);
    void step(Tracked& window);
    void begin(Tracked& window, Answer answer);
    void beginCancel(Tracked& window);
    void tryPress(Tracked& window);
    void tryChoose(Tracked& window);
    void stepAfterAnswer(Tracked& window, bool isTop);
    void fail(Tracked& window, const juce::String& problem);
    bool isSettled() const;

    std::deque<Answer> answers;
    std::vector<std::unique_ptr<Tracked>> windows;
    std::vector<Seen> met;
    int patienceMs = 5000;

    JUCE_DECLARE_NON_COPYABLE(ModalAnswerer)
};
