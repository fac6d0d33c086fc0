#include "harness/ModalAnswerer.h"
#include "harness/TemporaryHome.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <functional>

using Icon = juce::MessageBoxIconType;
using Kind = ModalAnswerer::Kind;

namespace
{
using Answer = std::function<void(ModalAnswerer&)>;

juce::StringArray texts(std::initializer_list<const char*> items)
{
    juce::StringArray result;
    for (auto* item : items)
        result.add(item);
    return result;
}

/** A job behind a progress window that counts until it is told to stop or reaches its end, and
    may show a message box from its own thread on the way. */
class CountingJob : public juce::ThreadWithProgressWindow
{
public:
    CountingJob(int stepsToRun, bool showsBox)
        : juce::ThreadWithProgressWindow("Counting...", true, true, 3000), steps(stepsToRun), box(showsBox)
    {
        setStatusMessage("Please wait...");
    }

    void run() override
    {
        for (int i = 0; i < steps && !threadShouldExit(); ++i)
        {
            setProgress(i / (double)steps);
            if (box && i == 1)
                juce::AlertWindow::showMessageBox(Icon::InfoIcon, "Ah oh", "This file isn't valid.");
            wait(10);
        }
    }

private:
    int steps;
    bool box;
};

/** Dialog content with a button that closes the enclosing dialog. */
class ClosingPanel : public juce::Component
{
public:
    ClosingPanel()
    {
        close.onClick = [this]
        {
            if (auto* dialog = findParentComponentOfClass<juce::DialogWindow>())
                dialog->exitModalState(1);
        };
        addAndMakeVisible(close);
        setSize(300, 120);
    }

    void resized() override { close.setBounds(100, 40, 100, 30); }

private:
    juce::TextButton close{"Close"};
};

class ModalAnswererFiles : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.createDirectory());
        for (auto* name : {"a.wav", "b.ogg", "inner/c.wav", "old.qzc"})
            ASSERT_TRUE(folder.getChildFile(name).create());
    }
    void TearDown() override { folder.deleteRecursively(); }

    juce::File folder = makeScratchFolder("qz-chooser-");
};
} // namespace

TEST(ModalAnswerer, MessageBoxesAreReadAndTheirButtonPressed)
{
    struct Case
    {
        std::function<void()> show;
        Icon icon;
        juce::String title, message, button;
    };
    const auto lines = juce::String("Maybe not appropriate settings,\r\nor the waveform is too noisy.");
    const auto chinese = juce::String::fromUTF8("提示");
    const Case cases[] = {
        {[&] { juce::AlertWindow::showMessageBox(Icon::InfoIcon, "Load course failed.", lines); },
         Icon::InfoIcon, "Load course failed.", lines, "OK"},
        {[&] { juce::AlertWindow::showMessageBox(Icon::WarningIcon, chinese, {}, "Got it"); },
         Icon::WarningIcon, chinese, "", "Got it"},
        {[]
         { juce::NativeMessageBox::showMessageBox(Icon::QuestionIcon, "Native", "Shown by the framework"); },
         Icon::QuestionIcon, "Native", "Shown by the framework", "OK"},
    };
    for (const auto& c : cases)
    {
        ModalAnswerer answerer;
        answerer.press(c.button);
        c.show();
        ASSERT_EQ(answerer.seen().size(), 1u) << c.title;
        const auto& seen = answerer.seen()[0];
        EXPECT_EQ(seen.kind, Kind::alert);
        EXPECT_EQ(seen.title, c.title);
        EXPECT_EQ(seen.message, c.message);
        EXPECT_EQ(seen.buttons, juce::StringArray(c.button));
        EXPECT_EQ(seen.icon, c.icon) << c.title;
    }
}

