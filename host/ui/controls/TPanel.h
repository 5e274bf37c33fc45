#pragma once
#include <qmr41726/QmrRuntimeExport.h>
#include <qmr41726/ui/controls/TControl.h>

namespace qmr {

/// A plain panel: a viewport that clips its children to its client area. Its caption is kept
/// but not drawn; the panel never takes the focus itself, its controls do.
class QMR_RUNTIME_EXPORT TPanel : public TWinControl {
public:
    TPanel();
    /// The caption the layout gives; kept, never drawn.
    ///@{
    const AnsiString& caption() const noexcept { return m_caption; }
    void setCaption(const AnsiString& caption) { m_caption = caption; }
    ///@}
    bool setProperty(std::string_view name, const TPropertyValue& value, TEventBinder& events) override;

private:
    AnsiString m_caption;
};

} // namespace qmr
