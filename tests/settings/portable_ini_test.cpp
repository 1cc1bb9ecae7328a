// The portable settings reader on files built in memory. The corpus run (run_probe_diff.sh) holds
// the same reader to the Windows reader's answers; these cases name each behaviour on its own.
#include "platform/portable_ini.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr std::uint32_t kPluginCapacity = 260;
using platform::kIniTextSize;

// The value read from `file`, checked to be terminated right after the returned length.
std::string lookup(const std::string& file, const char* section, const char* key,
                   std::uint32_t capacity = kPluginCapacity) {
    platform::IniDocument* document =
        platform::parseIni(reinterpret_cast<const unsigned char*>(file.data()), file.size());
    EXPECT_NE(document, nullptr);
    std::string buffer(capacity + 1, '#');
    const std::uint32_t length = platform::lookupIni(document, section, key, &buffer[0], capacity);
    platform::freeIni(document);
    EXPECT_LT(length, capacity);
    EXPECT_EQ(buffer[length], '\0') << "value not terminated";
    return buffer.substr(0, length);
}

std::string utf16le(const std::u16string& text) {
    std::string bytes;
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

std::string utf16be(const std::u16string& text) {
    std::string bytes;
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit >> 8);
        bytes += static_cast<char>(unit & 0xFF);
    }
    return bytes;
}

// ---- Lines and names ---------------------------------------------------------------------------

TEST(PortableIni, LinesEndAtEveryCrAndLf) {
    const std::string file = "[S]\rA=1\nB=2\r\nC=3\n\rD=4\r\r\n\nE=5";
    EXPECT_EQ(lookup(file, "S", "A"), "1");
    EXPECT_EQ(lookup(file, "S", "B"), "2");
    EXPECT_EQ(lookup(file, "S", "C"), "3");
    EXPECT_EQ(lookup(file, "S", "D"), "4");
    EXPECT_EQ(lookup(file, "S", "E"), "5");
}

TEST(PortableIni, WhiteSpaceIsTrimmedButNoBreakSpaceIsNot) {
    const std::string file = " \t[ S ]\x1a\n\x0b KEY \t=\x0c value  with  spaces \x1a\n\xa0X=\xa0y\xa0\n";
    EXPECT_EQ(lookup(file, "S", "KEY"), "value  with  spaces");
    EXPECT_EQ(lookup(file, "S", "\xa0X"), "\xa0y\xa0");
    EXPECT_EQ(lookup(file, "S", "X"), "");
}

TEST(PortableIni, RequestedNamesAreTrimmed) {
    EXPECT_EQ(lookup("[S]\nKEY=v\n", " \tS\x1a ", "  KEY\n"), "v");
}

TEST(PortableIni, NamesIgnoreTheCaseOfAsciiLettersOnly) {
    const std::string file = "[Section]\nRowData=ascii\n\xc9t\xe9=latin\n";
    EXPECT_EQ(lookup(file, "SECTION", "rowdata"), "ascii");
    EXPECT_EQ(lookup(file, "section", "\xc9t\xe9"), "latin");
    EXPECT_EQ(lookup(file, "section", "\xc9T\xc9"), "");
    EXPECT_EQ(lookup(file, "section", "\xe9t\xe9"), "");
}

TEST(PortableIni, OnlyTheFirstSectionOfANameIsSearched) {
    const std::string file = "[A]\n[B]\nK=b\n[a]\nK=hidden\n";
    EXPECT_EQ(lookup(file, "A", "K"), "");
    EXPECT_EQ(lookup(file, "B", "K"), "b");
}

TEST(PortableIni, TheFirstKeyOfANameWinsEvenWithoutAValue) {
    const std::string file = "[S]\nK=first\nk=second\nEMPTY=\nEMPTY=x\nBARE\nBARE=x\n";
    EXPECT_EQ(lookup(file, "S", "K"), "first");
    EXPECT_EQ(lookup(file, "S", "EMPTY"), "");
    EXPECT_EQ(lookup(file, "S", "BARE"), "");
}

TEST(PortableIni, ThereAreNoCommentsOrEscapes) {
    const std::string file = "[S]\n;K=semicolon\n#K=hash\nK=a;b #c \\n %X%\n;[T]\nL=still S\n";
    EXPECT_EQ(lookup(file, "S", "K"), "a;b #c \\n %X%");
    EXPECT_EQ(lookup(file, "S", ";K"), "semicolon");
    EXPECT_EQ(lookup(file, "S", "L"), "still S");
}

