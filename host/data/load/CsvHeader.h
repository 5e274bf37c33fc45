#pragma once
// The first line of a CSV file names the fields and may type them:
// `CODIGO:integer,DESCRICAO:string(40),PRECO:float,ATIVO:string(1),ID:integer:hidden`.

#include <qmr41726/data/load/CsvReader.h>
#include <qmr41726/data/store/TFieldDef.h>

#include <vector>

namespace qmr {

/// Reads the header's entries `NAME[:type][:hidden]`, one field each. Types: integer, float,
/// boolean, datetime, string(n) and string; a string without a size, typed or not, has size 0
/// and is sized by its data (TextColumnSizes).
/// Raises EDatabaseError naming the column for an empty or repeated name (a-z case ignored) and
/// for an unknown type or size.
std::vector<TFieldDef> parseCsvHeader(const std::vector<CsvField>& entries, const std::string& sourceName);

} // namespace qmr
