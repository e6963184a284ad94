// Text from files and radios shown on a terminal: what the terminal would
// obey is written out instead, everything else is left as it is.
#include <gtest/gtest.h>

#include "platform/TerminalText.h"

namespace parlo {
namespace {

TEST(TerminalText, ShowsControlCharactersAndBrokenBytesAsEscapes) {
    using namespace std::string_literals;
    const struct {
        std::string in;
        std::string shown;
    } cases[] = {
        {"plain ASCII, 12.5 kHz", "plain ASCII, 12.5 kHz"},
        {"Ünits – ñorth €", "Ünits – ñorth €"},
        // A title-setting and a colour sequence.
        {"\x1b]0;owned\x07name", "\\x1b]0;owned\\x07name"},
        {"\x1b[31mred", "\\x1b[31mred"},
        {"a\rb\tc\nd\x7f", "a\\x0db\\x09c\\x0ad\\x7f"},
        {"nul\0here"s, "nul\\x00here"},
        // C1 controls, as UTF-8 (U+009B, the one-byte CSI) and as bare bytes.
        {"\xc2\x9b"
         "31m",
         "\\xc2\\x9b31m"},
        {"\x9b"
         "31m",
         "\\x9b31m"},
        // Latin-1 text, a cut sequence, an overlong slash, a surrogate.
        {"caf\xe9", "caf\\xe9"},
        {"\xe2\x82", "\\xe2\\x82"},
        {"\xc0\xaf", "\\xc0\\xaf"},
        {"\xed\xa0\x80", "\\xed\\xa0\\x80"},
    };
    for (const auto& c : cases) EXPECT_EQ(TerminalText(c.in), c.shown) << c.shown;

    // Messages of several lines keep their line breaks, nothing else.
    EXPECT_EQ(TerminalText("one\ntwo\r\n\x1b[2J", true), "one\ntwo\\x0d\n\\x1b[2J");
}

}  // namespace
}  // namespace parlo
