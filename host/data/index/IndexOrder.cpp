#include <qmr41726/data/index/IndexOrder.h>

#include <qmr41726/data/store/ColumnStoreImpl.h>
#include <qmr41726/data/store/InParallel.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <memory>
#include <numeric>
#include <utility>

namespace qmr {

namespace {

int compareText(std::string_view a, std::string_view b, bool caseInsensitive) {
    if (!caseInsensitive) {
        const int c = a.compare(b);
        return (c > 0) - (c < 0);
    }
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(upperAnsi(a[i]));
        const auto y = static_cast<unsigned char>(upperAnsi(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    return (a.size() > b.size()) - (a.size() < b.size());
}

template <class T> int compareValues(T a, T b) {
    return (a > b) - (a < b);
}

// Orders two rows by one key, nulls first, ignoring the key's direction.
int compareByKey(const StoreColumn& column, const IndexKey& key, std::uint32_t a, std::uint32_t b) {
    const bool nullA = column.isNull(a);
    const bool nullB = column.isNull(b);
    if (nullA || nullB)
        return int(nullB) - int(nullA);
    switch (column.def.type) {
    case TFieldType::ftString:
        return compareText(column.string(a), column.string(b), key.caseInsensitive);
    case TFieldType::ftInteger:
        return compareValues(column.integers[a], column.integers[b]);
    case TFieldType::ftBoolean:
        return compareValues(column.booleans[a], column.booleans[b]);
    case TFieldType::ftFloat:
    case TFieldType::ftDateTime:
        return compareValues(column.reals[a], column.reals[b]);
    }
    return 0;
}

// The word with each of its bytes a-z turned into A-Z, all eight at once; every other byte (those
// from 0x80 on too) stays.
std::uint64_t upperLetters(std::uint64_t word) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    const std::uint64_t low7 = word & (kOnes * 0x7F);
    // High bit of each byte: its low 7 bits are at least 'a', then more than 'z'; no byte carries
    // into the next, as 0x7F + 0x1F < 0x100.
    const std::uint64_t fromA = low7 + kOnes * (0x80 - 'a');
    const std::uint64_t pastZ = low7 + kOnes * (0x80 - 'z' - 1);
    const std::uint64_t letters = fromA & ~pastZ & ~word & (kOnes * 0x80);
    return word - (letters >> 2);
}

// Bytes 8 * depth to 8 * depth + 7 of a text as a big-endian number, zero past its end: if two
// texts equal up to byte 8 * depth have different numbers, the numbers order them as the texts.
std::uint64_t textKey(std::string_view text, bool caseInsensitive, std::size_t depth) {
    const std::size_t from = depth * 8;
    std::uint64_t word = 0;
    if (from + 8 <= text.size())
        std::memcpy(&word, text.data() + from, 8); // one load, the common case
    else if (from < text.size())
        std::memcpy(&word, text.data() + from, text.size() - from);
    if (caseInsensitive)
        word = upperLetters(word);
    if constexpr (std::endian::native == std::endian::little)
        word = __builtin_bswap64(word);
    return word;
}

// A 64-bit number that orders like the row's (non-null) value of the first key: exactly for
// numbers and Booleans, and for strings by their first 8 bytes (see textKey).
std::uint64_t sortKey(const StoreColumn& column, const IndexKey& key, std::uint32_t row) {
    switch (column.def.type) {
    case TFieldType::ftString:
        return textKey(column.string(row), key.caseInsensitive, 0);
    case TFieldType::ftInteger:
        return std::uint64_t(column.integers[row]) ^ (std::uint64_t(1) << 63);
    case TFieldType::ftBoolean:
        return column.booleans[row];
    case TFieldType::ftFloat:
    case TFieldType::ftDateTime: {
        const double value = column.reals[row] == 0 ? 0.0 : column.reals[row]; // -0 orders as 0
        std::uint64_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        return (bits >> 63) ? ~bits : bits | (std::uint64_t(1) << 63);
    }
    }
    return 0;
}

// A row with the key it sorts by. For a text, also its next 8 bytes and its length, taken in the
// same pass over the texts in store order: once sorted, rows are scattered over the text arena,
// and most runs of equal first bytes settle on these without reading any text again.
struct SortItem {
    std::uint64_t key;
    std::uint32_t row;
    std::uint32_t length;
    std::uint64_t next;
};

// Items of a run of rows, left unset until filled: zeroing 24 bytes for each of ten million rows
// only to overwrite them costs as much as filling them.
struct ItemArray {
    explicit ItemArray(std::size_t n) : data(std::make_unique_for_overwrite<SortItem[]>(n)), size(n) {}
    SortItem* begin() const noexcept { return data.get(); }
    SortItem* end() const noexcept { return data.get() + size; }
    std::unique_ptr<SortItem[]> data;
    std::size_t size;
};

using Histograms = std::array<std::array<std::uint32_t, 256>, 8>;

// How many of the items have each value of each byte of their key.
Histograms keyHistograms(const SortItem* begin, const SortItem* end) {
    Histograms counts{};
    for (const SortItem* item = begin; item != end; ++item) {
        for (int b = 0; b < 8; ++b)
            ++counts[std::size_t(b)][(item->key >> (8 * b)) & 0xFF];
    }
    return counts;
}

bool byteVaries(const std::array<std::uint32_t, 256>& count, std::size_t n) {
    return std::find(count.begin(), count.end(), std::uint32_t(n)) == count.end();
}

// Moves [begin, end) into `out` by key byte `b`, keeping the order of equal bytes: an item whose
// byte is v goes to out[next[v]], which then moves on.
void scatterTo(const SortItem* begin, const SortItem* end, SortItem* out, int b,
               std::array<std::uint32_t, 256>& next) {
    for (const SortItem* item = begin; item != end; ++item)
        out[next[(item->key >> (8 * b)) & 0xFF]++] = *item;
}

// Where each bucket of a byte whose histogram is `count` starts.
std::array<std::uint32_t, 256> bucketStarts(const std::array<std::uint32_t, 256>& count) {
    std::array<std::uint32_t, 256> starts{};
    std::uint32_t position = 0;
    for (std::size_t v = 0; v < 256; ++v) {
        starts[v] = position;
        position += count[v];
    }
    return starts;
}

// Moves [begin, end) into `out` ordered by key byte `b`, keeping the order of equal bytes; `count`
// is that byte's histogram.
void scatterByByte(const SortItem* begin, const SortItem* end, SortItem* out, int b,
                   const std::array<std::uint32_t, 256>& count) {
    std::array<std::uint32_t, 256> next = bucketStarts(count);
    scatterTo(begin, end, out, b, next);
}

// Sorts [begin, end) by the key's bytes below `bytes`, keeping the order of equal keys: a byte
// at a time from the lowest, skipping bytes every item shares; `scratch` holds as many items.
// Eight passes over the items beat a comparison sort's twenty.
void radixSortLowBytes(SortItem* begin, SortItem* end, SortItem* scratch, int bytes) {
    const std::size_t n = std::size_t(end - begin);
    if (n < 2 || bytes == 0)
        return;
    const Histograms counts = keyHistograms(begin, end);
    SortItem* from = begin;
    SortItem* to = scratch;
    for (int b = 0; b < bytes; ++b) {
        if (!byteVaries(counts[std::size_t(b)], n))
            continue;
        scatterByByte(from, from + n, to, b, counts[std::size_t(b)]);
        std::swap(from, to);
    }
    if (from != begin)
        std::copy(from, from + n, begin);
}

// Rows below this count are sorted on the calling thread alone: a second thread costs more to
// start than it saves.
constexpr std::uint32_t kRowsToSplit = 1u << 16;

// Runs of equal keys from this length on are sorted on their next bytes by radix, not by
// comparison; shorter runs are not worth the radix sort's histograms.
constexpr std::ptrdiff_t kRadixRun = 256;

// For a column of few values: each value number's place among the sorted values, values that
// compare equal (e.g. 'abc' and 'ABC' in a case-insensitive key) sharing one place. Sorting the
// dictionary once turns the index into a counting sort on one byte a row.
std::vector<std::uint64_t> dictionaryRanks(const StoreColumn& column, const IndexKey& key) {
    const std::vector<std::string>& values = column.dictionary;
    std::vector<std::uint32_t> sorted(values.size());
    std::iota(sorted.begin(), sorted.end(), 0u);
    const auto compare = [&](std::uint32_t a, std::uint32_t b) {
        return compareText(values[a], values[b], key.caseInsensitive);
    };
    std::sort(sorted.begin(), sorted.end(),
              [&](std::uint32_t a, std::uint32_t b) { return compare(a, b) < 0; });
    std::vector<std::uint64_t> ranks(values.size());
    std::uint64_t rank = 0;
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        if (i > 0 && compare(sorted[i - 1], sorted[i]) != 0)
            ++rank;
        ranks[sorted[i]] = key.descending ? ~rank : rank;
    }
    return ranks;
}

class IndexSorter {
public:
    IndexSorter(const TColumnStore& store, const std::vector<IndexKey>& keys)
        : m_columns(store.impl().columns), m_keys(keys) {}

