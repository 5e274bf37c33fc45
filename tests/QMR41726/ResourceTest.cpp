// The entry point frees the form and its windows on every way a call can end: Enter, Exit, Esc,
// each set-up failure, an error inside a handler while the screen is shown, and a host whose
// Mensagem routine itself throws. Leaks of temporaries are left to the leak checker of the
// sanitizer build, which runs these same calls.

#include "SetupHarness.h"

#include <qmr41726/data/dataset/TClientDataSet.h>
#include <qmr41726/ui/TApplication.h>
#include <qmr41726/ui/forms/Messages.h>

#include <QApplication>
#include <QKeyEvent>
#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>

using namespace qmr;

namespace {

/// Top-level windows alive once deferred deletions have run.
int liveWindows() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return int(QApplication::topLevelWidgets().size());
}

/// Records the handle of the form of the call in progress whenever Mensagem is called, so that a
/// form that never reached the screen can still be looked up after the call.
struct HandleOfTheCall {
    HWND handle = 0;
    void take() {
        if (frmPesquisa)
            handle = frmPesquisa->handle();
    }
};

/// What every path must leave behind: no form of the call, no window more than before.
void expectEverythingFreed(HWND handle, int windowsBefore) {
    EXPECT_NE(handle, HWND(0)) << "the path never had a form";
    EXPECT_EQ(TForm::fromHandle(handle), nullptr) << "the form outlived its call";
    EXPECT_EQ(frmPesquisa, nullptr);
    EXPECT_EQ(liveWindows(), windowsBefore);
}

/// A physical key on the screen's focused control, as a keyboard delivers it.
void pressKey(TfrmPesquisa& form, Qt::Key key, const char* text) {
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : form.widget();
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString::fromLatin1(text));
    QApplication::sendEvent(target, &press);
}

} // namespace

TEST(EntryPointResources, closingPathsFreeTheForm) {
    const struct {
        const char* name;
        std::function<void(TfrmPesquisa&)> close;
        bool result;
    } paths[] = {
        {"Enter", [](TfrmPesquisa& form) { form.sbtEnter->click(); }, true},
        {"Exit", [](TfrmPesquisa& form) { form.sbtSair->click(); }, false},
        {"physical Esc", [](TfrmPesquisa& form) { pressKey(form, Qt::Key_Escape, "\x1b"); }, false},
        {"WM_CLOSE from the host", [](TfrmPesquisa&) {}, false},
    };
    testApplication();
    for (const auto& path : paths) {
        SCOPED_TRACE(path.name);
        TClientDataSet dataSet(productStore());
        dataSet.open();
        TMensagemRecorder recorder;
        const int windowsBefore = liveWindows();
        HWND handle = 0;
        const TScreenOutcome outcome = callScreen(paramsFor(dataSet), [&](TfrmPesquisa& form) {
            handle = form.handle();
            path.close(form);
        });
        EXPECT_TRUE(outcome.shown);
        EXPECT_EQ(outcome.result, path.result);
        expectEverythingFreed(handle, windowsBefore);
        EXPECT_TRUE(recorder.calls().empty());
    }
}

TEST(EntryPointResources, setUpFailuresFreeTheForm) {
    const struct {
        const char* name;
        std::function<TParams(std::unique_ptr<TDataSet>&)> params;
    } failures[] = {
        {"one visible field",
         [](auto& keep) {
             keep = std::make_unique<TClientDataSet>(stringStore({"NOME"}));
             keep->open();
             return paramsFor(*keep);
         }},
        {"closed data set",
         [](auto& keep) {
             keep = std::make_unique<TDataSet>(productStore());
             keep->close();
             return paramsFor(*keep);
         }},
        {"no parameters", [](auto&) { return TParams{}; }},
        {"data set only",
         [](auto& keep) {
             keep = std::make_unique<TClientDataSet>(productStore());
             keep->open();
             return TParams{Variant::fromPointer(keep.get())};
         }},
        {"number for a data set",
         [](auto&) {
             return TParams{Variant(4096), Variant("N")};
         }},
        {"text for a data set",
         [](auto&) {
             return TParams{Variant("x"), Variant("N")};
         }},
        {"float for a data set",
         [](auto&) {
             return TParams{Variant(1.5), Variant(true)};
         }},
        {"empty element 0",
         [](auto&) {
             return TParams{Variant(), Variant()};
         }},
    };
    testApplication();
    for (const auto& failure : failures) {
        SCOPED_TRACE(failure.name);
        std::unique_ptr<TDataSet> keep;
        const TParams params = failure.params(keep);
        const int windowsBefore = liveWindows();
        HandleOfTheCall call;
        int messages = 0;
        setMensagemRoutine([&](auto&&...) {
            ++messages;
            call.take();
        });
        const TScreenOutcome outcome = callScreen(params);
        setMensagemRoutine(nullptr);
        EXPECT_FALSE(outcome.result);
        EXPECT_FALSE(outcome.shown);
        EXPECT_EQ(messages, 1);
        expectEverythingFreed(call.handle, windowsBefore);
    }
}

