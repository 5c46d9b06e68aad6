#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

std::string ReadAll(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// Runs the calculator with its output streams caught in temporary files.
Outcome RunFrameTool(const std::vector<std::string>& args) {
    char outPath[] = "/tmp/brantel-frame-outXXXXXX";
    char errPath[] = "/tmp/brantel-frame-errXXXXXX";
    const int out = mkstemp(outPath);
    const int err = mkstemp(errPath);
    Outcome outcome;
    if (out < 0 || err < 0) {
        ADD_FAILURE() << "no temporary files";
        return outcome;
    }
    std::vector<char*> argv;
    std::string program = BRANTEL_FRAME_EXE;
    argv.push_back(program.data());
    std::vector<std::string> copies = args;
    for (std::string& arg : copies) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)) {
        outcome.status = WEXITSTATUS(status);
    }
    close(out);
    close(err);
    outcome.out = ReadAll(outPath);
    outcome.err = ReadAll(errPath);
    std::remove(outPath);
    std::remove(errPath);
    return outcome;
}

struct FrameRun {
    std::vector<std::string> args;
    std::string out;
    std::string err = "";  // the warnings
};

class FrameToolTest : public ::testing::TestWithParam<FrameRun> {};

// The frame goes to standard output and the explanation's warnings to standard error; neither
// the frame nor the exit status depends on them.
TEST_P(FrameToolTest, PrintsTheFrameAsHexBytes) {
    const Outcome outcome = RunFrameTool(GetParam().args);
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.out, GetParam().out);
    EXPECT_EQ(outcome.err, GetParam().err);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FrameToolTest,
    ::testing::Values(
        FrameRun{{"A 03 00 10 L CRC"}, "50 03 00 10 06 69\n"},
        FrameRun{{"--var", "300", "--var", "-1", "A 01 L D D CRC"}, "50 01 06 2C FF 82\n"},
        FrameRun{{"--params", "P:xy", "A 02 L 01 P CRC"},
                 "50 02 07 01 78 4B 00\n",
                 "warning: `CRC` patches byte 6, but the checksum field is at byte 7 after the "
                 "2-byte parameter `P`\n"},
        FrameRun{{"--params", "N:12 S:ab", "--", "01 N S"}, "01 31 32 61 62\n"},
        FrameRun{{"--address", "1FF", "A"}, "FF\n"},
        FrameRun{{"--address", "", "A 01"},
                 "00 01\n",
                 "warning: the address is empty: `A` gives the byte 00\n"},
        FrameRun{{""}, "\n"}, FrameRun{{"   "}, "\n"},
        FrameRun{{"--var", "2", "--", "--var"}, "02\n"},
        FrameRun{{"--var", "7", "--", "-x"}, "07\n"}, FrameRun{{"-", "--var", "5"}, "05\n"},
        FrameRun{{"--params", "N:1", "--params", "M:3", "--var", "5", "N M"}, "05 33\n"}));

// Bytes that are likely not what was meant are still sent as they stand.
INSTANTIATE_TEST_SUITE_P(
    Warnings, FrameToolTest,
    ::testing::Values(
        FrameRun{{"--params", "N:12", "--var", "300", "A 01 L D N CRC"},
                 "50 01 07 2C 31 E7 00\n",
                 "warning: `CRC` patches byte 6, but the checksum field is at byte 7 after the "
                 "2-byte parameter `N`\n"},
        FrameRun{{"--var", "1", "50 EF 01"},
                 "50 01 01\n",
                 "warning: `EF` reads variable 1 once; for the byte EF write `0EF`\n"},
        FrameRun{{"0G 0x10 0123456789 10"},
                 "00 00 00 10\n",
                 "warning: `0G` starts with a digit but is not hexadecimal: it gives the byte 00\n"
                 "warning: `0x10` starts with a digit but is not hexadecimal: it gives the byte "
                 "00\n"
                 "warning: `0123456789` starts with a digit but is not hexadecimal: it gives the "
                 "byte 00\n"},
        FrameRun{{"--var", "7", "01\t02 A\t03 04\x01"},
                 "00 07 07 07 00\n",
                 "warning: `01\\t02` holds a tab: only spaces separate tokens\n"
                 "warning: `A\\t03` holds a tab: only spaces separate tokens\n"
                 "warning: `04\\x01` holds a control character: only spaces separate tokens\n"},
        FrameRun{{"--address", "ZZ", "A 01 A"},
                 "00 01 00\n",
                 "warning: the address `ZZ` is not hexadecimal: `A` gives the byte 00\n"},
        FrameRun{{"--address", "0x50", "A"},
                 "00\n",
                 "warning: the address `0x50` is not hexadecimal: `A` gives the byte 00\n"},
        FrameRun{{"--address", "ZZ", "01"}, "01\n"},
        FrameRun{{"--quiet", "--address", "ZZ", "A 01 A"}, "00 01 00\n"},
        FrameRun{{"--var", "1", "50 EF 01", "--quiet"}, "50 01 01\n"}));