    // Whole comparison of two rows over every key, each in its direction; then store order.
    bool less(std::uint32_t a, std::uint32_t b, std::size_t firstKey) const {
        for (std::size_t k = firstKey; k < m_keys.size(); ++k) {
            const IndexKey& key = m_keys[k];
            const int c = compareByKey(m_columns[std::size_t(key.column)], key, a, b);
            if (c != 0)
                return key.descending ? c > 0 : c < 0;
        }
        return a < b;
    }

    // The rows in order. At `rowsToSplit` rows and more, the work is split in two, the second
    // half done on another thread that has finished when this returns.
    std::vector<std::uint32_t> run(std::uint32_t rowCount, std::uint32_t rowsToSplit) const {
        const IndexKey& first = m_keys.front();
        const StoreColumn& column = m_columns[std::size_t(first.column)];
        const bool split = rowCount >= rowsToSplit && rowCount >= 2;
        const bool settleTexts = column.def.type == TFieldType::ftString && !column.isCoded();
        const std::vector<std::uint64_t> ranks =
            column.isCoded() ? dictionaryRanks(column, first) : std::vector<std::uint64_t>();
        if (column.isCoded() && m_keys.size() == 1)
            return countCoded(column, first, ranks, rowCount);

        // Each half of the rows fills its own part of `collected` from the front, its nulls apart,
        // and counts its keys' bytes.
        ItemArray collected(rowCount);
        std::array<std::vector<std::uint32_t>, 2> nulls;
        std::array<std::size_t, 2> filled{};
        std::array<Histograms, 2> counts{};
        const std::uint32_t middle = split ? rowCount / 2 : rowCount;
        inParallel(split, [&](int half) {
            const auto h = std::size_t(half);
            SortItem* const out = collected.begin() + (half == 0 ? 0 : middle);
            filled[h] = collect(column, first, ranks, half == 0 ? 0 : middle, half == 0 ? middle : rowCount,
                                out, nulls[h]);
            counts[h] = keyHistograms(out, out + filled[h]);
        });
        ItemArray items(filled[0] + filled[1]);
        sortItems(collected, filled, middle, counts, items, split, settleTexts, column, first);
        SortItem* const itemsEnd = items.end();

        std::vector<std::uint32_t> nullRows = std::move(nulls[0]);
        nullRows.insert(nullRows.end(), nulls[1].begin(), nulls[1].end());
        std::sort(nullRows.begin(), nullRows.end(),
                  [&](std::uint32_t a, std::uint32_t b) { return less(a, b, 1); });
        std::vector<std::uint32_t> order;
        order.reserve(rowCount);
        if (!first.descending)
            order.insert(order.end(), nullRows.begin(), nullRows.end());
        for (const SortItem* item = items.begin(); item != itemsEnd; ++item)
            order.push_back(item->row);
        if (first.descending)
            order.insert(order.end(), nullRows.begin(), nullRows.end());
        return order;
    }

private:
    using Iterator = SortItem*;

