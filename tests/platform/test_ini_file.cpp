#include "platform/ExeDir.h"
#include "platform/IniFile.h"

#include "TempDir.h"

#include <sys/stat.h>

#include <climits>

namespace {

class IniFile : public CTempDirTest {};

TEST_F(IniFile, ReadsIntegersLikeTheWindowsCall) {
    const std::string path = PathOf("a.ini");
    WriteText(path, "; comment=1\r\n"
                    "orphan=99\r\n"
                    "[Coor]\r\n"
                    "  bShow_X =  0  \r\n"
                    "BSHOW_x=7\r\n"
                    "neg=-12\r\n"
                    "plus=+8\r\n"
                    "tail=12abc\r\n"
                    "word=abc\r\n"
                    "empty=\r\n"
                    "bare\r\n"
                    "quoted=\"9\"\r\n"
                    "wrap=4294967297\r\n"
                    "max=2147483647\r\n"
                    "past=2147483648\r\n"
                    "minus=-2147483648\r\n"
                    "huge=99999999999999999999999\r\n"
                    ";hidden=5\r\n"
                    "[ pane ]\r\n"
                    "nWidth=30\r\n"
                    "[coor]\r\n"
                    "second=4\r\n"
                    "[Scale]\r\n"
                    "last=6");
    struct Case {
        const char* section;
        const char* key;
        int expected;
    };
    const Case cases[] = {
        {"Coor", "bShow_X", 0}, // trimmed, and the first of two matches
        {"COOR", "BSHOW_X", 0}, // names without regard to case
        {"Coor", "neg", -12},       {"Coor", "plus", 8},
        {"Coor", "tail", 12},       {"Coor", "word", 0},
        {"Coor", "empty", -1},      {"Coor", "bare", -1},
        {"Coor", "quoted", 9},      {"Coor", "wrap", 1},
        {"Coor", "max", INT_MAX},   {"Coor", "past", INT_MIN},
        {"Coor", "minus", INT_MIN}, {"Coor", "huge", -159383553},
        {"Coor", "hidden", -1},     {"Coor", ";hidden", -1},
        {"Coor", "orphan", -1},     {"Coor", "nWidth", -1}, // keys of other sections
        {"Pane", "nWidth", 30},     {" Pane ", " nWidth ", 30},
        {"Coor", "second", -1}, // only the first section of a name is read
        {"Scale", "last", 6},   // last line without a line end
        {"Nope", "last", -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetPrivateProfileInt(c.section, c.key, -1, path), c.expected)
            << c.section << "/" << c.key;
    EXPECT_EQ(GetPrivateProfileInt("Coor", "x", 77, PathOf("missing.ini")), 77);
    EXPECT_EQ(GetPrivateProfileInt("Coor", "x", 77, m_dir.string()), 77);
}

TEST_F(IniFile, NewFileGetsSectionsInOrderOfFirstWrite) {
    const std::string path = PathOf("new.ini");
    EXPECT_TRUE(WritePrivateProfileString("Coor", "bShow_X", "1", path));
    EXPECT_TRUE(WritePrivateProfileString("Pane", "nWidth", "50", path));
    EXPECT_TRUE(WritePrivateProfileString("Coor", "nOriginPlace", "4", path));
    EXPECT_TRUE(WritePrivateProfileString("pane", "NWIDTH", "60", path));
    EXPECT_EQ(ReadText(path), "[Coor]\nbShow_X=1\nnOriginPlace=4\n[Pane]\nnWidth=60\n");
    EXPECT_EQ(GetPrivateProfileInt("Pane", "nWidth", 0, path), 60);
}

TEST_F(IniFile, WritingKeepsEveryOtherLine) {
    const std::string path = PathOf("keep.ini");
    WriteText(path, "; settings\r\n"
                    "[Coor]\r\n"
                    "  bShow_X = 1 ; old\r\n"
                    "bShow_X=5\r\n"
                    "\r\n"
                    "[Pane]\r\n"
                    "nWidth=50\r\n"
                    "; end of pane\r\n"
                    "\r\n"
                    "[Other]\r\n"
                    "x=y");
    EXPECT_TRUE(WritePrivateProfileEntries({{"coor", "BSHOW_X", "0"},
                                            {"Pane", "nHeight", "40"},
                                            {"Scale", "nSpeed_X", "250"},
                                            {"Other", "z", "1"}},
                                           path));
    EXPECT_EQ(ReadText(path), "; settings\r\n"
                              "[Coor]\r\n"
                              "bShow_X=0\r\n"
                              "bShow_X=5\r\n"
                              "\r\n"
                              "[Pane]\r\n"
                              "nWidth=50\r\n"
                              "; end of pane\r\n"
                              "nHeight=40\r\n"
                              "\r\n"
                              "[Other]\r\n"
                              "x=y\r\n"
                              "z=1\r\n"
                              "[Scale]\r\n"
                              "nSpeed_X=250\r\n");
}

TEST_F(IniFile, ReplacesTheFileWholeAndKeepsItsMode) {
    const std::string path = PathOf("mode.ini");
    WriteText(path, "[Coor]\nbShow_X=1\n");
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    struct stat before {};
    ASSERT_EQ(stat(path.c_str(), &before), 0);
    EXPECT_TRUE(WritePrivateProfileString("Coor", "bShow_X", "0", path));
    struct stat after {};
    ASSERT_EQ(stat(path.c_str(), &after), 0);
    EXPECT_NE(before.st_ino, after.st_ino); // a new file was renamed into place
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    // No temporary file is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_dir),
                            std::filesystem::directory_iterator()),
              1);

