#pragma once
// The CSV loader's entry point over any source of bytes; loadCsvFile and loadCsvText (Loaders.h)
// are this over a file and over text in memory.

#include <qmr41726/data/load/CsvReader.h>
#include <qmr41726/data/load/Loaders.h>
#include <qmr41726/data/store/TColumnStore.h>

#include <memory>
#include <string>

namespace qmr {

/// Loads the CSV read from `source`, `chunkBytes` at a time. The store exists only once the whole
/// source has been read and found unchanged (ByteSource::checkUnchanged); an error while reading
/// a source that changed meanwhile reports the change instead, and an allocation failure becomes
/// an EDatabaseError naming the line. `sourceName` names the source in error messages. The rows
/// are held to `limits`' memory bound.
std::shared_ptr<const TColumnStore> loadCsvFrom(ByteSource& source, const std::string& sourceName,
                                                std::size_t chunkBytes = CsvReader::kChunkBytes,
                                                const LoadLimits& limits = LoadLimits{});

} // namespace qmr
