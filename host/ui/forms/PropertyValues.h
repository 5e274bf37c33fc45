#pragma once
// Reading layout property values for the runtime's controls: every reader names the property
// when the value has the wrong kind, so a bad layout row is easy to find.

#include <qmr41726/QmrRuntimeExport.h>
#include <qmr41726/ui/forms/Layout.h>

#include <QColor>
#include <QFont>
#include <QImage>

#include <span>
#include <string_view>

namespace qmr {

/// The integer of `value`; EComponentError naming `property` for any other kind.
QMR_RUNTIME_EXPORT long long integerValue(std::string_view property, const TPropertyValue& value);
/// The Boolean of `value` (an integer counts: non-zero is true).
QMR_RUNTIME_EXPORT bool booleanValue(std::string_view property, const TPropertyValue& value);
/// The text of `value`: a string, or the name of an identifier.
QMR_RUNTIME_EXPORT std::string_view textValue(std::string_view property, const TPropertyValue& value);
/// The identifier name of `value`.
QMR_RUNTIME_EXPORT std::string_view identValue(std::string_view property, const TPropertyValue& value);
/// One identifier an enum-valued property accepts and the value it stands for.
template <class T> struct TIdentName {
    /// The identifier as the layout spells it.
    std::string_view name;
    /// The value it stands for.
    T value;
};

/// Raises EComponentError "Property P: unknown <kind> <name>".
[[noreturn]] QMR_RUNTIME_EXPORT void unknownIdent(std::string_view property, std::string_view kind,
                                                  std::string_view name);

/// The value `name` stands for in `table`; EComponentError naming the property, the kind of value
/// it expects ("alignment", "grid option" ...) and the name when the table lacks it.
template <class T>
T identTableValue(std::string_view property, std::string_view kind, std::string_view name,
                  std::span<const TIdentName<T>> table) {
    for (const TIdentName<T>& entry : table) {
        if (entry.name == name)
            return entry.value;
    }
    unknownIdent(property, kind, name);
}

/// The value the identifier of `value` stands for in `table`, as above; EComponentError when
/// `value` is no identifier.
template <class T>
T identTableValue(std::string_view property, std::string_view kind, const TPropertyValue& value,
                  std::span<const TIdentName<T>> table) {
    return identTableValue(property, kind, identValue(property, value), table);
}

/// A colour written as a number (0x00BBGGRR) or as a colour name (clNavy, clInfoBk ...).
QMR_RUNTIME_EXPORT TColor colorValue(std::string_view property, const TPropertyValue& value);
/// The bitmap a TResourceImage names; EComponentError naming the path when it does not load.
QMR_RUNTIME_EXPORT QImage resourceImageValue(std::string_view property, const TPropertyValue& value);

/// Applies a "Font.X" style sub-property (Name, Height, Color, Style, Charset) to `font`.
/// Returns false for an unknown sub-property.
QMR_RUNTIME_EXPORT bool setFontProperty(TFont& font, std::string_view subProperty,
                                        const TPropertyValue& value);

/// The Qt colour of a TColor.
QMR_RUNTIME_EXPORT QColor qtColor(TColor color);
/// The Qt font of a layout font: a negative height is the character height in pixels, here at
/// `scale` (the scale of the form that shows it).
QMR_RUNTIME_EXPORT QFont qtFont(const TFont& font, double scale = 1.0);
/// The glyph with every pixel of its bottom-left pixel's colour made transparent.
QMR_RUNTIME_EXPORT QImage transparentGlyph(const QImage& glyph);

} // namespace qmr
