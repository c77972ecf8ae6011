#include <gtest/gtest.h>

#include <string>

#include "config/shown_name.h"

namespace velmora {
namespace {

// The second line of the test-mode box, which the tools' quoting shares: a name that shows as it
// is gets none; one that hides something gets it quoted with what it hides.
TEST(ShownName, ANoteQuotesANameExactlyAndSaysWhatItHides) {
    struct Case {
        std::string name;
        std::string note;
    };
    const Case cases[] = {
        {"Formula Red", ""},
        {"", ""},
        {"Formula  Red", ""},                   // two spaces show between two words
        {"Citro\xC3\xABn \xC3\xA0 Paris", ""},  // UTF-8 letters, one ending in byte 0xA0
        {"Citro\xEBn", ""},                     // the same letter in Windows-1252
        {"Formula Red ", "The name is \"Formula Red \": it ends with a space."},
        {"  Formula Red", "The name is \"  Formula Red\": it begins with 2 spaces."},
        {" ", "The name is \" \": it is a space."},
        {" Formula\tRed ",
         "The name is \" Formula\\tRed \": it begins with a space, ends with a space and holds a "
         "tab."},
        {"Formula\x1b[2JRed\n",
         "The name is \"Formula\\x1B[2JRed\\n\": it holds 2 control characters."},
        {"Formula\xC2\xA0Red",
         "The name is \"Formula\xC2\xA0Red\": it holds a non-breaking space."},
        {"Formula\xA0Red", "The name is \"Formula\xA0Red\": it holds a non-breaking space."},
        {"\xEF\xBB\xBF"
         "Formula\xE2\x80\x8BRed",
         "The name is \"\xEF\xBB\xBF"
         "Formula\xE2\x80\x8BRed\": it holds 2 characters that take no room."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NameNote(c.name), c.note) << QuotedName(c.name);
    }
}

}  // namespace
}  // namespace velmora
