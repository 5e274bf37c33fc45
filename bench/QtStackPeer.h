#pragma once
// The peer a Qt developer would write for the search screen: a table model over the rows, a
// QSortFilterProxyModel with an anchored case-insensitive prefix on the search column, sorted by
// it, shown in a QTableView of the screen's size. A keystroke is timed with the view's update.

#include "RowGenerator.h"
#include "SearchSteps.h"

#include <memory>
#include <vector>

/// The model, the proxy and the shown view over `rows` (which must outlive the peer). Needs a
/// QApplication.
class QtStackPeer {
public:
    explicit QtStackPeer(const std::vector<BenchRow>& rows);
    ~QtStackPeer();
    QtStackPeer(const QtStackPeer&) = delete;
    QtStackPeer& operator=(const QtStackPeer&) = delete;

    /// Sets the proxy's filter to rows whose NOME begins with `text` (any case) and Ativo 'S',
    /// lets the view lay out and repaint, and reads what the view shows first.
    StepResult search(const std::string& text);

private:
    struct Parts;
    std::unique_ptr<Parts> m_parts;
};
