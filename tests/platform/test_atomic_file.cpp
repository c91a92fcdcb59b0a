#include "platform/AtomicFile.h"

#include "TempDir.h"

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct CSaved {
    bool ok = false;
    std::string error;
};

// Saves as an ordinary user would. Root writes whatever the modes say, so as root the save runs
// in a child that has given up its privileges for those of "nobody".
CSaved SaveAsUser(const std::string& path, const std::string& bytes) {
    CSaved r;
    if (geteuid() != 0) {
        r.ok = WriteFileAtomically(path, bytes, &r.error);
        return r;
    }
    int fds[2];
    if (pipe(fds) != 0) return r;
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
        std::string error;
        const bool ok = WriteFileAtomically(path, bytes, &error);
        if (write(fds[1], error.data(), error.size()) < 0) _exit(3);
        _exit(ok ? 0 : 1);
    }
    close(fds[1]);
    char buf[512];
    for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;)
        r.error.append(buf, static_cast<std::size_t>(n));
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    r.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) <= 1) << "the child could not run";
    return r;
}

class AtomicFile : public CTempDirTest {
  protected:
    void SetUp() override {
        CTempDirTest::SetUp();
        // The unprivileged saver must be able to reach and use the folder.
        chmod(m_dir.c_str(), 0777);
    }
    void TearDown() override {
        for (const auto& e : std::filesystem::directory_iterator(m_dir))
            if (!e.is_symlink() && e.is_directory()) chmod(e.path().c_str(), 0777);
        CTempDirTest::TearDown();
    }
    static struct stat Stat(const std::string& path) {
        struct stat st {};
        EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
        return st;
    }
    std::size_t Entries(const std::string& dir) const {
        return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir),
                                                      std::filesystem::directory_iterator()));
    }
};

// The file's own protection decides, not the folder's: a read-only file is refused and kept; a
// writable file in a folder that takes no new files is written in place.
TEST_F(AtomicFile, TheFilesProtectionDecides) {
    struct {
        const char* name;
        mode_t folderMode;
        mode_t fileMode; // 0: no file yet
        bool saved;
    } const cases[] = {
        {"read-only file, writable folder", 0777, 0444, false},
        {"writable file, read-only folder", 0555, 0666, true},
        {"new file, read-only folder", 0555, 0, false},
        {"writable file, writable folder", 0777, 0646, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string dir = PathOf(std::string("d") + std::to_string(&c - cases));
        ASSERT_TRUE(std::filesystem::create_directory(dir));
        const std::string path = dir + "/a.cvx";
        if (c.fileMode) {
            WriteText(path, "old bytes, longer than the new ones");
            ASSERT_EQ(chmod(path.c_str(), c.fileMode), 0);
            // The saver's own file, as it would be outside the test.
            if (geteuid() == 0) {
                ASSERT_EQ(chown(path.c_str(), 65534, 65534), 0);
            }
        }
        ASSERT_EQ(chmod(dir.c_str(), c.folderMode), 0);
        struct stat before {};
        if (c.fileMode) before = Stat(path);

        const CSaved r = SaveAsUser(path, "new");
        EXPECT_EQ(r.ok, c.saved) << r.error;
        if (!c.saved) {
            EXPECT_NE(r.error.find(path), std::string::npos) << r.error;
            EXPECT_NE(r.error.find("Permission denied"), std::string::npos) << r.error;
        }
        if (c.fileMode) {
            EXPECT_EQ(ReadText(path), c.saved ? "new" : "old bytes, longer than the new ones");
            const struct stat after = Stat(path);
            EXPECT_EQ(after.st_mode & 07777, c.fileMode);
            if (c.folderMode == 0555) {
                EXPECT_EQ(after.st_ino, before.st_ino);
            }
        }
        EXPECT_EQ(Entries(dir), c.fileMode ? 1u : 0u); // no temporary file left behind
    }
}

// Links are followed to the file they name, which is written while the link stays; a link to a
// file that does not exist yet makes that file.
TEST_F(AtomicFile, LinksAreFollowedAndKept) {
    ASSERT_TRUE(std::filesystem::create_directory(PathOf("sub")));
    WriteText(PathOf("sub/real.cvx"), "old");
    std::filesystem::create_symlink("sub/real.cvx", PathOf("one"));
    std::filesystem::create_symlink("one", PathOf("two"));
    std::filesystem::create_symlink("sub/later.cvx", PathOf("dangling"));
    std::filesystem::create_symlink("loop", PathOf("loop"));

    struct {
        const char* link;
        const char* target;
    } const cases[] = {
        {"one", "sub/real.cvx"}, {"two", "sub/real.cvx"}, {"dangling", "sub/later.cvx"}};
    for (const auto& c : cases) {
        std::string error;
        ASSERT_TRUE(WriteFileAtomically(PathOf(c.link), c.link, &error)) << error;
        EXPECT_TRUE(std::filesystem::is_symlink(PathOf(c.link))) << c.link;
        EXPECT_EQ(ReadText(PathOf(c.target)), c.link);
        EXPECT_TRUE(
            std::filesystem::is_regular_file(std::filesystem::symlink_status(PathOf(c.target))));
    }
    std::string error;
    EXPECT_FALSE(WriteFileAtomically(PathOf("loop"), "x", &error));
    EXPECT_NE(error.find(PathOf("loop")), std::string::npos) << error;
    EXPECT_TRUE(std::filesystem::is_symlink(PathOf("loop")));
}

// A save by someone who may write a file that belongs to another keeps its owner and group.
TEST_F(AtomicFile, TheOwnerIsKept) {
    if (geteuid() != 0) GTEST_SKIP() << "only root can give a file to another user";
    const std::string path = PathOf("theirs.cvx");
    WriteText(path, "old");
    ASSERT_EQ(chown(path.c_str(), 65534, 65534), 0);
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(path, "new", &error)) << error;
    const struct stat st = Stat(path);
    EXPECT_EQ(st.st_uid, 65534u);
    EXPECT_EQ(st.st_gid, 65534u);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(ReadText(path), "new");
}

// Reading takes only whole regular files within the bound, and never waits on a FIFO.
TEST_F(AtomicFile, ReadingTakesOnlySmallRegularFiles) {
    WriteText(PathOf("small"), "12345");
    ASSERT_EQ(mkfifo(PathOf("fifo").c_str(), 0666), 0);
    std::filesystem::create_symlink("/dev/zero", PathOf("zero"));
    struct {
        const char* name;
        EReadStatus status;
        const char* why;
    } const cases[] = {
        {"small", EReadStatus::Ok, ""},
        {"fifo", EReadStatus::NotRegular, "not a regular file"},
        {"zero", EReadStatus::NotRegular, "not a regular file"},
        {".", EReadStatus::NotRegular, "is a directory"},
        {"missing", EReadStatus::Missing, "No such file"},
    };
    for (const auto& c : cases) {
        std::string error;
        EReadStatus status = EReadStatus::Failed;
        const auto bytes = ReadWholeFile(PathOf(c.name), 5, &error, &status);
        EXPECT_EQ(status, c.status) << c.name;
        EXPECT_EQ(bytes.has_value(), c.status == EReadStatus::Ok) << c.name;
        EXPECT_NE(error.find(c.why), std::string::npos) << c.name << ": " << error;
    }
    EReadStatus status = EReadStatus::Ok;
    EXPECT_FALSE(ReadWholeFile(PathOf("small"), 4, nullptr, &status));
    EXPECT_EQ(status, EReadStatus::TooLarge);
}

} // namespace
