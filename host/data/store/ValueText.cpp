#include <qmr41726/data/store/ValueText.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace qmr {

namespace {

// Day 0 of the date-time scale, 1899-12-30, counted from 1970-01-01.
constexpr std::int64_t kEpochOffsetDays = -25569;

struct CivilDate {
    std::int64_t year;
    unsigned month;
    unsigned day;
};

// Days since 1970-01-01 to a proleptic Gregorian date (H. Hinnant's civil_from_days).
CivilDate civilFromDays(std::int64_t z) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {std::int64_t(yoe) + era * 400 + (m <= 2), m, d};
}

// A proleptic Gregorian date to days since 1970-01-01 (H. Hinnant's days_from_civil).
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + std::int64_t(doe) - 719468;
}

bool isLeapYear(std::int64_t y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

unsigned daysInMonth(std::int64_t y, unsigned m) {
    static constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeapYear(y) ? 29 : kDays[m - 1];
}

// Reads exactly `width` digits at `pos` (0 = any count of at least one), advancing it.
std::optional<unsigned> readDigits(std::string_view text, std::size_t& pos, std::size_t width) {
    const std::size_t start = pos;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && (width == 0 || pos - start < width))
        ++pos;
    if (pos == start || (width != 0 && pos - start != width) || pos - start > 9)
        return std::nullopt;
    unsigned value = 0;
    std::from_chars(text.data() + start, text.data() + pos, value);
    return value;
}

bool expect(std::string_view text, std::size_t& pos, char c) {
    if (pos >= text.size() || text[pos] != c)
        return false;
    ++pos;
    return true;
}

// "hh:nn" or "hh:nn:ss" from `pos` to the end, as a fraction of a day.
std::optional<double> parseTime(std::string_view text, std::size_t pos) {
    const auto hours = readDigits(text, pos, 2);
    if (!hours || !expect(text, pos, ':'))
        return std::nullopt;
    const auto minutes = readDigits(text, pos, 2);
    std::optional<unsigned> seconds = 0u;
    if (pos < text.size() && expect(text, pos, ':'))
        seconds = readDigits(text, pos, 2);
    if (!minutes || !seconds || pos != text.size() || *hours > 23 || *minutes > 59 || *seconds > 59)
        return std::nullopt;
    return (*hours * 3600.0 + *minutes * 60.0 + *seconds) / 86400.0;
}

} // namespace

AnsiString floatText(double value) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    return buffer;
}

AnsiString dateTimeText(double value) {
    if (!std::isfinite(value))
        return {};
    // The whole part counts days (negative before 1899-12-30); the fraction, taken without its
    // sign, is always the time of that day.
    std::int64_t day = std::int64_t(std::trunc(value));
    std::int64_t seconds = std::llround(std::fabs(value - double(day)) * 86400.0);
    if (seconds >= 86400) {
        seconds -= 86400;
        ++day;
    }
    const CivilDate date = civilFromDays(day + kEpochOffsetDays);
    char buffer[64];
    int length = std::snprintf(buffer, sizeof buffer, "%02u/%02u/%04lld", date.day, date.month,
                               static_cast<long long>(date.year));
    if (seconds != 0)
        std::snprintf(buffer + length, sizeof buffer - std::size_t(length), " %02d:%02d:%02d",
                      int(seconds / 3600), int(seconds / 60 % 60), int(seconds % 60));
    return buffer;
}

std::optional<double> parseDateTimeText(std::string_view text) {
    std::size_t pos = 0;
    std::optional<unsigned> year, month, day;
    const bool iso = text.size() >= 5 && text[4] == '-';
    if (iso) {
        year = readDigits(text, pos, 4);
        month = expect(text, pos, '-') ? readDigits(text, pos, 2) : std::nullopt;
        day = expect(text, pos, '-') ? readDigits(text, pos, 2) : std::nullopt;
    } else {
        day = readDigits(text, pos, 2);
        month = expect(text, pos, '/') ? readDigits(text, pos, 2) : std::nullopt;
        year = expect(text, pos, '/') ? readDigits(text, pos, 4) : std::nullopt;
    }
    if (!year || !month || !day || *month < 1 || *month > 12 || *day < 1 || *day > daysInMonth(*year, *month))
        return std::nullopt;
    double time = 0;
    if (pos < text.size()) {
        if (!expect(text, pos, ' '))
            return std::nullopt;
        const auto parsed = parseTime(text, pos);
        if (!parsed)
            return std::nullopt;
        time = *parsed;
    }
    // Before 1899-12-30 the days count down but the time of day still counts up: 29/12/1899 06:00
    // is -1.25, not -0.75 (which would be 18:00 of the 30th).
    const double days = double(daysFromCivil(*year, *month, *day) - kEpochOffsetDays);
    return days < 0 ? days - time : days + time;
}

std::optional<double> parseNumberText(std::string_view text) {
    const char* begin = text.data();
    const char* end = begin + text.size();
    if (begin != end && *begin == '+')
        ++begin;
    double value = 0;
    const auto [stop, error] = std::from_chars(begin, end, value, std::chars_format::fixed);
    if (begin == end || error != std::errc() || stop != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace qmr
