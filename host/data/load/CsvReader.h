#pragma once
// Splitting CSV text into records (RFC 4180): fields separated by commas, records by CRLF or
// LF, quoted fields with "" for a quote and with commas and line breaks inside.

#include <qmr41726/data/load/ELoadError.h>

#include <cstddef>
#include <cstdint>
#include <memory>
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

/// Raises the ELoadError of a CSV load, "<source>, line L, column C: <what>", of `kind`: Malformed
/// for what the file says wrongly, Refused for a record past a bound.
[[noreturn]] void throwCsvError(const std::string& source, int line, int column, const std::string& what,
                                LoadErrorKind kind = LoadErrorKind::Malformed);

/// Where a reader's bytes come from, front to back.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    /// Reads up to `size` bytes into `into`; 0 at the end. Raises EDatabaseError when it cannot.
    virtual std::size_t read(char* into, std::size_t size) = 0;
    /// Raises EDatabaseError when the bytes read may not be the source's whole content as it was
    /// when reading began (a file another program changed meanwhile).
    virtual void checkUnchanged() {}
    /// How many bytes the source expects to hold in all, when it can tell (a regular file's
    /// size); 0 when it cannot. Only for planning: the bytes read decide.
    virtual std::uint64_t expectedBytes() const { return 0; }
};

/// Reads records one at a time from a source, a chunk at a time, so that a file of any length
/// costs memory for one chunk and the longest record only. Fields are unescaped in place in the
/// reader's buffer: a field is a view into it and reading allocates nothing per value.
class CsvReader {
public:
    /// Bytes read from the source at a time: large enough that reading costs few calls, small
    /// enough to stay in the processor's cache while it is split.
    static constexpr std::size_t kChunkBytes = std::size_t(1) << 20;

    /// Reads from `source`, which must outlive the reader; a UTF-8 byte order mark at its start is
    /// skipped. `sourceName` names it in error messages.
    CsvReader(ByteSource& source, std::string sourceName, std::size_t chunkBytes = kChunkBytes);

    /// Reads the next record into `fields`, views valid until the next call. Blank lines are
    /// skipped. Returns false at the end of the source; raises EDatabaseError on broken quoting and
    /// on a record past kMaxCsvFields fields or kMaxCsvRecordBytes bytes.
    bool readRecord(std::vector<CsvField>& fields);

    /// The line the last record read starts on (1-based).
    int recordLine() const noexcept { return m_recordLine; }
    /// How many of the source's bytes the records read so far took.
    std::uint64_t bytesConsumed() const noexcept {
        return m_discarded + std::uint64_t(m_pos - m_buffer.get());
    }
    const std::string& sourceName() const noexcept { return m_sourceName; }

private:
    bool tryRecord(std::vector<CsvField>& fields);
    bool endField(std::vector<CsvField>& fields, const char* recordStart);
    std::string_view readPlain(int column);
    std::string_view readQuoted(int column, bool& paired);
    void unescapePairs(std::vector<CsvField>& fields);
    bool atLineBreak() const noexcept;
    bool skipLineBreak() noexcept;
    /// Checked after every field, so inline; the error is raised out of line.
    void checkBounds(const char* recordStart, int column) const {
        if (column > kMaxCsvFields || std::size_t(m_pos - recordStart) > kMaxCsvRecordBytes)
            failBounds(column);
    }
    [[noreturn]] void failBounds(int column) const;
    void fill();
    void skipByteOrderMark() noexcept;

    ByteSource& m_source;
    std::string m_sourceName;
    std::size_t m_chunkBytes;
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_capacity = 0;
    char* m_pos = nullptr;
    char* m_end = nullptr;
    /// The source has no more bytes: the buffer's end is the text's end.
    bool m_atEnd = false;
    /// The record being read runs past the bytes read so far.
    bool m_short = false;
    bool m_started = false;
    /// Bytes of the source moved out of the buffer before its present start.
    std::uint64_t m_discarded = 0;
    /// Fields of the record being read that hold "" pairs, unescaped once the record is whole.
    std::vector<std::size_t> m_paired;
    int m_line = 1;
    int m_recordLine = 0;
};

} // namespace qmr
