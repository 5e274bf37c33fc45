#pragma once
// One query's rows on their way into a column store, whichever way the rows are read (Qt SQL's
// values, or PostgreSQL's text through libpq). It names the columns, counts every value and row
// against the load's budget, sizes the text columns, and words each refusal with the source, the
// row and the column.

#include <qmr41726/data/load/LoadBudget.h>
#include <qmr41726/data/load/TextColumnSizes.h>
#include <qmr41726/data/store/TColumnStore.h>
#include <qmr41726/rtl/AnsiString.h>
#include <qmr41726/rtl/Exception.h>
#include <qmr41726/sql/SqlColumnPlan.h>

#include <QString>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

class QDate;
class QTime;

namespace qmr {

/// The pieces as one text. Appending piece by piece keeps GCC 12 at -O3 from a false -Wrestrict
/// warning that chains of operator+ on strings set off once inlined.
std::string joined(std::initializer_list<std::string_view> pieces);

/// Builds the store of one query's rows.
class SqlLoad {
public:
    SqlLoad(std::string source, LoadBudget& budget);

    /// Adds the next result column, named `name` as the driver gives it; refuses a nameless column,
    /// a name given twice and a plan that is a reason not to load it.
    void addColumn(const QString& name, std::variant<SqlColumnPlan, std::string> plan);
    /// Ends the columns: refuses a query without any, and makes the store ready for rows.
    void startRows();
    int columnCount() const { return int(m_columns.size()); }
    SqlValueRead readOf(int column) const { return m_columns[std::size_t(column)].read; }

    /// Starts the next row.
    void beginRow();
    /// Ends the row begun, counting it against the budget and the clock.
    void endRow();
    long long rowsRead() const { return m_row; }

    /// Refuses a value of `bytes` before it is copied when it passes LoadLimits::kMaxValueBytes.
    void checkValueBytes(int column, std::uint64_t bytes) const;
    void appendNull(int column);
    /// UTF-8 text, stored in Windows-1252.
    void appendUtf8(int column, std::string_view text);
    /// UTF-16 text, stored in Windows-1252.
    void appendText(int column, const QString& text);
    void appendInteger(int column, std::int64_t value);
    /// A finite number; `text` is how the driver wrote it, for the message refusing any other.
    void appendFloat(int column, double value, std::string_view text);
    void appendBoolean(int column, bool value);
    /// A date and a time of day, as a date-time of the data set.
    void appendDateTime(int column, const QDate& date, const QTime& time);

    /// The store of the rows appended.
    std::shared_ptr<const TColumnStore> finish();

    /// Raises the load's error, after its source.
    [[noreturn]] void fail(const std::string& what, LoadErrorKind kind = LoadErrorKind::Malformed) const;
    /// Raises the load's error naming the row and `column`.
    [[noreturn]] void failAt(int column, const std::string& what,
                             LoadErrorKind kind = LoadErrorKind::Malformed) const;

private:
    void storeText(int column);
    /// Charges the budget what the store keeps of one value of `column`.
    void charge(int column, std::uint64_t textBytes);

    std::string m_source;
    LoadBudget& m_budget;
    std::vector<SqlColumnPlan> m_columns;
    std::optional<TColumnStoreBuilder> m_builder;
    std::optional<TextColumnSizes> m_sizes;
    long long m_row = 0;
    AnsiString m_text;
};

} // namespace qmr
