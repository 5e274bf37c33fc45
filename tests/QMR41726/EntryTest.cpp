// The entry point as a host sees it: what a call returns, what it reports when set-up fails, and
// that every call creates and frees a form of its own.

#include "SetupHarness.h"

#include <qmr41726/data/dataset/TClientDataSet.h>
#include <qmr41726/ui/TApplication.h>

#include <gtest/gtest.h>

using namespace qmr;

extern "C" void Initialize();
extern "C" void Finalize();

namespace {

/// Expects exactly one Mensagem call with the fixed arguments of a screen error.
void expectOneErrorMessage(const TMensagemRecorder& recorder, const AnsiString& mentioning) {
    ASSERT_EQ(recorder.calls().size(), 1u);
    const TMensagemCall& call = recorder.calls().front();
    EXPECT_NE(call.message.find(mentioning), AnsiString::npos) << call.message;
    EXPECT_EQ(call.complement, "");
    EXPECT_EQ(call.confirm, "N");
    EXPECT_EQ(call.cancel, "N");
    EXPECT_EQ(int(call.kind), 3);
    EXPECT_EQ(call.title, "");
    EXPECT_EQ(call.code, "002");
    EXPECT_EQ(call.time, 0);
    EXPECT_EQ(call.dataSet, nullptr);
}

struct FailingSetUp {
    const char* name;
    /// Builds the parameters; data sets it needs are kept in `keep`.
    std::function<TParams(std::vector<std::unique_ptr<TDataSet>>& keep)> params;
    /// A piece of the message the user must see.
    const char* mentioning;
};

std::vector<FailingSetUp> failingSetUps() {
    return {
        {"oneVisibleFieldInAClientDataSet",
         [](auto& keep) {
             keep.push_back(std::make_unique<TClientDataSet>(stringStore({"NOME"})));
             keep.back()->open();
             return paramsFor(*keep.back());
         },
         "out of bounds"},
        {"oneVisibleFieldInAPlainDataSet",
         [](auto& keep) {
             keep.push_back(std::make_unique<TDataSet>(productStore({"DESCRICAO", "UNIDADE", "PRECO"})));
             keep.back()->open();
             return paramsFor(*keep.back());
         },
         "out of bounds"},
        {"closedDataSet",
         [](auto& keep) {
             keep.push_back(std::make_unique<TClientDataSet>(productStore()));
             keep.back()->close();
             return paramsFor(*keep.back());
         },
         "out of bounds"},
        {"noParameters", [](auto&) { return TParams{}; }, "parameters"},
        {"onlyTheDataSet",
         [](auto& keep) {
             keep.push_back(std::make_unique<TClientDataSet>(productStore()));
             keep.back()->open();
             return TParams{Variant::fromPointer(keep.back().get())};
         },
         "parameters"},
        {"numberThatIsNoDataSet",
         [](auto&) {
             return TParams{Variant(12345), Variant("N")};
         },
         "12345"},
        {"addressOfAFreedDataSet",
         [](auto&) {
             auto gone = std::make_unique<TClientDataSet>(productStore());
             const Variant address = Variant::fromPointer(gone.get());
             gone.reset();
             return TParams{address, Variant("N")};
         },
         "live data set"},
        {"textThatIsNoNumber",
         [](auto&) {
             return TParams{Variant("abc"), Variant("N")};
         },
         "abc"},
    };
}

} // namespace

TEST(CriaTelaQmr41726, failedSetUpShowsOneMessageReturnsFalseAndFreesTheForm) {
    for (const FailingSetUp& setUp : failingSetUps()) {
        SCOPED_TRACE(setUp.name);
        std::vector<std::unique_ptr<TDataSet>> keep;
        const TParams params = setUp.params(keep);
        TMensagemRecorder recorder;
        OleVariant oleRetorno("kept");
        const TScreenOutcome outcome = callScreen(params, {}, &oleRetorno);
        EXPECT_FALSE(outcome.result);
        EXPECT_FALSE(outcome.shown);
        EXPECT_EQ(frmPesquisa, nullptr);
        EXPECT_EQ(oleRetorno, OleVariant("kept"));
        expectOneErrorMessage(recorder, setUp.mentioning);
    }
}

