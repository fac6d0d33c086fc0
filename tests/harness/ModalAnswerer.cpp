#include "harness/ModalAnswerer.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace
{
constexpr int tickMs = 20;

// A window still open after its answer takes the next answer only after this pause, so that the
// click it was given has surely been delivered first.
constexpr juce::uint32 settleMs = 200;

juce::uint32 millisecondsSince(juce::uint32 start)
{
    return juce::Time::getMillisecondCounter() - start;
}

template <typename Type> void collect(juce::Component& parent, std::vector<Type*>& found)
{
    for (auto* child : parent.getChildren())
    {
        if (auto* match = dynamic_cast<Type*>(child))
            found.push_back(match);
        collect(*child, found);
    }
}

template <typename Type> Type* findFirst(juce::Component& parent)
{
    std::vector<Type*> found;
    collect(parent, found);
    return found.empty() ? nullptr : found.front();
}

bool isWindow(juce::Component& component)
{
    return dynamic_cast<juce::TopLevelWindow*>(&component) != nullptr || component.isOnDesktop();
}

bool isVisibleIn(juce::Component& component, juce::Component& window)
{
    for (auto* c = &component; c != nullptr && c != &window; c = c->getParentComponent())
        if (!c->isVisible())
            return false;
    return true;
}

juce::StringArray buttonTexts(juce::Component& window)
{
    std::vector<juce::TextButton*> buttons;
    collect(window, buttons);
    buttons.erase(std::remove_if(buttons.begin(), buttons.end(),
                                 [&](juce::TextButton* b) { return !isVisibleIn(*b, window); }),
                  buttons.end());

    // Alert windows keep their buttons in reverse order among their children: sort as they read.
    std::stable_sort(buttons.begin(), buttons.end(),
                     [&](juce::TextButton* a, juce::TextButton* b)
                     {
                         const auto pa = window.getLocalPoint(a, juce::Point<int>());
                         const auto pb = window.getLocalPoint(b, juce::Point<int>());
                         return pa.y != pb.y ? pa.y < pb.y : pa.x < pb.x;
                     });

    juce::StringArray texts;
    for (auto* b : buttons)
        texts.add(b->getButtonText());
    return texts;
}

// The framework keeps an alert's text private but publishes it, after the title, as the
// window's accessible description.
juce::String alertMessage(juce::AlertWindow& alert)
{
    const auto description = alert.getDescription();
    const auto prefix = alert.getName() + ". ";
    return description.startsWith(prefix) ? description.substring(prefix.length()) : description;
}

ModalAnswerer::Kind classify(juce::Component& window)
{
    using Kind = ModalAnswerer::Kind;
    if (dynamic_cast<juce::FileChooserDialogBox*>(&window) != nullptr)
        return Kind::fileChooser;
    if (auto* alert = dynamic_cast<juce::AlertWindow*>(&window))
    {
        if (findFirst<juce::ProgressBar>(*alert) != nullptr)
            return Kind::progress;
        return alert->getNumButtons() >= 2 ? Kind::question : Kind::alert;
    }
    return Kind::dialog;
}

ModalAnswerer::Seen read(juce::Component& window)
{
    ModalAnswerer::Seen seen;
    seen.kind = classify(window);
    seen.title = window.getName();
    seen.buttons = buttonTexts(window);
    if (auto* alert = dynamic_cast<juce::AlertWindow*>(&window))
    {
        seen.message = alertMessage(*alert);
        seen.icon = alert->getAlertType();
    }
    if (auto* browser = findFirst<juce::FileBrowserComponent>(window))
    {
        seen.folder = browser->getRoot();
        const auto offered = browser->getSelectedFile(0);
        if (offered != seen.folder)
            seen.fileName = offered.getFileName();
    }
    return seen;
}
} // namespace

//==============================================================================
struct ModalAnswerer::Answer
{
    enum class Type
    {
        press,
        chooseFile,
        cancel,
        letProgressRun,
        cancelProgressAfter,
        handle
    };

    Answer(Type kindOfAnswer, juce::String buttonText = {}, juce::File fileToChoose = {}, int delay = 0,
           Handler handlerToCall = {})
        : type(kindOfAnswer), text(std::move(buttonText)), file(std::move(fileToChoose)), delayMs(delay),
          handler(std::move(handlerToCall))
    {
    }

    Type type;
    juce::String text;
    juce::File file;
    int delayMs;
    Handler handler;

    juce::String describe() const
    {
        switch (type)
        {
        case Type::press:
            return "press \"" + text + "\"";
        case Type::chooseFile:
            return "choose " + file.getFullPathName();
        case Type::cancel:
            return "cancel";
        case Type::letProgressRun:
            return "let the progress run";
        case Type::cancelProgressAfter:
            return "cancel the progress after " + juce::String(delayMs) + " ms";
        case Type::handle:
            return "handle";
        }
        return {};
    }
};

