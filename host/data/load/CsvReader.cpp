#include <qmr41726/data/load/CsvReader.h>

#include <qmr41726/rtl/Exception.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace qmr {

void throwCsvError(const std::string& source, int line, int column, const std::string& what,
                   LoadErrorKind kind) {
    throw ELoadError(kind, source + ", line " + std::to_string(line) + ", column " + std::to_string(column) +
                               ": " + what);
}

// A chunk holds at least a byte order mark, so that the first fill can tell whether there is one.
CsvReader::CsvReader(ByteSource& source, std::string sourceName, std::size_t chunkBytes)
    : m_source(source), m_sourceName(std::move(sourceName)),
      m_chunkBytes(std::max<std::size_t>(chunkBytes, 4)) {}

bool CsvReader::atLineBreak() const noexcept {
    return *m_pos == '\n' || *m_pos == '\r';
}

// A line break is LF, CRLF, or a lone CR; each counts as one line. False, with nothing skipped,
// for a CR that ends the bytes read so far: an LF may follow in the next chunk.
bool CsvReader::skipLineBreak() noexcept {
    if (*m_pos == '\r') {
        if (m_pos + 1 == m_end && !m_atEnd)
            return false;
        if (m_pos + 1 < m_end && m_pos[1] == '\n')
            ++m_pos;
    }
    ++m_pos;
    ++m_line;
    return true;
}

// A record that runs past the bytes read so far is read again from its start once more bytes
// are in: nothing of it has been changed yet (pairs of quotes are unescaped only once it is
// whole), so the second reading sees the same text.
bool CsvReader::readRecord(std::vector<CsvField>& fields) {
    for (;;) {
        while (m_pos < m_end && atLineBreak() && skipLineBreak()) {
        }
        if (m_pos < m_end && !atLineBreak()) {
            char* const start = m_pos;
            const int line = m_line;
            if (tryRecord(fields))
                return true;
            m_pos = start;
            m_line = line;
        } else if (m_pos == m_end && m_atEnd) {
            fields.clear();
            return false;
        }
        fill();
    }
}

// Reads the record at m_pos; false when it runs past the bytes read so far.
bool CsvReader::tryRecord(std::vector<CsvField>& fields) {
    fields.clear();
    m_paired.clear();
    m_short = false;
    m_recordLine = m_line;
    const char* const recordStart = m_pos;
    for (;;) {
        const int column = int(fields.size()) + 1;
        const int line = m_line;
        bool paired = false;
        const std::string_view text = *m_pos == '"' ? readQuoted(column, paired) : readPlain(column);
        checkBounds(recordStart, column);
        if (m_short)
            return false;
        if (paired)
            m_paired.push_back(fields.size());
        fields.push_back({text, line});
        if (m_pos == m_end || atLineBreak()) {
            if (m_pos == m_end ? !m_atEnd : !skipLineBreak())
                return false;
            break;
        }
        ++m_pos; // the comma
        if (m_pos < m_end && !atLineBreak())
            continue;
        if (endField(fields, recordStart))
            break;
        if (m_short)
            return false;
    }
    unescapePairs(fields);
    return true;
}

// After a comma at the end of a line or of the bytes read so far: true when the record ends
// there, which leaves one more, empty field.
bool CsvReader::endField(std::vector<CsvField>& fields, const char* recordStart) {
    if (m_pos == m_end && !m_atEnd) {
        m_short = true;
        return false;
    }
    checkBounds(recordStart, int(fields.size()) + 1);
    fields.push_back({std::string_view(m_pos, 0), m_line});
    if (m_pos < m_end && !skipLineBreak()) {
        m_short = true;
        return false;
    }
    return true;
}

void CsvReader::failBounds(int column) const {
    if (column > kMaxCsvFields)
        throwCsvError(m_sourceName, m_recordLine, column,
                      "the record has more than " + std::to_string(kMaxCsvFields) + " fields",
                      LoadErrorKind::Refused);
    throwCsvError(m_sourceName, m_recordLine, column,
                  "the record is longer than " + std::to_string(kMaxCsvRecordBytes) + " bytes",
                  LoadErrorKind::Refused);
}

