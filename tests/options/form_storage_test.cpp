#include "options/form_storage.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>

#include "options/fake_window.h"
#include "support/scratch_dir.h"

namespace brantel {
namespace {

using test::FileText;
using test::SetFileText;

const WindowPlacement kDesigned{0, kShowNormal, {-1, -1}, {-1, -1}, {184, 99, 975, 712}};

class FormStorageTest : public testing::Test {
  protected:
    FormStorageTest() { storage.SetIniFileName(IniPath()); }

    std::string IniPath() const { return dir.File("brantel.ini"); }
    void StoreOptions(const std::string& lines) { SetFileText(IniPath(), "[TForm1]\n" + lines); }
    // The placement the restore took from the file, apart from the final one that only moves
    // the maximized position.
    std::optional<WindowPlacement> PlacementFromFile() const {
        return window.applied.size() == 2 ? std::optional(window.applied.front()) : std::nullopt;
    }

    test::ScratchDir dir;
    test::FakeWindow window;
    test::FakeControl<int> portNumber{2};
    test::FakeControl<std::string> portSpeed{"9600"};
    test::FakeControl<std::string> address{"50"};
    test::FakeControl<std::string> parameters{""};
    WholeNumberProperty portNumberValue{[this] { return portNumber.value; },
                                        [this](int value) { portNumber.Set(value); }};
    TextProperty portSpeedText{[this] { return portSpeed.value; },
                               [this](const std::string& text) { portSpeed.Set(text); }};
    TextProperty addressText{[this] { return address.value; },
                             [this](const std::string& text) { address.Set(text); }};
    TextProperty parametersText{[this] { return parameters.value; },
                                [this](const std::string& text) { parameters.Set(text); }};
    FormStorage storage{window,
                        {{kForm1StoredProps[0], portNumberValue},
                         {kForm1StoredProps[1], portSpeedText},
                         {kForm1StoredProps[2], addressText},
                         {kForm1StoredProps[3], parametersText}}};
};

TEST_F(FormStorageTest, FirstRunRestoresNothingAndSavesEveryKeyInOrder) {
    storage.RestoreOptions();

    EXPECT_EQ(PlacementFromFile(), std::nullopt);
    EXPECT_EQ(window.states, std::vector{WindowState::kNormal});
    EXPECT_EQ(window.repaints, 1);
    EXPECT_EQ(portNumber.changes + portSpeed.changes + address.changes + parameters.changes, 0);
    ASSERT_EQ(window.applied.size(), 1u);
    EXPECT_EQ(window.applied.back().showCmd, kShowHidden);
    EXPECT_EQ(window.applied.back().maxPosition, (PlacementPoint{-4, -4}));
    EXPECT_TRUE(storage.Restored());
    EXPECT_FALSE(storage.Saved());

    storage.SaveOptions();

    EXPECT_EQ(FileText(IniPath()),
              "[TForm1]\n"
              "FormVersion=0\n"
              "Flags=0\n"
              "ShowCmd=1\n"
              "PixelsPerInch=96\n"
              "MinMaxPos(1280x1024)=-1,-1,-4,-4\n"
              "MinMaxPos=-1,-1,-4,-4\n"
              "NormPos(1280x1024)=184,99,975,712\n"
              "NormPos=184,99,975,712\n"
              "Visible=0\n"
              "PortNumber_Value=2\n"
              "PortSpeed_Text=9600\n"
              "AddressEdit_Text=50\n"
              "Parameters_Text=\n");
    EXPECT_TRUE(storage.Saved());
}

struct PlacementCase {
    const char* name;
    const char* lines;
    std::optional<WindowPlacement> expected;
};

WindowPlacement HiddenAt(PlacementRect rect, PlacementPoint minPosition = {-1, -1},
                         PlacementPoint maxPosition = {-1, -1}, int flags = 0) {
    return {flags, kShowHidden, minPosition, maxPosition, rect};
}

class RestorePlacementTest : public FormStorageTest,
                             public testing::WithParamInterface<PlacementCase> {};

TEST_P(RestorePlacementTest, AppliesTheStoredPosition) {
    StoreOptions(GetParam().lines);
    storage.RestoreOptions();
    EXPECT_EQ(PlacementFromFile(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RestorePlacementTest,
    testing::Values(
        PlacementCase{"NothingStored", "", std::nullopt},
        PlacementCase{"SuffixedKeyFirst", "NormPos(1280x1024)=10,20,810,620\nNormPos=1,2,3,4\n",
                      HiddenAt({10, 20, 810, 620})},
        PlacementCase{"PlainKeyWithoutSuffixed", "NormPos=1,2,300,400\n",
                      HiddenAt({1, 2, 300, 400})},
        PlacementCase{"PlainKeyWhenSuffixedEmpty", "NormPos(1280x1024)=\nNormPos=1,2,300,400\n",
                      HiddenAt({1, 2, 300, 400})},
        PlacementCase{"OtherScreenSizeIgnored",
                      "NormPos(1920x1080)=5,5,500,500\nNormPos=1,2,300,400\n",
                      HiddenAt({1, 2, 300, 400})},
        PlacementCase{"MissingWordsKeepCurrentRect", "NormPos=10 20\n",
                      HiddenAt({10, 20, 975, 712})},
        PlacementCase{"NonNumericWordsKeepCurrentRect", "NormPos=x,20, y ,700\n",
                      HiddenAt({184, 20, 975, 700})},
        PlacementCase{"MinMaxPosAlone", "MinMaxPos=-3,-4,-8,-9\n",
                      HiddenAt({184, 99, 975, 712}, {-3, -4}, {-8, -9})},
        PlacementCase{"MinMaxPosMissingWordsGiveZero", "MinMaxPos=5,q\n",
                      HiddenAt({184, 99, 975, 712}, {5, 0}, {0, 0})},
        PlacementCase{"FlagsWithHexPrefix", "Flags=0x2\nNormPos=1,2,300,400\n",
                      HiddenAt({1, 2, 300, 400}, {-1, -1}, {-1, -1}, 2)},
        PlacementCase{"FlagsAloneApplyNothing", "Flags=2\n", std::nullopt},
        PlacementCase{"SamePixelsPerInch", "PixelsPerInch=96\nNormPos=1,2,300,400\n",
                      HiddenAt({1, 2, 300, 400})},
        PlacementCase{"OtherPixelsPerInchDiscarded", "PixelsPerInch=120\nNormPos=1,2,300,400\n",
                      std::nullopt},
        PlacementCase{"RightNotBeyondLeft", "NormPos=300,2,300,400\n", std::nullopt},
        PlacementCase{"OffEveryScreenMovedOntoTheNearest", "NormPos=1500,1200,2291,1813\n",
                      HiddenAt({489, 411, 1280, 1024})},
        PlacementCase{"PartlyOnScreenKept", "NormPos=1000,900,1791,1513\n",
                      HiddenAt({1000, 900, 1791, 1513})},
        PlacementCase{"LargerThanTheScreenAtItsCorner", "NormPos=-3000,50,-1500,1150\n",
                      HiddenAt({0, 0, 1500, 1100})},
        PlacementCase{"NegativeVersionSkipsPlacement", "FormVersion=-1\nNormPos=1,2,300,400\n",
                      std::nullopt}),
    [](const testing::TestParamInfo<PlacementCase>& info) { return info.param.name; });

TEST_F(FormStorageTest, VisibleWindowKeepsItsShowState) {
    StoreOptions("NormPos=1,2,300,400\n");
    window.visible = true;
    storage.RestoreOptions();
    ASSERT_TRUE(PlacementFromFile());
    EXPECT_EQ(PlacementFromFile()->showCmd, kShowNormal);
    EXPECT_EQ(window.applied.back().showCmd, kShowNormal);
}

TEST_F(FormStorageTest, PositionIsKeptPerScreenSize) {
    storage.RestoreOptions();
    window.placement.normalRect = {10, 10, 510, 410};
    storage.SaveOptions();
    window.screen = {1920, 1080};
    window.placement.normalRect = {20, 20, 820, 620};
    storage.SaveOptions();

    const std::pair<PlacementSize, PlacementRect> expectations[] = {
        {{1280, 1024}, {10, 10, 510, 410}},
        {{1920, 1080}, {20, 20, 820, 620}},
        {{1600, 1200}, {20, 20, 820, 620}}};
    for (const auto& [screen, rect] : expectations) {
        window.screen = screen;
        window.placement.normalRect = kDesigned.normalRect;
        window.applied.clear();
        storage.RestoreOptions();
        ASSERT_TRUE(PlacementFromFile()) << screen.width;
        EXPECT_EQ(PlacementFromFile()->normalRect, rect) << screen.width;
    }
}

struct StateCase {
    const char* name;
    const char* lines;
    std::vector<WindowState> states;
    int minimizeCalls;
    int repaints;
};

class RestoreStateTest : public FormStorageTest, public testing::WithParamInterface<StateCase> {};

TEST_P(RestoreStateTest, AppliesTheStoredShowState) {
    StoreOptions(GetParam().lines);
    storage.RestoreOptions();
    EXPECT_EQ(window.states, GetParam().states);
    EXPECT_EQ(window.minimizeCalls, GetParam().minimizeCalls);
    EXPECT_EQ(window.repaints, GetParam().repaints);
}

const std::vector<WindowState> kNormal{WindowState::kNormal};
const std::vector<WindowState> kMaximized{WindowState::kMaximized};

INSTANTIATE_TEST_SUITE_P(
    Cases, RestoreStateTest,
    testing::Values(StateCase{"Missing", "", kNormal, 0, 1},
                    StateCase{"Zero", "ShowCmd=0\n", kNormal, 0, 1},
                    StateCase{"One", "ShowCmd=1\n", kNormal, 0, 1},
                    StateCase{"Five", "ShowCmd=5\n", kNormal, 0, 1},
                    StateCase{"Nine", "ShowCmd=9\n", kNormal, 0, 1},
                    StateCase{"Four", "ShowCmd=4\n", kNormal, 0, 1},
                    StateCase{"NotANumber", "ShowCmd=max\n", kNormal, 0, 1},
                    StateCase{"Two", "ShowCmd=2\n", kNormal, 1, 0},
                    StateCase{"Six", "ShowCmd=6\n", kNormal, 1, 0},
                    StateCase{"Seven", "ShowCmd=7\n", kNormal, 1, 0},
                    StateCase{"Three", "ShowCmd=3\n", kMaximized, 0, 1},
                    StateCase{"ThreeInHex", "ShowCmd=0x3\n", kMaximized, 0, 1},
                    StateCase{"ThreeWithDollar", "ShowCmd=$3\n", kMaximized, 0, 1},
                    StateCase{"NegativeVersionSkipsState", "FormVersion=-1\nShowCmd=3\n",
                              std::vector<WindowState>{}, 0, 0},
                    StateCase{"LaterVersionRestores", "FormVersion=1\nShowCmd=3\n", kMaximized, 0,
                              1}),
    [](const testing::TestParamInfo<StateCase>& info) { return info.param.name; });

struct PortNumberCase {
    const char* name;
    const char* lines;
    int value;
    int changes;
};

class RestorePortNumberTest : public FormStorageTest,
                              public testing::WithParamInterface<PortNumberCase> {};

TEST_P(RestorePortNumberTest, TakesWholeNumbersOnly) {
    StoreOptions(GetParam().lines);
    storage.RestoreOptions();
    EXPECT_EQ(portNumber.value, GetParam().value);
    EXPECT_EQ(portNumber.changes, GetParam().changes);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RestorePortNumberTest,
    testing::Values(PortNumberCase{"Missing", "", 2, 0},
                    PortNumberCase{"Same", "PortNumber_Value=2\n", 2, 0},
                    PortNumberCase{"Other", "PortNumber_Value=3\n", 3, 1},
                    PortNumberCase{"Blanks", "PortNumber_Value=\" \t3 \"\n", 3, 1},
                    PortNumberCase{"Quoted", "PortNumber_Value='4'\n", 4, 1},
                    PortNumberCase{"RoundsUp", "PortNumber_Value=3.7\n", 4, 1},
                    PortNumberCase{"HalfToEvenDown", "PortNumber_Value=2.5\n", 2, 0},
                    PortNumberCase{"HalfToEvenUp", "PortNumber_Value=3.5\n", 4, 1},
                    PortNumberCase{"NegativeHalf", "PortNumber_Value=-1.5\n", -2, 1},
                    PortNumberCase{"Exponent", "PortNumber_Value=0.3e1\n", 3, 1},
                    PortNumberCase{"Empty", "PortNumber_Value=\n", 2, 0},
                    PortNumberCase{"Letters", "PortNumber_Value=abc\n", 2, 0},
                    PortNumberCase{"Hexadecimal", "PortNumber_Value=0x3\n", 2, 0},
                    PortNumberCase{"CommaDecimal", "PortNumber_Value=3,0\n", 2, 0},
                    PortNumberCase{"BeyondInt", "PortNumber_Value=1e20\n", 2, 0},
                    PortNumberCase{"Infinity", "PortNumber_Value=inf\n", 2, 0},
                    PortNumberCase{"NegativeVersionSkips", "FormVersion=-1\nPortNumber_Value=3\n",
                                   2, 0}),
    [](const testing::TestParamInfo<PortNumberCase>& info) { return info.param.name; });

TEST_F(FormStorageTest, TextPropertiesAreRestoredTrimmedAndAFailedOneSkipped) {
    StoreOptions("PortNumber_Value=abc\nPortSpeed_Text=fast\nParameters_Text=\"  a:1 b:2 \t\"\n");
    storage.RestoreOptions();
    EXPECT_EQ(portNumber.value, 2);
    EXPECT_EQ(portSpeed.value, "fast");
    EXPECT_EQ(address.value, "50");
    EXPECT_EQ(address.changes, 0);
    EXPECT_EQ(parameters.value, "a:1 b:2");
}

struct QuotationCase {
    const char* parameters;
    const char* storedLine;
    const char* restored;
};

class QuotationTest : public FormStorageTest, public testing::WithParamInterface<QuotationCase> {};

TEST_P(QuotationTest, ParametersComeBackAsSaved) {
    storage.RestoreOptions();
    parameters.value = GetParam().parameters;
    storage.SaveOptions();
    EXPECT_NE(FileText(IniPath()).find(std::string("\n") + GetParam().storedLine + "\n"),
              std::string::npos)
        << FileText(IniPath());

    parameters.value = "";
    storage.RestoreOptions();
    EXPECT_EQ(parameters.value, GetParam().restored);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, QuotationTest,
    testing::Values(QuotationCase{"  a:1 b:2\t", "Parameters_Text=a:1 b:2", "a:1 b:2"},
                    QuotationCase{"'abc'", "Parameters_Text=\"'abc'\"", "'abc'"},
                    QuotationCase{"\"abc\"", "Parameters_Text=\"\"abc\"\"", "\"abc\""},
                    QuotationCase{"\"abc", "Parameters_Text=\"\"abc\"", "\"abc"},
                    QuotationCase{"a\"b", "Parameters_Text=a\"b", "a\"b"}));

TEST_F(FormStorageTest, SaveWritesNothingBeforeTheFirstRestore) {
    storage.SaveOptions();
    storage.SaveAtDestruction();
    EXPECT_FALSE(std::filesystem::exists(IniPath()));
    EXPECT_FALSE(storage.Saved());
}

TEST_F(FormStorageTest, SaveAtDestructionOnlyWithoutASaveSinceRestore) {
    storage.RestoreOptions();
    storage.SaveOptions();
    SetFileText(IniPath(), "untouched");
    storage.SaveAtDestruction();
    EXPECT_EQ(FileText(IniPath()), "untouched");

    storage.RestoreOptions();
    EXPECT_FALSE(storage.Saved());
    storage.SaveAtDestruction();
    EXPECT_NE(FileText(IniPath()).find("\nVisible=1\n"), std::string::npos);
    EXPECT_TRUE(storage.Saved());
    EXPECT_FALSE(storage.Destroying());
}

TEST_F(FormStorageTest, NegativeVersionStillAllowsSavingVersionZero) {
    StoreOptions("FormVersion=-1\n");
    storage.RestoreOptions();
    EXPECT_TRUE(storage.Restored());
    ASSERT_EQ(window.applied.size(), 1u);
    EXPECT_EQ(window.applied.back().maxPosition, (PlacementPoint{-4, -4}));

    storage.SaveOptions();
    EXPECT_EQ(FileText(IniPath()).rfind("[TForm1]\nFormVersion=0\n", 0), 0u);
}

TEST_F(FormStorageTest, SavedShowStateFollowsTheWindow) {
    storage.RestoreOptions();
    const std::pair<bool, int> cases[] = {{false, kShowMaximized}, {true, kShowMinimized}};
    for (const auto& [applicationMinimized, showCmd] : cases) {
        window.placement.showCmd = kShowMaximized;
        window.applicationMinimized = applicationMinimized;
        storage.SaveOptions();
        EXPECT_NE(FileText(IniPath()).find("\nShowCmd=" + std::to_string(showCmd) + "\n"),
                  std::string::npos);
    }
}

TEST_F(FormStorageTest, FailedWriteRaisesAndLeavesSavedClear) {
    storage.RestoreOptions();
    const std::string unwritable = dir.File("missing/brantel.ini");
    storage.SetIniFileName(unwritable);
    try {
        storage.SaveAtDestruction();
        FAIL() << "the save did not fail";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(std::string(error.what()), "Unable to write to " + unwritable);
    }
    EXPECT_FALSE(storage.Saved());
    EXPECT_FALSE(storage.Destroying());
}

TEST_F(FormStorageTest, KeysBeforeAFailedWriteStay) {
    storage.RestoreOptions();
    parameters.value = "a\nb";
    EXPECT_THROW(storage.SaveOptions(), std::invalid_argument);
    EXPECT_FALSE(storage.Saved());
    const std::string text = FileText(IniPath());
    EXPECT_NE(text.find("\nAddressEdit_Text=50\n"), std::string::npos);
    EXPECT_EQ(text.find("Parameters_Text"), std::string::npos);
}

}  // namespace
}  // namespace brantel