    // A link is followed: the file it names is replaced and the link stays.
    const std::string link = PathOf("link.ini");
    std::filesystem::create_symlink(path, link);
    EXPECT_TRUE(WritePrivateProfileString("Coor", "bShow_Y", "0", link));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadText(path), "[Coor]\nbShow_X=0\nbShow_Y=0\n");
}

TEST_F(IniFile, FailuresReturnFalseAndLeaveTheOldFile) {
    const std::string plain = PathOf("plain");
    WriteText(plain, "[Coor]\nbShow_X=1\n");
    // Tests run as root, so unwritable places are made of paths that cannot exist.
    EXPECT_FALSE(WritePrivateProfileString("Coor", "k", "1", PathOf("no/such/dir/a.ini")));
    EXPECT_FALSE(WritePrivateProfileString("Coor", "k", "1", plain + "/a.ini"));
    EXPECT_FALSE(WritePrivateProfileString("Coor", "k", "1", m_dir.string()));
    // Text that would change the file's structure is refused.
    for (const CProfileEntry& bad :
         {CProfileEntry{"Co]or", "k", "1"}, CProfileEntry{"Coor", "k=1", "1"},
          CProfileEntry{"Coor", "k", "1\n[Evil]"}, CProfileEntry{"", "k", "1"},
          CProfileEntry{"Coor", " ", "1"}, CProfileEntry{"Coor", ";k", "1"}})
        EXPECT_FALSE(WritePrivateProfileEntries({{"Coor", "bShow_X", "0"}, bad}, plain))
            << bad.section << "/" << bad.key << "/" << bad.value;
    EXPECT_EQ(ReadText(plain), "[Coor]\nbShow_X=1\n");
}

// Only a small regular file is read: a FIFO would block start-up, a link to /dev/zero would
// grow without end, and a huge file costs time for nothing. All read as absent, and none is
// written over.
TEST_F(IniFile, OnlySmallRegularFilesAreRead) {
    const std::string fifo = PathOf("fifo.ini");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0666), 0);
    const std::string zero = PathOf("zero.ini");
    std::filesystem::create_symlink("/dev/zero", zero);
    const std::string huge = PathOf("huge.ini");
    const std::string hugeText = "[Pane]\nnWidth=7\n" + std::string(10u << 20, ';') + "\n";
    WriteText(huge, hugeText);
    const std::string limit = PathOf("limit.ini");
    const std::string head = "[Pane]\nnWidth=7\n";
    WriteText(limit, head + std::string(kMaxProfileBytes - head.size(), ';'));

    for (const std::string& path : {fifo, zero, huge}) {
        EXPECT_EQ(GetPrivateProfileInt("Pane", "nWidth", 50, path), 50) << path;
        EXPECT_FALSE(WritePrivateProfileString("Pane", "nWidth", "8", path)) << path;
    }
    EXPECT_EQ(std::filesystem::status(fifo).type(), std::filesystem::file_type::fifo);
    EXPECT_TRUE(std::filesystem::is_symlink(zero));
    EXPECT_EQ(ReadText(huge), hugeText);
    // A file of exactly the limit still counts.
    EXPECT_EQ(GetPrivateProfileInt("Pane", "nWidth", 50, limit), 7);
}

// One reading serves every key: what the file says later does not change the answers.
TEST_F(IniFile, AProfileIsReadOnce) {
    const std::string path = PathOf("once.ini");
    WriteText(path, "[Pane]\nnWidth=7\n[Coor]\nbShow_X=0\n");
    const CPrivateProfile ini(path);
    WriteText(path, "[Pane]\nnWidth=9\n");
    EXPECT_EQ(ini.GetInt("pane", "NWIDTH", 50), 7);
    EXPECT_EQ(ini.GetInt("Coor", "bShow_X", 1), 0);
    EXPECT_EQ(ini.GetInt("Coor", "bShow_Y", 1), 1);
    EXPECT_EQ(CPrivateProfile(PathOf("none.ini")).GetInt("Pane", "nWidth", 50), 50);
}

TEST(ExeDir, IsTheTestBinarysDirectory) {
    const std::string dir = GetExeDir();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), '/');
    EXPECT_TRUE(std::filesystem::exists(dir + "curvist_core_tests"));
}

} // namespace