// Keeps the unread bytes, moved to the buffer's start, and reads the source until the buffer is
// full or the source ends. The buffer doubles when what it keeps (a long record) leaves less than
// half a chunk free, so a record is read again only a few times however long it is.
void CsvReader::fill() {
    const std::size_t kept = std::size_t(m_end - m_pos);
    m_discarded += std::uint64_t(m_pos - m_buffer.get());
    if (m_capacity - kept < std::max<std::size_t>(m_chunkBytes / 2, 1)) {
        const std::size_t capacity = std::max(m_capacity * 2, kept + m_chunkBytes);
        auto grown = std::make_unique_for_overwrite<char[]>(capacity);
        if (kept > 0)
            std::memcpy(grown.get(), m_pos, kept);
        m_buffer = std::move(grown);
        m_capacity = capacity;
    } else if (kept > 0 && m_pos != m_buffer.get()) {
        std::memmove(m_buffer.get(), m_pos, kept);
    }
    std::size_t filled = kept;
    while (filled < m_capacity) {
        const std::size_t got = m_source.read(m_buffer.get() + filled, m_capacity - filled);
        if (got == 0) {
            m_atEnd = true;
            break;
        }
        filled += got;
    }
    m_pos = m_buffer.get();
    m_end = m_pos + filled;
    if (!m_started) {
        m_started = true;
        skipByteOrderMark();
    }
}

void CsvReader::skipByteOrderMark() noexcept {
    if (m_end - m_pos >= 3 && std::memcmp(m_pos, "\xEF\xBB\xBF", 3) == 0)
        m_pos += 3;
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
    if (m_pos == m_end && !m_atEnd) {
        m_short = true;
        return {};
    }
    if (m_pos < m_end && *m_pos == '"')
        throwCsvError(m_sourceName, m_line, column,
                      "a quote inside an unquoted value (quote the whole value and double the quote)");
    return {start, size_t(m_pos - start)};
}

// A quoted field: the text up to the closing quote, "" pairs still doubled (`paired` says there
// are some; unescapePairs halves them once the record is whole). Line breaks inside are part of
// the value. A quote or CR at the end of the bytes read so far cannot be judged before the next
// byte is in: the field is then short.
std::string_view CsvReader::readQuoted(int column, bool& paired) {
    const int startLine = m_line;
    ++m_pos; // the opening quote
    char* start = m_pos;
    for (;;) {
        if (m_pos == m_end) {
            if (m_atEnd)
                throwCsvError(m_sourceName, startLine, column, "a quoted value is never closed");
            m_short = true;
            return {};
        }
        const char c = *m_pos++;
        if ((c == '"' || c == '\r') && m_pos == m_end && !m_atEnd) {
            m_short = true;
            return {};
        }
        if (c == '"') {
            if (m_pos == m_end || *m_pos != '"')
                break;
            ++m_pos; // the second quote of a pair
            paired = true;
        } else if (c == '\n' || (c == '\r' && (m_pos == m_end || *m_pos != '\n'))) {
            ++m_line;
        }
    }
    if (m_pos < m_end && *m_pos != ',' && !atLineBreak())
        throwCsvError(m_sourceName, m_line, column, "text after the closing quote of a quoted value");
    return {start, size_t(m_pos - 1 - start)};
}

// Turns each "" of the record's paired fields into one quote, moving the rest of the value left
// in place. Every quote inside a raw quoted value is the first of a pair.
void CsvReader::unescapePairs(std::vector<CsvField>& fields) {
    for (const std::size_t i : m_paired) {
        char* const start = m_buffer.get() + (fields[i].text.data() - m_buffer.get());
        const char* from = start;
        const char* const end = start + fields[i].text.size();
        char* out = start;
        while (from < end) {
            if (*from == '"')
                ++from;
            *out++ = *from++;
        }
        fields[i].text = {start, std::size_t(out - start)};
    }
}

} // namespace qmr
