#pragma once
// Times the catalogue's local copy: writing the loaded rows to a file, and opening that file again
// with the file in the page cache (warm) and dropped from it (cold), and the memory an open takes.

#include "BenchReport.h"

#include <qmr41726/data/store/TColumnStore.h>

#include <memory>

/// Fills the copy's figures of `report` from a copy of `store` written to a temporary file.
void runCopyBench(const std::shared_ptr<const qmr::TColumnStore>& store, BenchReport& report);
