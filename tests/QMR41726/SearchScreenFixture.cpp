#include "SearchScreenFixture.h"

#include "host/ui/TDBGrid.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <QWindow>

using namespace qmr;

namespace {

struct Person {
    int code;
    const char* name;
    const char* city;
    const char* active;
};

constexpr Person kPeople[] = {{1, "Joana", "Lisboa", "S"}, {2, "joao", "Porto", "S"},
                              {3, "JOSE", "Braga", "N"},   {4, "Maria", "Porto", "S"},
                              {5, "Mario", "Faro", "N"},   {6, "Ana", "Lisboa", "S"}};

std::vector<TFieldDef> peopleFields(int nameSize) {
    return {{"CODIGO", TFieldType::ftInteger, 0, true, {}},
            {"NOME", TFieldType::ftString, nameSize, true, {}},
            {"CIDADE", TFieldType::ftString, 15, true, {}},
            {"ATIVO", TFieldType::ftString, 1, true, {}}};
}

/// A physical key as a keyboard delivers it: Qt key and the text that comes with it.
struct PhysicalKey {
    std::string_view name;
    Qt::Key key;
    const char* text;
};

constexpr PhysicalKey kKeys[] = {{"Enter", Qt::Key_Return, "\r"},
                                 {"Esc", Qt::Key_Escape, "\x1b"},
                                 {"Delete", Qt::Key_Delete, "\x7f"},
                                 {"Backspace", Qt::Key_Backspace, "\b"},
                                 {"Shift", Qt::Key_Shift, ""},
                                 {"CapsLock", Qt::Key_CapsLock, ""},
                                 {"F4", Qt::Key_F4, ""}};

} // namespace

std::shared_ptr<const TColumnStore> peopleStore(int nameSize) {
    TColumnStoreBuilder builder(peopleFields(nameSize));
    for (const Person& person : kPeople) {
        builder.appendInteger(0, person.code);
        builder.appendString(1, AnsiString(person.name).substr(0, std::size_t(nameSize)));
        builder.appendString(2, person.city);
        builder.appendString(3, person.active);
        builder.endRow();
    }
    return builder.finish();
}

std::shared_ptr<const TColumnStore> emptyPeopleStore() {
    TColumnStoreBuilder builder(peopleFields(20));
    return builder.finish();
}

std::unique_ptr<TDataSet> makeDataSet(DataKind kind, std::shared_ptr<const TColumnStore> rows) {
    if (kind == DataKind::client)
        return std::make_unique<TClientDataSet>(std::move(rows));
    return std::make_unique<TDataSet>(std::move(rows));
}

// --- ScreenInput ------------------------------------------------------------------------------

void ScreenInput::touch(std::string_view name) {
    auto* control = dynamic_cast<TControl*>(m_form.findComponent(name));
    ASSERT_TRUE(control && control->widget()) << "no control " << name;
    QWidget* widget = control->widget();
    touchAt(widget->mapTo(m_form.widget(), widget->rect().center()));
}

void ScreenInput::touchAt(QPoint point) {
    QWidget* formWidget = m_form.widget();
    QWindow* window = formWidget->window()->windowHandle();
    ASSERT_TRUE(window && window->isVisible()) << "the screen is not shown";
    // Through the window, as a finger would: the event goes to whatever is on top there.
    const QPoint inWindow = window->mapFromGlobal(formWidget->mapToGlobal(point));
    QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, inWindow);
    QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, inWindow);
}

void ScreenInput::touchTitle(int column) {
    auto* grid = dynamic_cast<TDBGrid*>(m_form.findComponent("dbgPesquisa"));
    ASSERT_TRUE(grid);
    const TTouchPoint point = grid->titleTouchPoint(column);
    ASSERT_TRUE(point.widget) << "title " << column << " is not shown";
    QWindow* window = point.widget->window()->windowHandle();
    const QPoint inWindow = window->mapFromGlobal(point.widget->mapToGlobal(point.position));
    QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, inWindow);
    QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, inWindow);
}

void ScreenInput::press(std::string_view key) {
    Qt::KeyboardModifiers modifiers = m_held;
    if (key.starts_with("Ctrl+")) {
        modifiers |= Qt::ControlModifier;
        key.remove_prefix(5);
    } else if (key.starts_with("Alt+")) {
        modifiers |= Qt::AltModifier;
        key.remove_prefix(4);
    }
    for (const PhysicalKey& physical : kKeys) {
        if (physical.name == key) {
            // A key with Ctrl or Alt held types no character.
            const bool plain = !(modifiers & (Qt::ControlModifier | Qt::AltModifier));
            sendKey(physical.key, plain ? QString::fromLatin1(physical.text) : QString(), modifiers);
            return;
        }
    }
    FAIL() << "unknown key " << key;
}

