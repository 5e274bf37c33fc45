#include "PlainPeer.h"

#include <qmr41726/rtl/AnsiString.h>

#include <algorithm>

using namespace qmr;

namespace {

bool startsWithUpper(const std::string& value, const std::string& upperPrefix) {
    if (value.size() < upperPrefix.size())
        return false;
    for (std::size_t i = 0; i < upperPrefix.size(); ++i) {
        if (upperAnsi(value[i]) != upperPrefix[i])
            return false;
    }
    return true;
}

} // namespace

PlainPeer::PlainPeer(std::vector<BenchRow> rows) : m_rows(std::move(rows)) {
    std::stable_sort(m_rows.begin(), m_rows.end(),
                     [](const BenchRow& a, const BenchRow& b) { return a.nome < b.nome; });
}

StepResult PlainPeer::search(const std::string& text) {
    const std::string prefix = UpperCase(text);
    m_found.clear();
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        const BenchRow& row = m_rows[i];
        if (row.ativo == "S" && startsWithUpper(row.nome, prefix))
            m_found.push_back(std::uint32_t(i));
    }
    StepResult result;
    result.count = (long long)m_found.size();
    if (!m_found.empty())
        result.firstNome = m_rows[m_found.front()].nome;
    return result;
}
