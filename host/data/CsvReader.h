#pragma once
// Splitting CSV text into records (RFC 4180): fields separated by commas, records by CRLF or
// LF, quoted fields with "" for a quote and with commas and line breaks inside.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qmr {

/// One field of a record: its text (unquoted, "" already turned into ") and the line it starts on.
struct CsvField {
    std::string_view text;
    int line = 0;
};

/// Bounds on one record, far past any real catalogue (a 10M-row file included); each keeps a
/// file gone wrong (no line breaks, a line of commas) from costing memory without end. A record
/// past either is refused with an error naming its line and the column where it passed.
constexpr int kMaxCsvFields = 10000;
constexpr std::size_t kMaxCsvRecordBytes = std::size_t(64) << 20;

/// Raises the EDatabaseError of a CSV load: "<source>, line L, column C: <what>".
[[noreturn]] void throwCsvError(const std::string& source, int line, int column, const std::string& what);

/// Reads records one at a time from text it unescapes in place, so that a field is a view into
/// the text and reading allocates nothing per value.
class CsvReader {
public:
    /// Reads the text from `begin` to `end`, which must outlive the reader and may be changed by
    /// it; a UTF-8 byte order mark at its start is skipped. `sourceName` names the text in
    /// error messages.
    CsvReader(char* begin, char* end, std::string sourceName);

    /// Reads the next record into `fields` (views valid as long as the text lives). Blank lines
    /// are skipped. Returns false at the end of the text; raises EDatabaseError on broken quoting
    /// and on a record past kMaxCsvFields fields or kMaxCsvRecordBytes bytes.
    bool readRecord(std::vector<CsvField>& fields);

    /// The line the last record read starts on (1-based).
    int recordLine() const noexcept { return m_recordLine; }
    const std::string& sourceName() const noexcept { return m_sourceName; }

private:
    std::string_view readPlain(int column);
    std::string_view readQuoted(int column);
    bool atLineBreak() const noexcept;
    void skipLineBreak() noexcept;
    void checkBounds(const char* recordStart, int column) const;

    std::string m_sourceName;
    char* m_pos = nullptr;
    char* m_end = nullptr;
    int m_line = 1;
    int m_recordLine = 0;
};

} // namespace qmr