void ScreenInput::type(const QString& text) {
    for (const QChar c : text)
        sendKey(c.toUpper().unicode(), QString(c), m_held);
}

void ScreenInput::run(std::string_view script) {
    while (!script.empty()) {
        const std::size_t end = std::min(script.find(' '), script.size());
        const std::string_view step = script.substr(0, end);
        script.remove_prefix(std::min(end + 1, script.size()));
        if (step.starts_with("touch:"))
            touch(step.substr(6));
        else if (step.starts_with("title:"))
            touchTitle(std::stoi(std::string(step.substr(6))));
        else if (step.starts_with("press:"))
            press(step.substr(6));
        else if (step.starts_with("type:"))
            type(QString::fromUtf8(step.data() + 5, qsizetype(step.size() - 5)));
        else if (step == "shiftDown") {
            m_held |= Qt::ShiftModifier;
            sendKey(Qt::Key_Shift, {}, m_held, false);
        } else if (step == "shiftUp") {
            m_held &= ~Qt::ShiftModifier;
            QKeyEvent up(QEvent::KeyRelease, Qt::Key_Shift, m_held);
            QApplication::sendEvent(keyTarget(), &up);
        } else if (!step.empty())
            FAIL() << "unknown step " << step;
    }
}

void ScreenInput::sendKey(int qtKey, const QString& text, Qt::KeyboardModifiers modifiers, bool release) {
    // Sent as the window system delivers keys to the focused widget. Unlike QTest's key helpers
    // this sends no extra modifier key events: a Shift held down gives one Shift key-down only.
    QWidget* target = keyTarget();
    const QPointer<QWidget> guard(target);
    QKeyEvent press(QEvent::KeyPress, qtKey, modifiers, text);
    QApplication::sendEvent(target, &press);
    if (!release || !guard)
        return;
    QKeyEvent up(QEvent::KeyRelease, qtKey, modifiers, text);
    QApplication::sendEvent(target, &up);
}

/// The focused widget of the screen, where a keyboard delivers keys; the form itself without one.
QWidget* ScreenInput::keyTarget() const {
    QWidget* formWidget = m_form.widget();
    QWidget* focus = QApplication::focusWidget();
    if (focus && focus->window() == formWidget->window())
        return focus;
    return formWidget;
}

// --- SearchScreenTest -------------------------------------------------------------------------

void SearchScreenTest::SetUp() {
    TApplication& application = testApplication();
    application.setExceptionHandler([this](const std::exception& error) { errors.push_back(error.what()); });
    messages = std::make_unique<TMensagemRecorder>();
}

void SearchScreenTest::TearDown() {
    form.reset();
    data.reset();
    messages.reset();
    testApplication().setExceptionHandler(nullptr);
}

TfrmPesquisa& SearchScreenTest::open(DataKind kind, const AnsiString& baseFilter,
                                     std::shared_ptr<const TColumnStore> rows) {
    data = makeDataSet(kind, std::move(rows));
    data->setFilter(baseFilter);
    form = std::make_unique<TfrmPesquisa>();
    form->InicializaForm(paramsFor(*data));
    form->PreparaPesquisa(form->cdsPesquisa);
    QWidget* window = form->widget();
    window->show();
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    form->dbgPesquisa->setFocus();
    return *form;
}

std::vector<std::string> SearchScreenTest::names() const {
    std::vector<std::string> result;
    for (int row = 0; row < data->recordCount(); ++row)
        result.push_back(data->text(row, 1));
    return result;
}

bool SearchScreenTest::keysShowCapitals() const {
    const bool capitals = form->sbtCCdil->caption() == "\xC7";
    EXPECT_EQ(form->sbtCCdil->caption(), capitals ? "\xC7" : "\xE7");
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        const auto* key = dynamic_cast<TBlendedButton*>(form->findComponent(AnsiString("sbt") + letter));
        EXPECT_EQ(key->caption(), AnsiString(1, capitals ? letter : lowerAnsi(letter))) << "key " << letter;
    }
    return capitals;
}
