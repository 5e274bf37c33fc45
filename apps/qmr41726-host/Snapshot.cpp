#include "Snapshot.h"

#include <qmr41726/data/dataset/TDataSet.h>
#include <qmr41726/framework/controls/TBlendedButton.h>
#include <qmr41726/ui/controls/TEdit.h>
#include <qmr41726/ui/forms/TForm.h>
#include <qmr41726/ui/grid/TDBGrid.h>

#include <QApplication>

using namespace qmr;

namespace {

QJsonValue utf8(const AnsiString& text) {
    return QString::fromStdString(ansiToUtf8(text));
}

QJsonValue searchText(const TForm& form) {
    const auto* edit = dynamic_cast<const TEdit*>(form.findComponent("edtFiltro"));
    return edit ? utf8(edit->text()) : QJsonValue();
}

/// The field of the column whose title is drawn purple: the search column.
QJsonValue searchColumn(const TForm& form) {
    const auto* grid = dynamic_cast<const TDBGrid*>(form.findComponent("dbgPesquisa"));
    if (!grid)
        return {};
    for (int i = 0; i < grid->columnCount(); ++i) {
        if (grid->column(i)->titleFontColor() == clPurple)
            return utf8(grid->column(i)->fieldName());
    }
    return {};
}

QJsonValue caption(const TForm& form, const char* name) {
    const auto* button = dynamic_cast<const TBlendedButton*>(form.findComponent(name));
    return button ? utf8(button->caption()) : QJsonValue();
}

QJsonValue enabled(const TForm& form, const char* name) {
    const auto* control = dynamic_cast<const TControl*>(form.findComponent(name));
    return control ? QJsonValue(control->enabled()) : QJsonValue();
}

/// The focused control: the application's focus while the screen is active, else the control that
/// last had the focus in the screen's window (as the screen closes its window is already hidden).
QJsonValue focus(const TForm& form) {
    const QWidget* focused = QApplication::focusWidget();
    if (!focused || focused->window() != form.widget()->window())
        focused = form.widget()->focusWidget();
    const TControl* control = Snapshot::controlOfWidget(form, focused);
    return control ? utf8(control->name()) : QJsonValue();
}

/// How many widget parents lie between `widget` and `ancestor`, or -1 when it is not one.
int distance(const QWidget* widget, const QWidget* ancestor) {
    int steps = 0;
    for (; widget; widget = widget->parentWidget(), ++steps) {
        if (widget == ancestor)
            return steps;
    }
    return -1;
}

void closestControl(const TComponent& owner, const QWidget* widget, TControl*& best, int& bestDistance) {
    for (int i = 0; i < owner.componentCount(); ++i) {
        TComponent* component = owner.component(i);
        if (auto* control = dynamic_cast<TControl*>(component)) {
            const int d = distance(widget, control->widget());
            if (d >= 0 && (bestDistance < 0 || d < bestDistance)) {
                best = control;
                bestDistance = d;
            }
        }
        closestControl(*component, widget, best, bestDistance);
    }
}

} // namespace

TControl* Snapshot::controlOfWidget(const TComponent& owner, const QWidget* widget) {
    TControl* best = nullptr;
    int bestDistance = -1;
    if (widget)
        closestControl(owner, widget, best, bestDistance);
    return best;
}

QJsonObject Snapshot::take(const TForm& form, const TDataSet* dataSet) {
    return QJsonObject{
        {"searchText", searchText(form)},
        {"searchColumn", searchColumn(form)},
        {"sbtA", caption(form, "sbtA")},
        {"sbtCCdil", caption(form, "sbtCCdil")},
        {"sbtEnter", caption(form, "sbtEnter")},
        {"enterEnabled", enabled(form, "sbtEnter")},
        {"focus", focus(form)},
        {"rows", dataSet ? QJsonValue(dataSet->recordCount()) : QJsonValue()},
    };
}
