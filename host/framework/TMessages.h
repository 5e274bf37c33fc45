#pragma once
#include <qmr41726/QmrRuntimeExport.h>
#include <qmr41726/ui/forms/Layout.h>

#include <vector>

namespace qmr {

/// A list of keyed texts, each line "key|text".
class QMR_RUNTIME_EXPORT TMessages : public TComponent {
public:
    ~TMessages() override;
    /// The lines, each "key|text", Windows-1252.
    ///@{
    const std::vector<AnsiString>& messages() const noexcept { return m_messages; }
    void setMessages(std::vector<AnsiString> lines) { m_messages = std::move(lines); }
    ///@}
    /// The text for `key` (a-z case ignored), or "" when no line has it.
    AnsiString text(std::string_view key) const;
    /// "Messages.Strings" (or "Messages"): the lines as one text, separated by '\n'.
    bool setProperty(std::string_view name, const TPropertyValue& value, TEventBinder& events);

private:
    std::vector<AnsiString> m_messages;
};

} // namespace qmr
