#include <qmr41726/framework/TMessages.h>

#include <qmr41726/ui/forms/PropertyValues.h>

namespace qmr {

TMessages::~TMessages() = default;

namespace {

std::vector<AnsiString> splitLines(std::string_view text) {
    std::vector<AnsiString> lines;
    if (text.empty())
        return lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find('\n', start);
        lines.emplace_back(text.substr(start, end - start));
        if (end == std::string_view::npos)
            return lines;
        start = end + 1;
    }
}

} // namespace

AnsiString TMessages::text(std::string_view key) const {
    const AnsiString wanted = UpperCase(key);
    for (const AnsiString& line : m_messages) {
        const std::size_t bar = line.find('|');
        if (bar != AnsiString::npos && UpperCase(std::string_view(line).substr(0, bar)) == wanted)
            return line.substr(bar + 1);
    }
    return {};
}

bool TMessages::setProperty(std::string_view name, const TPropertyValue& value, TEventBinder&) {
    if (name != "Messages.Strings" && name != "Messages")
        return false;
    setMessages(splitLines(textValue(name, value)));
    return true;
}

} // namespace qmr
