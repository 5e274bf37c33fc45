#pragma once
// A snapshot of the search screen as the host reports it: what the user sees of the search.

#include <QJsonObject>

class QWidget;
namespace qmr {
class TComponent;
class TControl;
class TDataSet;
class TForm;
} // namespace qmr

/// Reads the screen's state through the runtime's components, never through the module's code.
class Snapshot {
public:
    /// The screen now: "searchText", "searchColumn", "sbtA", "sbtCCdil", "enterEnabled", "focus"
    /// and "rows" (the record count of `dataSet`; null without one). Missing components give null.
    static QJsonObject take(const qmr::TForm& form, const qmr::TDataSet* dataSet);

    /// The control of `owner`'s tree whose widget is `widget` or holds it most closely, or nullptr.
    static qmr::TControl* controlOfWidget(const qmr::TComponent& owner, const QWidget* widget);
};
