#pragma once
// How one column of a query's result becomes a field: the field type, its size, and how each value
// is read from what the driver hands over.

#include <qmr41726/data/store/TFieldDef.h>

#include <QMetaType>
#include <QString>

#include <string>
#include <variant>

class QSqlField;

namespace qmr {

/// How a value is read: from the QVariant Qt SQL's driver hands over, or from PostgreSQL's text of it.
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

/// What a driver says of a result column: the type its values arrive as, its own type number, and
/// the length and precision it reports (as QSqlField gives them; -1 for none).
struct SqlColumnShape {
    QMetaType type;
    int nativeType = 0;
    int length = -1;
    int precision = -1;
};

/// The plan for a column, or the reason it cannot be loaded ("binary values cannot be loaded").
/// `driverName` is the Qt driver's name ("QPSQL"): drivers differ in what their lengths count.
std::variant<SqlColumnPlan, std::string> planColumn(const SqlColumnShape& shape, const QString& driverName);
/// The same for a column Qt SQL describes.
std::variant<SqlColumnPlan, std::string> planColumn(const QSqlField& field, const QString& driverName);

/// The plan for a PostgreSQL result column read as the server's text, from its type's OID and
/// modifier (libpq's PQftype and PQfmod). The types map to fields as through Qt's driver, except
/// that a time of day, with or without its offset, keeps the server's own words.
std::variant<SqlColumnPlan, std::string> planPostgresColumn(unsigned oid, int modifier);

/// The characters a text column holds, from the length a driver reports for it; 0 when the driver
/// gives no usable length (text without a length, or a length that counts something else).
int declaredCharacters(const QString& driverName, int nativeType, int length);

} // namespace qmr
