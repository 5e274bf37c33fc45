#pragma once
// Values from PostgreSQL's own text of them (libpq's text result format), read the way the
// session Qt's driver opened writes them: UTF-8, dates in ISO style. A value a field cannot hold
// as the server wrote it (a date before the year 1, an endless date, a number that is not finite)
// is refused with words naming it, never loaded as another value.

#include <QDate>
#include <QTime>

#include <string>
#include <string_view>
#include <variant>

namespace qmr {

class SqlLoad;

/// A date and time of day, in UTC when the server's text gave an offset.
struct PostgresDateTime {
    QDate date;
    QTime time;
};

/// The date-time PostgreSQL writes in ISO style ("2024-02-29", "2024-02-29 13:45:30.25+05:30"), to
/// the millisecond; or the words saying why a date field cannot hold it ("the date '4713-01-01 BC'
/// is before the year 1, which a date field cannot hold").
std::variant<PostgresDateTime, std::string> postgresDateTime(std::string_view text);

/// Appends the server's text of one value to column `column`, read as its plan says.
void appendPostgresValue(SqlLoad& load, int column, std::string_view text);

} // namespace qmr