TEST(PortableIni, HeaderNameEndsAtTheLastBracketAndTheRestIsIgnored) {
    const std::string file = "[S]] junk ]K=no\nK=s\n[T]=x\nK=t\n";
    EXPECT_EQ(lookup(file, "S]] junk", "K"), "s");
    EXPECT_EQ(lookup(file, "T", "K"), "t");
}

TEST(PortableIni, OpenBracketWithoutCloseIsAKeyLineOfTheCurrentSection) {
    const std::string file = "[S]\n[T\nK=still S\n";
    EXPECT_EQ(lookup(file, "S", "K"), "still S");
    EXPECT_EQ(lookup(file, "T", "K"), "");
}

TEST(PortableIni, KeysAboveTheFirstHeaderAreNotInAnyNamedSection) {
    const std::string file = "K=orphan\n[]\nL=unnamed\n[S]\nM=s\n";
    EXPECT_EQ(lookup(file, "S", "K"), "");
    EXPECT_EQ(lookup(file, "S", "M"), "s");
    EXPECT_EQ(lookup(file, "", "K"), "orphan");
}

TEST(PortableIni, NulEndsNamesAndValues) {
    const char raw[] = "[S\0junk]\nK\0=name cut\nR\0W=lost\nV=ab\0cd\n";
    const std::string file(raw, sizeof(raw) - 1);
    EXPECT_EQ(lookup(file, "S", "K"), "name cut");
    EXPECT_EQ(lookup(file, "S", "RW"), "");
    EXPECT_EQ(lookup(file, "S", "V"), "ab");
}

// ---- Quotes and lengths ------------------------------------------------------------------------

TEST(PortableIni, OnePairOfEqualQuotesIsRemoved) {
    const std::string file =
        "[S]\nD=\"a b\"\nQ='c'\nE=\"\"\nONE=\"\nMIXED=\"x'\nINNER=x\"y\"\nTWICE=\"\"z\"\"\n";
    EXPECT_EQ(lookup(file, "S", "D"), "a b");
    EXPECT_EQ(lookup(file, "S", "Q"), "c");
    EXPECT_EQ(lookup(file, "S", "E"), "");
    EXPECT_EQ(lookup(file, "S", "ONE"), "\"");
    EXPECT_EQ(lookup(file, "S", "MIXED"), "\"x'");
    EXPECT_EQ(lookup(file, "S", "INNER"), "x\"y\"");
    EXPECT_EQ(lookup(file, "S", "TWICE"), "\"z\"");
}

TEST(PortableIni, LongValuesAreCutToTheBuffer) {
    const std::string file = "[S]\nK=" + std::string(300, 'v') + "\nT=" + std::string(259, 't') + "   \n";
    EXPECT_EQ(lookup(file, "S", "K"), std::string(259, 'v'));
    EXPECT_EQ(lookup(file, "S", "T"), std::string(259, 't'));
    EXPECT_EQ(lookup(file, "S", "K", 5), "vvvv");
    EXPECT_EQ(lookup(file, "S", "K", 1), "");
}

TEST(PortableIni, QuotedValueOneCharacterTooLongForTheBufferLosesItsLastCharacter) {
    const auto quoted = [](std::size_t innerLength) {
        return "[S]\nK=\"" + std::string(innerLength - 1, 'q') + "Z\"\n";
    };
    EXPECT_EQ(lookup(quoted(258), "S", "K"), std::string(257, 'q') + "Z");
    EXPECT_EQ(lookup(quoted(259), "S", "K"), std::string(258, 'q'));
    EXPECT_EQ(lookup(quoted(260), "S", "K"), std::string(259, 'q'));
    EXPECT_EQ(lookup("[S]\nK=\"abc\"\n", "S", "K", 4), "ab");
    EXPECT_EQ(lookup("[S]\nK=\"abc\"\n", "S", "K", 5), "abc");
}

TEST(PortableIni, CapacityZeroWritesNothing) {
    const std::string file = "[S]\nK=v\n";
    platform::IniDocument* document =
        platform::parseIni(reinterpret_cast<const unsigned char*>(file.data()), file.size());
    ASSERT_NE(document, nullptr);
    char untouched = '#';
    EXPECT_EQ(platform::lookupIni(document, "S", "K", &untouched, 0), 0u);
    EXPECT_EQ(untouched, '#');
    platform::freeIni(document);
}