    // A coded column alone (a title touch on a city or a flag): a counting sort of the rows by
    // their values' places, straight into the order. It reads one byte a row and keeps equal
    // values in store order, without the items and passes a general key needs.
    static std::vector<std::uint32_t> countCoded(const StoreColumn& column, const IndexKey& key,
                                                 const std::vector<std::uint64_t>& ranks,
                                                 std::uint32_t rowCount) {
        std::vector<std::uint64_t> places(ranks.size());
        std::uint64_t last = 0;
        for (std::size_t c = 0; c < ranks.size(); ++c) {
            places[c] = key.descending ? ~ranks[c] : ranks[c];
            last = std::max(last, places[c]);
        }
        // Nulls come first ascending and last descending: bucket 0 or last + 2.
        std::array<std::uint32_t, 256> bucketOfCode{};
        for (std::size_t c = 0; c < places.size(); ++c)
            bucketOfCode[c] = std::uint32_t(key.descending ? last - places[c] : places[c] + 1);
        const std::uint32_t nullBucket = key.descending ? std::uint32_t(last + 1) : 0;
        const auto bucketOf = [&](std::uint32_t row) {
            return column.isNull(row) ? nullBucket : bucketOfCode[column.codes[row]];
        };
        std::vector<std::uint32_t> starts(std::size_t(last) + 3, 0);
        for (std::uint32_t row = 0; row < rowCount; ++row)
            ++starts[bucketOf(row) + 1];
        for (std::size_t b = 1; b < starts.size(); ++b)
            starts[b] += starts[b - 1];
        std::vector<std::uint32_t> order(rowCount);
        for (std::uint32_t row = 0; row < rowCount; ++row)
            order[starts[bucketOf(row)]++] = row;
        return order;
    }

