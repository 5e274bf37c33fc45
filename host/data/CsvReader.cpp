#include "host/data/CsvReader.h"

#include "host/rtl/Exception.h"

#include <cstdint>
#include <cstring>

namespace qmr {

void throwCsvError(const std::string& source, int line, int column, const std::string& what) {
    throw EDatabaseError(source + ", line " + std::to_string(line) + ", column " + std::to_string(column) +
                         ": " + what);
}

CsvReader::CsvReader(char* begin, char* end, std::string sourceName)
    : m_sourceName(std::move(sourceName)), m_pos(begin), m_end(end) {
    if (m_end - m_pos >= 3 && std::memcmp(m_pos, "\xEF\xBB\xBF", 3) == 0)
        m_pos += 3;
}

bool CsvReader::atLineBreak() const noexcept {
    return *m_pos == '\n' || *m_pos == '\r';
}

// A line break is LF, CRLF, or a lone CR; each counts as one line.
void CsvReader::skipLineBreak() noexcept {
    if (*m_pos == '\r' && m_pos + 1 < m_end && m_pos[1] == '\n')
        ++m_pos;
    ++m_pos;
    ++m_line;
}

bool CsvReader::readRecord(std::vector<CsvField>& fields) {
    fields.clear();
    while (m_pos < m_end && atLineBreak())
        skipLineBreak();
    if (m_pos == m_end)
        return false;
    m_recordLine = m_line;
    const char* const recordStart = m_pos;
    for (;;) {
        const int column = int(fields.size()) + 1;
        const int line = m_line;
        const std::string_view text = *m_pos == '"' ? readQuoted(column) : readPlain(column);
        checkBounds(recordStart, column);
        fields.push_back({text, line});
        if (m_pos == m_end)
            return true;
        if (atLineBreak()) {
            skipLineBreak();
            return true;
        }
        ++m_pos; // the comma
        if (m_pos == m_end || atLineBreak()) {
            // A comma at the end of a line leaves one more, empty field.
            checkBounds(recordStart, int(fields.size()) + 1);
            fields.push_back({std::string_view(m_pos, 0), m_line});
            if (m_pos < m_end)
                skipLineBreak();
            return true;
        }
    }
}

void CsvReader::checkBounds(const char* recordStart, int column) const {
    if (column > kMaxCsvFields)
        throwCsvError(m_sourceName, m_recordLine, column,
                      "the record has more than " + std::to_string(kMaxCsvFields) + " fields");
    if (size_t(m_pos - recordStart) > kMaxCsvRecordBytes)
        throwCsvError(m_sourceName, m_recordLine, column,
                      "the record is longer than " + std::to_string(kMaxCsvRecordBytes) + " bytes");
}

namespace {

constexpr std::uint64_t kOnes = 0x0101010101010101ull;
constexpr std::uint64_t kHighBits = 0x8080808080808080ull;

// Whether any byte of the word is `byte` (the classic test for a zero byte, after an xor).
constexpr std::uint64_t holdsByte(std::uint64_t word, unsigned char byte) noexcept {
    const std::uint64_t x = word ^ (kOnes * byte);
    return (x - kOnes) & ~x & kHighBits;
}

// Whether any of the eight bytes ends an unquoted field or breaks it.
constexpr bool holdsSpecial(std::uint64_t word) noexcept {
    return (holdsByte(word, ',') | holdsByte(word, '\n') | holdsByte(word, '\r') | holdsByte(word, '"')) != 0;
}

constexpr bool isSpecial(char c) noexcept {
    return c == ',' || c == '\n' || c == '\r' || c == '"';
}

} // namespace

// An unquoted field runs to the next comma or line break; a quote inside it means the writer
// forgot to quote the field, and guessing what it meant could shift every later field. Long
// fields are scanned eight bytes at a time.
std::string_view CsvReader::readPlain(int column) {
    char* start = m_pos;
    while (m_end - m_pos >= 8) {
        std::uint64_t word;
        std::memcpy(&word, m_pos, 8);
        if (holdsSpecial(word))
            break;
        m_pos += 8;
    }
    while (m_pos < m_end && !isSpecial(*m_pos))
        ++m_pos;
    if (m_pos < m_end && *m_pos == '"')
        throwCsvError(m_sourceName, m_line, column,
                      "a quote inside an unquoted value (quote the whole value and double the quote)");
    return {start, size_t(m_pos - start)};
}

// A quoted field: the text up to the closing quote, with each "" turned into one quote by
// moving the rest of the value left in place. Bytes are written only once something has moved,
// so that a mapped file's pages are copied only where a value really changes. Line breaks
// inside are part of the value.
std::string_view CsvReader::readQuoted(int column) {
    const int startLine = m_line;
    ++m_pos; // the opening quote
    char* start = m_pos;
    char* out = m_pos;
    for (;;) {
        if (m_pos == m_end)
            throwCsvError(m_sourceName, startLine, column, "a quoted value is never closed");
        char* from = m_pos++;
        if (*from == '"') {
            if (m_pos == m_end || *m_pos != '"')
                break;
            ++m_pos; // the second quote of a pair
        } else if (*from == '\n' || (*from == '\r' && (m_pos == m_end || *m_pos != '\n'))) {
            ++m_line;
        }
        if (out != from)
            *out = *from;
        ++out;
    }
    if (m_pos < m_end && *m_pos != ',' && !atLineBreak())
        throwCsvError(m_sourceName, m_line, column, "text after the closing quote of a quoted value");
    return {start, size_t(out - start)};
}

} // namespace qmr
