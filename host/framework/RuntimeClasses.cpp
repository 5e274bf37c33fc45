// The classes a layout can name, registered from the package's load step.
//
// Properties each class accepts, beyond those of every control (Left, Top, Width, Height,
// Align (alNone, alClient), Enabled, Visible, Tag, Color, ParentFont, Hint, ShowHint,
// AccessibleName, OnClick, Font.Name/Height/Color/Style/Charset; windowed controls also TabOrder, OnKeyDown,
// OnKeyPress):
//
//   TBlendedShape    Brush.Color, Pen.Style (psSolid, psClear), Pen.Color,
//                    Shape (stRectangle, stRoundRect)
//   TBlendedButton   as TBlendedShape, plus Caption, DownColor, DownFontColor, DisabledColor,
//                    DisabledFontColor, Checkable (a key that stands for a state)
//   TBlendedBitBtn   as TBlendedButton, plus Glyph (or Glyph.Data): a TResourceImage
//   TdxfColorButton  Color (the face), Glyph (or Glyph.Data): a TResourceImage
//   TMessages        Messages.Strings (or Messages): one text, lines separated by '\n',
//                    e.g. {"Messages.Strings", "FILIAL|Filial\nOperador|Operador\nVersao|Vers\xE3o "}
//   TDBGrid          DataSource (the data source component's name, found on the form when the
//                    grid is first used or shown), Color (cells), FixedColor (title row),
//                    Options (a TSet of dg... names), TitleFont.Name/Height/Color/Style/Charset,
//                    OnTitleClick; Hint is kept but never shown without ShowHint
//   TDataSource      none (its data set is set at run time)
//   TPanel, TEdit, TTimer: see their headers
//
// Colours are numbers (0x00BBGGRR) or names (clBlack, clNavy, clInfoBk, clWindowText ...).
#include <qmr41726/data/dataset/TDataSource.h>
#include <qmr41726/framework/TMessages.h>
#include <qmr41726/framework/controls/BlendedButtonAccessible.h>
#include <qmr41726/framework/controls/TBlendedBitBtn.h>
#include <qmr41726/framework/controls/TBlendedButton.h>
#include <qmr41726/framework/controls/TBlendedShape.h>
#include <qmr41726/framework/controls/TdxfColorButton.h>
#include <qmr41726/ui/controls/TEdit.h>
#include <qmr41726/ui/controls/TPanel.h>
#include <qmr41726/ui/controls/TTimer.h>
#include <qmr41726/ui/forms/TClassRegistry.h>
#include <qmr41726/ui/grid/TDBGrid.h>

namespace qmr {

namespace {

template <class T> std::unique_ptr<TComponent> make() {
    return std::make_unique<T>();
}

/// The setter of a non-visual class whose properties its own setProperty knows.
template <class T> TPropertySetter ownSetter() {
    return [](TComponent& component, std::string_view name, const TPropertyValue& value,
              TEventBinder& events) { return static_cast<T&>(component).setProperty(name, value, events); };
}

} // namespace

void registerRuntimeClasses() {
    // Registering a name again replaces the entry, so calling this twice changes nothing.
    registerClass("TPanel", make<TPanel>);
    registerClass("TEdit", make<TEdit>);
    registerClass("TDBGrid", make<TDBGrid>);
    registerClass("TBlendedShape", make<TBlendedShape>);
    registerClass("TBlendedButton", make<TBlendedButton>);
    registerClass("TBlendedBitBtn", make<TBlendedBitBtn>);
    registerClass("TdxfColorButton", make<TdxfColorButton>);
    // A data source gets its data set at run time; the layout sets none of its properties.
    registerClass("TDataSource", make<TDataSource>);
    registerClass("TTimer", make<TTimer>, ownSetter<TTimer>());
    registerClass("TMessages", make<TMessages>, ownSetter<TMessages>());
    installBlendedButtonAccessible();
}

} // namespace qmr