TEST(ModalAnswerer, OkCancelQuestionsReturnTheButtonPressed)
{
    struct Case
    {
        const char* ok;
        const char* notOk;
        Answer answer;
        bool expected;
    };
    const Case cases[] = {
        {"", "", [](ModalAnswerer& a) { a.press("OK"); }, true},
        {"", "", [](ModalAnswerer& a) { a.press("Cancel"); }, false},
        {"", "", [](ModalAnswerer& a) { a.cancel(); }, false},
        {"Save", "Discard", [](ModalAnswerer& a) { a.press("Save"); }, true},
        {"Save", "Discard", [](ModalAnswerer& a) { a.press("Discard"); }, false},
        {"Save", "Discard", [](ModalAnswerer& a) { a.cancel(); }, false},
    };
    for (const auto& c : cases)
    {
        ModalAnswerer answerer;
        c.answer(answerer);
        EXPECT_EQ(juce::AlertWindow::showOkCancelBox(Icon::QuestionIcon, "Confirm", "Save the changes?", c.ok,
                                                     c.notOk, nullptr, nullptr),
                  c.expected);
        ASSERT_EQ(answerer.seen().size(), 1u);
        EXPECT_EQ(answerer.seen()[0].kind, Kind::question);
        EXPECT_EQ(answerer.seen()[0].message, "Save the changes?");
        EXPECT_EQ(answerer.seen()[0].icon, Icon::QuestionIcon);
        const bool defaults = juce::String(c.ok).isEmpty();
        EXPECT_EQ(answerer.seen()[0].buttons, defaults ? texts({"OK", "Cancel"}) : texts({c.ok, c.notOk}));
    }

    ModalAnswerer answerer;
    answerer.press("OK");
    EXPECT_TRUE(
        juce::NativeMessageBox::showOkCancelBox(Icon::WarningIcon, "Native", "Go on?", nullptr, nullptr));
}

TEST(ModalAnswerer, OneAlertWindowRunTwiceCountsAsTwoWindows)
{
    juce::AlertWindow window("Choose", "Which one?", Icon::WarningIcon);
    window.addButton("Retry", 1);
    window.addButton("Skip", 2);
    window.addButton("Abort", 3);

    ModalAnswerer answerer;
    const std::pair<const char*, int> cases[] = {{"Skip", 2}, {"Abort", 3}, {"Retry", 1}};
    for (const auto& [button, result] : cases)
    {
        answerer.press(button);
        EXPECT_EQ(window.runModalLoop(), result) << button;
    }
    ASSERT_EQ(answerer.seen().size(), 3u);
    for (const auto& seen : answerer.seen())
    {
        EXPECT_EQ(seen.kind, Kind::question);
        EXPECT_EQ(seen.title, "Choose");
        EXPECT_EQ(seen.message, "Which one?");
        EXPECT_EQ(seen.buttons, texts({"Retry", "Skip", "Abort"}));
    }
}

TEST_F(ModalAnswererFiles, FileChoosersReturnTheChosenFile)
{
    // Under the virtual display there is no platform chooser, so even the native flag gives the
    // framework's own window, which is the one the answerer can fill in.
    ASSERT_FALSE(juce::FileChooser::isPlatformDialogAvailable());

    struct Case
    {
        bool native, save;
        juce::File start, chosen;
        const char* button;
    };
    const Case cases[] = {
        {false, false, folder, folder.getChildFile("a.wav"), "Open"},
        {true, false, folder, folder.getChildFile("inner/c.wav"), "Open"},
        {false, true, folder.getChildFile("new.qzc"), folder.getChildFile("other.qzc"), "Save"},
        {true, true, folder.getChildFile("new.qzc"), folder.getChildFile("inner/new.qzc"), "Save"},
    };
    for (const auto& c : cases)
    {
        ModalAnswerer answerer;
        answerer.chooseFile(c.chosen);
        juce::FileChooser chooser("Pick one", c.start, "*.wav;*.ogg;*.qzc", c.native);
        EXPECT_TRUE(c.save ? chooser.browseForFileToSave(true) : chooser.browseForFileToOpen());
        EXPECT_EQ(chooser.getResult(), c.chosen);

        ASSERT_EQ(answerer.seen().size(), 1u);
        const auto& seen = answerer.seen()[0];
        EXPECT_EQ(seen.kind, Kind::fileChooser);
        EXPECT_EQ(seen.title, "Pick one");
        EXPECT_EQ(seen.folder, folder);
        EXPECT_EQ(seen.fileName, c.save ? "new.qzc" : "");
        EXPECT_TRUE(seen.buttons.contains(c.button) && seen.buttons.contains("Cancel")) << seen.describe();
    }

    ModalAnswerer answerer;
    answerer.cancel();
    juce::FileChooser chooser("Pick one", folder, "*", false);
    EXPECT_FALSE(chooser.browseForFileToOpen());
}