TEST(EntryPointResources, errorInAHandlerKeepsTheScreenOpenAndTheCallFreesItLater) {
    TApplication& application = testApplication();
    std::vector<std::string> handled;
    application.setExceptionHandler([&](const std::exception& error) { handled.push_back(error.what()); });
    // The host's message box fails while the search shows a rejected filter: the error leaves the
    // key handler and reaches the application's handler.
    setMensagemRoutine([](auto&&...) { throw Exception("message box failed"); });
    // A malformed base filter, left switched off: the first typed character makes the data set
    // reject the search's filter.
    TDataSet dataSet(stringStore({"CODIGO", "NOME"}, 3));
    dataSet.setFilter("CODIGO =");
    dataSet.open();
    const int windowsBefore = liveWindows();
    HWND handle = 0;
    bool openAfterError = false;
    const TScreenOutcome outcome = callScreen(paramsFor(dataSet), [&](TfrmPesquisa& form) {
        handle = form.handle();
        form.sbtA->click();
        openAfterError = TForm::activeModalForm() == &form;
        form.sbtSair->click();
    });
    setMensagemRoutine(nullptr);
    application.setExceptionHandler(nullptr);
    EXPECT_TRUE(outcome.shown);
    EXPECT_FALSE(outcome.result);
    EXPECT_TRUE(openAfterError);
    EXPECT_EQ(handled, std::vector<std::string>{"message box failed"});
    expectEverythingFreed(handle, windowsBefore);
}

// A host whose message routine throws while the entry point reports a set-up error gets its own
// exception back from the call; the form is freed on the way out all the same.
TEST(EntryPointResources, mensagemThrowingDuringASetUpErrorReachesTheHostWithTheFormFreed) {
    testApplication();
    TClientDataSet dataSet(stringStore({"NOME"}));
    dataSet.open();
    const int windowsBefore = liveWindows();
    HandleOfTheCall call;
    setMensagemRoutine([&](auto&&...) {
        call.take();
        throw std::runtime_error("host message box failed");
    });
    EXPECT_THROW(callScreen(paramsFor(dataSet)), std::runtime_error);
    testApplication().onModalShown = nullptr;
    setMensagemRoutine(nullptr);
    expectEverythingFreed(call.handle, windowsBefore);
}

// An error that is not of the runtime's exception class is not the entry point's to report: it
// leaves the call, and the form is freed on the way out.
TEST(EntryPointResources, foreignErrorDuringSetUpLeavesTheCallWithTheFormFreed) {
    testApplication();
    TClientDataSet dataSet(productStore());
    dataSet.open();
    const int windowsBefore = liveWindows();
    TMensagemRecorder recorder;
    bool armed = true;
    setTradTable([&](const AnsiString& text) -> AnsiString {
        if (std::exchange(armed, false))
            throw std::logic_error("translation table broken");
        return text;
    });
    bool thrown = false;
    try {
        callScreen(paramsFor(dataSet));
    } catch (const std::logic_error&) {
        thrown = true;
    }
    testApplication().onModalShown = nullptr;
    setTradTable(nullptr);
    EXPECT_EQ(frmPesquisa, nullptr);
    EXPECT_EQ(liveWindows(), windowsBefore);
    EXPECT_TRUE(thrown);
    EXPECT_TRUE(recorder.calls().empty()) << "not the entry point's to report";
}
