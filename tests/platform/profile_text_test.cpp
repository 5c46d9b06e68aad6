#include "platform/profile_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace brantel {
namespace {

struct FindCase {
    const char* name;
    std::string content;
    const char* section;
    const char* key;
    std::optional<std::string> expected;
};

class FindProfileValueTest : public testing::TestWithParam<FindCase> {};

TEST_P(FindProfileValueTest, FindsTheValue) {
    const FindCase& c = GetParam();
    EXPECT_EQ(FindProfileValue(c.content, c.section, c.key), c.expected);
}

constexpr char kNulBytes[] = "[A]\nk=x\0y\n\0\0[\xff\n";
const std::string kNulContent(kNulBytes, sizeof kNulBytes - 1);

INSTANTIATE_TEST_SUITE_P(
    Cases, FindProfileValueTest,
    testing::Values(
        FindCase{"Plain", "[Main]\nCommand1=Ping\n", "Main", "Command1", "Ping"},
        FindCase{"EmptyFile", "", "Main", "Command1", std::nullopt},
        FindCase{"MissingSection", "[Other]\nCommand1=x\n", "Main", "Command1", std::nullopt},
        FindCase{"MissingKey", "[Main]\nCommand2=x\n", "Main", "Command1", std::nullopt},
        FindCase{"KeyInOtherSection", "[Main]\n[TForm1]\nk=x\n", "Main", "k", std::nullopt},
        FindCase{"KeyBeforeAnySection", "k=x\n[Main]\n", "Main", "k", std::nullopt},
        FindCase{"SectionCase", "[mAIN]\nk=x\n", "Main", "k", "x"},
        FindCase{"KeyCase", "[Main]\ncommand1=x\n", "Main", "COMMAND1", "x"},
        FindCase{"NonAsciiNamesMatchExactly", "[\xc4]\n\xe4=x\n", "\xe4", "\xe4", std::nullopt},
        FindCase{"BlanksAroundNamesAndValue", "  [ Main ] \n\t k \t=  v w \t\n", "Main", "k",
                 "v w"},
        FindCase{"EmptyValue", "[Main]\nk=\n", "Main", "k", ""},
        FindCase{"DoubleQuotesRemoved", "[Main]\nk=\" a \"\n", "Main", "k", " a "},
        FindCase{"SingleQuotesRemoved", "[Main]\nk='a'\n", "Main", "k", "a"},
        FindCase{"OnlyOnePairRemoved", "[Main]\nk=\"\"a\"\"\n", "Main", "k", "\"a\""},
        FindCase{"UnmatchedQuotesKept", "[Main]\nk=\"a'\n", "Main", "k", "\"a'"},
        FindCase{"LoneQuoteKept", "[Main]\nk=\"\n", "Main", "k", "\""},
        FindCase{"EqualsInValue", "[Main]\nk=a=b\n", "Main", "k", "a=b"},
        FindCase{"CommentIsNoKey", "[Main]\n;k=x\nk=y\n", "Main", "k", "y"},
        FindCase{"CrLfLines", "[Main]\r\nk=x\r\nl=y\r\n", "Main", "k", "x"},
        FindCase{"LastLineWithoutBreak", "[Main]\nk=x", "Main", "k", "x"},
        FindCase{"FirstDuplicateWins", "[Main]\nk=1\nk=2\n", "Main", "k", "1"},
        FindCase{"RepeatedSectionSearched", "[Main]\na=1\n[X]\n[Main]\nk=2\n", "Main", "k", "2"},
        FindCase{"HeaderWithoutBracket", "[Main\nk=x\n", "Main", "k", "x"},
        FindCase{"TextAfterBracket", "[Main] ; note\nk=x\n", "Main", "k", "x"},
        FindCase{"NulBytes", kNulContent, "A", "k", std::string("x\0y", 3)},
        FindCase{"LongValueNotCut", "[M]\nk=" + std::string(1 << 20, 'v') + "\n", "M", "k",
                 std::string(1 << 20, 'v')}),
    [](const testing::TestParamInfo<FindCase>& info) { return info.param.name; });

struct WriteCase {
    const char* name;
    std::string before;
    const char* section;
    const char* key;
    const char* value;
    std::string after;
};

class WithProfileValueTest : public testing::TestWithParam<WriteCase> {};

TEST_P(WithProfileValueTest, RewritesOnlyTheKey) {
    const WriteCase& c = GetParam();
    EXPECT_EQ(WithProfileValue(c.before, c.section, c.key, c.value), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WithProfileValueTest,
    testing::Values(
        WriteCase{"NewFile", "", "Main", "k", "v", "[Main]\nk=v\n"},
        WriteCase{"ReplacedInPlace", "[Main]\na=1\nk=old\nb=2\n", "Main", "k", "new",
                  "[Main]\na=1\nk=new\nb=2\n"},
        WriteCase{"ReplacedKeepingSpellingOfTheFile", "[MAIN]\n KEY = 1\n", "Main", "key", "2",
                  "[MAIN]\nKEY=2\n"},
        WriteCase{"CrLfKeptAroundReplacedLine", "[Main]\r\nk=1\r\nb=2\r\n", "Main", "k", "3",
                  "[Main]\r\nk=3\r\nb=2\r\n"},
        WriteCase{"FirstDuplicateReplaced", "[Main]\nk=1\nk=2\n", "Main", "k", "3",
                  "[Main]\nk=3\nk=2\n"},
        WriteCase{"AppendedToSection", "[Main]\na=1\n\n[Other]\nb=2\n", "Main", "k", "v",
                  "[Main]\na=1\nk=v\n\n[Other]\nb=2\n"},
        WriteCase{"AppendedAfterComment", "[Main]\n; note\n\n", "Main", "k", "v",
                  "[Main]\n; note\nk=v\n\n"},
        WriteCase{"AppendedToHeaderAtEnd", "[Main]", "Main", "k", "v", "[Main]\nk=v\n"},
        WriteCase{"AppendedAfterLoneCarriageReturn", "[Main]\r", "Main", "k", "v",
                  "[Main]\r\nk=v\n"},
        WriteCase{"AppendedToFirstOfRepeatedSection", "[Main]\na=1\n[Main]\nb=2\n", "Main", "k",
                  "v", "[Main]\na=1\nk=v\n[Main]\nb=2\n"},
        WriteCase{"KeyInRepeatedSectionReplaced", "[Main]\na=1\n[Main]\nk=2\n", "Main", "k", "v",
                  "[Main]\na=1\n[Main]\nk=v\n"},
        WriteCase{"SectionAppendedAfterBlankLine", "; top\n[A]\nx=1\n", "Main", "k", "v",
                  "; top\n[A]\nx=1\n\n[Main]\nk=v\n"},
        WriteCase{"SectionAppendedToUnterminatedLine", "[A]\nx=1", "Main", "k", "v",
                  "[A]\nx=1\n\n[Main]\nk=v\n"},
        WriteCase{"NoSecondBlankLine", "[A]\nx=1\n\n", "Main", "k", "v",
                  "[A]\nx=1\n\n[Main]\nk=v\n"},
        WriteCase{"EmptyValue", "", "Main", "k", "", "[Main]\nk=\n"},
        WriteCase{"PlainValueUnquoted", "", "M", "k", "a \"b\" c", "[M]\nk=a \"b\" c\n"},
        WriteCase{"DoubleQuotedGetsOneMorePair", "", "M", "k", "\"abc\"", "[M]\nk=\"\"abc\"\"\n"},
        WriteCase{"SingleQuotedInDoubleQuotes", "", "M", "k", "'abc'", "[M]\nk=\"'abc'\"\n"},
        WriteCase{"LeadingBlankQuoted", "", "M", "k", " ;", "[M]\nk=\" ;\"\n"},
        WriteCase{"TrailingTabQuoted", "", "M", "k", "a\t", "[M]\nk=\"a\t\"\n"},
        WriteCase{"OneQuoteAtAnEndQuoted", "", "M", "k", "a'", "[M]\nk=\"a'\"\n"}),
    [](const testing::TestParamInfo<WriteCase>& info) { return info.param.name; });

TEST(ProfileSection, ListsItsKeysInOrderAsFindProfileValueReadsThem) {
    const std::string content =
        "\xEF\xBB\xBF[Answers]\r\nV=0\n; a comment\n T = wave(20,5,60) \n[Main]\nk=x\n"
        "[answers]\nv=9\nQ=\"  spaced \"\n";
    std::vector<std::string> entries;
    for (const ProfileEntry& entry : ProfileSection(content, "ANSWERS")) {
        entries.push_back(entry.key + "=" + entry.value);
        EXPECT_EQ(FindProfileValue(content, "Answers", entry.key), entry.value);
    }
    EXPECT_EQ(entries, (std::vector<std::string>{"V=0", "T=wave(20,5,60)", "Q=  spaced "}));
    EXPECT_TRUE(ProfileSection(content, "Missing").empty());
}

TEST(ProfileValueRoundTrip, EveryValueReadsBackAsWritten) {
    const std::string emptyRow = [] {
        std::string row = " ";
        for (int i = 1; i < 50; ++i) {
            row += "; ";
        }
        return row;
    }();
    const std::string values[] = {"",
                                  " ",
                                  "  x  ",
                                  "\"",
                                  "'",
                                  "\"\"",
                                  "\"a'",
                                  "a\"",
                                  "'abc'",
                                  "\"abc\"",
                                  "\t\"q\"\t",
                                  emptyRow,
                                  std::string(5000, 'w')};
    std::string content = "; kept\n[Other]\nk=1\n";
    for (const std::string& value : values) {
        content = WithProfileValue(content, "Main", "k", value);
        EXPECT_EQ(FindProfileValue(content, "Main", "k"), value);
        EXPECT_EQ(FindProfileValue(content, "Other", "k"), "1");
    }
    EXPECT_EQ(content.rfind("; kept\n[Other]\nk=1\n", 0), 0u);
}

TEST(ProfileValueRoundTrip, EmptyCommandRowIsStoredQuoted) {
    std::string row = " ";
    for (int i = 1; i < 50; ++i) {
        row += "; ";
    }
    ASSERT_EQ(row.size(), 99u);
    EXPECT_EQ(WithProfileValue("", "Main", "Command1", row), "[Main]\nCommand1=\"" + row + "\"\n");
}

struct RefusedCase {
    const char* name;
    const char* section;
    const char* key;
    const char* value;
};

class RefusedWriteTest : public testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedWriteTest, ThrowsInsteadOfCorruptingTheFile) {
    const RefusedCase& c = GetParam();
    EXPECT_THROW(WithProfileValue("[Main]\nk=1\n", c.section, c.key, c.value),
                 std::invalid_argument);
}

INSTANTIATE_TEST_SUITE_P(Cases, RefusedWriteTest,
                         testing::Values(RefusedCase{"LineFeedInValue", "Main", "k", "a\nb"},
                                         RefusedCase{"CarriageReturnInValue", "Main", "k", "a\r"},
                                         RefusedCase{"EqualsInKey", "Main", "a=b", "v"},
                                         RefusedCase{"EmptyKey", "Main", "", "v"},
                                         RefusedCase{"BlankEdgedKey", "Main", " k", "v"},
                                         RefusedCase{"CommentKey", "Main", ";k", "v"},
                                         RefusedCase{"BracketKey", "Main", "[k", "v"},
                                         RefusedCase{"BracketInSection", "Ma]in", "k", "v"},
                                         RefusedCase{"LineBreakInSection", "Ma\nin", "k", "v"},
                                         RefusedCase{"EmptySection", "", "k", "v"}),
                         [](const testing::TestParamInfo<RefusedCase>& info) {
                             return info.param.name;
                         });

}  // namespace
}  // namespace brantel