TEST_F(ModalAnswererFiles, SavingOverAFileAsksAndTheChooserTakesFurtherAnswers)
{
    const auto existing = folder.getChildFile("old.qzc");
    {
        ModalAnswerer answerer;
        answerer.chooseFile(existing);
        answerer.press("Overwrite");
        juce::FileChooser chooser("Generate", folder, "*.qzc", false);
        EXPECT_TRUE(chooser.browseForFileToSave(true));
        EXPECT_EQ(chooser.getResult(), existing);
        ASSERT_EQ(answerer.seen().size(), 2u);
        EXPECT_EQ(answerer.seen()[1].kind, Kind::question);
        EXPECT_EQ(answerer.seen()[1].title, "File already exists");
        EXPECT_TRUE(answerer.seen()[1].message.contains(existing.getFullPathName()));
    }

    // Refusing to overwrite leaves the chooser open, and the next answer goes to it.
    ModalAnswerer answerer;
    answerer.chooseFile(existing);
    answerer.press("Cancel");
    answerer.cancel();
    juce::FileChooser chooser("Generate", folder, "*.qzc", false);
    EXPECT_FALSE(chooser.browseForFileToSave(true));
    ASSERT_EQ(answerer.seen().size(), 2u);
    EXPECT_EQ(answerer.seen()[0].action, "choose " + existing.getFullPathName() + ", then cancel");
}

TEST(ModalAnswerer, ProgressWindowsRunOrAreCancelled)
{
    struct Case
    {
        int steps;
        bool showsBox;
        Answer answer;
        bool finished;
    };
    const Case cases[] = {
        {20, false, [](ModalAnswerer& a) { a.letProgressRun(); }, true},
        {1000000, false, [](ModalAnswerer& a) { a.cancelProgressAfter(150); }, false},
        {1000000, false, [](ModalAnswerer& a) { a.cancel(); }, false},
        // The box the job shows from its thread opens over the progress window and is answered
        // inside it.
        {20, true,
         [](ModalAnswerer& a)
         {
             a.letProgressRun();
             a.press("OK");
         },
         true},
    };
    for (const auto& c : cases)
    {
        ModalAnswerer answerer;
        c.answer(answerer);
        CountingJob job(c.steps, c.showsBox);
        EXPECT_EQ(job.runThread(), c.finished);

        ASSERT_EQ(answerer.seen().size(), c.showsBox ? 2u : 1u);
        const auto& seen = answerer.seen()[0];
        EXPECT_EQ(seen.kind, Kind::progress);
        EXPECT_EQ(seen.title, "Counting...");
        EXPECT_EQ(seen.message, "Please wait...");
        EXPECT_EQ(seen.buttons, juce::StringArray("Cancel"));
        if (c.showsBox)
        {
            EXPECT_EQ(answerer.seen()[1].title, "Ah oh");
        }
    }
}