    // Sorts the collected items (each half's `filled` from its start, the second half's at
    // `middle`, with their byte counts) into `items` by their whole first key. The highest key
    // byte that differs splits them into up to 256 buckets that need no more merging: each half
    // moves its items into the buckets, then the two threads each sort and settle a share of the
    // buckets on the lower bytes, with `collected` as their scratch space.
    void sortItems(ItemArray& collected, const std::array<std::size_t, 2>& filled, std::uint32_t middle,
                   const std::array<Histograms, 2>& counts, ItemArray& items, bool split, bool settleTexts,
                   const StoreColumn& column, const IndexKey& first) const {
        const std::size_t n = items.size;
        Histograms total{};
        for (std::size_t b = 0; b < 8; ++b)
            for (std::size_t v = 0; v < 256; ++v)
                total[b][v] = counts[0][b][v] + counts[1][b][v];
        int top = 7;
        while (top >= 0 && !byteVaries(total[std::size_t(top)], n))
            --top;
        // Every key equal makes one bucket, of byte 0.
        const int by = std::max(top, 0);
        const std::array<std::uint32_t, 256> starts = bucketStarts(total[std::size_t(by)]);
        inParallel(split, [&](int half) {
            const auto h = std::size_t(half);
            std::array<std::uint32_t, 256> next = starts;
            if (half == 1) {
                for (std::size_t v = 0; v < 256; ++v)
                    next[v] += counts[0][std::size_t(by)][v];
            }
            const SortItem* const from = collected.begin() + (half == 0 ? 0 : middle);
            scatterTo(from, from + filled[h], items.begin(), by, next);
        });
        const auto bucketEnd = [&](std::size_t v) { return v == 255 ? n : std::size_t(starts[v + 1]); };
        // The bucket where the second thread's share begins: the rows split about evenly.
        std::size_t middleBucket = 0;
        while (middleBucket < 256 && bucketEnd(middleBucket) <= n / 2)
            ++middleBucket;
        SortItem* const begin = items.begin();
        SortItem* const scratch = collected.begin();
        inParallel(split, [&](int half) {
            const std::size_t from = split ? (half == 0 ? 0 : middleBucket) : 0;
            const std::size_t to = split ? (half == 0 ? middleBucket : 256) : 256;
            for (std::size_t v = from; v < to; ++v) {
                SortItem* const b = begin + starts[v];
                SortItem* const e = begin + bucketEnd(v);
                if (e - b < 2)
                    continue;
                radixSortLowBytes(b, e, scratch + starts[v], by);
                if (settleTexts)
                    forEachRun(b, e, [&](Iterator rb, Iterator re) {
                        settleRun(rb, re, scratch + (rb - begin), column, first, 0);
                    });
                else if (m_keys.size() > 1)
                    settleFurtherKeys(b, e);
            }
        });
    }

