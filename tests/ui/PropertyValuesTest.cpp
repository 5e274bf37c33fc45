// Layout property values of the wrong kind or out of range: each reader refuses them with a message
// naming the property, so a bad layout row is found at load rather than drawn wrong.
#include <qmr41726/ui/forms/PropertyValues.h>
#include <qmr41726/ui/forms/TClassRegistry.h>

#include <gtest/gtest.h>

#include <functional>

using namespace qmr;

namespace {

std::string errorOf(const std::function<void()>& read) {
    try {
        read();
    } catch (const EComponentError& error) {
        return error.Message();
    }
    return "no error";
}

} // namespace

TEST(PropertyValues, valuesOfTheWrongKindOrRangeNameTheProperty) {
    TFont font;
    const struct {
        const char* what;
        std::function<void()> read;
        std::string expected;
    } rows[] = {
        {"text for a Boolean", [] { booleanValue("Visible", "yes"); },
         "Property Visible expects True or False"},
        {"number for a text", [] { textValue("Caption", 3); }, "Property Caption expects a text"},
        {"text for an identifier", [] { identValue("Align", "alClient"); },
         "Property Align expects an identifier"},
        {"negative colour", [] { colorValue("Color", -1); }, "Property Color: -1 is not a colour"},
        {"colour past 24 bits", [] { colorValue("Color", 0x1000000); },
         "Property Color: 16777216 is not a colour"},
        {"text for an image", [] { resourceImageValue("Glyph", "a.bmp"); },
         "Property Glyph expects a resource image"},
        {"missing image", [] { resourceImageValue("Glyph", TResourceImage{":/qmr/none.bmp"}); },
         "Property Glyph: image resource :/qmr/none.bmp not found or unreadable"},
        {"identifier for a font style", [&] { setFontProperty(font, "Style", TIdent{"fsBold"}); },
         "Property Font.Style expects a set"},
        {"text for a font height", [&] { setFontProperty(font, "Height", "big"); },
         "Property Font.Height expects a number"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(errorOf(row.read), row.expected) << row.what;
}

TEST(PropertyValues, numbersStandForBooleansAndCharacterSetsAndUnknownFontPartsAreLeftToTheCaller) {
    EXPECT_TRUE(booleanValue("Visible", 1));
    EXPECT_FALSE(booleanValue("Visible", 0));
    EXPECT_EQ(textValue("Caption", TIdent{"sbtA"}), "sbtA");
    TFont font;
    EXPECT_TRUE(setFontProperty(font, "Charset", 0));
    EXPECT_EQ(font.charset, 0);
    EXPECT_FALSE(setFontProperty(font, "Pitch", TIdent{"fpFixed"}));
    EXPECT_EQ(font, [] {
        TFont charsetOnly;
        charsetOnly.charset = 0;
        return charsetOnly;
    }()) << "an unknown part changes nothing";
    EXPECT_TRUE(transparentGlyph(QImage()).isNull());
}
