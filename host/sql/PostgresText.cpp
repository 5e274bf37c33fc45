#include <qmr41726/sql/PostgresText.h>

#include <qmr41726/rtl/MessageText.h>
#include <qmr41726/sql/SqlLoad.h>

#include <QDateTime>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>

namespace qmr {

namespace {

constexpr int kSecondsPerHour = 3600;
constexpr int kMillisecondDigits = 3;

/// Reads PostgreSQL's date-time text from its start, piece by piece.
class TextReader {
public:
    explicit TextReader(std::string_view text) : m_text(text) {}

    bool atEnd() const { return m_pos == m_text.size(); }
    bool next(char c) const { return m_pos < m_text.size() && m_text[m_pos] == c; }
    bool take(char c) {
        if (!next(c))
            return false;
        ++m_pos;
        return true;
    }
    /// Between `least` and `most` digits as a number, with how many there were.
    std::optional<int> digits(std::size_t least, std::size_t most, std::size_t* count = nullptr) {
        const std::size_t start = m_pos;
        while (m_pos < m_text.size() && m_pos - start < most && m_text[m_pos] >= '0' && m_text[m_pos] <= '9')
            ++m_pos;
        if (m_pos - start < least)
            return std::nullopt;
        int value = 0;
        std::from_chars(m_text.data() + start, m_text.data() + m_pos, value);
        if (count)
            *count = m_pos - start;
        return value;
    }

private:
    std::string_view m_text;
    std::size_t m_pos = 0;
};

// The milliseconds of a fraction of a second of `count` digits; digits past the millisecond are
// below what a date-time of the data set keeps.
int milliseconds(int fraction, std::size_t count) {
    for (; count > kMillisecondDigits; --count)
        fraction /= 10;
    for (; count < kMillisecondDigits; ++count)
        fraction *= 10;
    return fraction;
}

// "+05:30", "-03", "+05:53:28": seconds ahead of UTC.
std::optional<int> offsetSeconds(TextReader& reader) {
    const int sign = reader.take('-') ? -1 : (reader.take('+') ? 1 : 0);
    if (sign == 0)
        return 0;
    const auto hours = reader.digits(2, 2);
    const auto minutes = reader.take(':') ? reader.digits(2, 2) : std::optional<int>(0);
    const auto seconds = reader.take(':') ? reader.digits(2, 2) : std::optional<int>(0);
    if (!hours || !minutes || !seconds)
        return std::nullopt;
    return sign * (*hours * kSecondsPerHour + *minutes * 60 + *seconds);
}

std::string beforeYearOne(std::string_view text, std::string_view where = "") {
    return joined({"the date ", quotedExcerpt(text, TextEncoding::Utf8), " is before the year 1", where,
                   ", which a date field cannot hold"});
}

// The server writes years up to 294276; a date field ends with 9999.
std::string afterYear9999(std::string_view text) {
    return joined({"the date ", quotedExcerpt(text, TextEncoding::Utf8),
                   " is after the year 9999, which a date field cannot hold"});
}

} // namespace

std::variant<PostgresDateTime, std::string> postgresDateTime(std::string_view text) {
    if (text == "infinity" || text == "-infinity")
        return "the date " + quotedExcerpt(text, TextEncoding::Utf8) +
               " is endless, which a date field cannot hold";
    if (text.ends_with(" BC"))
        return beforeYearOne(text);
    TextReader reader(text);
    const auto year = reader.digits(4, 7);
    const auto month = reader.take('-') ? reader.digits(2, 2) : std::nullopt;
    const auto day = reader.take('-') ? reader.digits(2, 2) : std::nullopt;
    std::optional<int> hour = 0, minute = 0, second = 0, fraction = 0;
    std::size_t fractionDigits = kMillisecondDigits;
    if (reader.take(' ')) {
        hour = reader.digits(2, 2);
        minute = reader.take(':') ? reader.digits(2, 2) : std::nullopt;
        second = reader.take(':') ? reader.digits(2, 2) : std::nullopt;
        if (reader.take('.'))
            fraction = reader.digits(1, 6, &fractionDigits);
    }
    const std::optional<int> offset = offsetSeconds(reader);
    const std::string notDateTime =
        quotedExcerpt(text, TextEncoding::Utf8) + " is not a date-time as the server writes one";
    if (!year || !month || !day || !hour || !minute || !second || !fraction || !offset || !reader.atEnd())
        return notDateTime;
    PostgresDateTime moment{QDate(*year, *month, *day),
                            QTime(*hour, *minute, *second, milliseconds(*fraction, fractionDigits))};
    if (!moment.date.isValid() || !moment.time.isValid())
        return notDateTime;
    if (*offset != 0) {
        const QDateTime utc = QDateTime(moment.date, moment.time, Qt::UTC).addSecs(-*offset);
        moment = {utc.date(), utc.time()};
        if (moment.date.year() < 1)
            return beforeYearOne(text, " in UTC");
    }
    if (moment.date.year() > 9999)
        return afterYear9999(text);
    return moment;
}

void appendPostgresValue(SqlLoad& load, int column, std::string_view text) {
    const char* end = text.data() + text.size();
    switch (load.readOf(column)) {
    case SqlValueRead::Text:
    case SqlValueRead::TimeText:
        return load.appendUtf8(column, text);
    case SqlValueRead::Integer: {
        std::int64_t value = 0;
        const auto [stop, error] = std::from_chars(text.data(), end, value);
        if (error != std::errc() || stop != end || text.empty())
            load.failAt(column, quotedExcerpt(text, TextEncoding::Utf8) + " does not fit an integer field");
        return load.appendInteger(column, value);
    }
    case SqlValueRead::Float: {
        // The server writes "NaN", "Infinity" and "-Infinity", which read as what they are and are
        // refused as not finite; a numeric past a double's range is refused rather than rounded
        // to an infinity or to zero.
        double value = 0;
        const auto [stop, error] = std::from_chars(text.data(), end, value);
        if (error == std::errc::result_out_of_range)
            load.failAt(column,
                        quotedExcerpt(text, TextEncoding::Utf8) + " is beyond the range of a float field");
        return load.appendFloat(column, error == std::errc() && stop == end ? value : std::nan(""), text);
    }
    case SqlValueRead::Boolean:
        if (text != "t" && text != "f")
            load.failAt(column, quotedExcerpt(text, TextEncoding::Utf8) + " is not a Boolean");
        return load.appendBoolean(column, text == "t");
    case SqlValueRead::Date:
    case SqlValueRead::DateTime: {
        const auto moment = postgresDateTime(text);
        if (const std::string* why = std::get_if<std::string>(&moment))
            load.failAt(column, *why);
        const PostgresDateTime& value = std::get<PostgresDateTime>(moment);
        return load.appendDateTime(column, value.date, value.time);
    }
    }
}

} // namespace qmr
