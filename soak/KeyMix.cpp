#include "KeyMix.h"

#include <stdexcept>

namespace {

const char* const kRowButtons[] = {"sbtPrimeiro", "sbtRolarCima", "sbtRolarBaixo", "sbtUltimo"};

} // namespace

KeyMix::KeyMix(std::vector<std::string> names, std::uint64_t seed)
    : m_names(std::move(names)), m_random(seed) {
    if (m_names.empty())
        throw std::invalid_argument("the key mix needs at least one name to type");
}

std::string KeyMix::next(const std::string& searchText) {
    // One key in five moves through the rows, one in eight takes a character back, one in
    // thirty-two clears; the rest type.
    const std::uint32_t roll = m_random.below(160);
    if (roll < 32)
        return kRowButtons[roll % 4];
    if (roll < 52)
        return "sbtBackSpace";
    if (roll < 57)
        return "sbtLimpar";
    return typeTowardsTarget(searchText);
}

std::string KeyMix::typeTowardsTarget(const std::string& text) {
    if (text.empty() || m_target.empty())
        m_target = m_names[m_random.below(std::uint32_t(m_names.size()))];
    // A text that has left the target, or has reached its end, is taken back as a user would.
    if (text.size() >= m_target.size())
        return "sbtLimpar";
    if (m_target.compare(0, text.size(), text) != 0)
        return "sbtBackSpace";
    return keyFor(m_target[text.size()]);
}

std::string keyFor(char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return std::string("sbt") + c;
    switch (c) {
    case ' ':
        return "sbtEspaco";
    case ',':
        return "sbtVirgula";
    case '.':
        return "sbtPonto";
    case '/':
        return "sbtBarra";
    case '\\':
        return "sbtContraBarra";
    case '_':
        return "sbt_";
    default:
        return "";
    }
}
