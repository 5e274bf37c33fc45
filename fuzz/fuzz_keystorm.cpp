// A storm of input on the real search screen over the product catalogue: touches on every key and
// row button, title touches, row touches, physical command keys and typed characters, all through
// Qt events as a finger or a keyboard gives them. After every event the screen's promises are
// checked (see KeyStorm::check); a broken one aborts with a description of the event.
//
// One screen serves every input: building it (its layout, some eighty widgets, showing and
// activating the window) costs far more than an input's events. Between inputs it is put back
// as a fresh screen over a fresh data set would be, and that is checked: its whole observable
// state is compared with a screen newly built for the same set-up, so nothing one input leaves
// behind can reach the next unnoticed. Painting is switched off while the events run (no check
// looks at pixels) and done once at the end of each input, so the drawing code still runs over
// every state an input reaches.
//
// Input bytes: the first picks the data set (client or plain), the caller's flag and the base
// filter; each following pair is one event (its kind and its choice). Esc, Enter, sbtEnter and
// sbtSair end the screen and are left out.

#include "Cli_Qmr41726.h"

#include <qmr41726/data/load/Loaders.h>
#include <qmr41726/framework/Mensagem.h>
#include <qmr41726/ui/TApplication.h>
#include <qmr41726/ui/forms/TClassRegistry.h>

#include <QAbstractScrollArea>
#include <QApplication>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTest>
#include <QWindow>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <string>

using namespace qmr;

namespace {

constexpr std::size_t kMaxEvents = 48;

const char* const kButtons[] = {
    "sbt1",         "sbt2",          "sbt3",         "sbt4",     "sbt5",           "sbt6",
    "sbt7",         "sbt8",          "sbt9",         "sbt0",     "sbtQ",           "sbtW",
    "sbtE",         "sbtR",          "sbtT",         "sbtY",     "sbtU",           "sbtI",
    "sbtO",         "sbtP",          "sbtL",         "sbtK",     "sbtVirgula",     "sbtPonto",
    "sbtBarra",     "sbtM",          "sbtJ",         "sbtN",     "sbtG",           "sbtH",
    "sbtB",         "sbtV",          "sbtF",         "sbtD",     "sbtC",           "sbtX",
    "sbtS",         "sbtA",          "sbtZ",         "sbtCCdil", "sbtContraBarra", "sbt_",
    "sbtEspaco",    "sbtLimpar",     "sbtBackSpace", "sbtShift", "sbtCapsLock",    "sbtPrimeiro",
    "sbtRolarCima", "sbtRolarBaixo", "sbtUltimo"};

struct PhysicalKey {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    const char* text;
};

const PhysicalKey kKeys[] = {
    {Qt::Key_Delete, Qt::NoModifier, "\x7f"},  {Qt::Key_Backspace, Qt::NoModifier, "\b"},
    {Qt::Key_Shift, Qt::ShiftModifier, ""},    {Qt::Key_CapsLock, Qt::NoModifier, ""},
    {Qt::Key_Delete, Qt::ControlModifier, ""}, {Qt::Key_F4, Qt::AltModifier, ""},
    {Qt::Key_Up, Qt::NoModifier, ""},          {Qt::Key_Down, Qt::NoModifier, ""},
    {Qt::Key_PageUp, Qt::NoModifier, ""},      {Qt::Key_PageDown, Qt::NoModifier, ""},
    {Qt::Key_Home, Qt::NoModifier, ""},        {Qt::Key_End, Qt::NoModifier, ""},
    {Qt::Key_Tab, Qt::NoModifier, "\t"},       {Qt::Key_Delete, Qt::ShiftModifier, ""},
};

// Characters a physical keyboard may deliver: accepted ones, signs the keyboard lacks, accented
// letters, and characters outside Windows-1252.
const char16_t kTyped[] = u"aZm0 9,./\\_çÇ-@'\"%éÃ€ł中\u00a0";

const char* const kBaseFilters[] = {"", "GRUPO = 'FRIOS'", "ATIVO = 'S' AND PRECO > 10", "CODIGO < '1'"};

enum class Event { Button, Title, Row, Key, Type };

[[noreturn]] void fail(const std::string& what, const std::string& event) {
    std::fprintf(stderr, "keystorm: %s (after %s)\n", what.c_str(), event.c_str());
    std::abort();
}

std::shared_ptr<const TColumnStore> catalogue() {
    static const auto store = loadCsvFile(QMR_SOURCE_DIR "/data/produtos.csv");
    return store;
}

/// How many rows `filter` leaves of the catalogue, counted once on a data set of its own.
int rowsPassing(const AnsiString& filter) {
    static std::map<AnsiString, int> counts;
    if (const auto known = counts.find(filter); known != counts.end())
        return known->second;
    TClientDataSet counter(catalogue());
    counter.setFilter(filter);
    counter.setFiltered(true);
    return counts[filter] = counter.recordCount();
}

/// What one input's first byte sets up.
struct Setup {
    bool client;
    bool dropFilter;
    AnsiString base;