struct ModalAnswerer::Tracked
{
    enum class Step
    {
        waiting,         // no answer yet
        pressing,        // waits for the button to be there and enabled
        choosing,        // waits for the file chooser to accept the file
        cancellingLater, // a progress window, until its Cancel is due
        lettingRun,      // a progress window left to itself
        answered,        // acted on; may take further answers when it stays open
        abandoned        // reported and dismissed
    };

    juce::Component::SafePointer<juce::Component> component;
    // Set when this modal session ends, so that the same window entering the modal state again
    // counts as a new window.
    std::shared_ptr<bool> ended = std::make_shared<bool>(false);
    // Set while a handler given to this window is posted but has not run yet. The window waits
    // for its handler before it may take a further answer: on a loaded machine the handler can
    // run well after the settling time, and the window it would have opened comes only then.
    std::shared_ptr<bool> handlerPending = std::make_shared<bool>(false);
    size_t seenIndex = 0;
    Step step = Step::waiting;
    bool expectsClose = false;
    juce::String button;
    juce::File file;
    int delayMs = 0;
    juce::uint32 stepStart = juce::Time::getMillisecondCounter();

    bool isOpen() const { return component != nullptr && !*ended && component->isCurrentlyModal(false); }

    void startStep(Step next)
    {
        step = next;
        stepStart = juce::Time::getMillisecondCounter();
    }
};

//==============================================================================
ModalAnswerer::ModalAnswerer()
{
    startTimer(tickMs);
}

ModalAnswerer::~ModalAnswerer()
{
    stopTimer();
    expectDone();
}

void ModalAnswerer::press(const juce::String& buttonText)
{
    answers.push_back({Answer::Type::press, buttonText});
}

void ModalAnswerer::chooseFile(const juce::File& file)
{
    answers.push_back({Answer::Type::chooseFile, {}, file});
}

void ModalAnswerer::cancel()
{
    answers.push_back({Answer::Type::cancel});
}

void ModalAnswerer::letProgressRun()
{
    answers.push_back({Answer::Type::letProgressRun});
}

void ModalAnswerer::cancelProgressAfter(int milliseconds)
{
    answers.push_back({Answer::Type::cancelProgressAfter, {}, {}, milliseconds});
}

void ModalAnswerer::handle(Handler handler)
{
    answers.push_back({Answer::Type::handle, {}, {}, 0, std::move(handler)});
}

bool ModalAnswerer::waitUntilSeen(int count, int timeoutMs)
{
    const auto start = juce::Time::getMillisecondCounter();
    while (met.size() < (size_t)count || !isSettled())
    {
        if (millisecondsSince(start) >= (juce::uint32)timeoutMs)
            return false;
        juce::MessageManager::getInstance()->runDispatchLoopUntil(10);
    }
    return true;
}

void ModalAnswerer::expectDone()
{
    forgetClosedWindows();

    if (!answers.empty())
    {
        juce::StringArray unused;
        for (const auto& a : answers)
            unused.add(a.describe());
        ADD_FAILURE() << "ModalAnswerer: answers never used: " << unused.joinIntoString(", ").toStdString();
        answers.clear();
    }

    auto& manager = *juce::ModalComponentManager::getInstance();
    for (int i = manager.getNumModalComponents(); --i >= 0;)
    {
        auto* component = manager.getModalComponent(i);
        if (component == nullptr || !isWindow(*component))
            continue;
        ADD_FAILURE() << "ModalAnswerer: left open: " << read(*component).describe().toStdString();
        component->exitModalState(0);
    }
    windows.clear();
}

juce::Button* ModalAnswerer::findButton(juce::Component& window, const juce::String& text)
{
    std::vector<juce::Button*> buttons;
    collect(window, buttons);
    juce::Button* hidden = nullptr;
    for (auto* b : buttons)
    {
        if (b->getButtonText() != text)
            continue;
        if (isVisibleIn(*b, window))
            return b;
        hidden = hidden != nullptr ? hidden : b;
    }
    return hidden;
}

juce::String ModalAnswerer::toString(Kind kind)
{
    switch (kind)
    {
    case Kind::alert:
        return "alert";
    case Kind::question:
        return "question";
    case Kind::progress:
        return "progress";
    case Kind::fileChooser:
        return "file chooser";
    case Kind::dialog:
        return "dialog";
    }
    return {};
}

juce::String ModalAnswerer::Seen::describe() const
{
    auto text = toString(kind) + " \"" + title + "\"";
    if (message.isNotEmpty())
        text << ": \"" << message << "\"";
    text << " [" << buttons.joinIntoString(" | ") << "]";
    if (kind == Kind::fileChooser)
        text << " in " << folder.getFullPathName();
    return text;
}

