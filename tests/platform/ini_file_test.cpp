#include "ini_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "folder.h"
#include "test_support.h"

namespace tarvona {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

struct ReadCase {
    const char* name;
    std::string file;
    std::string section;
    std::string key;
    std::string expected;  // with "<default>" as the fallback
};

class IniReadTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(IniReadTest, ReadsTextValue) {
    TempDir dir;
    WriteFile(dir / "t.ini", GetParam().file);
    IniFile ini(dir / "t.ini");
    EXPECT_EQ(ini.ReadString(GetParam().section, GetParam().key, "<default>"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Profile, IniReadTest,
    ::testing::Values(
        ReadCase{"Trimmed", "[S]\r\n  Key = a value \t\r\n", "S", "Key", "a value"},
        ReadCase{"BlankHeader", "  [ Name ]\r\nK=v\r\n", "Name", "K", "v"},
        ReadCase{"HeaderEndsAtFirstBracket", "[A]B]\r\nK=v\r\n", "A", "K", "v"},
        ReadCase{"UnclosedHeader", "[Name\r\nK=v\r\n", "Name", "K", "v"},
        ReadCase{"DoubleQuotes", "[S]\r\nK= \" x \" \r\n", "S", "K", " x "},
        ReadCase{"SingleQuotes", "[S]\r\nK='x'\r\n", "S", "K", "x"},
        ReadCase{"UnmatchedQuotes", "[S]\r\nK=\"a'\r\n", "S", "K", "\"a'"},
        ReadCase{"LoneQuote", "[S]\r\nK=\"\r\n", "S", "K", "\""},
        ReadCase{"TwoQuotedParts", "[S]\r\nK=\"a\" \"b\"\r\n", "S", "K", "a\" \"b"},
        ReadCase{"EmptyIsNotDefault", "[S]\r\nK=\r\n", "S", "K", ""},
        ReadCase{"NoEquals", "[S]\r\nK\r\n", "S", "K", "<default>"},
        ReadCase{"FirstKeyCounts", "[S]\r\nK=1\r\nK=2\r\n", "S", "K", "1"},
        ReadCase{"FirstSectionCounts", "[S]\r\nK=1\r\n[S]\r\nK=2\r\n", "S", "K", "1"},
        ReadCase{"OtherCase", "[commands]\r\ncommand0=x\r\n", "Commands", "Command0", "x"},
        ReadCase{"Comment", "[S]\r\n ;K=x\r\n", "S", "K", "<default>"},
        ReadCase{"HashIsValue", "[S]\r\nK=a # b ; c\r\n", "S", "K", "a # b ; c"},
        ReadCase{"LfOnly", "[S]\nA=1\nK=v\n", "S", "K", "v"},
        ReadCase{"CrOnly", "[S]\rA=1\rK=v\r", "S", "K", "v"},
        ReadCase{"MixedEnds", "[S]\nA=1\r\n[T]\rK=v", "T", "K", "v"},
        ReadCase{"ByteOrderMark", "\xEF\xBB\xBF[S]\r\nK=v\r\n", "S", "K", "v"},
        ReadCase{"BeforeAnyHeader", "K=v\r\n[S]\r\n", "S", "K", "<default>"},
        ReadCase{"OtherSection", "[S]\r\n[T]\r\nK=v\r\n", "S", "K", "<default>"},
        ReadCase{"NoFinalLineEnd", "[S]\r\nK=v", "S", "K", "v"},
        ReadCase{"Garbage", std::string("\x00\xff[S\x01\r\n\x02=\x03", 10), "S", "K", "<default>"},
        ReadCase{"LongValue", "[S]\r\nK=" + std::string(300, 'x') + "\r\n", "S", "K",
                 std::string(300, 'x')}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IniRead, MissingOrUnreadableFileGivesDefault) {
    TempDir dir;
    EXPECT_EQ(IniFile(dir / "none.ini").ReadString("S", "K", "d"), "d");
    std::filesystem::create_directory(dir / "folder.ini");
    EXPECT_EQ(IniFile(dir / "folder.ini").ReadString("S", "K", "d"), "d");
}

TEST(IniRead, Integers) {
    const std::vector<std::pair<std::string, int32_t>> cases = {{"12", 12},
                                                                {"\"12\"", 12},
                                                                {"12abc", 12},
                                                                {"12.7", 12},
                                                                {" 7 ", 7},
                                                                {"-3", -3},
                                                                {"+4", 4},
                                                                {"abc", 0},
                                                                {"- 3", 0},
                                                                {"4294967297", 1},
                                                                {"2147483648", -2147483647 - 1}};
    TempDir dir;
    for (const auto& [text, expected] : cases) {
        WriteFile(dir / "t.ini", "[S]\r\nK=" + text + "\r\n");
        EXPECT_EQ(IniFile(dir / "t.ini").ReadInt("S", "K", 99), expected) << text;
    }
    WriteFile(dir / "t.ini", "[S]\r\nK=\r\n");
    EXPECT_EQ(IniFile(dir / "t.ini").ReadInt("S", "K", 99), 99);
    EXPECT_EQ(IniFile(dir / "t.ini").ReadInt("S", "Missing", 9), 9);
}

struct WriteCase {
    const char* name;
    std::string before;  // "<none>" for no file
    std::string section;
    std::string key;
    std::string value;
    std::string after;
};

class IniWriteTest : public ::testing::TestWithParam<WriteCase> {};

TEST_P(IniWriteTest, WritesValue) {
    TempDir dir;
    const WriteCase& c = GetParam();
    if (c.before != "<none>") WriteFile(dir / "t.ini", c.before);
    ASSERT_TRUE(IniFile(dir / "t.ini").WriteString(c.section, c.key, c.value));
    EXPECT_EQ(ReadFile(dir / "t.ini"), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Profile, IniWriteTest,
    ::testing::Values(
        WriteCase{"NewFile", "<none>", "S", "K", "v", "[S]\r\nK=v\r\n"},
        WriteCase{"NewKeyAfterLastFilledLine", "[S]\r\nA=1\r\n\r\n[T]\r\n", "S", "K", "v",
                  "[S]\r\nA=1\r\nK=v\r\n\r\n[T]\r\n"},
        WriteCase{"NewKeyAfterComment", "[S]\r\nA=1\r\n;end\r\n[T]\r\n", "S", "K", "v",
                  "[S]\r\nA=1\r\n;end\r\nK=v\r\n[T]\r\n"},
        WriteCase{"NewSectionAtEnd", "[S]\r\nA=1\r\n", "T", "K", "v",
                  "[S]\r\nA=1\r\n[T]\r\nK=v\r\n"},
        WriteCase{"NewSectionAddsMissingLineEnd", "[S]\nA=1", "T", "K", "v",
                  "[S]\nA=1\r\n[T]\r\nK=v\r\n"},
        WriteCase{"ExistingKeyOnlyThatLine", "; c\n[S]\n A = 1 \n\nB = 2\n", "s", "a", "9",
                  "; c\n[S]\nA=9\n\nB = 2\n"},
        WriteCase{"FirstDuplicateChanged", "[S]\r\nK=1\r\nK=2\r\n[S]\r\nK=3\r\n", "S", "K", "x",
                  "[S]\r\nK=x\r\nK=2\r\n[S]\r\nK=3\r\n"},
        WriteCase{"ValueWrittenAsGiven", "[S]\r\n", "S", "K", " \"q\" ", "[S]\r\nK= \"q\" \r\n"},
        WriteCase{"EmptyValue", "[S]\r\nK=v\r\n", "S", "K", "", "[S]\r\nK=\r\n"},
        // A NUL byte would make the whole file unreadable.
        WriteCase{"LineBreaksAndNulsBecomeBlanks", "[S]\r\nA=1\r\n", "S", "K",
                  std::string("a\r\nb\nc\rd\0e", 10), "[S]\r\nA=1\r\nK=a  b c d e\r\n"},
        WriteCase{"KeepsByteOrderMark", "\xEF\xBB\xBF[S]\r\nK=1\r\n", "S", "K", "2",
                  "\xEF\xBB\xBF[S]\r\nK=2\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IniWrite, LineBreakInValueKeepsTheRestOfTheFile) {
    TempDir dir;
    IniFile ini(dir / "t.ini");
    ASSERT_TRUE(ini.WriteString("S", "A", "1"));
    ASSERT_TRUE(ini.WriteString("S", "K", "line\r\n[Evil]\r\nA=2"));
    ASSERT_TRUE(ini.WriteString("S", "B", "3"));
    EXPECT_EQ(ini.ReadString("S", "A", ""), "1");
    EXPECT_EQ(ini.ReadString("S", "B", ""), "3");
    EXPECT_EQ(ini.ReadString("S", "K", ""), "line  [Evil]  A=2");
    EXPECT_EQ(ini.ReadString("Evil", "A", "none"), "none");
}

TEST(IniWrite, SameValueDoesNotRewrite) {
    TempDir dir;
    WriteFile(dir / "t.ini", "[S]\r\nK = v \r\n");
    struct stat before {};
    ::stat((dir / "t.ini").c_str(), &before);
    ASSERT_TRUE(IniFile(dir / "t.ini").WriteString("S", "K", "v"));
    struct stat after {};
    ::stat((dir / "t.ini").c_str(), &after);
    EXPECT_EQ(before.st_ino, after.st_ino);
    EXPECT_EQ(ReadFile(dir / "t.ini"), "[S]\r\nK = v \r\n");
}

// UTF-16LE code units as bytes.
std::string Units(const std::u16string& text) {
    std::string bytes;
    for (char16_t unit : text) bytes += std::string{char(unit & 0xFF), char(unit >> 8)};
    return bytes;
}

// "Unicode" in a Windows editor: read as text, written back as UTF-16LE, never mixed.
TEST(IniWrite, Utf16FileIsReadAndStaysUtf16) {
    TempDir dir;
    const std::string original =
        "\xFF\xFE" + Units(u"[Commands]\r\nCommand0=/bin/true\r\n\u00e9\U0001F600\r\n");
    WriteFile(dir / "t.ini", original);
    IniFile ini(dir / "t.ini");
    EXPECT_EQ(ini.ReadString("Commands", "Command0", ""), "/bin/true");
    ASSERT_TRUE(ini.WriteString("Commands", "Command1", "caf\xc3\xa9"));
    ASSERT_TRUE(ini.WriteString("Due", "Due0", "?"));
    EXPECT_EQ(ReadFile(dir / "t.ini"),
              original.substr(0, original.size() - 2 * 5) +
                  Units(u"\u00e9\U0001F600\r\nCommand1=caf\u00e9\r\n[Due]\r\nDue0=?\r\n"));
    EXPECT_EQ(ini.ReadString("Commands", "Command1", ""), "caf\xc3\xa9");
}

// A link the user made is followed, even to a file not there yet, but only into a folder that is
// the user's alone, and never to another user's file.
TEST(IniWrite, ALinkLeadsOnlyToTheUsersOwnFileAndFolder) {
    TempDir dir;
    std::filesystem::create_directory(dir / "real");
    std::filesystem::create_symlink("real/target.ini", dir / "link.ini");
    ASSERT_TRUE(IniFile(dir / "link.ini").WriteString("S", "K", "3"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.ini"));
    EXPECT_EQ(ReadFile(dir / "real/target.ini"), "[S]\r\nK=3\r\n");

    ::chmod((dir / "real").c_str(), 0777);
    EXPECT_FALSE(IniFile(dir / "link.ini").WriteString("S", "K", "4"));
    ::chmod((dir / "real").c_str(), 0755);
    if (::geteuid() == 0) {  // only root can hand a file to somebody else
        ASSERT_EQ(::chown((dir / "real/target.ini").c_str(), 65534, 65534), 0);
        EXPECT_FALSE(IniFile(dir / "link.ini").WriteString("S", "K", "4"));
    }
    EXPECT_EQ(ReadFile(dir / "real/target.ini"), "[S]\r\nK=3\r\n");
}

TEST(IniWrite, ReplacesAtomicallyKeepingPermissionsAndFollowingLinks) {
    TempDir dir;
    WriteFile(dir / "real.ini", "[S]\r\nK=1\r\n");
    ::chmod((dir / "real.ini").c_str(), 0640);
    std::filesystem::create_symlink(dir / "real.ini", dir / "t.ini");
    ASSERT_TRUE(IniFile(dir / "t.ini").WriteString("S", "K", "2"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "t.ini"));
    EXPECT_EQ(ReadFile(dir / "real.ini"), "[S]\r\nK=2\r\n");
    struct stat st {};
    ::stat((dir / "real.ini").c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              2);
}

TEST(IniWrite, ReadOnlyFileOrFolderFailsAndKeepsTheFile) {
    TempDir dir;
    const std::string original = "[S]\r\nK=1\r\n";
    WriteFile(dir / "t.ini", original);
    ::chmod((dir / "t.ini").c_str(), 0444);
    EXPECT_FALSE(IniFile(dir / "t.ini").WriteString("S", "K", "2"));
    EXPECT_EQ(ReadFile(dir / "t.ini"), original);

    ::chmod((dir / "t.ini").c_str(), 0644);
    ::chmod(dir.path().c_str(), 0555);
    EXPECT_FALSE(IniFile(dir / "t.ini").WriteString("S", "K", "2"));
    EXPECT_FALSE(IniFile(dir / "new.ini").WriteString("S", "K", "2"));
    ::chmod(dir.path().c_str(), 0755);
    EXPECT_EQ(ReadFile(dir / "t.ini"), original);
    EXPECT_FALSE(test::Exists(dir / "new.ini"));
}

TEST(IniWrite, FullDiskFailsAndKeepsTheFile) {
    TempDir dir;
    const std::string original = "[S]\r\nK=1\r\n";
    WriteFile(dir / "t.ini", original);
    // A file-size limit in a child process stands in for a full disk.
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{64, 64};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        bool written = IniFile(dir / "t.ini").WriteString("S", "K", std::string(500, 'x'));
        ::_exit(written ? 1 : 0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the write claimed success";
    EXPECT_EQ(ReadFile(dir / "t.ini"), original);
}

}  // namespace
}  // namespace tarvona