    explicit Setup(std::uint8_t byte)
        : client(byte & 1), dropFilter(byte & 2), base(kBaseFilters[(byte >> 2) % std::size(kBaseFilters)]) {}
    /// The bits that matter: equal keys, equal set-ups.
    static int key(std::uint8_t byte) { return byte % (4 * std::size(kBaseFilters)); }
};

std::unique_ptr<TDataSet> makeDataSet(const Setup& setup) {
    auto data = setup.client ? std::make_unique<TClientDataSet>(catalogue())
                             : std::make_unique<TDataSet>(catalogue());
    data->setFilter(setup.base);
    return data;
}

/// The screen's keys, looked up by name once: the form lives as long as the fuzzer, and a lookup
/// walks all its components.
struct Keys {
    std::map<std::string, TControl*> byName;
    std::array<TBlendedButton*, 26> letters{};

    explicit Keys(TfrmPesquisa& form) {
        for (const char* name : kButtons) {
            auto* control = dynamic_cast<TControl*>(form.findComponent(name));
            if (!control || !control->widget())
                fail(std::string("no control ") + name, "set-up");
            byName[name] = control;
        }
        for (char letter = 'A'; letter <= 'Z'; ++letter)
            letters[letter - 'A'] = dynamic_cast<TBlendedButton*>(byName.at(std::string("sbt") + letter));
    }
};

/// Shows `form`'s window and makes it the active one, its grid focused.
void activate(TfrmPesquisa& form) {
    QWidget* window = form.widget()->window();
    if (!window->isVisible())
        window->show();
    if (QApplication::activeWindow() != window) {
        window->activateWindow();
        (void)QTest::qWaitForWindowActive(window, 1000);
    }
    form.dbgPesquisa->setFocus();
}

std::string describe(const TTouchPoint& point) {
    return point.widget ? std::to_string(point.position.x()) + "," + std::to_string(point.position.y()) : "-";
}

/// Everything a user, the caller or the checks can observe of the screen and its data set, as
/// text: the search state, every key's caption and state, the grid's columns and scroll, the
/// focus, and the data set's filter, index, position and rows.
std::string screenState(TfrmPesquisa& form, const TDataSet& data) {
    std::string state = "text '" + form.edtFiltro->text() + "' ok " + std::to_string(form.boPesqOK) +
                        " locked " + std::to_string(form.LockedUP) + " shift " +
                        std::to_string(form.boShift) + " column " + form.stColunaPesq + " size " +
                        std::to_string(form.inTamCampo) + " original '" + form.OriginalFilter + "' flag '" +
                        stFilter + "'\nkeys";
    for (const char* name : kButtons) {
        auto* control = dynamic_cast<TControl*>(form.findComponent(name));
        state += std::string(" ") + name;
        if (!control)
            continue;
        state += control->enabled() ? "+" : "-";
        if (auto* key = dynamic_cast<TBlendedButton*>(control))
            state += "'" + key->caption() + "'" + (key->down() ? "v" : "") + (key->checked() ? "x" : "");
    }
    state += " enter " + std::to_string(form.sbtEnter->enabled()) + "\ncolumns";
    for (int i = 0; i < form.dbgPesquisa->columnCount(); ++i) {
        const TColumn* column = form.dbgPesquisa->column(i);
        state += " " + column->fieldName() + ":" + std::to_string(column->titleFontColor());
    }
    state += " title0 " + describe(form.dbgPesquisa->titleTouchPoint(0)) + " row0 " +
             describe(form.dbgPesquisa->rowTouchPoint(0));
    const QWidget* focus = QApplication::focusWidget();
    state += "\nfocus " + std::string(focus && focus->window() == form.widget()->window()
                                          ? focus->metaObject()->className()
                                          : "elsewhere");
    state += "\ndata filter '" + data.filter() + "' filtered " + std::to_string(data.filtered()) + " rows " +
             std::to_string(data.recordCount()) + " at " + std::to_string(data.recNo());
    if (auto* client = dynamic_cast<const TClientDataSet*>(&data))
        state += " index " + client->indexName();
    return state;
}

/// The screen as a host opens it: a new form over `data`, shown, active, its grid focused.
std::unique_ptr<TfrmPesquisa> openScreen(TDataSet& data, const Setup& setup) {
    auto form = std::make_unique<TfrmPesquisa>();
    form->InicializaForm({Variant::fromPointer(&data), Variant(setup.dropFilter ? "S" : "N")});
    form->PreparaPesquisa(form->cdsPesquisa);
    activate(*form);
    return form;
}

/// The state of a screen newly opened for `byte`'s set-up, found once per set-up.
const std::string& freshState(std::uint8_t byte) {
    static std::map<int, std::string> states;
    const int key = Setup::key(byte);
    if (const auto known = states.find(key); known != states.end())
        return known->second;
    const Setup setup(byte);
    const auto data = makeDataSet(setup);
    const auto form = openScreen(*data, setup);
    return states[key] = screenState(*form, *data);
}

/// The one screen every input storms, and its data set.
class ReusedScreen {
public:
    /// Puts the screen back as a host opening it afresh over a new data set for `byte` would
    /// leave it, and checks that against a screen actually opened so.
    TfrmPesquisa& reset(std::uint8_t byte, TDataSet*& dataOut, const Keys*& keysOut) {
        const Setup setup(byte);
        const std::string& wanted = freshState(byte);
        auto data = makeDataSet(setup);
        if (!m_form) {
            m_form = openScreen(*data, setup);
            m_keys = std::make_unique<Keys>(*m_form);
            // No check looks at pixels: events run unpainted and each input is painted once.
            m_form->widget()->setUpdatesEnabled(false);
        } else {
            m_form->edtFiltro->setText("");
            m_form->InicializaForm({Variant::fromPointer(data.get()), Variant(setup.dropFilter ? "S" : "N")});
            m_form->PreparaPesquisa(m_form->cdsPesquisa);
            // A new grid starts scrolled to its top left; rebinding the data set keeps the
            // horizontal scroll a touch on a far column left.
            if (auto* view = qobject_cast<QAbstractScrollArea*>(m_form->dbgPesquisa->widget())) {
                view->horizontalScrollBar()->setValue(0);
                view->verticalScrollBar()->setValue(0);
            }
            activate(*m_form);
        }
        // The old data set goes only now that the screen is bound to the new one.
        m_data = std::move(data);
        if (const std::string state = screenState(*m_form, *m_data); state != wanted) {
            std::fprintf(stderr, "keystorm: the reused screen was not reset.\nReset:\n%s\nFresh:\n%s\n",
                         state.c_str(), wanted.c_str());
            std::abort();
        }
        dataOut = m_data.get();
        keysOut = m_keys.get();
        return *m_form;
    }

