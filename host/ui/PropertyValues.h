#pragma once
// Reading layout property values for the runtime's controls: every reader names the property
// when the value has the wrong kind, so a bad layout row is easy to find.

#include "host/QmrRuntimeExport.h"
#include "host/ui/Layout.h"

#include <QColor>
#include <QFont>
#include <QImage>

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
/// The Qt font of a layout font: a negative height is the character height in pixels.
QMR_RUNTIME_EXPORT QFont qtFont(const TFont& font);
/// The glyph with every pixel of its bottom-left pixel's colour made transparent.
QMR_RUNTIME_EXPORT QImage transparentGlyph(const QImage& glyph);

} // namespace qmr
