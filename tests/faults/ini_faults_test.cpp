#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QLineEdit>
#include <QTest>
#include <algorithm>
#include <csignal>
#include <filesystem>
#include <functional>
#include <random>

#include "app/program_state.h"
#include "app/tform1.h"
#include "commands/command_row.h"
#include "faults/fault_helpers.h"
#include "options/form_storage.h"
#include "platform/profile_store.h"
#include "widgets/command_grid.h"
#include "widgets/port_number_edit.h"

namespace brantel::test {
namespace {

std::vector<std::string> FileNamesBeside(const std::string& path) {
    std::vector<std::string> names;
    for (const auto& entry :
         std::filesystem::directory_iterator(std::filesystem::path(path).parent_path())) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

struct WriteFailureCase {
    const char* name;
    int resource;
    // The lowered limit, given the size of the INI file as it stands.
    std::function<rlim_t(std::size_t)> limit;
    // How many of the close's two saves (the options, then the command table) fail.
    int failedSaves;
};

// A save that cannot write reports the store's error and leaves the previous file whole; the
// window stays open with everything it holds, and closes once the file can be written again.
TEST(IniFaultsTest, FailedWriteKeepsThePreviousFileAndTheWindow) {
    const WriteFailureCase cases[] = {
        // The options rewrite the file unchanged; the table's changed row outgrows it.
        {"a file-size limit the new file outgrows midway", RLIMIT_FSIZE,
         [](std::size_t size) { return static_cast<rlim_t>(size); }, 1},
        {"no file can be opened", RLIMIT_NOFILE, [](std::size_t) { return rlim_t{0}; }, 2},
    };
    for (const WriteFailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        WindowFixture fixture;
        fixture.WriteIni("");
        TForm1& form = fixture.Start();
        form.SaveAtSessionEnd();
        const std::string before = fixture.IniText();
        const std::string cell = "kept while the file cannot take it";
        Named<CommandGrid>(form, "CmdGrid")->SetCellText(0, 5, cell);
        {
            const LoweredLimit lowered(c.resource, c.limit(before.size()));
            form.close();
        }
        const QString error = WindowFixture::Title() + "|Unable to write to " +
                              QString::fromStdString(fixture.IniPath()) + ".";
        EXPECT_EQ(fixture.NewErrors(), QStringList(c.failedSaves, error));
        EXPECT_TRUE(fixture.IniText() == before);
        // No temporary file is left; the lock stays while the window is open.
        EXPECT_EQ(FileNamesBeside(fixture.IniPath()),
                  (std::vector<std::string>{"brantel.ini", "brantel.ini.lock"}));
        EXPECT_TRUE(form.isVisible());
        EXPECT_EQ(Named<CommandGrid>(form, "CmdGrid")->CellText(0, 5), cell);

        form.close();
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(fixture.NewErrors().size(), c.failedSaves);
        EXPECT_EQ(ProfileStore(fixture.IniPath()).ReadString(kCommandSection, CommandKey(5), ""),
                  EncodeCommandRow({cell}));
    }
}

// Bytes of every value, newlines and zero bytes among them, the same on every run.
std::string BinaryGarbage(std::size_t size) {
    std::minstd_rand generator(20240607);
    std::string bytes(size, '\0');
    for (char& byte : bytes) {
        byte = static_cast<char>(generator() & 0xFF);
    }
    return bytes;
}

const std::string kOptions = "PortNumber_Value=3\nAddressEdit_Text=7F\n";
const std::string kRow = "Command1=First;01 A CRC;ok\n";

struct CorruptIniCase {
    const char* name;
    std::string text;
    // The cells of the rows from row 1 on; the rows after them are empty.
    std::vector<std::vector<std::string>> rows{{"First", "01 A CRC", "ok"}};
};

const char* const kOptionKeys[] = {
    "FormVersion",    "Flags",   "ShowCmd",          "PixelsPerInch",  "MinMaxPos",
    "NormPos",        "Visible", "PortNumber_Value", "PortSpeed_Text", "AddressEdit_Text",
    "Parameters_Text"};

// The window takes what a damaged INI file still holds, by the profile rules, and its next
// save leaves both sections whole: read back, and read again by the next start.
TEST(IniFaultsTest, CorruptFileGivesWhatItHoldsAndTheNextSaveIsWhole) {
    const CorruptIniCase cases[] = {
        {"binary garbage before the sections",
         BinaryGarbage(4096) + "\n[TForm1]\n" + kOptions + "[Main]\n" + kRow},
        {"binary garbage inside a section",
         "[TForm1]\n" + kOptions + BinaryGarbage(4096) + "\n[Main]\n" + kRow},
        {"zero bytes",
         "[TForm1]\n" + std::string("\0\0\0\n", 4) + kOptions + "[Main]\n" + kRow +
             std::string("Command2=\0;\0\n", 13),
         {{"First", "01 A CRC", "ok"}, {std::string(1, '\0'), std::string(1, '\0')}}},
        {"a line of 1 MB",
         "[TForm1]\n" + kOptions + std::string(1 << 20, 'x') + "\n[Main]\n" + kRow},
        {"section headers without their bracket", "[TForm1\n" + kOptions + "[Main\n" + kRow},
        {"a byte-order mark before the first section",
         "\xEF\xBB\xBF[TForm1]\n" + kOptions + "[Main]\n" + kRow},
        {"duplicate keys and sections",
         "[TForm1]\n" + kOptions + "PortNumber_Value=4\nAddressEdit_Text=22\n[Main]\n" + kRow +
             "Command1=Second;02;no\n[TForm1]\nPortNumber_Value=1\n"},
    };
    for (const CorruptIniCase& c : cases) {
        SCOPED_TRACE(c.name);
        WindowFixture fixture;
        fixture.WriteIni(c.text);
        const auto expectTaken = [&](TForm1& form) {
            EXPECT_EQ(fixture.State().port.OpenPortNumber(), 3);
            EXPECT_EQ(Named<QLineEdit>(form, "AddressEdit")->text(), "7F");
            for (std::size_t row = 0; row < c.rows.size(); ++row) {
                for (std::size_t column = 0; column < c.rows[row].size(); ++column) {
                    EXPECT_EQ(Named<CommandGrid>(form, "CmdGrid")
                                  ->CellText(static_cast<int>(column), static_cast<int>(row) + 1),
                              c.rows[row][column]);
                }
            }
        };
        expectTaken(fixture.Start());
        fixture.Form().close();
        EXPECT_FALSE(fixture.Form().isVisible());
        const std::string_view mark = "\xEF\xBB\xBF";
        EXPECT_EQ(fixture.IniText().starts_with(mark), c.text.starts_with(mark));

        const ProfileStore store(fixture.IniPath());
        for (const char* key : kOptionKeys) {
            EXPECT_NE(store.ReadString(kOptionsSection, key, "?"), "?") << key;
        }
        EXPECT_EQ(store.ReadString(kOptionsSection, "PortNumber_Value", ""), "3");
        EXPECT_EQ(store.ReadString(kOptionsSection, "AddressEdit_Text", ""), "7F");
        for (int number = 1; number <= kCommandRows; ++number) {
            EXPECT_EQ(store.ReadString(kCommandSection, CommandKey(number), "?"),
                      EncodeCommandRow(static_cast<std::size_t>(number) <= c.rows.size()
                                           ? c.rows[static_cast<std::size_t>(number) - 1]
                                           : std::vector<std::string>{}))
                << number;
        }
        fixture.Destroy();
        expectTaken(fixture.Start());
        EXPECT_TRUE(fixture.NewErrors().isEmpty()) << fixture.NewErrors().join("\n").toStdString();
    }
}

}  // namespace
}  // namespace brantel::test
