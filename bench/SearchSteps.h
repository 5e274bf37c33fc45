#pragma once
// The typed sequence every peer runs, and the filter expressions the search screen builds for it.

#include <string>
#include <vector>

/// One keystroke of the sequence: the key touched and the search text it leaves.
struct SearchStep {
    std::string key;
    std::string text;
};

/// J, O, S, E, then Backspace (back to JOS) and Delete (the base filter alone).
const std::vector<SearchStep>& searchSequence();

/// What a step found: how many rows, and the name on the first one in the view's order.
struct StepResult {
    long long count = 0;
    std::string firstNome;

    bool operator==(const StepResult&) const = default;
};

/// The base filter the client data set carries during the search.
inline const std::string kBaseFilter = "Ativo = 'S'";
/// The search column, which is also the client data set's active index.
inline const std::string kSearchColumn = "NOME";

/// The expression the screen hands a client data set: base, " AND ", UPPER(index) LIKE 'TEXT%';
/// the base filter alone for an empty text.
std::string clientFilterExpression(const std::string& base, const std::string& indexName,
                                   const std::string& text);
/// The expression for any other data set: base, " AND ", column LIKE 'TEXT%' (column unchanged).
std::string plainFilterExpression(const std::string& base, const std::string& column,
                                  const std::string& text);