//==============================================================================
void ModalAnswerer::timerCallback()
{
    forgetClosedWindows();

    // Windows opened in one tick are met in the order they opened (the bottom of the modal stack
    // first), so that a progress window and the box its job shows take their answers in order.
    auto& manager = *juce::ModalComponentManager::getInstance();
    for (int i = manager.getNumModalComponents(); --i >= 0;)
    {
        auto* component = manager.getModalComponent(i);
        const auto tracked = std::any_of(windows.begin(), windows.end(),
                                         [&](const auto& w) { return w->component == component; });
        if (component != nullptr && isWindow(*component) && !tracked)
            meet(*component);
    }

    for (size_t i = 0; i < windows.size(); ++i)
        step(*windows[i]);
}

juce::Component* ModalAnswerer::findTopWindow() const
{
    auto& manager = *juce::ModalComponentManager::getInstance();
    for (int i = 0; i < manager.getNumModalComponents(); ++i)
        if (auto* component = manager.getModalComponent(i); component != nullptr && isWindow(*component))
            return component;
    return nullptr;
}

void ModalAnswerer::forgetClosedWindows()
{
    for (auto it = windows.begin(); it != windows.end();)
    {
        auto& w = **it;
        if (w.isOpen())
        {
            ++it;
            continue;
        }
        // Something else closed it: the code itself, or stray input on a shared display.
        const auto& seen = met[w.seenIndex];
        if (w.step == Tracked::Step::waiting)
            ADD_FAILURE() << "ModalAnswerer: " << seen.describe().toStdString()
                          << " closed before an answer was queued";
        else if (w.step == Tracked::Step::pressing || w.step == Tracked::Step::choosing)
            ADD_FAILURE() << "ModalAnswerer: " << seen.describe().toStdString() << " closed before \""
                          << seen.action.toStdString() << "\" could be done";
        it = windows.erase(it);
    }
}

ModalAnswerer::Tracked& ModalAnswerer::meet(juce::Component& window)
{
    auto tracked = std::make_unique<Tracked>();
    tracked->component = &window;
    tracked->seenIndex = met.size();
    juce::ModalComponentManager::getInstance()->attachCallback(
        &window, juce::ModalCallbackFunction::create([ended = tracked->ended](int) { *ended = true; }));
    met.push_back(read(window));
    windows.push_back(std::move(tracked));
    return *windows.back();
}

void ModalAnswerer::step(Tracked& w)
{
    if (!w.isOpen())
        return;

    // A progress window's status changes while it runs: keep the last one.
    if (auto* alert = dynamic_cast<juce::AlertWindow*>(w.component.getComponent()))
        met[w.seenIndex].message = alertMessage(*alert);

    switch (w.step)
    {
    case Tracked::Step::waiting:
        if (!answers.empty())
        {
            auto next = std::move(answers.front());
            answers.pop_front();
            begin(w, std::move(next));
        }
        else if (millisecondsSince(w.stepStart) > (juce::uint32)patienceMs)
            fail(w, "was met with no answer queued");
        break;
    case Tracked::Step::pressing:
        tryPress(w);
        break;
    case Tracked::Step::choosing:
        tryChoose(w);
        break;
    case Tracked::Step::cancellingLater:
        if (millisecondsSince(w.stepStart) >= (juce::uint32)w.delayMs)
        {
            w.button = met[w.seenIndex].buttons[met[w.seenIndex].buttons.size() - 1];
            w.startStep(Tracked::Step::pressing);
            tryPress(w);
        }
        break;
    case Tracked::Step::answered:
        stepAfterAnswer(w, w.component == findTopWindow());
        break;
    case Tracked::Step::lettingRun:
    case Tracked::Step::abandoned:
        break;
    }
}

void ModalAnswerer::begin(Tracked& w, Answer answer)
{
    auto& seen = met[w.seenIndex];
    seen.action << (seen.action.isEmpty() ? "" : ", then ") << answer.describe();
    const auto needs = [&](Kind kind)
    {
        if (seen.kind == kind)
            return true;
        fail(w, "was met where the answer \"" + answer.describe() + "\" for a " + toString(kind) +
                    " was queued");
        return false;
    };

    w.expectsClose = true;
    switch (answer.type)
    {
    case Answer::Type::press:
        w.button = answer.text;
        w.startStep(Tracked::Step::pressing);
        tryPress(w);
        break;
    case Answer::Type::chooseFile:
        if (!needs(Kind::fileChooser))
            return;
        w.file = answer.file;
        w.startStep(Tracked::Step::choosing);
        tryChoose(w);
        break;
    case Answer::Type::cancel:
        beginCancel(w);
        break;
    case Answer::Type::letProgressRun:
        if (needs(Kind::progress))
            w.startStep(Tracked::Step::lettingRun);
        break;
    case Answer::Type::cancelProgressAfter:
        if (!needs(Kind::progress))
            return;
        if (seen.buttons.isEmpty())
            return fail(w, "has no Cancel button");
        w.delayMs = answer.delayMs;
        w.startStep(Tracked::Step::cancellingLater);
        break;
    case Answer::Type::handle:
        // Posted, so that a handler which opens a blocking window doesn't run it inside this timer.
        w.expectsClose = false;
        w.startStep(Tracked::Step::answered);
        *w.handlerPending = true;
        juce::MessageManager::callAsync(
            [handler = std::move(answer.handler), window = w.component, pending = w.handlerPending]
            {
                if (window != nullptr)
                    handler(*window);
                *pending = false;
            });
        break;
    }
}