TEST(PortableIni, MissingDocumentSectionOrKeyReadsEmpty) {
    char value[8] = "#######";
    EXPECT_EQ(platform::lookupIni(nullptr, "S", "K", value, sizeof(value)), 0u);
    EXPECT_STREQ(value, "");
    const std::string file = "[S]\nK=v\n";
    platform::IniDocument* document =
        platform::parseIni(reinterpret_cast<const unsigned char*>(file.data()), file.size());
    ASSERT_NE(document, nullptr);
    std::strcpy(value, "#######");
    EXPECT_EQ(platform::lookupIni(document, nullptr, "K", value, sizeof(value)), 0u);
    EXPECT_STREQ(value, "");
    std::strcpy(value, "#######");
    EXPECT_EQ(platform::lookupIni(document, "S", nullptr, value, sizeof(value)), 0u);
    EXPECT_STREQ(value, "");
    platform::freeIni(document);
    EXPECT_EQ(lookup("", "S", "K"), "");
}

// ---- Encodings ---------------------------------------------------------------------------------

TEST(PortableIni, AnsiBytesComeBackUnchanged) {
    std::string value;
    for (int byte = 0x80; byte <= 0xFF; ++byte) value += static_cast<char>(byte);
    EXPECT_EQ(lookup("[S]\nK=" + value + "\n", "S", "K"), value);
    EXPECT_EQ(lookup("[S]\nK=caf\xc3\xa9\n", "S", "K"), "caf\xc3\xa9");
}

TEST(PortableIni, Utf8WithBomComesBackInWindows1252WithBestFit) {
    const std::string file = "\xef\xbb\xbf[S]\nK=caf\xc3\xa9 \xe2\x82\xac \xc4\x80 \xe2\x98\x83 \xf0\x9f\x98\x80\n";
    EXPECT_EQ(lookup(file, "S", "K"), "caf\xe9 \x80 A ? ??");
}

TEST(PortableIni, Utf8ErrorsBecomeQuestionMarks) {
    const std::string file = "\xef\xbb\xbf[S]\nA=\x80.\nB=\xc3.\nC=\xc0\xaf.\nD=\xe0\x80\x80.\nE=\xed\xa0\x80.\nF=\xe4\xb8";
    EXPECT_EQ(lookup(file, "S", "A"), "?.");
    EXPECT_EQ(lookup(file, "S", "B"), "?.");
    EXPECT_EQ(lookup(file, "S", "C"), "??.");
    EXPECT_EQ(lookup(file, "S", "D"), "??.");
    EXPECT_EQ(lookup(file, "S", "E"), "??.");
    EXPECT_EQ(lookup(file, "S", "F"), "?");
}

TEST(PortableIni, Utf16WithEitherBomIsDecoded) {
    const std::u16string text = u"[S]\r\nK=caf\u00e9 \u0100\U0001F600\r\n";
    EXPECT_EQ(lookup("\xff\xfe" + utf16le(text), "S", "K"), "caf\xe9 A??");
    EXPECT_EQ(lookup("\xfe\xff" + utf16be(text), "S", "K"), "caf\xe9 A??");
}

TEST(PortableIni, Utf16WithoutBomIsReadAsAnsiAndFindsNothing) {
    EXPECT_EQ(lookup(utf16le(u"[S]\r\nK=v\r\n"), "S", "K"), "");
}

TEST(PortableIni, CutSplittingASurrogatePairLeavesAQuestionMark) {
    const std::u16string text = u"[S]\r\nK=" + std::u16string(258, u'a') + u"\U0001F600\r\n";
    EXPECT_EQ(lookup("\xff\xfe" + utf16le(text), "S", "K"), std::string(258, 'a') + "?");
}

// ---- Text -------------------------------------------------------------------------------------

// A value as text (lookupIniText) in the system's ANSI code page `codePage`, as a test sets it.
std::string text(const std::string& file, const char* key, const char* codePage = "1252",
                 platform::TextRead* how = nullptr) {
    setenv("OSTRIVANE_TEST_CODE_PAGE", codePage, 1);
    platform::IniDocument* document =
        platform::parseIni(reinterpret_cast<const unsigned char*>(file.data()), file.size());
    char buffer[kIniTextSize + 1];
    std::memset(buffer, '#', sizeof buffer);
    const std::uint32_t length =
        platform::lookupIniText(document, "S", key, &platform::decodeAnsiText, buffer, kIniTextSize, how);
    platform::freeIni(document);
    unsetenv("OSTRIVANE_TEST_CODE_PAGE");
    EXPECT_EQ(buffer[length], '\0') << "value not terminated";
    return std::string(buffer, length);
}

