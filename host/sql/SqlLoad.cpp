#include <qmr41726/sql/SqlLoad.h>

#include <qmr41726/rtl/MessageText.h>

#include <QDate>
#include <QTime>

#include <cmath>

namespace qmr {

namespace {

constexpr double kMillisecondsPerDay = 86400000.0;
/// Date-times count days from 1899-12-30, this Julian day.
constexpr qint64 kEpochJulianDay = 2415019;
/// Rows between two looks at the clock.
constexpr long long kRowsPerClockCheck = 256;

bool isAscii(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

} // namespace

namespace {

// The bytes `text` takes in UTF-8, counted without converting it.
std::uint64_t utf8Bytes(const QString& text) {
    std::uint64_t bytes = 0;
    for (const QChar unit : text) {
        const char16_t code = unit.unicode();
        // A surrogate pair's two units make one 4-byte character.
        bytes += code < 0x80 ? 1 : code < 0x800 || unit.isSurrogate() ? 2 : 3;
    }
    return bytes;
}

} // namespace

std::string joined(std::initializer_list<std::string_view> pieces) {
    std::string text;
    for (std::string_view piece : pieces)
        text.append(piece);
    return text;
}

SqlLoad::SqlLoad(std::string source, LoadBudget& budget) : m_source(std::move(source)), m_budget(budget) {}

void SqlLoad::fail(const std::string& what, LoadErrorKind kind) const {
    throw ELoadError(kind, joined({m_source, ": ", what}));
}

void SqlLoad::failAt(int column, const std::string& what, LoadErrorKind kind) const {
    throw ELoadError(
        kind,
        joined({m_source, ", row ", std::to_string(m_row), ", column ", std::to_string(column + 1), " (",
                nameExcerpt(m_columns[std::size_t(column)].def.name, kNameExcerptBytes), "): ", what}));
}

void SqlLoad::addColumn(const QString& driverName, std::variant<SqlColumnPlan, std::string> plan) {
    const std::string where = "column " + std::to_string(m_columns.size() + 1);
    AnsiString name;
    try {
        name = utf8ToAnsi(driverName.trimmed().toStdString());
    } catch (const EConvertError& error) {
        fail("the name of " + where + ": " + error.Message());
    }
    if (name.empty())
        fail(where + " of the query has no name");
    for (const SqlColumnPlan& other : m_columns) {
        if (UpperCase(other.def.name) == UpperCase(name))
            fail("the query returns two columns named " + nameExcerpt(name, kNameExcerptBytes));
    }
    if (const std::string* why = std::get_if<std::string>(&plan))
        fail(where + " (" + nameExcerpt(name, kNameExcerptBytes) + "): " + *why);
    m_columns.push_back(std::get<SqlColumnPlan>(std::move(plan)));
    m_columns.back().def.name = name;
}

void SqlLoad::startRows() {
    if (m_columns.empty())
        fail("the query returns no columns");
    std::vector<TFieldDef> defs;
    for (const SqlColumnPlan& column : m_columns)
        defs.push_back(column.def);
    m_sizes.emplace(defs);
    m_builder.emplace(std::move(defs));
}

void SqlLoad::beginRow() {
    ++m_row;
}

// Each value has been charged what the store keeps of it as it was appended.
void SqlLoad::endRow() {
    m_builder->endRow();
    if (const std::string passed = m_budget.endRow(); !passed.empty())
        fail(joined({"row ", std::to_string(m_row), ": ", passed}), LoadErrorKind::Refused);
    if (m_row % kRowsPerClockCheck == 0 && m_budget.pastDeadline())
        fail(joined({"row ", std::to_string(m_row), ": ", m_budget.timeoutText()}), LoadErrorKind::Timeout);
}

void SqlLoad::checkValueBytes(int column, std::uint64_t bytes) const {
    if (const std::string tooLarge = LoadBudget::valueTooLarge(bytes); !tooLarge.empty())
        failAt(column, tooLarge, LoadErrorKind::Refused);
}

void SqlLoad::charge(int column, std::uint64_t textBytes) {
    m_budget.hold(std::size_t(column),
                  LoadBudget::storeBytes(m_columns[std::size_t(column)].def.type, textBytes));
}

void SqlLoad::appendNull(int column) {
    m_builder->appendNull(column);
    charge(column, 0);
}

// Plain ASCII is copied as it is; the rest goes through the same conversion the file loaders use,
// which names a character Windows-1252 cannot hold.
void SqlLoad::appendUtf8(int column, std::string_view text) {
    if (isAscii(text)) {
        m_text.assign(text);
    } else {
        try {
            m_text = utf8ToAnsi(text);
        } catch (const EConvertError& error) {
            failAt(column, error.Message());
        }
    }
    storeText(column);
}

void SqlLoad::appendText(int column, const QString& text) {
    // A UTF-16 unit takes at least a byte in UTF-8: past the bound in units is past it in bytes,
    // and then the value is not copied again to be measured.
    if (std::uint64_t(text.size()) > LoadLimits::kMaxValueBytes)
        checkValueBytes(column, utf8Bytes(text));
    m_text.resize(std::size_t(text.size()));
    bool ascii = true;
    for (qsizetype i = 0; i < text.size() && ascii; ++i) {
        const char16_t unit = text[i].unicode();
        ascii = unit < 0x80;
        m_text[std::size_t(i)] = char(unit);
    }
    if (ascii)
        return storeText(column);
    appendUtf8(column, text.toStdString());
}

void SqlLoad::storeText(int column) {
    if (const std::string tooLong = m_sizes->add(column, m_text); !tooLong.empty())
        failAt(column, tooLong);
    m_builder->appendString(column, m_text);
    charge(column, m_text.size());
}

void SqlLoad::appendInteger(int column, std::int64_t value) {
    m_builder->appendInteger(column, value);
    charge(column, 0);
}

void SqlLoad::appendFloat(int column, double value, std::string_view text) {
    if (!std::isfinite(value))
        failAt(column, quotedExcerpt(text, TextEncoding::Utf8) + " is not a finite number");
    m_builder->appendFloat(column, value);
    charge(column, 0);
}

void SqlLoad::appendBoolean(int column, bool value) {
    m_builder->appendBoolean(column, value);
    charge(column, 0);
}

void SqlLoad::appendDateTime(int column, const QDate& date, const QTime& time) {
    if (!date.isValid() || !time.isValid() || date.year() < 1 || date.year() > 9999)
        failAt(column, "the value is not a date the data set can hold (the years 1 to 9999)");
    // Before the epoch the days count down while the time of day still counts up (-1.25 is
    // 29/12/1899 06:00), as in every other date-time of the data set.
    const double days = double(date.toJulianDay() - kEpochJulianDay);
    const double fraction = time.msecsSinceStartOfDay() / kMillisecondsPerDay;
    m_builder->appendDateTime(column, days < 0 ? days - fraction : days + fraction);
    charge(column, 0);
}

std::shared_ptr<const TColumnStore> SqlLoad::finish() {
    m_sizes->applyTo(*m_builder);
    return m_builder->finish();
}

} // namespace qmr
