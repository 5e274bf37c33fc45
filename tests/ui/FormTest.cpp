// Forms: the modal loop, closing only through the runtime, window messages and handles.
#include "TestForm.h"

#include <qmr41726/ui/forms/Messages.h>

#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

using namespace qmr;

namespace {

class FormTest : public ::testing::Test {
protected:
    bool logged(const TestForm& f, const std::string& line) const {
        return std::find(f.log.begin(), f.log.end(), line) != f.log.end();
    }
    /// Runs `steps` one after another inside the form's modal loop, then posts WM_CLOSE.
    void runModal(TestForm& f, std::vector<std::function<void()>> steps) {
        app.application.onModalShown = [&f, steps = std::move(steps)](TForm& shown) {
            EXPECT_EQ(&shown, &f);
            for (const auto& step : steps)
                step();
            PostMessageA(f.handle(), WM_CLOSE, 0, 0);
        };
        f.showModal();
    }

    RecordingApplication app;
};

TEST_F(FormTest, onCreateRunsOnceTheTreeExists) {
    TestForm form;
    EXPECT_EQ(form.log, std::vector<std::string>{"create after tree"});
}

TEST_F(FormTest, postedCloseEndsTheModalLoopAndTheHostHearsOfBothEnds) {
    TestForm form;
    std::vector<std::string> events;
    app.application.onModalClosed = [&](TForm&) { events.push_back("closed"); };
    runModal(form, {[&] {
                 events.push_back("shown");
                 EXPECT_EQ(TForm::activeModalForm(), &form);
                 EXPECT_TRUE(form.modal());
             }});
    EXPECT_EQ(events, (std::vector<std::string>{"shown", "closed"}));
    EXPECT_TRUE(logged(form, "close"));
    EXPECT_FALSE(form.modal());
    EXPECT_FALSE(form.widget()->isVisible());
    EXPECT_EQ(TForm::activeModalForm(), nullptr);
}

TEST_F(FormTest, shownFormIsFramelessFixedCentredAndFocusesFirstControlInTabOrder) {
    TestForm form;
    runModal(form, {[&] {
                 EXPECT_EQ(form.activeControl(), &form.edtInner());
                 EXPECT_EQ(form.widget()->size(), QSize(300, 200));
                 // No smaller: only a kiosk's compositor makes a borderless window larger.
                 EXPECT_EQ(form.widget()->minimumSize(), QSize(300, 200));
                 EXPECT_TRUE(form.widget()->windowFlags().testFlag(Qt::FramelessWindowHint));
                 const QRect screen = QGuiApplication::primaryScreen()->geometry();
                 EXPECT_EQ(form.widget()->geometry().center(), screen.center());
             }});
}

TEST_F(FormTest, escEnterAndWindowSystemCloseLeaveTheFormOpen) {
    TestForm form;
    runModal(form, {[&] {
                 QWidget* focus = form.edtInner().widget();
                 QTest::keyClick(focus, Qt::Key_Escape);
                 QTest::keyClick(focus, Qt::Key_Return);
                 QTest::keyClick(focus, Qt::Key_F4, Qt::AltModifier);
                 EXPECT_FALSE(form.widget()->close()); // the window system asking
                 form.widget()->windowHandle()->close();
                 QCoreApplication::processEvents();
                 EXPECT_TRUE(form.widget()->isVisible());
                 EXPECT_TRUE(form.modal());
                 EXPECT_FALSE(logged(form, "close"));
                 EXPECT_TRUE(logged(form, "edtInner down 27"));
                 EXPECT_TRUE(logged(form, "edtInner down 13"));
             }});
    EXPECT_TRUE(logged(form, "close"));
}

TEST_F(FormTest, failingHandlerReachesErrorHandlerWhileTheModalLoopGoesOn) {
    TestForm form;
    runModal(form, {[&] {
                 QTest::keyClick(form.edtInner().widget(), Qt::Key_F2);
                 EXPECT_EQ(app.errors, std::vector<std::string>{"key handler failed"});
                 EXPECT_TRUE(form.modal());
             }});
    EXPECT_FALSE(form.modal());
}

TEST_F(FormTest, sentMessagesAreHandledByTheFormAloneBeforeTheCallReturns) {
    TestForm form;
    form.log.clear();
    SendMessageA(form.handle(), WM_CHAR, 0xE7, 0);
    EXPECT_EQ(form.log, std::vector<std::string>{"form press 231"});
    SendMessageA(form.handle(), WM_KEYDOWN, VK_DELETE, 0);
    EXPECT_EQ(form.log.back(), "form down 46");
    EXPECT_EQ(form.log.size(), 2u);
    SendMessageA(form.handle(), WM_KEYDOWN, kFailingKey, 0);
    EXPECT_EQ(app.errors, std::vector<std::string>{"key handler failed"});
}

TEST_F(FormTest, unknownHandlesAreRefusedAndHandlesAreNeverReused) {
    HWND freed = 0;
    {
        TestForm form;
        freed = form.handle();
        EXPECT_EQ(TForm::fromHandle(freed), &form);
    }
    TestForm other;
    EXPECT_NE(other.handle(), freed);
    EXPECT_EQ(TForm::fromHandle(freed), nullptr);
    EXPECT_EQ(SendMessageA(freed, WM_CHAR, 'a', 0), 0);
    EXPECT_FALSE(PostMessageA(freed, WM_CLOSE, 0, 0));
    EXPECT_FALSE(PostMessageA(0, WM_CLOSE, 0, 0));
}

TEST_F(FormTest, messagesStillQueuedForAFreedFormAreDropped) {
    TestForm survivor;
    auto form = std::make_unique<TestForm>();
    EXPECT_TRUE(PostMessageA(form->handle(), WM_CHAR, 'a', 0));
    EXPECT_TRUE(PostMessageA(form->handle(), WM_CLOSE, 0, 0));
    form.reset();
    survivor.log.clear();
    QCoreApplication::processEvents(); // must neither crash nor reach another form
    EXPECT_TRUE(survivor.log.empty());
}

TEST_F(FormTest, secondQueuedCloseIsDroppedOnceTheFormIsFreed) {
    auto form = std::make_unique<TestForm>();
    form->releaseOnClose = true;
    app.application.onModalShown = [&](TForm&) {
        PostMessageA(form->handle(), WM_CLOSE, 0, 0);
        PostMessageA(form->handle(), WM_CLOSE, 0, 0);
    };
    form->showModal();
    EXPECT_TRUE(form->releaseRequested());
    EXPECT_EQ(std::count(form->log.begin(), form->log.end(), "close"), 1) << "OnClose ran again";
    form.reset(); // the owner frees the form; the second close is still queued
    QCoreApplication::processEvents();
}

TEST_F(FormTest, closeRefusedByItsHandlerKeepsTheLoopRunning) {
    TestForm form;
    form.refuseClose = true;
    runModal(form, {[&] {
                 SendMessageA(form.handle(), WM_CLOSE, 0, 0);
                 EXPECT_TRUE(form.modal());
                 form.refuseClose = false;
             }});
    EXPECT_EQ(std::count(form.log.begin(), form.log.end(), "close"), 2);
}

TEST_F(FormTest, hostHearsOnceThatACloseWasAcceptedWhileTheLoopStillRuns) {
    TestForm form;
    form.refuseClose = true;
    std::vector<bool> modalWhenAccepted;
    app.application.onModalCloseAccepted = [&](TForm& closing) {
        EXPECT_EQ(&closing, &form);
        modalWhenAccepted.push_back(closing.modal());
    };
    runModal(form, {[&] {
                 SendMessageA(form.handle(), WM_CLOSE, 0, 0);
                 EXPECT_TRUE(modalWhenAccepted.empty()) << "a refused close was reported";
                 form.refuseClose = false;
                 form.releaseOnClose = true; // release() inside OnClose, then the close: one notice
             }});
    EXPECT_EQ(modalWhenAccepted, std::vector<bool>{true});
}

TEST_F(FormTest, modalLoopEndsWhenTheFormAsksForItsRelease) {
    TestForm form;
    form.releaseOnClose = true;
    app.application.onModalShown = [&](TForm&) { SendMessageA(form.handle(), WM_CLOSE, 0, 0); };
    form.showModal();
    EXPECT_TRUE(form.releaseRequested());
    EXPECT_FALSE(form.modal());
}

} // namespace
