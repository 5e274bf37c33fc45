#include "SearchSteps.h"

#include <qmr41726/rtl/AnsiString.h>

using namespace qmr;

const std::vector<SearchStep>& searchSequence() {
    static const std::vector<SearchStep> sequence = {
        {"J", "J"}, {"O", "JO"}, {"S", "JOS"}, {"E", "JOSE"}, {"Backspace", "JOS"}, {"Delete", ""},
    };
    return sequence;
}

namespace {

std::string joined(const std::string& base, const std::string& condition) {
    return base.empty() ? condition : base + " AND " + condition;
}

} // namespace

std::string clientFilterExpression(const std::string& base, const std::string& indexName,
                                   const std::string& text) {
    if (text.empty())
        return base;
    return joined(base, "UPPER(" + indexName + ") LIKE '" + UpperCase(text) + "%'");
}

std::string plainFilterExpression(const std::string& base, const std::string& column,
                                  const std::string& text) {
    if (text.empty())
        return base;
    return joined(base, column + " LIKE '" + UpperCase(text) + "%'");
}
