#pragma once
// The plain peer: what a developer writes without a data layer, a sorted vector of structs.

#include "RowGenerator.h"
#include "SearchSteps.h"

#include <cstdint>
#include <vector>

/// The rows sorted by NOME (stable, by bytes), searched by a loop that upper-cases and compares
/// the prefix of every active row's name.
class PlainPeer {
public:
    explicit PlainPeer(std::vector<BenchRow> rows);

    /// Active rows whose upper-cased NOME starts with the upper-cased text, in NOME order.
    StepResult search(const std::string& text);

private:
    std::vector<BenchRow> m_rows;
    /// Positions of the last search's rows, kept so that the loop does what a grid's feed would.
    std::vector<std::uint32_t> m_found;
};