TEST(ModalAnswerer, ModalDialogsArePressedClosedOrHandedOver)
{
    const std::pair<Answer, int> cases[] = {
        {[](ModalAnswerer& a) { a.press("Close"); }, 1},
        {[](ModalAnswerer& a) { a.cancel(); }, 0},
        {[](ModalAnswerer& a) { a.handle([](juce::Component& window) { window.exitModalState(7); }); }, 7},
    };
    for (const auto& [answer, result] : cases)
    {
        ModalAnswerer answerer;
        answer(answerer);
        ClosingPanel panel;
        EXPECT_EQ(juce::DialogWindow::showModalDialog("Courses manager", &panel, nullptr, juce::Colours::grey,
                                                      true),
                  result);
        ASSERT_EQ(answerer.seen().size(), 1u);
        EXPECT_EQ(answerer.seen()[0].kind, Kind::dialog);
        EXPECT_EQ(answerer.seen()[0].title, "Courses manager");
        EXPECT_EQ(answerer.seen()[0].buttons, juce::StringArray("Close"));
    }
}

TEST(ModalAnswerer, AsynchronousBoxesAreAnsweredWhileWaiting)
{
    ModalAnswerer answerer;
    int result = -1;
    juce::AlertWindow::showOkCancelBox(Icon::QuestionIcon, "Confirm", "Restore?", {}, {}, nullptr,
                                       juce::ModalCallbackFunction::create([&](int r) { result = r; }));
    answerer.press("OK");
    ASSERT_TRUE(answerer.waitUntilSeen(1, 5000));
    EXPECT_EQ(juce::ModalComponentManager::getInstance()->getNumModalComponents(), 0);
    juce::MessageManager::getInstance()->runDispatchLoopUntil(50);
    EXPECT_EQ(result, 1);
}

TEST(ModalAnswerer, WrongOrMissingAnswersFailTheTestAndNeverHang)
{
    struct Case
    {
        Answer answer;
        bool showsBox;
        const char* problem;
    };
    const Case cases[] = {
        {[](ModalAnswerer&) {}, true, "was met with no answer queued"},
        {[](ModalAnswerer& a) { a.press("Nope"); }, true, "has no button \"Nope\""},
        {[](ModalAnswerer& a) { a.chooseFile(juce::File("/tmp/x.wav")); }, true, "for a file chooser"},
        {[](ModalAnswerer& a) { a.letProgressRun(); }, true, "for a progress"},
        {[](ModalAnswerer& a) { a.press("OK"); }, false, "answers never used: press \"OK\""},
    };
    for (const auto& c : cases)
    {
        testing::TestPartResultArray failures;
        bool answered = true;
        {
            testing::ScopedFakeTestPartResultReporter reporter(
                testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &failures);
            ModalAnswerer answerer;
            answerer.setPatience(300);
            c.answer(answerer);
            if (c.showsBox)
                answered = juce::AlertWindow::showOkCancelBox(
                    Icon::WarningIcon, "Surprise", "Nobody expected this", {}, {}, nullptr, nullptr);
        }
        ASSERT_EQ(failures.size(), 1) << c.problem;
        const std::string report = failures.GetTestPartResult(0).message();
        EXPECT_NE(report.find(c.problem), std::string::npos) << report;
        if (c.showsBox)
        {
            EXPECT_NE(report.find("question \"Surprise\": \"Nobody expected this\" [OK | Cancel]"),
                      std::string::npos)
                << report;
            EXPECT_FALSE(answered) << "a dismissed question reads as its Cancel";
        }
    }
}

TEST(ModalAnswerer, AWindowLeftOpenIsReportedAndDismissed)
{
    testing::TestPartResultArray failures;
    {
        testing::ScopedFakeTestPartResultReporter reporter(
            testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &failures);
        ModalAnswerer answerer;
        answerer.handle([](juce::Component&) {});
        juce::AlertWindow::showMessageBoxAsync(Icon::InfoIcon, "Ah oh", "This program has been running.");
        EXPECT_TRUE(answerer.waitUntilSeen(1, 5000));
    }
    ASSERT_EQ(failures.size(), 1);
    EXPECT_NE(std::string(failures.GetTestPartResult(0).message()).find("left open: alert \"Ah oh\""),
              std::string::npos);
    juce::MessageManager::getInstance()->runDispatchLoopUntil(50);
    EXPECT_EQ(juce::ModalComponentManager::getInstance()->getNumModalComponents(), 0);
}