    /// Paints the whole screen once, as it stands.
    void paint() {
        QWidget* window = m_form->widget();
        window->setUpdatesEnabled(true);
        window->repaint();
        window->setUpdatesEnabled(false);
    }

private:
    std::unique_ptr<TDataSet> m_data;
    std::unique_ptr<TfrmPesquisa> m_form;
    std::unique_ptr<Keys> m_keys;
};

/// One screen under a storm of events, with what the checks remember between events.
class KeyStorm {
public:
    KeyStorm(TfrmPesquisa& form, TDataSet& data, const Keys& keys, std::uint8_t byte)
        : m_form(&form), m_data(&data), m_keys(&keys) {
        const Setup setup(byte);
        m_baseCount = rowsPassing(setup.dropFilter ? AnsiString() : setup.base);
        m_capitals = m_form->LockedUP != m_form->boShift;
        check("set-up");
    }

    void run(const std::uint8_t* data, std::size_t size) {
        for (std::size_t i = 0; i + 1 < size && i / 2 < kMaxEvents; i += 2)
            step(static_cast<Event>(data[i] % 5), data[i + 1]);
    }

private:
    void step(Event event, std::uint8_t choice) {
        const AnsiString textBefore = m_form->edtFiltro->text();
        const bool shiftBefore = m_form->boShift;
        std::string name;
        bool relabels = false;
        bool physicalShift = false;
        bool clears = false;
        switch (event) {
        case Event::Button: {
            name = kButtons[choice % std::size(kButtons)];
            relabels = name == "sbtShift" || name == "sbtCapsLock";
            clears = name == "sbtLimpar";
            touch(name);
            break;
        }
        case Event::Title:
            name = "title " + std::to_string(choice % m_form->dbgPesquisa->columnCount());
            touchAt(m_form->dbgPesquisa->titleTouchPoint(choice % m_form->dbgPesquisa->columnCount()));
            break;
        case Event::Row:
            name = "row " + std::to_string(choice % 12);
            touchAt(m_form->dbgPesquisa->rowTouchPoint(choice % 12));
            break;
        case Event::Key: {
            const PhysicalKey& key = kKeys[choice % std::size(kKeys)];
            name = "key " + QKeySequence(key.key | key.modifiers).toString().toStdString();
            physicalShift = key.key == Qt::Key_Shift;
            relabels = key.key == Qt::Key_CapsLock;
            clears = key.key == Qt::Key_Delete && key.modifiers == Qt::NoModifier;
            sendKey(key.key, key.modifiers, QString::fromLatin1(key.text));
            break;
        }
        case Event::Type: {
            const QChar c(kTyped[choice % (std::size(kTyped) - 1)]);
            name = "typed " + QString(c).toStdString();
            sendKey(c.toUpper().unicode(), Qt::NoModifier, QString(c));
            break;
        }
        }
        const AnsiString& text = m_form->edtFiltro->text();
        const bool appended = text.size() > textBefore.size();
        if (relabels || (appended && shiftBefore))
            m_capitals = m_form->LockedUP != m_form->boShift;
        if (physicalShift && !m_form->boShift)
            fail("the physical Shift left no Shift pending", name);
        check(name);
        checkText(textBefore, event == Event::Button || event == Event::Type, name);
        if (clears && m_data->recordCount() != m_baseCount)
            fail("a cleared search shows " + std::to_string(m_data->recordCount()) +
                     " rows, the base filter " + std::to_string(m_baseCount),
                 name);
    }

