#pragma once
// How one column of a query's result becomes a field: the field type, its size, and how each value
// is read from what the driver hands over.

#include <qmr41726/data/store/TFieldDef.h>

#include <QString>

#include <string>
#include <variant>

class QSqlField;

namespace qmr {

/// How a value is read from the driver's QVariant.
enum class SqlValueRead {
    Text,
    /// Text from a time of day ("hh:mm:ss"): the store has no type for a time alone.
    TimeText,
    Integer,
    Float,
    Boolean,
    Date,
    DateTime,
};

/// One result column on its way into a field.
struct SqlColumnPlan {
    TFieldDef def;
    SqlValueRead read = SqlValueRead::Text;
};

/// The plan for a column, or the reason it cannot be loaded ("binary values cannot be loaded").
/// `driverName` is the Qt driver's name ("QPSQL"): drivers differ in what their lengths count.
std::variant<SqlColumnPlan, std::string> planColumn(const QSqlField& field, const QString& driverName);

/// The characters a text column holds, from the length a driver reports for it; 0 when the driver
/// gives no usable length (text without a length, or a length that counts something else).
int declaredCharacters(const QString& driverName, int nativeType, int length);

} // namespace qmr