TEST(CriaTelaQmr41726, returnsTrueWhenTheUserConfirmsAndFalseWhenTheUserLeaves) {
    TClientDataSet dataSet(productStore());
    dataSet.open();
    TMensagemRecorder recorder;
    OleVariant oleRetorno(7);
    EXPECT_TRUE(callScreen(
                    paramsFor(dataSet), [](TfrmPesquisa& form) { form.sbtEnter->click(); }, &oleRetorno)
                    .result);
    EXPECT_EQ(oleRetorno, OleVariant(7));
    EXPECT_FALSE(callScreen(
                     paramsFor(dataSet), [](TfrmPesquisa& form) { form.sbtSair->click(); }, &oleRetorno)
                     .result);
    EXPECT_EQ(oleRetorno, OleVariant(7));
    EXPECT_FALSE(callScreen(paramsFor(dataSet)).result) << "closed without a choice";
    EXPECT_TRUE(recorder.calls().empty());
}

TEST(CriaTelaQmr41726, everyCallShowsAFormOfItsOwnAndFreesIt) {
    TClientDataSet dataSet(productStore());
    dataSet.open();
    std::vector<HWND> handles;
    for (int call = 0; call < 2; ++call) {
        const TScreenOutcome outcome = callScreen(paramsFor(dataSet), [&](TfrmPesquisa& form) {
            EXPECT_EQ(frmPesquisa, &form);
            EXPECT_EQ(TForm::activeModalForm(), &form);
            handles.push_back(form.handle());
        });
        EXPECT_TRUE(outcome.shown);
        EXPECT_EQ(frmPesquisa, nullptr);
    }
    ASSERT_EQ(handles.size(), 2u);
    EXPECT_NE(handles[0], handles[1]);
    for (HWND handle : handles)
        EXPECT_EQ(TForm::fromHandle(handle), nullptr) << "the form outlived its call";
}

TEST(CriaTelaQmr41726, extraParametersAreIgnored) {
    TClientDataSet dataSet(productStore());
    dataSet.open();
    const TParams base = paramsFor(dataSet, "S");
    const TParams params = {base[0], base[1], Variant(3.5), Variant("ignored")};
    TMensagemRecorder recorder;
    EXPECT_TRUE(callScreen(params, [](TfrmPesquisa& form) { form.sbtEnter->click(); }).result);
    EXPECT_EQ(stFilter, "S");
    EXPECT_TRUE(recorder.calls().empty());
}

TEST(PackageLifecycle, unitIsInitialisedOnTheFirstInitializeAndFinalisedOnTheLastFinalize) {
    Initialize();
    Initialize();
    stFilter = "S";
    stColuna = "X";
    Finalize();
    EXPECT_EQ(stFilter, "S") << "finalised while still initialised once";
    EXPECT_EQ(stColuna, "X");
    Finalize();
    EXPECT_EQ(stFilter, "");
    EXPECT_EQ(stColuna, "");
    EXPECT_EQ(frmPesquisa, nullptr);

    stFilter = "N";
    Finalize();
    EXPECT_EQ(stFilter, "N") << "a Finalize without an Initialize undid something";
}

// A form left in frmPesquisa by an earlier call is let go before the new form is created, and not
// freed: while the new form is being created (its creation handler has the host translate it),
// the variable holds nothing, never the stale form.
TEST(CriaTelaQmr41726, staleFormIsForgottenBeforeTheNewOneIsCreatedAndNotFreed) {
    testApplication();
    TClientDataSet dataSet(productStore());
    dataSet.open();
    auto stale = std::make_unique<TfrmPesquisa>();
    const HWND staleHandle = stale->handle();
    frmPesquisa = stale.get();
    std::vector<TfrmPesquisa*> seenWhileCreating;
    setTradTable([&](const AnsiString& text) -> AnsiString {
        seenWhileCreating.push_back(frmPesquisa);
        return text;
    });
    TfrmPesquisa* seenWhileShown = nullptr;
    callScreen(paramsFor(dataSet), [&](TfrmPesquisa&) { seenWhileShown = frmPesquisa; });
    setTradTable(nullptr);
    ASSERT_FALSE(seenWhileCreating.empty());
    for (TfrmPesquisa* seen : seenWhileCreating)
        EXPECT_EQ(seen, nullptr);
    EXPECT_NE(seenWhileShown, stale.get());
    EXPECT_EQ(frmPesquisa, nullptr);
    EXPECT_EQ(TForm::fromHandle(staleHandle), stale.get()) << "the stale form was freed";
}
