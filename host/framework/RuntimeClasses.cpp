// The classes a layout can name, registered from the package's load step.
//
// Properties each class accepts, beyond those of every control (Left, Top, Width, Height,
// Enabled, Visible, Tag, Color, Font.Name/Height/Color/Style/Charset, OnClick; windowed controls
// also TabOrder and OnKeyDown):
//
//   TBlendedShape    Brush.Color, Pen.Style (psSolid, psClear), Pen.Color,
//                    Shape (stRectangle, stRoundRect), Align (alNone, alClient)
//   TBlendedButton   as TBlendedShape, plus Caption, DownColor, DownFontColor, DisabledColor,
//                    DisabledFontColor
//   TBlendedBitBtn   as TBlendedButton, plus Glyph (or Glyph.Data): a TResourceImage
//   TdxfColorButton  Color (the face), Glyph (or Glyph.Data): a TResourceImage
//   TMessages        Messages.Strings (or Messages): one text, lines separated by '\n',
//                    e.g. {"Messages.Strings", "FILIAL|Filial\nOperador|Operador\nVersao|Vers\xE3o "}
//   TDBGrid          DataSource (the data source component's name, found on the form when the
//                    grid is first used), Color (cells), FixedColor (title row), Options (a TSet
//                    of dg... names), TitleFont.Name/Height/Color/Style/Charset, Hint (accepted,
//                    never shown), OnTitleClick
//
// Colours are numbers (0x00BBGGRR) or names (clBlack, clNavy, clInfoBk, clWindowText ...).
#include "host/data/TDataSource.h"
#include "host/framework/TBlendedBitBtn.h"
#include "host/framework/TBlendedButton.h"
#include "host/framework/TBlendedShape.h"
#include "host/framework/TMessages.h"
#include "host/framework/TdxfColorButton.h"
#include "host/ui/TClassRegistry.h"
#include "host/ui/TDBGrid.h"
#include "host/ui/TEdit.h"
#include "host/ui/TPanel.h"
#include "host/ui/TTimer.h"

namespace {

template <class T> void registerPlain(std::string_view className) {
    registerClass(className, [] { return std::unique_ptr<TComponent>(std::make_unique<T>()); });
}

} // namespace

void registerRuntimeClasses() {
    // Registering a name again replaces the entry, so calling this twice changes nothing.
    registerPlain<TPanel>("TPanel");
    registerPlain<TEdit>("TEdit");
    registerPlain<TTimer>("TTimer");
    registerPlain<TDataSource>("TDataSource");
    registerPlain<TDBGrid>("TDBGrid");
    registerPlain<TBlendedShape>("TBlendedShape");
    registerPlain<TBlendedButton>("TBlendedButton");
    registerPlain<TBlendedBitBtn>("TBlendedBitBtn");
    registerPlain<TdxfColorButton>("TdxfColorButton");
    registerPlain<TMessages>("TMessages");
}