    /// What holds after every event.
    void check(const std::string& event) const {
        const TfrmPesquisa& form = *m_form;
        if (form.sbtEnter->enabled() != (m_data->recordCount() > 0))
            fail("Enter is " + std::string(form.sbtEnter->enabled() ? "enabled" : "disabled") + " with " +
                     std::to_string(m_data->recordCount()) + " rows",
                 event);
        if (auto* client = dynamic_cast<const TClientDataSet*>(m_data);
            client && UpperCase(client->indexName()) != UpperCase(form.stColunaPesq))
            fail("active index " + client->indexName() + " but search column " + form.stColunaPesq, event);
        for (char letter = 'A'; letter <= 'Z'; ++letter) {
            const TBlendedButton* key = m_keys->letters[letter - 'A'];
            const AnsiString want(1, m_capitals ? letter : char(letter - 'A' + 'a'));
            if (!key || key->caption() != want)
                fail(AnsiString("key sbt") + letter + " shows '" + (key ? key->caption() : "?") +
                         "', expected '" + want + "'",
                     event);
        }
        if (form.sbtCCdil->caption() != (m_capitals ? "\xC7" : "\xE7"))
            fail("the cedilla key shows the wrong case", event);
    }

    /// The search text grows only by a typed character, one at a time, and only within
    /// inTamCampo; it keeps what was there before unless a Delete or a Backspace took it.
    void checkText(const AnsiString& before, bool typing, const std::string& event) const {
        const AnsiString& text = m_form->edtFiltro->text();
        if (text.size() <= before.size()) {
            if (before.compare(0, text.size(), text) != 0)
                fail("the search text '" + before + "' became '" + text + "'", event);
            return;
        }
        if (!typing || text.size() != before.size() + 1 || text.compare(0, before.size(), before) != 0)
            fail("the search text '" + before + "' grew to '" + text + "'", event);
        if (static_cast<long long>(text.size()) > m_form->inTamCampo)
            fail("the search text '" + text + "' is longer than inTamCampo " +
                     std::to_string(m_form->inTamCampo),
                 event);
    }

