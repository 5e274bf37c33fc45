// Windows-1252 strings: casing touches only a-z / A-Z, and every byte survives UTF-8.
#include "host/rtl/AnsiString.h"
#include "host/rtl/Exception.h"

#include <gtest/gtest.h>

using namespace qmr;

TEST(AnsiString, casingChangesOnlyAsciiLetters) {
    EXPECT_EQ(UpperCase("jos\xE7 \xE3o-9_z"), "JOS\xE7 \xE3O-9_Z");
    EXPECT_EQ(LowerCase("JOS\xC7 \xC3O-9_Z"), "jos\xC7 \xC3o-9_z");
}

TEST(AnsiString, everyByteRoundTripsThroughUtf8) {
    for (int b = 0; b < 256; ++b) {
        const AnsiString one(1, char(b));
        EXPECT_EQ(utf8ToAnsi(ansiToUtf8(one)), one) << "byte " << b;
    }
    EXPECT_EQ(ansiToUtf8("\xE7\x80"), "\xC3\xA7\xE2\x82\xAC"); // ç €
}

TEST(AnsiString, utf8WithoutWindows1252EquivalentIsAnErrorNamingTheOffset) {
    try {
        utf8ToAnsi("ab\xE2\x98\x83"); // snowman
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_NE(e.Message().find("byte 2"), std::string::npos) << e.Message();
        EXPECT_NE(e.Message().find("U+2603"), std::string::npos) << e.Message();
    }
    EXPECT_THROW(utf8ToAnsi("\xC3"), EConvertError);
    EXPECT_THROW(utf8ToAnsi("\xC0\x80"), EConvertError); // overlong
}
