#pragma once
// Support of the search, navigation and keyboard tests: a people data set, the screen prepared
// over it and shown (not modal) with the grid focused, and real input on it through key scripts
// and touches at a point.

#include "InputDriver.h"
#include "SetupHarness.h"

#include <qmr41726/ui/TApplication.h>

#include <QPoint>
#include <QString>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

/// People: CODIGO integer, NOME string(nameSize), CIDADE string(15), ATIVO string(1). NOME holds
/// names in mixed letter case: Joana, joao, JOSE, Maria, Mario, Ana (in that order).
std::shared_ptr<const qmr::TColumnStore> peopleStore(int nameSize = 20);
/// The same fields without a single row.
std::shared_ptr<const qmr::TColumnStore> emptyPeopleStore();

enum class DataKind { client, plain };

/// Real input on a shown form through the shared input driver, with failures reported to the
/// test. A Shift held by one step stays held for the steps after it.
class ScreenInput {
public:
    explicit ScreenInput(qmr::TForm& form, InputDriver::Pointer pointer = InputDriver::Pointer::Mouse)
        : m_form(form), m_driver(form) {
        m_driver.setPointer(pointer);
    }
    /// Runs a key script (touch:NAME title:N key:KEY type:TEXT hold:Shift release:Shift ...); a
    /// malformed script or a step that cannot act fails the test.
    void run(std::string_view script);
    /// A touch (press and release) at `point` of the form's client area, on whatever is there.
    void touchAt(QPoint point);
    /// The driver itself, for a touch in parts (press, slide, release).
    InputDriver& driver() { return m_driver; }

private:
    qmr::TForm& m_form;
    InputDriver m_driver;
};

/// A search screen over a fresh data set, set up as the entry point does and shown with the
/// grid focused. Mensagem calls and errors that reach the application's handler are recorded.
class SearchScreenTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    /// Opens the screen over a `kind` data set of `rows` whose filter text is `baseFilter`.
    TfrmPesquisa& open(DataKind kind, const qmr::AnsiString& baseFilter = "",
                       std::shared_ptr<const qmr::TColumnStore> rows = peopleStore());
    /// Runs a key script on the open screen (see ScreenInput::run).
    void run(std::string_view script) { ScreenInput(*form).run(script); }
    /// The search text in the filter box.
    const qmr::AnsiString& searchText() const { return form->edtFiltro->text(); }
    /// The NOME of every row the data set shows, in order; the current row is left as it was.
    std::vector<std::string> names() const;
    /// Whether the letter keys and the ç key show capitals ('A', 'Ç') rather than lower case; the
    /// test fails when the 27 keys disagree.
    bool keysShowCapitals() const;

    std::unique_ptr<TMensagemRecorder> messages;
    std::vector<std::string> errors;
    std::unique_ptr<qmr::TDataSet> data;
    std::unique_ptr<TfrmPesquisa> form;
};

/// The data set a host would hand over: a client data set or a plain one over `rows`.
std::unique_ptr<qmr::TDataSet> makeDataSet(DataKind kind, std::shared_ptr<const qmr::TColumnStore> rows);
