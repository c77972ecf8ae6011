#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <locale>
#include <map>
#include <optional>
#include <string>

#include "config/config_file.h"
#include "config/number_reader.h"

namespace velmora {
namespace {

using Map = std::map<std::string, ConfigFile::Section>;

Map Parse(std::string_view text) {
    ConfigFile config;
    config.Parse(text);
    return config.Sections();
}

TEST(ConfigFile, ParsesLinesAsTheWindowsReaderDoes) {
    struct Case {
        std::string text;
        Map expected;
    };
    const Case cases[] = {
        {"", {}},
        {"; only a comment\n\n   ;another\n", {}},
        {"a=1\na=2\n[S]\nk=1\n[S]\nk=2", {{"", {{"a", "1"}}}, {"S", {{"k", "1"}}}}},
        {"[A]\nx=1\n[B]\ny=2\n[A]\nz=3\n", {{"A", {{"x", "1"}, {"z", "3"}}}, {"B", {{"y", "2"}}}}},
        {"key\n=5\n", {{"", {{"key", ""}, {"", "5"}}}}},
        {"[G]\nYaw MinFrames = 5 ; five frames\n", {{"G", {{"Yaw MinFrames", "5"}}}}},
        {"[ Example Car ]\nk=1\n[]\nk=2\n[\n",
         {{" Example Car ", {{"k", "1"}}}, {"", {{"k", "2"}, {"[", ""}}}}},
        // CR LF is one LF, so "\r\r\n" is a line of one CR: a key line, emptied by the CR removal.
        {"[S]\n\r\n\r\r\n\rx\n", {{"S", {{"", ""}, {"\rx", ""}}}}},
        {"[S]\r\nk = v\r\nw = x\r\r\n", {{"S", {{"k", "v"}, {"w", "x"}}}}},
        {"key\t= 1\n", {{"", {{"key\t", "1"}}}}},
        {" [Settings]\n[Settings] ; switches\nk=1",
         {{"", {{"[Settings]", ""}}}, {"Settings", {{"k", "1"}}}}},
        {"Name = A;B\n[A;B]\na = b = c\n", {{"", {{"Name", "A"}, {"[A", ""}, {"a", "b = c"}}}}},
        {"[S]\nk=1\n\x1a"
         "j=2\n",
         {{"S", {{"k", "1"}}}}},
        // Notepad's UTF-8 byte-order mark: skipped once at the start of the file, kept elsewhere.
        {"\xEF\xBB\xBF[Settings]\r\nk=1\r\n", {{"Settings", {{"k", "1"}}}}},
        {"\xEF\xBB\xBF\xEF\xBB\xBFk=1\n[S]\n\xEF\xBB\xBFj=2\n",
         {{"", {{"\xEF\xBB\xBFk", "1"}}}, {"S", {{"\xEF\xBB\xBFj", "2"}}}}}};
    for (const Case& c : cases) {
        EXPECT_EQ(Parse(c.text), c.expected) << c.text;
    }
}

TEST(ConfigFile, LoadsAFileAsItsBytesAndAMissingOneAsNone) {
    const auto path = std::filesystem::temp_directory_path() / "velmora_config_test.cfg";
    const std::string text = "[S]\r\n\r\nlong=" + std::string(200'000, 'x') + "\r\nlast = line";
    std::ofstream(path, std::ios::binary) << text;
    ConfigFile config;
    config.Load(path.string());
    EXPECT_EQ(config.Sections(), Parse(text));
    std::filesystem::remove(path);
    config.Load(path.string());
    EXPECT_TRUE(config.Sections().empty());
}

TEST(ConfigFile, ReadsIntegersInBaseTenAndLeavesTheTargetOnFailure) {
    const std::pair<std::string, std::optional<std::int32_t>> cases[] = {
        {"42", 42},
        {" \t-7", -7},
        {"+3", 3},
        {"12abc", 12},
        {"5.9", 5},
        {"0x1F", 0},
        {"010", 10},
        {"1,000", 1},
        {"\v\f\r\n8", 8},
        {"-2147483648", std::numeric_limits<std::int32_t>::min()},
        {"2147483647", std::numeric_limits<std::int32_t>::max()},
        {"2147483648", {}},
        {"-2147483649", {}},
        {"abc", {}},
        {"- 5", {}},
        {"", {}},
        {"   ", {}}};
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(ParseInt(value), expected) << '"' << value << '"';
    }
}

// Bit for bit, so that -0.0 and 0.0 differ and an infinity is checked too.
void ExpectFloat(const std::string& value, std::optional<float> expected) {
    const std::optional<float> got = ParseFloat(value);
    EXPECT_TRUE(got.has_value() == expected.has_value() &&
                (!got || (*got == *expected && std::signbit(*got) == std::signbit(*expected))))
        << '"' << value << "\" gave " << got.value_or(-1.0f) << ", want "
        << expected.value_or(-1.0f);
}

TEST(ConfigFile, ReadsFloatsWithAPointAndLeavesTheTargetOnFailure) {
    const float inf = std::numeric_limits<float>::infinity();
    const std::pair<std::string, std::optional<float>> cases[] = {
        {"2.5", 2.5f},
        {"-.25", -0.25f},
        {"3e1", 30.0f},
        {"2,5", 2.0f},
        {"1e2x", 100.0f},
        {".5", 0.5f},
        {" +1.5E-1", 0.15f},
        {"3.4028235e38", std::numeric_limits<float>::max()},
        {"1e39", inf},
        {"-1e39", -inf},
        {"1e-400", 0.0f},
        {"-1e-400", -0.0f},
        {"0." + std::string(500, '0') + "1e500", 0.1f},
        {"1e", {}},
        {"1e+", {}},
        {"x1", {}},
        {"", {}},
        {"-.e1", {}},
        {"inf", {}},
        {"nan", {}},
        {"1e309", {}}};
    for (const auto& [value, expected] : cases) {
        ExpectFloat(value, expected);
    }
}

TEST(ConfigFile, TakesTrueInAnyLetterCaseAndNothingElse) {
    for (const char* value : {"true", "TRUE", "tRuE"}) {
        EXPECT_EQ(ParseFlag(value), true) << value;
    }
    for (const char* value : {"yes", "1", "on", "true\t", " true", "truee"}) {
        EXPECT_EQ(ParseFlag(value), false) << value;
    }
    EXPECT_EQ(ParseFlag(""), std::nullopt);
}

// A game may switch the process to a locale whose decimal point is a comma: the German C locale
// where the system has one (Windows and Wine do), and a comma C++ locale everywhere.
TEST(ConfigFile, ReadsNumbersWithAPointUnderAGermanLocale) {
    const std::string c = std::setlocale(LC_ALL, nullptr);
    const std::locale cpp;
    for (const char* name : {"de_DE.UTF-8", "German_Germany.1252"}) {
        if (std::setlocale(LC_ALL, name) != nullptr) {
            break;
        }
    }
    struct CommaPoint : std::numpunct<char> {
        char do_decimal_point() const override { return ','; }
    };
    std::locale::global(std::locale(std::locale::classic(), new CommaPoint));
    ExpectFloat("2.5", 2.5f);
    ExpectFloat("2,5", 2.0f);
    EXPECT_EQ(ParseInt("1.000"), 1);
    std::locale::global(cpp);
    std::setlocale(LC_ALL, c.c_str());
}

}  // namespace
}  // namespace velmora
