// Text crossing the runtime's boundary: Windows-1252 to and from UTF-8 and QString. What converts
// comes back byte for byte; what cannot is refused with a message naming the character and where
// it stood, never turned into another byte.
#include <qmr41726/rtl/AnsiString.h>
#include <qmr41726/rtl/Exception.h>
#include <qmr41726/ui/QtText.h>

#include <gtest/gtest.h>

#include <optional>

using namespace qmr;

namespace {

std::string everyByte() {
    std::string bytes;
    for (int b = 0; b < 256; ++b)
        bytes += char(b);
    return bytes;
}

// The message a conversion raised, or none.
template <typename Convert> std::optional<std::string> errorOf(Convert convert) {
    try {
        convert();
    } catch (const EConvertError& e) {
        return e.Message();
    }
    return std::nullopt;
}

TEST(TextConversion, convertsBothWaysOrNamesTheCharacterAndWhereItStood) {
    struct Case {
        const char* name;
        std::string utf8;
        std::string ansi;         // what converts; ignored when an error is expected
        std::string utf8Error;    // utf8ToAnsi's message; empty: it converts
        std::string qStringError; // fromQString's; empty: it converts, or the text is no UTF-8
    };
    const std::string noByte = " has no Windows-1252 equivalent";
    const std::vector<Case> cases = {
        {"empty text", "", "", "", ""},
        {"plain ASCII", "FEIJAO 1KG", "FEIJAO 1KG", "", ""},
        {"Latin-1 letters", "P\xC3\x83O \xC3\xA7", "P\xC3O \xE7", "", ""},
        {"the code page's own 0x80 block", "\xE2\x82\xAC \xC5\xA0 \xC5\xB8 \xE2\x84\xA2",
         "\x80 \x8A \x9F \x99", "", ""},
        {"undefined bytes are C1 controls", "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D",
         "\x81\x8D\x8F\x90\x9D", "", ""},
        {"a character with no byte is named with its place", "a\xC3\xA7\xC3\xA3o \xE4\xB8\xAD", "",
         "Invalid text at byte 7: character U+4E2D" + noByte,
         "Invalid text at character 5: character U+4E2D" + noByte},
        {"a character beyond the BMP", "\xE2\x82\xAC\xF0\x9F\x98\x80", "",
         "Invalid text at byte 3: character U+1F600" + noByte,
         "Invalid text at character 1: character U+1F600" + noByte},
        {"the C1 control the euro sign displaced", "\xC2\x80", "",
         "Invalid text at byte 0: character U+0080" + noByte,
         "Invalid text at character 0: character U+0080" + noByte},
        {"a stray continuation byte", "ab\x80", "", "Invalid text at byte 2: not UTF-8", ""},
        {"a sequence cut short", "ab\xC3", "", "Invalid text at byte 2: truncated UTF-8 sequence", ""},
        {"an overlong form", "\xC0\x80", "", "Invalid text at byte 0: invalid UTF-8 sequence", ""},
        {"an encoded surrogate", "x\xED\xA0\x80", "", "Invalid text at byte 1: invalid UTF-8 sequence", ""},
        {"past U+10FFFF", "\xF4\x90\x80\x80", "", "Invalid text at byte 0: invalid UTF-8 sequence", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString qString = QString::fromUtf8(c.utf8.data(), qsizetype(c.utf8.size()));
        EXPECT_EQ(errorOf([&] { utf8ToAnsi(c.utf8); }).value_or(""), c.utf8Error);
        if (!c.qStringError.empty()) {
            EXPECT_EQ(errorOf([&] { fromQString(qString); }).value_or(""), c.qStringError);
        }
        if (!c.utf8Error.empty())
            continue;
        EXPECT_EQ(utf8ToAnsi(c.utf8), c.ansi);
        EXPECT_EQ(fromQString(qString), c.ansi);
        EXPECT_EQ(ansiToUtf8(c.ansi), c.utf8);
        EXPECT_EQ(toQString(c.ansi), qString);
    }
    const std::string bytes = everyByte();
    EXPECT_EQ(utf8ToAnsi(ansiToUtf8(bytes)), bytes) << "every byte survives UTF-8";
    EXPECT_EQ(fromQString(toQString(bytes)), bytes) << "every byte survives QString";
    EXPECT_EQ(errorOf([] { fromQString(QString(QChar(0xD800))); }).value_or(""),
              "Invalid text at character 0: character U+FFFD" + noByte)
        << "a lone surrogate";
}

} // namespace
