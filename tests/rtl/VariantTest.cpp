// Variants as a host's parameter list carries them: what each kind reads as, and the errors that
// name the value that could not be read.
#include <qmr41726/rtl/Exception.h>
#include <qmr41726/rtl/Variant.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace qmr;

TEST(Variant, eachKindReadsAsText) {
    const struct {
        Variant value;
        Variant::Kind kind;
        const char* text;
    } cases[] = {
        {Variant(), Variant::Kind::Empty, ""},           {Variant(-7), Variant::Kind::Integer, "-7"},
        {Variant(true), Variant::Kind::Boolean, "True"}, {Variant(false), Variant::Kind::Boolean, "False"},
        {Variant(-3.0), Variant::Kind::Float, "-3"},     {Variant(0.1), Variant::Kind::Float, "0.1"},
        {Variant("  "), Variant::Kind::String, "  "},    {Variant("S"), Variant::Kind::String, "S"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.value.kind(), c.kind) << c.text;
        EXPECT_EQ(c.value.isEmpty(), c.kind == Variant::Kind::Empty) << c.text;
        EXPECT_EQ(c.value.toString(), c.text);
    }
}

TEST(Variant, wholeNumbersOfEveryKindReadAsIntegers) {
    const struct {
        Variant value;
        std::intptr_t integer;
    } cases[] = {
        {Variant(), 0},      {Variant(-7), -7},     {Variant(true), -1},   {Variant(false), 0},
        {Variant(-3.0), -3}, {Variant("-12"), -12}, {Variant("0042"), 42},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.value.toInteger(), c.integer) << c.value.toString();
}

TEST(Variant, anObjectsAddressComesBackWhole) {
    struct Big {
        char bytes[64];
    };
    static Big objects[2];
    for (const Big& object : objects) {
        const Variant address = Variant::fromPointer(&object);
        EXPECT_EQ(reinterpret_cast<const Big*>(address.toInteger()), &object);
        EXPECT_EQ(address.kind(), Variant::Kind::Integer);
    }
    EXPECT_NE(Variant::fromPointer(&objects[0]), Variant::fromPointer(&objects[1]));
}

TEST(Variant, valueThatIsNoWholeNumberIsAnErrorNamingIt) {
    const struct {
        Variant value;
        const char* named;
    } cases[] = {
        {Variant("abc"), "'abc'"},
        {Variant(""), "''"},
        {Variant("12x"), "'12x'"},
        {Variant(" 12"), "' 12'"},
        {Variant("99999999999999999999"), "'99999999999999999999'"},
        {Variant(2.5), "2.5"},
        {Variant(std::numeric_limits<double>::quiet_NaN()), "nan"},
        {Variant(1e300), "1e+300"},
    };
    for (const auto& c : cases) {
        try {
            (void)c.value.toInteger();
            ADD_FAILURE() << c.named << " was read as a whole number";
        } catch (const EConvertError& error) {
            EXPECT_NE(error.Message().find(c.named), AnsiString::npos) << error.Message();
        }
    }
    // A long text is quoted by its start only, its control bytes escaped.
    try {
        (void)Variant("\x1B[2J" + AnsiString(2'000'000, '7')).toInteger();
        ADD_FAILURE() << "a 2 MB text was read as a whole number";
    } catch (const EConvertError& error) {
        EXPECT_LT(error.Message().size(), 200u);
        EXPECT_NE(error.Message().find("'\\x1B[2J777"), AnsiString::npos) << error.Message();
    }
}

TEST(Variant, equalOnlyWithTheSameKindAndValue) {
    EXPECT_EQ(Variant(1), Variant(1));
    EXPECT_NE(Variant(1), Variant(true));
    EXPECT_NE(Variant(1), Variant(1.0));
    EXPECT_NE(Variant(1), Variant("1"));
    EXPECT_NE(Variant(), Variant(""));
}
