#pragma once
// The data-set work of one keystroke and of the set-up, done the way the search screen does it.

#include "SearchSteps.h"

#include <string>

namespace qmr {
class TDataSet;
class TClientDataSet;
} // namespace qmr

/// Sets the filter text, switches Filtered off, then on again unless the text is empty, and
/// reads what the grid needs first: the row count and the first visible row's NOME.
StepResult applyFilterAsTheScreen(qmr::TDataSet& dataSet, const std::string& expression);

/// The set-up's data-set work: one index definition per visible field named after it (all old
/// ones deleted first), index definition 1 made active, the first row made current.
void prepareAsTheScreen(qmr::TClientDataSet& dataSet);

/// Runs a few unrelated filters, so that the data set no longer remembers the results of the
/// last round: repeating the same texts would otherwise time a lookup, not a search.
void runOtherSearches(qmr::TDataSet& dataSet);

/// Makes `indexName` the active index and reads the first visible row, as a title click and the
/// grid's repaint after it do.
void switchIndex(qmr::TClientDataSet& dataSet, const std::string& indexName);