struct FailedRun {
    std::vector<std::string> args;
    int status;
    std::string err;  // the whole of stderr for a conversion error, its start for bad usage
};

class FrameToolFailureTest : public ::testing::TestWithParam<FailedRun> {};

TEST_P(FrameToolFailureTest, ReportsOnStandardErrorOnly) {
    const FailedRun& run = GetParam();
    const Outcome outcome = RunFrameTool(run.args);
    EXPECT_EQ(outcome.status, run.status);
    EXPECT_EQ(outcome.out, "");
    if (run.status == 1) {
        EXPECT_EQ(outcome.err, run.err);
    } else {
        EXPECT_EQ(outcome.err.substr(0, run.err.size()), run.err);
        EXPECT_NE(outcome.err.find("usage: brantel-frame"), std::string::npos);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Runs, FrameToolFailureTest,
    ::testing::Values(
        FailedRun{{"A D"}, 1, "`D` reads Var1: '' is not a valid integer value.\n"},
        FailedRun{{"--var", "5 ", "D"}, 1, "`D` reads Var1: '5 ' is not a valid integer value.\n"},
        FailedRun{{"--var", "1", "D X0"}, 1, "`X0` reads Var2: '' is not a valid integer value.\n"},
        FailedRun{{"--var", "50 EF 01", "D"},
                  1,
                  "`D` reads Var1: '50 EF 01' is not a valid integer value.\n"},
        FailedRun{{"--var", "1", "--var", "2", "--var", "3", "D D D V"},
                  1,
                  "`V` reads column 1: '' is not a valid integer value.\n"},
        FailedRun{{"--quiet", "D0 C4"}, 1, "`D0` reads Var1: '' is not a valid integer value.\n"},
        FailedRun{{"--params", "A:1,B:2", "01"}, 1, "'1,B' is not a valid integer value.\n"},
        FailedRun{{}, 2, "brantel-frame: no TEMPLATE given\n"},
        FailedRun{{"01", "02"}, 2, "brantel-frame: more than one TEMPLATE given\n"},
        FailedRun{{"--address"}, 2, "brantel-frame: --address needs a value\n"},
        FailedRun{{"--bogus", "01"}, 2, "brantel-frame: unknown option --bogus\n"},
        FailedRun{{"-x"}, 2, "brantel-frame: unknown option -x\n"}));

struct ExplainRun {
    std::vector<std::string> args;
    int status;
    std::string out;
    std::string err;
};

class FrameToolExplainTest : public ::testing::TestWithParam<ExplainRun> {};

// The table goes to standard output; the exit status and standard error stay as without it.
// The warnings are in the table and on standard error.
TEST_P(FrameToolExplainTest, PrintsTheTableAndKeepsTheExitStatus) {
    const ExplainRun& run = GetParam();
    const Outcome outcome = RunFrameTool(run.args);
    EXPECT_EQ(outcome.status, run.status);
    EXPECT_EQ(outcome.out, run.out);
    EXPECT_EQ(outcome.err, run.err);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, FrameToolExplainTest,
    ::testing::Values(
        ExplainRun{{"--explain", "--params", "N:12", "A N L CRC"},
                   0,
                   "#  token  class      bytes  at\n"
                   "1  A      address    50     1\n"
                   "2  N      parameter  31 32  2-3\n"
                   "3  L      length     04     4\n"
                   "4  CRC    checksum   00     5\n"
                   "length 05 written to byte 3\n"
                   "checksum 8A written to byte 4\n"
                   "frame: 50 31 05 8A 00\n"
                   "warning: `L` patches byte 3, but the length field is at byte 4 after the "
                   "2-byte parameter `N`\n"
                   "warning: `CRC` patches byte 4, but the checksum field is at byte 5 after the "
                   "2-byte parameter `N`\n",
                   "warning: `L` patches byte 3, but the length field is at byte 4 after the "
                   "2-byte parameter `N`\n"
                   "warning: `CRC` patches byte 4, but the checksum field is at byte 5 after the "
                   "2-byte parameter `N`\n"},
        ExplainRun{{"--var", "7", "--address", "1FF", "A D", "--explain"},
                   0,
                   "#  token  class                 bytes  at\n"
                   "1  A      address               FF     1\n"
                   "2  D      variable 1 (Var1) x1  07     2\n"
                   "frame: FF 07\n",
                   ""},
        ExplainRun{{"--explain", "01 03 00 00 00 02 C4 0B"},
                   1,
                   "#  token  class                 bytes  at\n"
                   "1  01     hex byte              01     1\n"
                   "2  03     hex byte              03     2\n"
                   "3  00     hex byte              00     3\n"
                   "4  00     hex byte              00     4\n"
                   "5  00     hex byte              00     5\n"
                   "6  02     hex byte              02     6\n"
                   "7  C4     variable 1 (Var1) x4  error  7-10\n"
                   "8  0B     hex byte              0B     11\n"
                   "error: '' is not a valid integer value\n"
                   "warning: `C4` reads variable 1 four times; for the byte C4 write `0C4`\n",
                   "warning: `C4` reads variable 1 four times; for the byte C4 write `0C4`\n"
                   "`C4` reads Var1: '' is not a valid integer value.\n"},
        ExplainRun{{"--explain", "--params", "A:1,B:2", "01"},
                   1,
                   "",
                   "'1,B' is not a valid integer value.\n"},
        ExplainRun{{"--quiet", "--explain", "--var", "1", "EF"},
                   0,
                   "#  token  class                 bytes  at\n"
                   "1  EF     variable 1 (Var1) x1  01     1\n"
                   "frame: 01\n"
                   "warning: `EF` reads variable 1 once; for the byte EF write `0EF`\n",
                   ""}));

TEST(FrameToolLimitsTest, AcceptsOneVariableForEachVariableColumn) {
    std::vector<std::string> args;
    std::string frameTemplate;
    for (int k = 0; k < 47; ++k) {
        args.insert(args.end(), {"--var", "1"});
        frameTemplate += "D ";
    }
    std::string expected;
    for (int k = 0; k < 47; ++k) {
        expected += k == 0 ? "01" : " 01";
    }
    std::vector<std::string> fits = args;
    fits.push_back(frameTemplate);
    EXPECT_EQ(RunFrameTool(fits).out, expected + "\n");

    args.insert(args.end(), {"--var", "1", frameTemplate});
    EXPECT_EQ(RunFrameTool(args).status, 2);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// Captured frames in, the best guess on the first line; a frame that is not hex bytes is bad
// usage naming it, and frames that no check ends are a failure of their own.
TEST(FrameToolChecksTest, FindsTheCheckOfCapturedFrames) {
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string start;  // of standard output, or of standard error when it fails
    };
    const Case cases[] = {
        {{"--find-check", "01 03 00 00 00 0A C5 CD", "010302000A3843"},
         0,
         "CRC-16/MODBUS  width 16, poly 8005, init FFFF, refin true, refout true, xorout 0000\n"},
        {{"--find-check", "12 34 56 78 9A", "DEADBEEF01", "11 22 33", "CA FE BA BE 77 88"},
         1,
         "no check found\n"},
        {{"--find-check", "01 03 02 00 0A 38 4"},
         2,
         "brantel-frame: --find-check: `01 03 02 00 0A 38 4` is not hex bytes: it has an odd "
         "number of hex digits\n"},
        {{"--find-check", "01 03", "01 0G"},
         2,
         "brantel-frame: --find-check: `01 0G` is not hex bytes: `G` is not a hex digit\n"},
        {{"--find-check"}, 2, "brantel-frame: --find-check needs at least one frame\n"},
        {{"--find-check", "--var", "1", "0101"},
         2,
         "brantel-frame: --var is for a TEMPLATE, not --find-check\n"},
    };
    for (const Case& c : cases) {
        const Outcome outcome = RunFrameTool(c.args);
        EXPECT_EQ(outcome.status, c.status) << c.args.back();
        const std::string& shown = c.status == 0 ? outcome.out : outcome.err;
        EXPECT_EQ(shown.substr(0, c.start.size()), c.start) << c.args.back();
        EXPECT_EQ(c.status == 0 ? outcome.err : outcome.out, "") << c.args.back();
        EXPECT_EQ(c.status == 2, outcome.err.find("usage: brantel-frame") != std::string::npos)
            << c.args.back();
    }
}

// The catalogue's CRCs, then the other checks, each with its value over "123456789".
TEST(FrameToolChecksTest, ExplainsAResponseCellAndItsFields) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--explain-response", "--address", "01", "A 03 02 T:S16*0.1 CRC-16/MODBUS"},
         "expects: 01 03 02 T:S16*0.1 CRC-16/MODBUS\nfield T: S16*0.1 at bytes 4-5\n"},
        {{"--explain-response", "01 * T:U16"},
         "a note, not checked: `T:U16` follows `*`, which only checks may follow: a field "
         "needs a place of its own\n"},
    };
    for (const auto& [args, out] : cases) {
        const Outcome outcome = RunFrameTool(args);
        EXPECT_EQ(outcome.status, 0);
        EXPECT_EQ(outcome.out, out);
    }
}

