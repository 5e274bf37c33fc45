#pragma once
// Support of the search, navigation and keyboard tests: a people data set, the screen prepared
// over it and shown (not modal) with the grid focused, and real input on it: touches on
// components, physical keys on the focused control, and short scripts of both.

#include "SetupHarness.h"

#include "host/ui/TApplication.h"

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

/// Physical input and touches on a shown form, through Qt events.
class ScreenInput {
public:
    explicit ScreenInput(qmr::TForm& form) : m_form(form) {}
    /// A touch (press and release) in the middle of the named component.
    void touch(std::string_view name);
    /// A touch (press and release) at `point` of the form's client area, on whatever is there.
    void touchAt(QPoint point);
    /// A touch on the title of grid column `column`.
    void touchTitle(int column);
    /// A physical key with the text the keyboard gives it, pressed and released on the focused
    /// control: Enter, Esc, Delete, Backspace, Shift, CapsLock, F4, with "Ctrl+" or "Alt+" before.
    void press(std::string_view key);
    /// Characters typed on a physical keyboard (UTF-8), one key each.
    void type(const QString& text);
    /// Runs a script of steps separated by blanks: touch:NAME, title:N, press:KEY, type:TEXT,
    /// shiftDown and shiftUp (the physical Shift held and let go).
    void run(std::string_view script);

private:
    void sendKey(int qtKey, const QString& text, Qt::KeyboardModifiers modifiers, bool release = true);
    QWidget* keyTarget() const;

    qmr::TForm& m_form;
    Qt::KeyboardModifiers m_held;
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
    /// Runs a script of input steps on the open screen (see ScreenInput::run).
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
