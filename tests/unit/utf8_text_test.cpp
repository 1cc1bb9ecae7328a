#include "config/utf8_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Case {
    std::string text;
    std::string converted;  // what the conversion leaves
    bool isUtf8;
};

std::string convert(std::string text, bool cutAtLimit, bool* converted) {
    text.resize(text.size() + 1);  // room for the terminator the conversion keeps
    *converted = config::utf8ToWindows1252(&text[0], cutAtLimit);
    return text.c_str();
}

// Each fault alone keeps an otherwise convertible text as it is: one bad sequence means the text
// is not UTF-8 but Windows-1252 that happens to hold such bytes.
TEST(Utf8Text, OneIllFormedSequenceKeepsTheWholeTextAsItIs) {
    const Case cases[] = {
        {"caf\xC3\xA9 \xE2\x82\xAC", "caf\xE9 \x80", true},
        {"\xED\xA0\x80 caf\xC3\xA9", "\xED\xA0\x80 caf\xC3\xA9", false},   // a surrogate
        {"\xC0\xAF caf\xC3\xA9", "\xC0\xAF caf\xC3\xA9", false},           // an overlong form
        {"\xE0\x80\xAF caf\xC3\xA9", "\xE0\x80\xAF caf\xC3\xA9", false},   // a three-byte overlong form
        {"\xF4\x90\x80\x80 caf\xC3\xA9", "\xF4\x90\x80\x80 caf\xC3\xA9", false},  // past U+10FFFF
        {"\xA9 caf\xC3\xA9", "\xA9 caf\xC3\xA9", false},                   // a stray trail byte
        {"caf\xC3\xA9 \xC3", "caf\xC3\xA9 \xC3", false},                   // cut short, not by the reader
        {"plain ASCII", "plain ASCII", false},
        {"\xF0\x9F\x98\x80 \xCE\xA9", "? ?", true},                        // characters 1252 lacks
    };
    for (const Case& c : cases) {
        bool converted = false;
        EXPECT_EQ(convert(c.text, false, &converted), c.converted) << c.text;
        EXPECT_EQ(converted, c.isUtf8) << c.text;
    }
}

// The reader cuts values at 259 characters, which may split the last character: that piece is
// dropped, also when it is the text's only character beyond ASCII.
TEST(Utf8Text, APieceSplitByTheReadersCutIsDropped) {
    const std::string a258(258, 'a');
    const std::string a257(257, 'a');
    const Case cases[] = {
        {a258 + "\xC3", a258, true},
        {a257 + "\xE2\x82", a257, true},
        {std::string(250, 'a') + "\xC3\xA9" + "bcdef\xE2\x82", std::string(250, 'a') + "\xE9" + "bcdef", true},
        {a257 + "\xC3\x41", a257 + "\xC3\x41", false},  // not a piece of a character
    };
    for (const Case& c : cases) {
        bool converted = false;
        EXPECT_EQ(convert(c.text, true, &converted), c.converted);
        EXPECT_EQ(converted, c.isUtf8);
    }
}

}  // namespace
