#include "startup.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "data_folder.h"
#include "program_state.h"
#include "temp_list.h"
#include "test_support.h"

namespace tarvona {
namespace {

using test::Exists;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;
using namespace std::chrono_literals;

// A moment long after any list a test writes: the grace for its messages is over.
std::chrono::sys_seconds Later() {
    return std::chrono::time_point_cast<std::chrono::seconds>(std::chrono::system_clock::now()) +
           1h;
}

void StartUpIn(ProgramState& state, const std::string& folder, test::ScriptedDesktop& desktop) {
    ASSERT_TRUE(SetUpPaths(state, folder));
    StartUp(state, desktop, test::FixedClock(test::Date(2026, 12, 8)));
}

TEST(AddSlash, EnsuresOneTrailingSeparator) {
    EXPECT_EQ(AddSlash("/opt/tarvona"), "/opt/tarvona/");
    EXPECT_EQ(AddSlash("/opt/tarvona/"), "/opt/tarvona/");
    EXPECT_EQ(AddSlash("/"), "/");
    EXPECT_EQ(AddSlash(""), "/");
}

TEST(SetUpPaths, RootFolderHasNoDoubledSeparator) {
    ProgramState state;
    ASSERT_TRUE(SetUpPaths(state, "/"));
    EXPECT_EQ(state.MessageDir, "/Messages");
    EXPECT_EQ(state.TempList, "/Tarvona.tmp");
    EXPECT_EQ(state.IniFile, "/Tarvona.ini");
    TempDir dir;
    ASSERT_TRUE(SetUpPaths(state, dir.path()));
    EXPECT_EQ(state.MessageDir, dir / "Messages");
}

TEST(ChooseDataFolder, ProgramFolderOnlyWhenOwnAndOutsideUsr) {
    const std::string home = "/home/ann/.local/share";
    EXPECT_EQ(ChooseDataFolder("/home/ann/.local/lib/tarvona", true, home),
              "/home/ann/.local/lib/tarvona");
    EXPECT_EQ(ChooseDataFolder("/home/ann/src/build", false, home), home + "/tarvona");
    for (const char* usr : {"/usr/bin", "/usr/local/lib/tarvona", "/usr", "/usr/../usr/bin"})
        EXPECT_EQ(ChooseDataFolder(usr, true, home), home + "/tarvona") << usr;
    EXPECT_EQ(ChooseDataFolder("/usrdata/tarvona", true, home), "/usrdata/tarvona");
}

// The editor makes the XDG folder and its missing parents private; a launch run makes nothing.
TEST(OpenDataFolder, MakesTheDataFolderPrivateOnlyWhenAsked) {
    TempDir home;
    const std::string dataHome = home / "a/b";
    const OpenedFolder launch = OpenDataFolder("/usr/bin", dataHome, false);
    EXPECT_TRUE(launch.missing);
    EXPECT_FALSE(Exists(home / "a"));
    const OpenedFolder editor = OpenDataFolder("/usr/bin", dataHome, true);
    ASSERT_TRUE(editor.folder) << editor.problem;
    EXPECT_EQ(editor.folder->Path(), dataHome + "/tarvona");
    for (const std::string& made : {home / "a", dataHome, dataHome + "/tarvona"}) {
        struct stat st {};
        ASSERT_EQ(::stat(made.c_str(), &st), 0) << made;
        EXPECT_EQ(st.st_mode & 07777, 0700u) << made;
    }
}

TEST(IsLaunchMode, FindsTheSwitchAnywhereInAnyCase) {
    const std::vector<std::pair<std::vector<std::string>, bool>> cases = {
        {{}, false},
        {{"/start"}, true},
        {{"/START"}, true},
        {{"/StArT"}, true},
        {{"/startup"}, true},
        {{"x/start"}, true},
        {{"one", "/Start", "two"}, true},
        {{"-start"}, false},
        {{"start"}, false},
        {{"/ start"}, false},
        {{"/sta", "rt"}, false},
    };
    for (const auto& [arguments, launch] : cases) {
        std::string shown;
        for (const auto& a : arguments) shown += "[" + a + "]";
        EXPECT_EQ(IsLaunchMode(arguments), launch) << shown;
    }
}

class PurgeTest : public ::testing::Test {
protected:
    PurgeTest() {
        SetUpPaths(state, dir.path());
        std::filesystem::create_directory(state.MessageDir);
    }
    std::string Message(const std::string& name) {
        std::string path = state.MessageDir + "/" + name;
        WriteFile(path, "text");
        return path;
    }
    TempDir dir;
    ProgramState state;
};

TEST_F(PurgeTest, NoListDoesNothing) {
    const std::string kept = Message("msg11111.txt");
    PurgeTempList(state, Later());
    EXPECT_TRUE(Exists(kept));
    EXPECT_FALSE(Exists(state.TempList));
}

TEST_F(PurgeTest, DeletesEveryListedFileAndTheList) {
    const std::string a = Message("msg11111.txt");
    const std::string b = Message("msg22222.txt");
    WriteFile(state.TempList, a + "\r\n" + b + "\r\n");
    PurgeTempList(state, Later());
    EXPECT_FALSE(Exists(a));
    EXPECT_FALSE(Exists(b));
    EXPECT_FALSE(Exists(state.TempList));
}

TEST_F(PurgeTest, FileAlreadyGoneCountsAsDeleted) {
    const std::string a = Message("msg11111.txt");
    const std::string c = Message("msg33333.txt");
    WriteFile(state.TempList, a + "\r\n" + state.MessageDir + "/msg22222.txt\r\n" + c + "\r\n");
    PurgeTempList(state, Later());
    EXPECT_FALSE(Exists(a));
    EXPECT_FALSE(Exists(c)) << "files after a vanished one must still go";
    EXPECT_FALSE(Exists(state.TempList));
}

TEST_F(PurgeTest, UndeletableFileStaysListed) {
    const std::string a = Message("msg11111.txt");
    const std::string b = Message("msg22222.txt");
    WriteFile(state.TempList, a + "\r\n" + b + "\r\n");
    ::chmod(state.MessageDir.c_str(), 0555);
    PurgeTempList(state, Later());
    ::chmod(state.MessageDir.c_str(), 0755);
    EXPECT_TRUE(Exists(a));
    EXPECT_TRUE(Exists(b));
    EXPECT_EQ(ReadFile(state.TempList), a + "\r\n" + b + "\r\n");

    PurgeTempList(state, Later());
    EXPECT_FALSE(Exists(a));
    EXPECT_FALSE(Exists(state.TempList));
}

// A viewer may still be reading a message that a run used up moments ago.
TEST_F(PurgeTest, AMessageStaysUntilTheGraceHasPassed) {
    const std::string a = Message("msg11111.txt");
    WriteFile(state.TempList, a + "\r\n");
    const auto listed = *state.Data->ModifiedAt("Tarvona.tmp");
    for (const auto& [after, kept] : {std::pair{1min, true}, std::pair{9min, true},
                                      std::pair{-5min, true}, std::pair{11min, false}}) {
        PurgeTempList(state, listed + after);
        EXPECT_EQ(Exists(a), kept) << after.count() << " min after the list was written";
        EXPECT_EQ(Exists(state.TempList), kept);
    }
}

TEST_F(PurgeTest, DeletesOnlyMessageFiles) {
    const std::string own = dir / "important.doc";
    WriteFile(own, "mine");
    std::filesystem::create_directory(dir / "MessagesOld");
    const std::string sibling = dir / "MessagesOld/msg11111.txt";
    WriteFile(sibling, "mine");
    std::filesystem::create_directory(state.MessageDir + "/sub");
    const std::string nested = state.MessageDir + "/sub/msg1.txt";
    WriteFile(nested, "mine");
    const std::string message = Message("msg44444.txt");
    WriteFile(state.TempList, own + "\r\n" + sibling + "\r\n" + nested + "\r\n" + state.MessageDir +
                                  "/../important.doc\r\n" + state.MessageDir +
                                  "\r\n\r\nrelative.txt\r\n" + state.MessageDir +
                                  "/./sub/../msg44444.txt\r\n");
    PurgeTempList(state, Later());
    EXPECT_TRUE(Exists(own));
    EXPECT_TRUE(Exists(sibling));
    EXPECT_TRUE(Exists(nested));
    EXPECT_TRUE(std::filesystem::is_directory(state.MessageDir));
    EXPECT_FALSE(Exists(message));
    EXPECT_FALSE(Exists(state.TempList));
}

// The kernel resolves "link/.." through the link and stops a path at a NUL byte; the purge
// deletes only the name the lexical check approved, inside Messages itself, and only a plain file.
TEST_F(PurgeTest, NeverDeletesOutsideMessagesThroughLinksOrNulBytes) {
    TempDir documents;
    std::filesystem::create_directory(documents / "sub");
    const std::string thesis = documents / "thesis.txt";
    const std::string victim = documents / "victim.txt";
    WriteFile(thesis, "mine");
    WriteFile(victim, "mine");
    std::filesystem::create_symlink(documents / "sub", state.MessageDir + "/link");
    std::filesystem::create_symlink(thesis, state.MessageDir + "/msg1.txt");
    std::filesystem::create_directory(state.MessageDir + "/folder.txt");
    ASSERT_EQ(::mkfifo((state.MessageDir + "/fifo.txt").c_str(), 0644), 0);
    const std::string nul =
        victim + std::string(1, '\0') + "/../../../.." + state.MessageDir + "/x";
    WriteFile(state.TempList, state.MessageDir + "/link/../thesis.txt\r\n" + nul + "\r\n" +
                                  state.MessageDir + "/msg1.txt\r\n" + state.MessageDir +
                                  "/folder.txt\r\n" + state.MessageDir + "/fifo.txt\r\n");
    PurgeTempList(state, Later());
    EXPECT_EQ(ReadFile(thesis), "mine");
    EXPECT_EQ(ReadFile(victim), "mine");
    EXPECT_TRUE(std::filesystem::is_symlink(state.MessageDir + "/msg1.txt")) << "no plain file";
    EXPECT_TRUE(std::filesystem::is_directory(state.MessageDir + "/folder.txt"));
    EXPECT_TRUE(std::filesystem::is_fifo(state.MessageDir + "/fifo.txt"));
    EXPECT_FALSE(Exists(state.TempList)) << "lines that name no file to delete are dropped";
}

// A Messages that is no real folder is never entered, and its lines, which could never be
// handled, are dropped rather than kept for ever.
TEST(PurgeTempList, LinesUnderAMessagesThatIsNoFolderAreDropped) {
    TempDir documents;
    const std::string victim = documents / "victim.txt";
    WriteFile(victim, "mine");
    const std::vector<std::pair<const char*, std::function<void(const std::string&)>>> cases = {
        {"a link to a folder",
         [&](const std::string& m) {
             std::filesystem::create_directory_symlink(documents.path(), m);
         }},
        {"a dangling link",
         [&](const std::string& m) { std::filesystem::create_symlink("/none", m); }},
        {"a file", [](const std::string& m) { WriteFile(m, "x"); }},
    };
    for (const auto& [what, make] : cases) {
        SCOPED_TRACE(what);
        TempDir dir;
        ProgramState state;
        SetUpPaths(state, dir.path());
        make(state.MessageDir);
        WriteFile(state.TempList, state.MessageDir + "/victim.txt\r\n");
        PurgeTempList(state, Later());
        EXPECT_EQ(ReadFile(victim), "mine");
        EXPECT_FALSE(Exists(state.TempList));
    }
}

// However large Tarvona.tmp has grown, a used-up message is listed: junk lines are dropped.
TEST(AppendToTempList, ListsAMessageWhateverTheListHolds) {
    TempDir dir;
    ProgramState state;
    SetUpPaths(state, dir.path());
    const std::string message = state.MessageDir + "/msg12345.txt";
    WriteFile(state.TempList, std::string(2 * 1024 * 1024, 'x') + "\r\n" + message + "\r\n");
    ASSERT_TRUE(AppendToTempList(state, state.MessageDir + "/msg55555.txt"));
    EXPECT_EQ(ReadFile(state.TempList), message + "\r\n" + state.MessageDir + "/msg55555.txt\r\n");
}

TEST(StartUpFiles, LeftoversOfKilledWritesGoAndNothingElse) {
    TempDir dir;
    const std::vector<std::pair<std::string, bool>> names = {
        {".Tarvona.ini.tarvona-write-a1B2c3", false},
        {".Tarvona.tmp.tarvona-write-ZZ9zz9", false},
        {".Tarvona.ini.tarvona-write-a1B2c", true},
        {".Tarvona.ini.tarvona-write-a1B2c3x", true},
        {".Tarvona.log.tarvona-write-a1B2c3", true},
        {"Tarvona.ini.new-backup", true},  // a user's own file, whatever it looks like
        {".Tarvona.ini.tarvona-write-linked", true}};
    for (const auto& [name, stays] : names) WriteFile(dir / name, "x");
    // A file with a second name is somebody's, not a write of ours that was cut short.
    ::link((dir / ".Tarvona.ini.tarvona-write-linked").c_str(), (dir / "kept-link").c_str());
    ProgramState state;
    test::ScriptedDesktop desktop;
    StartUpIn(state, dir.path(), desktop);
    for (const auto& [name, stays] : names) EXPECT_EQ(Exists(dir / name), stays) << name;
}

TEST(MessageDir, CreatedOrAcceptedOrReported) {
    TempDir dir;
    ProgramState state;
    test::ScriptedDesktop desktop;
    StartUpIn(state, dir.path(), desktop);
    EXPECT_TRUE(std::filesystem::is_directory(dir / "Messages"));
    EXPECT_TRUE(desktop.messages.empty());

    TempDir withFile;
    WriteFile(withFile / "Messages", "a file");
    StartUpIn(state, withFile.path(), desktop);
    EXPECT_TRUE(desktop.messages.empty()) << "a file of that name counts as there";
    EXPECT_TRUE(std::filesystem::is_regular_file(withFile / "Messages"));

    TempDir readOnly;
    ::chmod(readOnly.path().c_str(), 0555);
    StartUpIn(state, readOnly.path(), desktop);
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].text,
              "Unable to create message directory.\r\n"
              "Scheduling messages will not work correctly.");
    EXPECT_EQ(desktop.messages[0].caption, "Error");
    EXPECT_EQ(desktop.beeps, 0);
    EXPECT_EQ(state.Events.EventDue.size(), 25u) << "start-up goes on after the message";
    EXPECT_TRUE(desktop.unexpected.empty());
}

}  // namespace
}  // namespace tarvona
