#include "SearchScreenFixture.h"

#include <QTest>

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

void ScreenInput::run(std::string_view script) {
    std::vector<KeyStep> steps;
    try {
        steps = parseKeyScript(script);
    } catch (const KeyScriptError& error) {
        FAIL() << error.what();
    }
    for (const KeyStep& step : steps) {
        try {
            m_driver.perform(step);
        } catch (const StepError& error) {
            FAIL() << "step \"" << step.source << "\": " << error.what();
        }
    }
}

void ScreenInput::touchAt(QPoint point) {
    try {
        m_driver.touchAt(m_form.widget(), point);
    } catch (const StepError& error) {
        FAIL() << error.what();
    }
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
