// Windows-1252 strings: casing touches only a-z / A-Z, and every byte survives UTF-8.
#include <qmr41726/rtl/AnsiString.h>
#include <qmr41726/rtl/Exception.h>
#include <qmr41726/rtl/MessageText.h>

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

// What a message quotes of its input: short, and nothing a terminal would take as a command.
TEST(AnsiString, quotedExcerptIsShortAndEscapesControlBytes) {
    EXPECT_EQ(quotedExcerpt("Ana"), "'Ana'");
    EXPECT_EQ(quotedExcerpt(std::string("a\0b\x1B[2J\x7F\n", 9)), "'a\\x00b\\x1B[2J\\x7F\\x0A'");
    EXPECT_EQ(quotedExcerpt("\x81\x9D\xE9"), "'\\x81\\x9D\xE9'")
        << "undefined Windows-1252 bytes are C1 controls";
    EXPECT_EQ(quotedExcerpt(std::string(2 << 20, 'x')), "'" + std::string(40, 'x') + "...'");
    EXPECT_EQ(quotedExcerpt(std::string(39, 'x') + "\xC3\xA7" + "z", TextEncoding::Utf8),
              "'" + std::string(39, 'x') + "...'")
        << "a UTF-8 character is never cut in two";
    EXPECT_EQ(quotedExcerpt("\xC3\x81", TextEncoding::Utf8), "'\xC3\x81'");
}
