#pragma once
// How every loader sizes its text columns. A text column declared with a length (VARCHAR(30),
// `string(30)` in a CSV header) keeps it and refuses a longer value; one declared without (TEXT, an
// untyped CSV column, an SQLite expression) takes the length of its longest value when the load
// ends, at least 1, because a search column takes as many characters as its field's size.
//
// Inline, so that the SQL loader, a library of its own above the runtime, sizes its columns by the
// same rule without the runtime exporting it.

#include <qmr41726/data/store/TColumnStore.h>
#include <qmr41726/rtl/MessageText.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace qmr {

/// The declared and the reached lengths of a load's text columns.
class TextColumnSizes {
public:
    /// One entry a field of `fields`, in order; only string fields are sized.
    explicit TextColumnSizes(const std::vector<TFieldDef>& fields) {
        m_columns.reserve(fields.size());
        for (const TFieldDef& field : fields)
            m_columns.push_back({field.type == TFieldType::ftString && field.size == 0, field.size, 0});
    }

    /// Counts a value of `length` characters in string column `column`. Returns the words saying it
    /// is too long for a declared length, "'abcd' has 4 characters; <holder> holds at most 3"
    /// (`value` quoted by an excerpt), or an empty string when it fits.
    std::string add(int column, std::string_view value, std::string_view holder = "the column") {
        Column& sizes = m_columns[std::size_t(column)];
        const int length = int(value.size());
        if (!sizes.byData && length > sizes.declared)
            return quotedExcerpt(value) + " has " + std::to_string(length) + " characters; " +
                   std::string(holder) + " holds at most " + std::to_string(sizes.declared);
        sizes.longest = std::max(sizes.longest, length);
        return {};
    }

    /// Gives every column declared without a length the length of its longest value, at least 1.
    void applyTo(TColumnStoreBuilder& builder) const {
        for (std::size_t i = 0; i < m_columns.size(); ++i) {
            if (m_columns[i].byData)
                builder.setFieldSize(int(i), std::max(1, m_columns[i].longest));
        }
    }

private:
    struct Column {
        /// Declared without a length: sized by its longest value.
        bool byData = false;
        int declared = 0;
        int longest = 0;
    };
    std::vector<Column> m_columns;
};

} // namespace qmr