void ModalAnswerer::beginCancel(Tracked& w)
{
    auto& window = *w.component;
    for (const auto& text : {TRANS("Cancel"), juce::String("Cancel")})
    {
        if (findButton(window, text) != nullptr)
        {
            w.button = text;
            w.startStep(Tracked::Step::pressing);
            return tryPress(w);
        }
    }

    const auto& buttons = met[w.seenIndex].buttons;
    if (met[w.seenIndex].kind == Kind::progress && !buttons.isEmpty())
    {
        w.button = buttons[buttons.size() - 1];
        w.startStep(Tracked::Step::pressing);
        return tryPress(w);
    }

    // As the window's close button would; posted, because closing may ask a blocking question.
    w.startStep(Tracked::Step::answered);
    if (dynamic_cast<juce::AlertWindow*>(&window) != nullptr || dynamic_cast<juce::DocumentWindow*>(&window))
        juce::MessageManager::callAsync(
            [safe = w.component]
            {
                if (safe != nullptr)
                    safe->userTriedToCloseWindow();
            });
    else
        window.exitModalState(0);
}

void ModalAnswerer::tryPress(Tracked& w)
{
    auto* button = findButton(*w.component, w.button);
    if (button != nullptr && button->isEnabled() && button->isShowing())
    {
        button->triggerClick();
        w.startStep(Tracked::Step::answered);
    }
    else if (millisecondsSince(w.stepStart) > (juce::uint32)patienceMs)
        fail(w, button == nullptr ? "has no button \"" + w.button + "\""
                                  : "kept its button \"" + w.button + "\" disabled");
}

void ModalAnswerer::tryChoose(Tracked& w)
{
    auto* browser = findFirst<juce::FileBrowserComponent>(*w.component);
    if (browser == nullptr)
        return fail(w, "has no file browser");

    // Filled in again on every tick until it holds: a list that selects files by their rows can
    // only do so once the folder has been read.
    if (browser->getRoot() != w.file.getParentDirectory())
        browser->setRoot(w.file.getParentDirectory());
    if (browser->getSelectedFile(0) != w.file)
        browser->setFileName(w.file.getFileName());

    auto* confirm = findButton(*w.component, browser->getActionVerb());
    if (browser->getSelectedFile(0) == w.file && confirm != nullptr && confirm->isEnabled())
    {
        confirm->triggerClick();
        w.startStep(Tracked::Step::answered);
    }
    else if (millisecondsSince(w.stepStart) > (juce::uint32)patienceMs)
        fail(w, "did not accept " + w.file.getFullPathName());
}

void ModalAnswerer::stepAfterAnswer(Tracked& w, bool isTop)
{
    // Only the top window is expected to close: one under a nested window waits for it, and so
    // does one whose handler has not run yet. Either settles from when it may go on.
    if (!isTop || *w.handlerPending)
    {
        w.stepStart = juce::Time::getMillisecondCounter();
        return;
    }
    if (millisecondsSince(w.stepStart) >= settleMs && !answers.empty())
    {
        auto next = std::move(answers.front());
        answers.pop_front();
        begin(w, std::move(next));
    }
    else if (millisecondsSince(w.stepStart) > (juce::uint32)patienceMs)
        fail(w, "stayed open after: " + met[w.seenIndex].action);
}

void ModalAnswerer::fail(Tracked& w, const juce::String& problem)
{
    auto& seen = met[w.seenIndex];
    ADD_FAILURE() << "ModalAnswerer: " << seen.describe().toStdString() << " " << problem.toStdString();
    seen.action << (seen.action.isEmpty() ? "" : ", then ") << "dismissed";
    w.step = Tracked::Step::abandoned;
    if (w.component != nullptr)
        w.component->exitModalState(0);
}

bool ModalAnswerer::isSettled() const
{
    return std::none_of(windows.begin(), windows.end(),
                        [](const auto& w)
                        {
                            if (!w->isOpen())
                                return false;
                            switch (w->step)
                            {
                            case Tracked::Step::answered:
                                return w->expectsClose;
                            case Tracked::Step::lettingRun:
                            case Tracked::Step::abandoned:
                                return false;
                            default:
                                return true;
                            }
                        });
}