    // Fills `out` with the items of rows [from, to) and `nulls` with those that are null; returns
    // how many items it wrote.
    static std::size_t collect(const StoreColumn& column, const IndexKey& first,
                               const std::vector<std::uint64_t>& ranks, std::uint32_t from, std::uint32_t to,
                               SortItem* out, std::vector<std::uint32_t>& nulls) {
        if (column.isCoded())
            return collectCodedItems(column, ranks, from, to, out, nulls);
        if (column.def.type == TFieldType::ftString)
            return collectTextItems(column, first, from, to, out, nulls);
        return collectItems(column, first, from, to, out, nulls);
    }

    static std::size_t collectItems(const StoreColumn& column, const IndexKey& first, std::uint32_t from,
                                    std::uint32_t to, SortItem* out, std::vector<std::uint32_t>& nulls) {
        SortItem* next = out;
        for (std::uint32_t row = from; row < to; ++row) {
            if (column.isNull(row))
                nulls.push_back(row);
            else
                *next++ = {first.descending ? ~sortKey(column, first, row) : sortKey(column, first, row), row,
                           0, 0};
        }
        return std::size_t(next - out);
    }

    static std::size_t collectTextItems(const StoreColumn& column, const IndexKey& first, std::uint32_t from,
                                        std::uint32_t to, SortItem* out, std::vector<std::uint32_t>& nulls) {
        const std::uint64_t flip = first.descending ? ~std::uint64_t(0) : 0;
        SortItem* next = out;
        for (std::uint32_t row = from; row < to; ++row) {
            if (column.isNull(row)) {
                nulls.push_back(row);
                continue;
            }
            const std::string_view text = column.string(row);
            *next++ = {textKey(text, first.caseInsensitive, 0) ^ flip, row, std::uint32_t(text.size()),
                       textKey(text, first.caseInsensitive, 1) ^ flip};
        }
        return std::size_t(next - out);
    }

    // A coded column's key is the whole value's rank, so equal keys are equal values and only
    // further keys are left to settle.
    static std::size_t collectCodedItems(const StoreColumn& column, const std::vector<std::uint64_t>& ranks,
                                         std::uint32_t from, std::uint32_t to, SortItem* out,
                                         std::vector<std::uint32_t>& nulls) {
        const std::uint8_t* codes = column.codes.data();
        SortItem* next = out;
        for (std::uint32_t row = from; row < to; ++row) {
            if (column.isNull(row))
                nulls.push_back(row);
            else
                *next++ = {ranks[codes[row]], row, 0, 0};
        }
        return std::size_t(next - out);
    }

    // Numbers and Booleans: the key is the whole first value, and the radix sort keeps equal keys
    // in row order; with further keys, each run of equal keys is sorted on them.
    void settleFurtherKeys(Iterator from, Iterator to) const {
        forEachRun(from, to, [&](Iterator begin, Iterator end) {
            std::sort(begin, end,
                      [&](const SortItem& a, const SortItem& b) { return less(a.row, b.row, 1); });
        });
    }

    // Calls `settle` on every run of two or more items with equal keys.
    template <class Settle> static void forEachRun(Iterator begin, Iterator end, Settle settle) {
        for (Iterator run = begin; run != end;) {
            const Iterator runEnd =
                std::find_if(run, end, [&](const SortItem& i) { return i.key != run->key; });
            if (runEnd - run > 1)
                settle(run, runEnd);
            run = runEnd;
        }
    }

