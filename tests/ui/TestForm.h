#pragma once
// A small form for the runtime's tests: a panel holding an edit box (tab order 0) and a
// read-only filter box (tab order 1, created first), with handlers that record what reached them.

#include <qmr41726/ui/TApplication.h>
#include <qmr41726/ui/controls/TEdit.h>
#include <qmr41726/ui/forms/Layout.h>
#include <qmr41726/ui/forms/TForm.h>

#include <string>
#include <vector>

/// Registers the classes the test layouts use (idempotent).
void registerTestClasses();

/// Records every error the application's handler receives, for the life of the test.
class RecordingApplication {
public:
    RecordingApplication();
    std::vector<std::string> errors;
    qmr::TApplication application;
};

class TestForm : public qmr::TForm {
public:
    TestForm();
    /// The layout the form loads; tests build variants of it.
    static qmr::TLayout layout();
    std::vector<qmr::TPublishedEntry> methods();

    qmr::TEdit& edtInner() const;
    qmr::TEdit& edtFiltro() const;

    std::vector<std::string> log;
    bool refuseClose = false;
    bool releaseOnClose = false;

    void FormCreate(qmr::TObject* Sender);
    void FormClose(qmr::TObject* Sender, qmr::TCloseAction& Action);
    void FormKeyDown(qmr::TObject* Sender, qmr::WORD& Key, qmr::TShiftState Shift);
    void FormKeyPress(qmr::TObject* Sender, char& Key);
    void EditKeyDown(qmr::TObject* Sender, qmr::WORD& Key, qmr::TShiftState Shift);
    void EditKeyPress(qmr::TObject* Sender, char& Key);

private:
    void record(const std::string& who, const std::string& what, int code, qmr::TShiftState shift = {});
};

/// Key F2 makes the form's key-down handler raise; 'x' is refused and 'q' becomes 'Q' by the
/// form's key-press handler; Alt+F4 and Ctrl+Delete are set to 0 by its key-down handler.
constexpr qmr::WORD kFailingKey = 113;
