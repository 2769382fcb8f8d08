#include "event_table.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "data_folder.h"
#include "ini_file.h"
#include "program_state.h"
#include "startup.h"
#include "test_support.h"

namespace tarvona {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

class EventTableTest : public ::testing::Test {
protected:
    EventTableTest() { SetUpPaths(state, dir.path()); }
    void Load() { LoadEvents(state); }
    TempDir dir;
    ProgramState state;
};

TEST_F(EventTableTest, MissingFileGivesClearedSlots) {
    Load();
    ASSERT_EQ(state.Events.EventCommand.size(), 25u);
    for (int n = 0; n < 25; ++n) {
        EXPECT_EQ(state.Events.EventCommand[n], "");
        EXPECT_EQ(state.Events.EventDescription[n], "");
        EXPECT_EQ(state.Events.EventRunStyle[n], 0);
        EXPECT_EQ(state.Events.EventFrequency[n], 9);
        EXPECT_EQ(state.Events.EventDue[n], "Disabled");
    }
    EXPECT_FALSE(test::Exists(state.IniFile)) << "loading must write nothing";
}

TEST_F(EventTableTest, FirstSaveWritesTheWholeLayout) {
    Load();
    const std::string message = state.MessageDir + "/msg12345.txt";
    state.Events.EventCommand[0] = "/usr/bin/report";
    state.Events.EventDescription[0] = "Daily report";
    state.Events.EventRunStyle[0] = 1;
    state.Events.EventFrequency[0] = 0;
    state.Events.EventDue[0] = "12-09-2026";
    state.Events.EventCommand[1] = message;
    state.Events.EventDescription[1] = "Reminder";
    state.Events.EventFrequency[1] = 7;
    state.Events.EventDue[1] = "?";
    ASSERT_TRUE(SaveEvents(state));

    std::string expected = "[Tarvona]\r\nVersion=1.36a\r\n[Commands]\r\n";
    expected += "Command0=/usr/bin/report\r\nCommand1=" + message + "\r\n";
    for (int n = 2; n < 25; ++n) expected += "Command" + std::to_string(n) + "=\r\n";
    expected += "[Descriptions]\r\nDescription0=Daily report\r\nDescription1=Reminder\r\n";
    for (int n = 2; n < 25; ++n) expected += "Description" + std::to_string(n) + "=\r\n";
    expected += "[RunStyle]\r\nRunStyle0=1\r\n";
    for (int n = 1; n < 25; ++n) expected += "RunStyle" + std::to_string(n) + "=0\r\n";
    expected += "[Frequency]\r\nFrequency0=0\r\nFrequency1=7\r\n";
    for (int n = 2; n < 25; ++n) expected += "Frequency" + std::to_string(n) + "=9\r\n";
    expected += "[Due]\r\nDue0=12-09-2026\r\nDue1=?\r\n";
    for (int n = 2; n < 25; ++n) expected += "Due" + std::to_string(n) + "=Disabled\r\n";

    const std::string written = ReadFile(state.IniFile);
    EXPECT_EQ(written, expected);
    EXPECT_EQ(test::CrLfLines(written).size(), 132u);
}

TEST_F(EventTableTest, CancelWritesOnlyTheVersion) {
    Load();
    state.Events.EventCommand[3] = "changed";
    state.CancelEdits = true;
    ASSERT_TRUE(SaveEvents(state));
    EXPECT_EQ(ReadFile(state.IniFile), "[Tarvona]\r\nVersion=1.36a\r\n");

    // With events already there, Cancel leaves every event byte as it was.
    const std::string before = "[Commands]\nCommand3 = old \n; mine\n[Due]\nDue3=01-02-2003\n";
    WriteFile(state.IniFile, before);
    ASSERT_TRUE(SaveEvents(state));
    EXPECT_EQ(ReadFile(state.IniFile), before + "[Tarvona]\r\nVersion=1.36a\r\n");
}

TEST_F(EventTableTest, RoundTripKeepsEverySlot) {
    Load();
    for (int n = 0; n < 25; ++n) {
        state.Events.EventCommand[n] = "/bin/cmd" + std::to_string(n);
        state.Events.EventDescription[n] = "  desc " + std::to_string(n);
        state.Events.EventRunStyle[n] = n % 3;
        state.Events.EventFrequency[n] = n % 10;
        state.Events.EventDue[n] = "01-" + std::to_string(10 + n) + "-2027";
    }
    state.Events.EventDescription[5] = std::string(300, 'd');
    ASSERT_TRUE(SaveEvents(state));
    ProgramState again;
    SetUpPaths(again, dir.path());
    LoadEvents(again);
    for (int n = 0; n < 25; ++n) {
        EXPECT_EQ(again.Events.EventCommand[n], state.Events.EventCommand[n]);
        // Blanks around a value are dropped on reading.
        EXPECT_EQ(again.Events.EventDescription[n],
                  n == 5 ? std::string(300, 'd') : "desc " + std::to_string(n));
        EXPECT_EQ(again.Events.EventRunStyle[n], n % 3);
        EXPECT_EQ(again.Events.EventFrequency[n], n % 10);
        EXPECT_EQ(again.Events.EventDue[n], state.Events.EventDue[n]);
    }
}

TEST_F(EventTableTest, QuotedCommandLosesItsQuotesOnlyWhenWhollyQuoted) {
    Load();
    state.Events.EventCommand[0] = "\"/opt/my tools/run\"";
    state.Events.EventCommand[1] = "\"/opt/my tools/run\" --now";
    ASSERT_TRUE(SaveEvents(state));
    LoadEvents(state);
    EXPECT_EQ(state.Events.EventCommand[0], "/opt/my tools/run");
    EXPECT_EQ(state.Events.EventCommand[1], "\"/opt/my tools/run\" --now");
}

TEST_F(EventTableTest, HandEditedFile) {
    WriteFile(state.IniFile,
              "\xEF\xBB\xBF[commands]\nCOMMAND3=/bin/three\ncommand25=/bin/extra\nnoequals\n"
              "[RunStyle]\nRunStyle3=abc\nRunStyle4=12abc\nRunStyle5= 7 \nRunStyle6=-3\n"
              "RunStyle7=\nRunStyle8=99999999999\n"
              "[Frequency]\nFrequency3=42\nFrequency3=1\n"
              "[Due]\nDue4=\nDue5=whenever\n[Mine]\nA=1\n");
    Load();
    EXPECT_EQ(state.Events.EventCommand[3], "/bin/three");
    EXPECT_EQ(state.Events.EventFrequency[3], 42) << "codes are stored as read";
    EXPECT_EQ(state.Events.EventDue[3], "Disabled");
    EXPECT_EQ(state.Events.EventRunStyle[3], 0);
    EXPECT_EQ(state.Events.EventRunStyle[4], 12);
    EXPECT_EQ(state.Events.EventRunStyle[5], 7);
    EXPECT_EQ(state.Events.EventRunStyle[6], -3);
    EXPECT_EQ(state.Events.EventRunStyle[7], 0);
    EXPECT_EQ(state.Events.EventRunStyle[8], 1215752191);
    EXPECT_EQ(state.Events.EventDue[4], "") << "a present empty key is not the default";
    EXPECT_EQ(state.Events.EventDue[5], "whenever");
    EXPECT_EQ(state.Events.EventCommand[0], "");

    ASSERT_TRUE(SaveEvents(state));
    IniFile ini(state.IniFile);
    EXPECT_EQ(ini.ReadString("Commands", "Command25", ""), "/bin/extra");
    EXPECT_EQ(ini.ReadString("Mine", "A", ""), "1");
    const std::string saved = ReadFile(state.IniFile);
    EXPECT_NE(saved.find("\ncommand25=/bin/extra\nnoequals\n"), std::string::npos);
    EXPECT_NE(saved.find("[Mine]\nA=1\n"), std::string::npos);
    EXPECT_EQ(ini.ReadInt("Frequency", "Frequency3", 0), 42);
}

TEST_F(EventTableTest, BinaryGarbageReadsAsDefaultsAndIsNotLost) {
    std::string garbage;
    for (int i = 0; i < 512; ++i) garbage += static_cast<char>((i * 37) % 255 + 1);  // no NUL
    WriteFile(state.IniFile, garbage);
    Load();
    EXPECT_EQ(state.Events.EventDue[0], "Disabled");
    ASSERT_TRUE(SaveEvents(state));
    EXPECT_EQ(ReadFile(state.IniFile).compare(0, garbage.size(), garbage), 0)
        << "the unknown bytes must survive a save";
    LoadEvents(state);
    EXPECT_EQ(state.Events.EventFrequency[24], 9);
}

TEST_F(EventTableTest, ReadOnlyFileOrFolderLosesNothing) {
    const std::string original = "[Commands]\r\nCommand0=/bin/keep\r\n";
    WriteFile(state.IniFile, original);
    Load();
    state.Events.EventCommand[0] = "/bin/new";
    ::chmod(state.IniFile.c_str(), 0444);
    EXPECT_FALSE(SaveEvents(state));
    EXPECT_EQ(ReadFile(state.IniFile), original);
    ::chmod(state.IniFile.c_str(), 0644);
    ::chmod(dir.path().c_str(), 0555);
    EXPECT_FALSE(SaveEvents(state));
    ::chmod(dir.path().c_str(), 0755);
    EXPECT_EQ(ReadFile(state.IniFile), original);
}

TEST_F(EventTableTest, UnreadableFileIsNeverReplaced) {
    std::filesystem::create_directory(state.IniFile);  // there, but no file to read
    Load();
    EXPECT_EQ(state.Events.EventDue[0], "Disabled");
    EXPECT_FALSE(SaveEvents(state));
    EXPECT_TRUE(std::filesystem::is_directory(state.IniFile));
}

// Encodings the reader does not know are never taken for an empty table and never written to.
TEST_F(EventTableTest, UnknownEncodingsAreUnreadableAndLeftAlone) {
    const std::string text = "[Commands]\r\nCommand0=/bin/x\r\n";
    std::string be, le, le32;
    for (char c : text) {
        be += std::string(1, '\0') + c;
        le += std::string(1, c) + '\0';
        le32 += std::string(1, c) + std::string(3, '\0');
    }
    const std::pair<const char*, std::string> cases[] = {
        {"UTF-16BE", "\xFE\xFF" + be},
        {"UTF-16LE without its mark", le},
        {"UTF-32LE", std::string("\xFF\xFE\0\0", 4) + le32},
    };
    for (const auto& [what, bytes] : cases) {
        SCOPED_TRACE(what);
        WriteFile(state.IniFile, bytes);
        EXPECT_FALSE(LoadEvents(state));
        EXPECT_EQ(state.Loaded.problem, IniProblem::Unreadable);
        state.Events.EventCommand[0] = "/bin/new";
        EXPECT_FALSE(SaveEvents(state));
        EXPECT_EQ(ReadFile(state.IniFile), bytes);
    }
}

}  // namespace
}  // namespace tarvona