    // Texts, after the first 8 bytes: runs of equal keys are sorted again on their next 8 bytes
    // (read once a row, not once a comparison) until every text of a run has been read whole;
    // such a run is settled by the full comparison, which ends on the row number.
    // `scratch` holds as many items as the run, for the radix sort of long runs (a common first
    // name and surname shares its first 16 bytes with hundreds of thousands of rows).
    void sortTexts(Iterator begin, Iterator end, SortItem* scratch, const StoreColumn& column,
                   const IndexKey& key, std::size_t depth) const {
        if (end - begin >= kRadixRun)
            radixSortLowBytes(begin, end, scratch, 8);
        else
            std::sort(begin, end, [](const SortItem& a, const SortItem& b) { return a.key < b.key; });
        forEachRun(begin, end, [&](Iterator b, Iterator e) {
            settleRun(b, e, scratch + (b - begin), column, key, depth);
        });
    }

    void settleRun(Iterator begin, Iterator end, SortItem* scratch, const StoreColumn& column,
                   const IndexKey& key, std::size_t depth) const {
        const std::size_t read = (depth + 1) * 8;
        const bool allRead = std::all_of(begin, end, [&](const SortItem& i) { return i.length <= read; });
        if (allRead) {
            // Every byte was in the keys, which were equal: the texts differ at most in trailing
            // zero bytes, so the shorter comes first, then further keys and store order decide.
            // With no further key, equal lengths are equal texts, which keep store order.
            const bool lastKey = m_keys.size() == 1;
            std::sort(begin, end, [&](const SortItem& a, const SortItem& b) {
                if (a.length != b.length)
                    return key.descending ? a.length > b.length : a.length < b.length;
                return lastKey ? a.row < b.row : less(a.row, b.row, 1);
            });
            return;
        }
        if (depth == 0) {
            for (Iterator i = begin; i != end; ++i)
                i->key = i->next;
        } else {
            readKeys(begin, end, column, key, depth + 1);
        }
        sortTexts(begin, end, scratch, column, key, depth + 1);
    }

    // Sets each item's key to its text's bytes 8 * depth on. The rows of a run lie anywhere in
    // the text arena, and reading them one after another waits on memory for every row: asking
    // for the offsets of rows well ahead and for the text of rows a little ahead (whose offsets
    // have arrived by then) keeps many reads in flight at once, several times as fast at 10M rows.
    static void readKeys(Iterator begin, Iterator end, const StoreColumn& column, const IndexKey& key,
                         std::size_t depth) {
        constexpr std::ptrdiff_t kOffsetsAhead = 16;
        constexpr std::ptrdiff_t kTextAhead = 8;
        const std::uint32_t* offsets = column.offsets.data();
        const char* bytes = column.bytes.data();
        for (Iterator i = begin; i != end; ++i) {
            if (end - i > kOffsetsAhead)
                __builtin_prefetch(offsets + i[kOffsetsAhead].row);
            if (end - i > kTextAhead)
                __builtin_prefetch(bytes + offsets[i[kTextAhead].row] + depth * 8);
            const std::uint64_t next = textKey(column.string(i->row), key.caseInsensitive, depth);
            i->key = key.descending ? ~next : next;
        }
    }

    const std::vector<StoreColumn>& m_columns;
    const std::vector<IndexKey>& m_keys;
};

} // namespace

std::vector<std::uint32_t> buildIndexOrder(const TColumnStore& store, const std::vector<IndexKey>& keys) {
    if (keys.empty()) {
        std::vector<std::uint32_t> order(std::size_t(store.rowCount()));
        std::iota(order.begin(), order.end(), 0u);
        return order;
    }
    return buildIndexOrder(store, keys, kRowsToSplit);
}

std::vector<std::uint32_t> buildIndexOrder(const TColumnStore& store, const std::vector<IndexKey>& keys,
                                           std::uint32_t rowsToSplit) {
    if (keys.empty())
        return buildIndexOrder(store, keys);
    return IndexSorter(store, keys).run(std::uint32_t(store.rowCount()), rowsToSplit);
}

} // namespace qmr
