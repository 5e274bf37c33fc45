#include <qmr41726/sql/SqlColumnPlan.h>

#include <QSqlField>

#include <algorithm>
#include <iterator>

namespace qmr {

namespace {

// A numeric of up to 18 digits without a fraction fits an integer field whole; anything larger or
// with a fraction goes to a float, the nearest the field types have.
constexpr int kMaxIntegerDigits = 18;

/// What a driver's native type numbers and lengths mean.
struct DriverRule {
    const char* driver;
    /// The native type numbers of the text types declared with a length.
    int textTypes[4];
    /// What the reported text length counts: 1 for characters, otherwise bytes of the client
    /// encoding's widest character.
    int bytesPerCharacter;
    /// The native type numbers of exact numerics (numeric, decimal), whose length and precision are
    /// their digits and digits after the point.
    int exactNumericTypes[2];
};

// PostgreSQL reports varchar(n) and char(n) in characters. MySQL and MariaDB report bytes of the
// connection's character set, which Qt sets to utf8mb4 (4 bytes at most). ODBC's column size is in
// characters for its char types. Other types of these drivers (text, uuid, json...) report a
// storage size or nothing, never a character length, and are sized by their values.
constexpr DriverRule kDriverRules[] = {
    {"QPSQL", {1042 /* bpchar */, 1043 /* varchar */, 1042, 1043}, 1, {1700 /* numeric */, 1700}},
    {"QMYSQL", {15 /* VARCHAR */, 253 /* VAR_STRING */, 254 /* STRING */, 15}, 4, {0 /* DECIMAL */, 246}},
    {"QMARIADB", {15, 253, 254, 15}, 4, {0, 246}},
    {"QODBC",
     {1 /* SQL_CHAR */, 12 /* SQL_VARCHAR */, -8 /* SQL_WCHAR */, -9 /* SQL_WVARCHAR */},
     1,
     {2 /* SQL_NUMERIC */, 3 /* SQL_DECIMAL */}},
};

const DriverRule* ruleOf(const QString& driverName) {
    for (const DriverRule& rule : kDriverRules) {
        if (driverName == QLatin1String(rule.driver))
            return &rule;
    }
    return nullptr;
}

// Whether the column is an exact numeric without a fraction that an integer field holds whole.
bool isWholeNumeric(const SqlColumnShape& shape, const QString& driverName) {
    const DriverRule* rule = ruleOf(driverName);
    if (!rule || std::find(std::begin(rule->exactNumericTypes), std::end(rule->exactNumericTypes),
                           shape.nativeType) == std::end(rule->exactNumericTypes))
        return false;
    return shape.precision == 0 && shape.length > 0 && shape.length <= kMaxIntegerDigits;
}

/// PostgreSQL's OIDs of the built-in types that do not load as text.
enum : unsigned {
    kBoolOid = 16,
    kByteaOid = 17,
    kInt8Oid = 20,
    kInt2Oid = 21,
    kInt4Oid = 23,
    kOidOid = 26,
    kXidOid = 28,
    kCidOid = 29,
    kFloat4Oid = 700,
    kFloat8Oid = 701,
    kDateOid = 1082,
    kTimeOid = 1083,
    kTimestampOid = 1114,
    kTimestampTzOid = 1184,
    kTimeTzOid = 1266,
    kNumericOid = 1700,
};

// The type a PostgreSQL value is taken as, the same as Qt's driver takes it, so that a column
// maps to the same field whichever way its rows are read.
QMetaType postgresMetaType(unsigned oid) {
    switch (oid) {
    case kBoolOid:
        return QMetaType(QMetaType::Bool);
    case kInt8Oid:
        return QMetaType(QMetaType::LongLong);
    case kInt2Oid:
    case kInt4Oid:
    case kOidOid:
    case kXidOid:
    case kCidOid:
        return QMetaType(QMetaType::Int);
    case kFloat4Oid:
    case kFloat8Oid:
    case kNumericOid:
        return QMetaType(QMetaType::Double);
    case kDateOid:
        return QMetaType(QMetaType::QDate);
    case kTimeOid:
    case kTimeTzOid:
        return QMetaType(QMetaType::QTime);
    case kTimestampOid:
    case kTimestampTzOid:
        return QMetaType(QMetaType::QDateTime);
    case kByteaOid:
        return QMetaType(QMetaType::QByteArray);
    default:
        return QMetaType(QMetaType::QString);
    }
}

bool isIntegerType(int id) {
    switch (id) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

// Integers, floats, Booleans and date-times: the types that need no length.
bool planFixedType(const SqlColumnShape& shape, const QString& driverName, SqlColumnPlan& plan) {
    const int id = shape.type.id();
    const bool number = id == QMetaType::Double || id == QMetaType::Float;
    if (isIntegerType(id) || (number && isWholeNumeric(shape, driverName))) {
        plan.def.type = TFieldType::ftInteger;
        plan.read = SqlValueRead::Integer;
    } else if (number) {
        plan.def.type = TFieldType::ftFloat;
        plan.read = SqlValueRead::Float;
    } else if (id == QMetaType::Bool) {
        plan.def.type = TFieldType::ftBoolean;
        plan.read = SqlValueRead::Boolean;
    } else if (id == QMetaType::QDate || id == QMetaType::QDateTime) {
        plan.def.type = TFieldType::ftDateTime;
        plan.read = id == QMetaType::QDate ? SqlValueRead::Date : SqlValueRead::DateTime;
    } else {
        return false;
    }
    return true;
}

} // namespace

int declaredCharacters(const QString& driverName, int nativeType, int length) {
    const DriverRule* rule = ruleOf(driverName);
    if (length <= 0 || !rule ||
        std::find(std::begin(rule->textTypes), std::end(rule->textTypes), nativeType) ==
            std::end(rule->textTypes))
        return 0;
    return std::max(1, length / rule->bytesPerCharacter);
}

std::variant<SqlColumnPlan, std::string> planColumn(const SqlColumnShape& shape, const QString& driverName) {
    SqlColumnPlan plan;
    if (planFixedType(shape, driverName, plan))
        return plan;
    const QMetaType type = shape.type;
    if (!type.isValid())
        return std::string("the driver cannot describe the column's type");
    if (type.id() == QMetaType::QByteArray)
        return std::string("binary values cannot be loaded");
    // Anything else the driver can hand over as text (text itself, uuid, json, intervals...) loads
    // as text.
    if (type.id() != QMetaType::QString && !QMetaType::canConvert(type, QMetaType(QMetaType::QString)))
        return std::string("values of type ") + type.name() + " cannot be read as text";
    plan.read = type.id() == QMetaType::QTime ? SqlValueRead::TimeText : SqlValueRead::Text;
    // 0 when the driver gives no length: the column is then sized by its data (TextColumnSizes).
    plan.def.size = declaredCharacters(driverName, shape.nativeType, shape.length);
    return plan;
}

std::variant<SqlColumnPlan, std::string> planColumn(const QSqlField& field, const QString& driverName) {
    return planColumn(SqlColumnShape{field.metaType(), field.typeID(), field.length(), field.precision()},
                      driverName);
}

std::variant<SqlColumnPlan, std::string> planPostgresColumn(unsigned oid, int modifier) {
    SqlColumnShape shape{postgresMetaType(oid), int(oid)};
    // A numeric's modifier holds its digits above 16 bits and, 4 bytes on, its digits after the
    // point; a varchar's or char's is its length 4 bytes on (the size of the value's header).
    constexpr int kHeaderBytes = 4;
    if (oid == kNumericOid && modifier >= kHeaderBytes) {
        shape.length = modifier >> 16;
        shape.precision = (modifier - kHeaderBytes) & 0xffff;
    } else if (modifier >= kHeaderBytes) {
        shape.length = modifier - kHeaderBytes;
    }
    auto plan = planColumn(shape, QStringLiteral("QPSQL"));
    // The server's text of a time keeps its offset and every digit of its seconds.
    if (auto* planned = std::get_if<SqlColumnPlan>(&plan); planned && planned->read == SqlValueRead::TimeText)
        planned->read = SqlValueRead::Text;
    return plan;
}

} // namespace qmr