TEST(FrameToolChecksTest, ListsEveryCheck) {
    const Outcome outcome = RunFrameTool({"--list-checks"});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.err, "");
    const std::vector<std::string> lines = Lines(outcome.out);
    ASSERT_GT(lines.size(), 6u);
    EXPECT_EQ(lines.front().substr(0, 4), "CRC-");
    EXPECT_EQ(lines.back().substr(0, 10), "ADLER-32  ");
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "CRC-16/MODBUS  width 16, poly 8005, init FFFF, refin true, refout true, "
                        "xorout 0000  check 4B37"),
              lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "SUM-16  the sum of the bytes, modulo 65536  check 01DD"),
              lines.end());
    const std::regex crc32("CRC-32/ISO-HDLC  .*  check CBF43926  alias(es)? (.*, )?CRC-32(, .*)?");
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [&](const std::string& line) { return std::regex_match(line, crc32); }),
              1);
    EXPECT_EQ(RunFrameTool({"--list-checks", "01"}).status, 2);
}

// The manual page describes every option the usage lists.
TEST(FrameToolManualTest, NamesEveryOptionOfTheUsage) {
    const std::string usage = RunFrameTool({"--help"}).out;
    const std::string manual = ReadAll(BRANTEL_FRAME_MANUAL);
    ASSERT_NE(manual.find(".SH OPTIONS"), std::string::npos);
    const std::regex option("--([a-z]+)");
    int options = 0;
    for (auto it = std::sregex_iterator(usage.begin(), usage.end(), option);
         it != std::sregex_iterator(); ++it, ++options) {
        EXPECT_NE(manual.find("\\-\\-" + (*it)[1].str()), std::string::npos) << it->str();
    }
    EXPECT_GT(options, 0);
}

}  // namespace
