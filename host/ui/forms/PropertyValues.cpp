#include <qmr41726/ui/forms/PropertyValues.h>

#include <qmr41726/ui/Scaling.h>
#include <qmr41726/ui/forms/TClassRegistry.h>

#include <QString>

#include <algorithm>
#include <array>

namespace qmr {

namespace {

[[noreturn]] void wrongKind(std::string_view property, std::string_view expected) {
    throw EComponentError("Property " + AnsiString(property) + " expects " + AnsiString(expected));
}

/// A character set written as a number or by name (ANSI_CHARSET, DEFAULT_CHARSET ...).
int charsetValue(const TPropertyValue& value) {
    static constexpr TIdentName<int> kCharsets[] = {
        {"ANSI_CHARSET", 0}, {"DEFAULT_CHARSET", 1}, {"SYMBOL_CHARSET", 2}, {"OEM_CHARSET", 255}};
    if (std::holds_alternative<long long>(value.value))
        return int(integerValue("Font.Charset", value));
    return identTableValue<int>("Font.Charset", "character set", value, kCharsets);
}

/// Colour names a layout may use; system colours as the standard scheme defines them.
constexpr std::array<TIdentName<TColor>, 21> kColorNames{{
    {"clBlack", clBlack},   {"clMaroon", 0x000080},  {"clGreen", 0x008000},
    {"clOlive", 0x008080},  {"clNavy", clNavy},      {"clPurple", clPurple},
    {"clTeal", 0x808000},   {"clGray", 0x808080},    {"clSilver", clSilver},
    {"clRed", 0x0000FF},    {"clLime", 0x00FF00},    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},   {"clFuchsia", 0xFF00FF}, {"clAqua", 0xFFFF00},
    {"clWhite", clWhite},   {"clInfoBk", clInfoBk},  {"clWindowText", clWindowText},
    {"clWindow", clWindow}, {"clMenu", clMenu},      {"clBtnFace", clBtnFace},
}};

} // namespace

void unknownIdent(std::string_view property, std::string_view kind, std::string_view name) {
    throw EComponentError("Property " + AnsiString(property) + ": unknown " + AnsiString(kind) + " " +
                          AnsiString(name));
}

long long integerValue(std::string_view property, const TPropertyValue& value) {
    if (const long long* number = std::get_if<long long>(&value.value))
        return *number;
    wrongKind(property, "a number");
}

bool booleanValue(std::string_view property, const TPropertyValue& value) {
    if (const bool* flag = std::get_if<bool>(&value.value))
        return *flag;
    if (const long long* number = std::get_if<long long>(&value.value))
        return *number != 0;
    wrongKind(property, "True or False");
}

std::string_view textValue(std::string_view property, const TPropertyValue& value) {
    if (const std::string_view* text = std::get_if<std::string_view>(&value.value))
        return *text;
    if (const TIdent* ident = std::get_if<TIdent>(&value.value))
        return ident->name;
    wrongKind(property, "a text");
}

std::string_view identValue(std::string_view property, const TPropertyValue& value) {
    if (const TIdent* ident = std::get_if<TIdent>(&value.value))
        return ident->name;
    wrongKind(property, "an identifier");
}

TColor colorValue(std::string_view property, const TPropertyValue& value) {
    if (const long long* number = std::get_if<long long>(&value.value)) {
        if (*number < 0 || *number > 0xFFFFFF)
            throw EComponentError("Property " + AnsiString(property) + ": " + std::to_string(*number) +
                                  " is not a colour");
        return TColor(*number);
    }
    return identTableValue<TColor>(property, "colour", value, kColorNames);
}

QImage resourceImageValue(std::string_view property, const TPropertyValue& value) {
    const TResourceImage* resource = std::get_if<TResourceImage>(&value.value);
    if (!resource)
        wrongKind(property, "a resource image");
    QImage image(QString::fromUtf8(resource->path.data(), qsizetype(resource->path.size())));
    if (image.isNull())
        throw EComponentError("Property " + AnsiString(property) + ": image resource " +
                              AnsiString(resource->path) + " not found or unreadable");
    return image;
}

bool setFontProperty(TFont& font, std::string_view subProperty, const TPropertyValue& value) {
    if (subProperty == "Name")
        font.name = AnsiString(textValue("Font.Name", value));
    else if (subProperty == "Height")
        font.height = int(integerValue("Font.Height", value));
    else if (subProperty == "Color")
        font.color = colorValue("Font.Color", value);
    else if (subProperty == "Charset")
        font.charset = charsetValue(value);
    else if (subProperty == "Style") {
        const TSet* styles = std::get_if<TSet>(&value.value);
        if (!styles)
            wrongKind("Font.Style", "a set");
        font.bold = false;
        for (std::string_view style : styles->members)
            font.bold = font.bold || style == "fsBold";
    } else
        return false;
    return true;
}

QColor qtColor(TColor color) {
    return QColor(colorRed(color), colorGreen(color), colorBlue(color));
}

QFont qtFont(const TFont& font, double scale) {
    QFont result(QString::fromStdString(ansiToUtf8(font.name)));
    // A negative height is the em height in pixels; a positive one includes the internal
    // leading, which is roughly a fifth of it.
    const int pixels = font.height < 0 ? -font.height : font.height * 4 / 5;
    result.setPixelSize(std::max(1, scaledLength(pixels > 0 ? pixels : 11, scale)));
    result.setBold(font.bold);
    return result;
}

QImage transparentGlyph(const QImage& glyph) {
    if (glyph.isNull())
        return glyph;
    QImage result = glyph.convertToFormat(QImage::Format_ARGB32);
    const QRgb background = result.pixel(0, result.height() - 1);
    for (int y = 0; y < result.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            if (line[x] == background)
                line[x] = qRgba(0, 0, 0, 0);
        }
    }
    return result;
}

} // namespace qmr
