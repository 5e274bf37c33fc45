#include <qmr41726/ui/controls/TEdit.h>

#include <qmr41726/ui/QtText.h>
#include <qmr41726/ui/RepresentableText.h>
#include <qmr41726/ui/forms/PropertyValues.h>

#include <QLineEdit>

namespace qmr {

TEdit::TEdit() : TWinControl(std::make_unique<QLineEdit>()) {
    QLineEdit* edit = lineEdit();
    edit->setFocusPolicy(Qt::StrongFocus);
    // No context menu: its Paste and Delete would edit a box the user may only read.
    edit->setContextMenuPolicy(Qt::NoContextMenu);
    // What the user types is kept in the system's code page, so text() never disagrees with
    // what the box shows (characters the code page lacks are dropped from both).
    QObject::connect(edit, &QLineEdit::textEdited, edit, [this](const QString& typed) {
        m_text = representableAnsi(typed);
        const QString kept = toQString(m_text);
        if (kept != typed)
            lineEdit()->setText(kept);
    });
    setColor(clWindow);
}

QLineEdit* TEdit::lineEdit() const noexcept {
    return static_cast<QLineEdit*>(widget());
}

const AnsiString& TEdit::text() const noexcept {
    return m_text;
}

void TEdit::setText(const AnsiString& text) {
    m_text = text;
    if (lineEdit())
        lineEdit()->setText(toQString(text));
}

bool TEdit::readOnly() const noexcept {
    return m_readOnly;
}

void TEdit::setReadOnly(bool on) {
    m_readOnly = on;
    if (lineEdit())
        lineEdit()->setReadOnly(on);
}

void TEdit::setMaxLength(int length) {
    m_maxLength = length;
    if (lineEdit())
        lineEdit()->setMaxLength(length > 0 ? length : 32767);
}

bool TEdit::setProperty(std::string_view name, const TPropertyValue& value, TEventBinder& events) {
    if (name == "Text")
        setText(AnsiString(textValue(name, value)));
    else if (name == "ReadOnly")
        setReadOnly(booleanValue(name, value));
    else if (name == "MaxLength")
        setMaxLength(int(integerValue(name, value)));
    else
        return TWinControl::setProperty(name, value, events);
    return true;
}

} // namespace qmr
