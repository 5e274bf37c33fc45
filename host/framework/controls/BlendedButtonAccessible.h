#pragma once
// What assistive tools see of the painted keys: a push button named by its caption (or by its
// accessible name, for keys that show a glyph or nothing), with its pressed, disabled and, for
// keys that stand for a state, checked state, and a press action that clicks it.

#include <QAccessibleWidget>

namespace qmr {

class TBlendedButton;

/// The accessible face of a TBlendedButton's widget.
class BlendedButtonAccessible : public QAccessibleWidget {
public:
    explicit BlendedButtonAccessible(QWidget* widget);
    QString text(QAccessible::Text kind) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;

private:
    /// The key behind the widget, or nullptr once the key is gone.
    TBlendedButton* key() const;
};

/// Makes Qt's accessibility ask BlendedButtonAccessible for the keys' widgets. Installing it again
/// changes nothing.
void installBlendedButtonAccessible();

} // namespace qmr
