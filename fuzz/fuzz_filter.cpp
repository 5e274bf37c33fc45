// Random filter texts over a small client data set with a field of each type and null cells: the
// data set either shows the rows the filter accepts or rejects the text with EDatabaseError, and a
// rejected text changes nothing (rows shown, current row, filter text, Filtered switch).
//
// The first input byte picks how the filter is handed over (text while filtered, or text first and
// Filtered switched on after), an active index and the current row; the rest is the filter text.

#include <qmr41726/data/dataset/TClientDataSet.h>
#include <qmr41726/data/store/TColumnStore.h>
#include <qmr41726/rtl/Exception.h>

#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace qmr;

namespace {

void require(bool condition) {
    if (!condition)
        std::abort();
}

std::shared_ptr<const TColumnStore> smallStore() {
    std::vector<TFieldDef> fields(5);
    fields[0] = {"CODIGO", TFieldType::ftInteger, 0, true, ""};
    fields[1] = {"NOME", TFieldType::ftString, 12, true, ""};
    fields[2] = {"PRECO", TFieldType::ftFloat, 0, true, ""};
    fields[3] = {"ATIVO", TFieldType::ftBoolean, 0, true, ""};
    fields[4] = {"DATA", TFieldType::ftDateTime, 0, false, ""};
    TColumnStoreBuilder builder(fields);
    const char* names[] = {"alfa", "Beta", "", "ÇÉU", "gama 1", "delta%_", "'q'"};
    for (int row = 0; row < 7; ++row) {
        builder.appendInteger(0, row * 7 - 10);
        row == 2 ? builder.appendNull(1) : builder.appendString(1, names[row]);
        row == 4 ? builder.appendNull(2) : builder.appendFloat(2, row * 1.25 - 2);
        row == 5 ? builder.appendNull(3) : builder.appendBoolean(3, row % 2 == 0);
        row == 6 ? builder.appendNull(4) : builder.appendDateTime(4, 45000.5 + row);
        builder.endRow();
    }
    return builder.finish();
}

struct Snapshot {
    int recordCount;
    int recNo;
    AnsiString filter;
    bool filtered;
    AnsiString current;

    explicit Snapshot(const TDataSet& data)
        : recordCount(data.recordCount()), recNo(data.recNo()), filter(data.filter()),
          filtered(data.filtered()),
          current(data.recNo() > 0 ? data.text(data.recNo() - 1, 0) : AnsiString()) {}
    bool operator==(const Snapshot&) const = default;
};

/// Walks the rows shown: as many as recordCount says, each one readable.
void walk(TDataSet& data) {
    int rows = 0;
    for (data.first(); !data.eof(); data.next()) {
        for (int f = 0; f < data.fieldCount(); ++f)
            (void)data.text(data.recNo() - 1, f);
        require(++rows <= data.recordCount());
    }
    require(rows == data.recordCount());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    static const auto store = smallStore();
    const std::uint8_t mode = data[0];
    const AnsiString text(reinterpret_cast<const char*>(data + 1), size - 1);

    TClientDataSet cds(store);
    cds.indexDefs().add("ixNome", "NOME", unsigned(TIndexOption::ixCaseInsensitive));
    cds.open();
    if (mode & 1)
        cds.setIndexName("ixNome");
    cds.setRecNo(1 + (mode >> 4) % 7);
    const bool textFirst = mode & 2;
    if (!textFirst)
        cds.setFiltered(true);

    const Snapshot before(cds);
    try {
        cds.setFilter(text);
        if (textFirst)
            cds.setFiltered(true);
    } catch (const EDatabaseError&) {
        if (textFirst)
            require(!cds.filtered() && cds.filter() == text && cds.recordCount() == before.recordCount);
        else
            require(Snapshot(cds) == before);
        return 0;
    }
    require(cds.filter() == text && cds.recordCount() <= store->rowCount());
    walk(cds);
    cds.setFilter("");
    require(cds.recordCount() == store->rowCount());
    return 0;
}