    void touch(const std::string& name) {
        QWidget* widget = m_keys->byName.at(name)->widget();
        touchAt({widget, widget->rect().center()});
    }

    void touchAt(const TTouchPoint& point) {
        if (!point.widget)
            return;
        QWindow* window = point.widget->window()->windowHandle();
        const QPoint inWindow = window->mapFromGlobal(point.widget->mapToGlobal(point.position));
        QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, inWindow);
        QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, inWindow);
    }

    void sendKey(int key, Qt::KeyboardModifiers modifiers, const QString& text) {
        QWidget* formWidget = m_form->widget();
        QWidget* target = QApplication::focusWidget();
        if (!target || target->window() != formWidget->window())
            target = formWidget;
        const QPointer<QWidget> guard(target);
        QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
        QApplication::sendEvent(target, &press);
        if (!guard)
            return;
        QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
        QApplication::sendEvent(target, &release);
    }

    TfrmPesquisa* m_form;
    TDataSet* m_data;
    const Keys* m_keys;
    int m_baseCount = 0;
    /// The case the letter keys should show: the display rule as of the last relabelling.
    bool m_capitals = false;
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication* qtApplication = new QApplication(*argc, *argv);
    static TApplication* application = new TApplication;
    registerRuntimeClasses(); // as the package's Initialize does
    (void)qtApplication;
    // Errors shown to the user are allowed (a search column of numbers rejects a LIKE): the
    // checks after the event then prove that the rejected filter changed nothing.
    application->setExceptionHandler([](const std::exception&) {});
    setMensagemRoutine([](auto&&...) {});
    (void)catalogue();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    // Never destroyed, like the application it lives in: at exit Qt's own statics go first.
    static ReusedScreen* const screen = new ReusedScreen;
    TDataSet* dataSet = nullptr;
    const Keys* keys = nullptr;
    TfrmPesquisa& form = screen->reset(data[0], dataSet, keys);
    KeyStorm storm(form, *dataSet, *keys, data[0]);
    storm.run(data + 1, size - 1);
    screen->paint();
    return 0;
}
