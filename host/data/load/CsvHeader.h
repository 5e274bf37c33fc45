#pragma once
// The first line of a CSV file names the fields and may type them:
// `CODIGO:integer,DESCRICAO:string(40),PRECO:float,ATIVO:string(1),ID:integer:hidden`.

#include <qmr41726/data/load/CsvReader.h>
#include <qmr41726/data/store/TFieldDef.h>

#include <vector>

namespace qmr {

/// One column as the header declares it.
struct CsvColumn {
    TFieldDef def;
    /// A string column without a declared size: it is sized to its longest value after the load.
    bool sizedByData = false;
};

/// Reads the header's entries `NAME[:type][:hidden]`. Types: integer, float, boolean, datetime,
/// string(n) and string (sized by the data); an untyped entry is a string sized by the data.
/// Raises EDatabaseError naming the column for an empty or repeated name (a-z case ignored) and
/// for an unknown type or size.
std::vector<CsvColumn> parseCsvHeader(const std::vector<CsvField>& entries, const std::string& sourceName);

} // namespace qmr