// Without a mark each value on its own: UTF-8 when it is valid UTF-8, else the code page's, where
// an undefined byte or a lead byte without its trail is one U+FFFD and never swallows the next.
TEST(PortableIniText, AnUnmarkedFileIsReadValueByValue) {
    const std::string file = "[S]\nU=\xD0\x9A\xD0\xB0\xD0\xBC\nR=\"\xCA\xE0\xEC\"\nJ=\x93\xFA\x95\x74: \x82\xA0\nX=\x98\xCA\n"
                             "B=\x81 \x80x\nQ='\xF0\x9F\x98\x80'\n";
    platform::TextRead how{};
    EXPECT_EQ(text(file, "U", "1251", &how), "\u041A\u0430\u043C");
    EXPECT_EQ(how.source, platform::TextSource::Utf8);
    EXPECT_EQ(text(file, "R", "1251", &how), "\u041A\u0430\u043C");  // quotes off, then decoded
    EXPECT_EQ(how.source, platform::TextSource::CodePage);
    EXPECT_EQ(text(file, "R", "1252"), "\u00CA\u00E0\u00EC");
    EXPECT_EQ(text(file, "J", "932"), "\u65E5\u4ED8: \u3042");
    EXPECT_EQ(text(file, "X", "1251", &how), "\uFFFD\u041A");  // 0x98 is undefined in 1251
    EXPECT_EQ(how.replaced, 1u);
    EXPECT_EQ(text(file, "B", "932", &how), "\uFFFD \uFFFDx");  // 81 20 is no character; 80 none either
    EXPECT_EQ(text(file, "B", "1252", &how), "\uFFFD \u20ACx");
    EXPECT_EQ(text(file, "Q"), "\U0001F600");
}

// Marked files give every character whole; what cannot be decoded is one U+FFFD and counted.
TEST(PortableIniText, MarkedFilesGiveEveryCharacterWhole) {
    const std::u16string units = u"[S]\r\nK=caf\u00e9 \u0100\U0001F600\r\nL=a\xD800" u"b\xDC00\r\n";
    platform::TextRead how{};
    EXPECT_EQ(text("\xff\xfe" + utf16le(units), "K", "1252", &how), "caf\u00e9 \u0100\U0001F600");
    EXPECT_EQ(how.source, platform::TextSource::Utf16File);
    EXPECT_EQ(text("\xfe\xff" + utf16be(units), "L", "1252", &how), "a\uFFFD" "b\uFFFD");
    EXPECT_EQ(how.replaced, 2u);
    EXPECT_EQ(text("\xef\xbb\xbf[S]\nK=\xc0\xaf\xf0\x9f\x98\x80\xe4\xb8", "K", "1252", &how), "\uFFFD\uFFFD\U0001F600\uFFFD");
    EXPECT_EQ(how.replaced, 3u);
}

// 259 characters, whatever their size: a pair at the cut is never split, nor a sequence.
TEST(PortableIniText, TheCutCountsCharacters) {
    platform::TextRead how{};
    std::string emoji;
    for (int i = 0; i < 260; ++i) emoji += "\xF0\x9F\x98\x80";
    EXPECT_EQ(text("[S]\nK=" + emoji + "\n", "K", "1252", &how), emoji.substr(0, 259 * 4));
    EXPECT_TRUE(how.cut);
    EXPECT_EQ(how.characters, 260u);
    const std::u16string pairs = u"[S]\r\nK=" + std::u16string(258, u'a') + u"\U0001F600\U0001F600\r\n";
    EXPECT_EQ(text("\xff\xfe" + utf16le(pairs), "K"), std::string(258, 'a') + "\U0001F600");
    std::string kanji;
    for (int i = 0; i < 300; ++i) kanji += "\x93\xFA";
    EXPECT_EQ(text("[S]\nK=" + kanji + "\n", "K", "932", &how).size(), 259u * 3);
    EXPECT_EQ(how.characters, 300u);
}

// ---- Size --------------------------------------------------------------------------------------

TEST(PortableIni, ManyKeysAndLongLinesAreAllIndexed) {
    std::string file = "[S]\nLONG=" + std::string(100000, 'x') + "\n" + std::string(100000, 'J') + "\n";
    for (int index = 0; index < 50000; ++index) file += "K" + std::to_string(index) + "=" + std::to_string(index) + "\n";
    file += "[T]\nLAST=end\n";
    EXPECT_EQ(lookup(file, "S", "K0"), "0");
    EXPECT_EQ(lookup(file, "S", "K49999"), "49999");
    EXPECT_EQ(lookup(file, "S", "LONG"), std::string(259, 'x'));
    EXPECT_EQ(lookup(file, "T", "LAST"), "end");
}

}  // namespace
