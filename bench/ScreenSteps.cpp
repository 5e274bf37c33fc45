#include "ScreenSteps.h"

#include <qmr41726/data/dataset/TClientDataSet.h>

using namespace qmr;

StepResult applyFilterAsTheScreen(TDataSet& dataSet, const std::string& expression) {
    dataSet.setFilter(expression);
    dataSet.setFiltered(false);
    if (!dataSet.filter().empty())
        dataSet.setFiltered(true);
    StepResult result;
    result.count = dataSet.recordCount();
    if (result.count > 0)
        result.firstNome = dataSet.text(0, dataSet.fieldByName(kSearchColumn).index());
    return result;
}

void runOtherSearches(TDataSet& dataSet) {
    // More than the data layer keeps; no other search refines CODIGO = -n.
    constexpr int kOtherSearches = 16;
    for (int n = 1; n <= kOtherSearches; ++n)
        applyFilterAsTheScreen(dataSet, "CODIGO = -" + std::to_string(n));
}

void prepareAsTheScreen(TClientDataSet& dataSet) {
    TIndexDefs& defs = dataSet.indexDefs();
    while (defs.count() > 0)
        defs.remove(0);
    for (int i = 0; i < dataSet.fieldCount(); ++i) {
        const TField* field = dataSet.field(i);
        if (field->visible())
            defs.add(field->fieldName(), field->fieldName(), 0);
    }
    dataSet.setIndexName(defs.item(1).name());
    dataSet.first();
}

void switchIndex(TClientDataSet& dataSet, const std::string& indexName) {
    dataSet.setIndexName(indexName);
    if (dataSet.recordCount() > 0)
        (void)dataSet.text(0, dataSet.fieldByName(kSearchColumn).index());
}
