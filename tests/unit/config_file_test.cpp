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
using namespace std::string_literals;

Map Parse(std::string_view text) {
    ConfigFile config;
    config.Parse(text);
    return config.Sections();
}

// Appends rather than prepends: g++ 12 warns falsely (-Wrestrict) on "literal" + std::string.
std::string Concat(std::string_view a, std::string_view b, std::string_view c) {
    return std::string(a).append(b).append(c);
}

// A file in the temporary directory, removed again by the destructor.
class TempFile {
public:
    explicit TempFile(const std::string& bytes)
        : path_(std::filesystem::temp_directory_path() /
                Concat("velmora_config_test_", std::to_string(++count_), ".cfg")) {
        std::ofstream(path_, std::ios::binary) << bytes;
    }
    ~TempFile() { std::filesystem::remove(path_); }
    std::string Path() const { return path_.string(); }

private:
    static inline int count_ = 0;
    std::filesystem::path path_;
};

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
        {"key =\n", {{"", {{"key", ""}}}}},
        {"[G]\nYaw MinFrames = 5 ; five frames\n", {{"G", {{"Yaw MinFrames", "5"}}}}},
        {"[ Example Car ]\nk=1\n[]\nk=2\n[\n",
         {{" Example Car ", {{"k", "1"}}}, {"", {{"k", "2"}, {"[", ""}}}}},
        {"[S]\n   \n", {{"S", {{"", ""}}}}},
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
        {"[S]\nk=1\nj=2\x1a", {{"S", {{"k", "1"}, {"j", "2"}}}}},
        {"k\0=\0v\n"s, {{"", {{"k\0"s, "\0v"s}}}}},
        // Notepad's UTF-8 byte-order mark: skipped once at the start of the file, kept elsewhere.
        {"\xEF\xBB\xBF[Settings]\r\nk=1\r\n", {{"Settings", {{"k", "1"}}}}},
        {"\xEF\xBB\xBF\xEF\xBB\xBFk=1\n[S]\n\xEF\xBB\xBFj=2\n",
         {{"", {{"\xEF\xBB\xBFk", "1"}}}, {"S", {{"\xEF\xBB\xBFj", "2"}}}}}};
    for (const Case& c : cases) {
        EXPECT_EQ(Parse(c.text), c.expected) << c.text;
    }
}

TEST(ConfigFile, CreatesWhatALookupNamesAndCountsIt) {
    ConfigFile config;
    EXPECT_EQ(config.Value("Settings", "Use Tracker"), "");
    EXPECT_EQ(config.Sections(), (Map{{"Settings", {{"Use Tracker", ""}}}}));
    EXPECT_EQ(config.KeyCount("General Filter"), 0u);
    EXPECT_EQ(config.Sections().size(), 2u);
}

TEST(ConfigFile, ReadsAFileExactlyAsTheSameBytesInMemory) {
    // An empty CR LF line across every power-of-two offset, so that one straddles any read chunk
    // (read as two line ends, it would store an empty key), and a line longer than any chunk.
    std::string text = "[S]\n";
    for (std::size_t boundary = 64; boundary <= (1u << 20); boundary *= 2) {
        const std::string key = Concat("k", std::to_string(boundary), "=");
        text += key + std::string(boundary - 2 - text.size() - key.size(), 'v') + "\n\r\n";
    }
    text += Concat("long=", std::string(3'000'000, 'x'), "\r\nlast = line");
    const TempFile file(text);
    ConfigFile config;
    config.Load(file.Path());
    EXPECT_EQ(config.Sections(), Parse(text));
    EXPECT_EQ(config.Sections().at("S").count(""), 0u);
    EXPECT_EQ(config.Value("S", "last"), "line");
}

TEST(ConfigFile, EmptiesTheMapWhenTheFileCannotBeOpened) {
    ConfigFile config;
    config.Parse("[S]\nk=1\n");
    config.Load((std::filesystem::temp_directory_path() / "velmora_no_such_file.cfg").string());
    EXPECT_TRUE(config.Sections().empty());
}

TEST(ConfigFile, TrimsSpacesOnly) {
    const std::pair<std::string, std::string> cases[] = {
        {"  a b  ", "a b"}, {"    ", ""}, {"", ""}, {"\ta\t", "\ta\t"}, {" x\r", "x\r"}};
    for (auto [text, expected] : cases) {
        EXPECT_EQ(ConfigFile::Trim(text), expected);
    }
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
        {"000000000000000000000000042", 42},
        {"2147483648", {}},
        {"99999999999", {}},
        {"-2147483649", {}},
        {"abc", {}},
        {"- 5", {}},
        {"", {}},
        {"   ", {}},
        {"+", {}},
        {"--5", {}}};
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
        {"5.", 5.0f},
        {" +1.5E-1", 0.15f},
        {"0.1", 0.1f},
        {"80", 80.0f},
        {"3.4028235e38", std::numeric_limits<float>::max()},
        {"1e39", inf},
        {"-1e39", -inf},
        {"1e-400", 0.0f},
        {"-1e-400", -0.0f},
        {"0e99999999999999999999", 0.0f},
        {Concat("0.", std::string(500, '0'), "1e500"), 0.1f},
        {Concat("1", std::string(400, '0'), "e-400"), 1.0f},
        {"1e", {}},
        {"1e+", {}},
        {"x1", {}},
        {"", {}},
        {".", {}},
        {"-.e1", {}},
        {"inf", {}},
        {"nan", {}},
        {"1e309", {}},
        {"-1e309", {}},
        {"1e99999999999999999999", {}}};
    for (const auto& [value, expected] : cases) {
        ExpectFloat(value, expected);
    }
}

TEST(ConfigFile, TakesTrueInAnyLetterCaseAndNothingElse) {
    for (const char* value : {"true", "TRUE", "True", "tRuE"}) {
        EXPECT_EQ(ParseFlag(value), true) << value;
    }
    for (const char* value : {"yes", "1", "false", "true\t", " true", "tru", "truee"}) {
        EXPECT_EQ(ParseFlag(value), false) << value;
    }
    EXPECT_EQ(ParseFlag(""), std::nullopt);
}

// Restores the process locale, C and C++ alike, at the end of a test.
class LocaleGuard {
public:
    LocaleGuard() : c_(std::setlocale(LC_ALL, nullptr)) {}
    ~LocaleGuard() {
        std::locale::global(cpp_);
        std::setlocale(LC_ALL, c_.c_str());
    }

private:
    std::string c_;
    std::locale cpp_;
};

struct CommaPoint : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

void ExpectPointReadings() {
    ExpectFloat("2.5", 2.5f);
    ExpectFloat("2,5", 2.0f);
    ExpectFloat(Concat("0.", std::string(800, '3'), ""), 1.0f / 3.0f);
    EXPECT_EQ(ParseInt("1.000"), 1);
}

TEST(ConfigFile, ReadsNumbersAlikeUnderAGermanLocale) {
    const LocaleGuard guard;
    bool german = false;
    for (const char* name :
         {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "German_Germany.1252", "de-DE"}) {
        if (std::setlocale(LC_ALL, name) != nullptr && *std::localeconv()->decimal_point == ',') {
            german = true;
            break;
        }
    }
    if (!german) {
        GTEST_SKIP() << "no German locale installed";
    }
    ExpectPointReadings();
}

TEST(ConfigFile, ReadsNumbersAlikeUnderACommaDecimalPointInTheGlobalLocale) {
    const LocaleGuard guard;
    std::locale::global(std::locale(std::locale::classic(), new CommaPoint));
    ExpectPointReadings();
}

}  // namespace
}  // namespace velmora
