#include "platform/AtomicFile.h"

#include "SmallTmpfs.h"
#include "TempDir.h"

#include <cstdlib>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <optional>
#include <utility>
#include <vector>

namespace {

struct CSaved {
    bool ok = false;
    std::string error;
};

// Saves as an ordinary user would. Root writes whatever the modes say, so as root the save runs
// in a child that has given up its privileges for those of "nobody".
CSaved SaveAsUser(const std::string& path, const std::string& bytes, const CWriteFn& writeFn = {}) {
    CSaved r;
    if (geteuid() != 0) {
        r.ok = WriteFileAtomically(path, bytes, &r.error, writeFn);
        return r;
    }
    int fds[2];
    if (pipe(fds) != 0) return r;
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
        std::string error;
        const bool ok = WriteFileAtomically(path, bytes, &error, writeFn);
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
        // Copies of files written in place go to a folder of the test's own.
        const char* state = std::getenv("XDG_STATE_HOME");
        m_oldState = state ? std::optional<std::string>(state) : std::nullopt;
        ASSERT_TRUE(std::filesystem::create_directory(PathOf("state")));
        chmod(PathOf("state").c_str(), 0777);
        setenv("XDG_STATE_HOME", PathOf("state").c_str(), 1);
    }
    void TearDown() override {
        if (m_oldState)
            setenv("XDG_STATE_HOME", m_oldState->c_str(), 1);
        else
            unsetenv("XDG_STATE_HOME");
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
    // The copies of old files kept by in-place saves.
    std::vector<std::string> Backups() const {
        std::vector<std::string> out;
        if (std::filesystem::exists(BackupFolder()))
            for (const auto& e : std::filesystem::directory_iterator(BackupFolder()))
                out.push_back(e.path().string());
        return out;
    }
    // A folder the saver may not add files to, holding a file the saver may write.
    std::string ReadOnlyFolderWith(const std::string& dir, const std::string& old) {
        EXPECT_TRUE(std::filesystem::create_directory(dir));
        const std::string path = dir + "/a.cvx";
        WriteText(path, old);
        if (geteuid() == 0) {
            EXPECT_EQ(chown(path.c_str(), 65534, 65534), 0);
        }
        EXPECT_EQ(chmod(dir.c_str(), 0555), 0);
        return path;
    }

    std::optional<std::string> m_oldState;
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

// A save by someone who may write a file that belongs to another keeps its owner and group,
// also when only the group differs from the saver's.
TEST_F(AtomicFile, TheOwnerIsKept) {
    if (geteuid() != 0) GTEST_SKIP() << "only root can give a file to another user";
    const struct {
        uid_t uid;
        gid_t gid;
    } owners[] = {{65534, 65534}, {0, 65534}};
    for (const auto& o : owners) {
        SCOPED_TRACE(testing::Message() << o.uid << ":" << o.gid);
        const std::string path = PathOf("theirs.cvx");
        WriteText(path, "old");
        ASSERT_EQ(chown(path.c_str(), o.uid, o.gid), 0);
        ASSERT_EQ(chmod(path.c_str(), 0640), 0);
        std::string error;
        ASSERT_TRUE(WriteFileAtomically(path, "new", &error)) << error;
        const struct stat st = Stat(path);
        EXPECT_EQ(st.st_uid, o.uid);
        EXPECT_EQ(st.st_gid, o.gid);
        EXPECT_EQ(st.st_mode & 07777, 0640u);
        EXPECT_EQ(ReadText(path), "new");
    }
}

// A FIFO in the file's place is refused at once and stays; nothing is written or left beside it.
TEST_F(AtomicFile, ASaveOntoAFifoIsRefused) {
    const std::string path = PathOf("pipe.cvx");
    ASSERT_EQ(mkfifo(path.c_str(), 0666), 0);
    std::filesystem::create_symlink("pipe.cvx", PathOf("link.cvx"));
    for (const char* name : {"pipe.cvx", "link.cvx"}) {
        std::string error;
        EXPECT_FALSE(WriteFileAtomically(PathOf(name), "new", &error)) << name;
        EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
        EXPECT_TRUE(S_ISFIFO(Stat(path).st_mode)) << name;
    }
    EXPECT_EQ(Entries(m_dir), 3u); // the FIFO, the link and the state folder
}

// In place, a copy of the old file waits in the backup folder while the new bytes are written:
// it goes once they are on disk, and stays, named in the message, when the write fails.
TEST_F(AtomicFile, AnInPlaceSaveKeepsACopyUntilDone) {
    const std::string old = "the old document, " + std::string(5000, 'o');
    const std::string path = ReadOnlyFolderWith(PathOf("ro"), old);
    const CSaved ok = SaveAsUser(path, "new");
    EXPECT_TRUE(ok.ok) << ok.error;
    EXPECT_EQ(ReadText(path), "new");
    EXPECT_TRUE(Backups().empty());

    const CWriteFn failing = [](int fd, const char* data, std::size_t n) -> long {
        // Half of the bytes land, then the disk gives out.
        static bool bFirst = true;
        if (!std::exchange(bFirst, false)) {
            errno = EIO;
            return -1;
        }
        return static_cast<long>(::write(fd, data, n / 2));
    };
    WriteText(PathOf("old"), old);
    chmod(PathOf("ro").c_str(), 0777);
    std::filesystem::copy_file(PathOf("old"), path,
                               std::filesystem::copy_options::overwrite_existing);
    chmod(PathOf("ro").c_str(), 0555);
    const CSaved torn = SaveAsUser(path, std::string(8000, 'n'), failing);
    EXPECT_FALSE(torn.ok);
    const std::vector<std::string> copies = Backups();
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_TRUE(ReadText(copies[0]) == old); // (thousands of bytes: no print of either)
    EXPECT_NE(torn.error.find(copies[0]), std::string::npos) << torn.error;
    EXPECT_NE(torn.error.find("Input/output error"), std::string::npos) << torn.error;
}

// On a full disk the old file stays byte for byte, whether the save goes through a new file or,
// in a folder that takes none, in place; no temporary file or copy is left.
TEST_F(AtomicFile, AFullDiskLeavesTheOldFile) {
    ASSERT_TRUE(std::filesystem::create_directory(PathOf("small")));
    const CSmallTmpfs fs(PathOf("small"), 256 * 1024);
    if (!fs.Mounted()) GTEST_SKIP() << fs.Why();
    const std::string old = "a small document\n" + std::string(20000, 'o');
    ASSERT_TRUE(std::filesystem::create_directory(PathOf("small/rw")));
    chmod(PathOf("small/rw").c_str(), 0777);
    WriteText(PathOf("small/rw/a.cvx"), old);
    if (geteuid() == 0) {
        ASSERT_EQ(chown(PathOf("small/rw/a.cvx").c_str(), 65534, 65534), 0);
    }
    const std::string inPlace = ReadOnlyFolderWith(PathOf("small/ro"), old);
    fs.Fill("filler");

    for (const std::string& path : {PathOf("small/rw/a.cvx"), inPlace}) {
        SCOPED_TRACE(path);
        const CSaved r = SaveAsUser(path, std::string(100000, 'n'));
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.error.find("No space left on device"), std::string::npos) << r.error;
        EXPECT_TRUE(ReadText(path) == old);
        EXPECT_EQ(Entries(path.substr(0, path.rfind('/'))), 1u);
    }
    EXPECT_TRUE(Backups().empty());
}

// Temporary files of saves whose process is gone are removed by the next save into the folder;
// those of a live process, and other files, stay.
TEST_F(AtomicFile, TemporaryFilesOfDeadSavesGo) {
    const pid_t dead = fork();
    if (dead == 0) _exit(0);
    waitpid(dead, nullptr, 0);
    const std::string deadTemp = ".a.cvx." + std::to_string(dead) + ".0.tmp";
    const std::string liveTemp = ".b.cvx." + std::to_string(getpid()) + ".7.tmp";
    for (const std::string& name : {deadTemp, liveTemp, std::string("notes.1.2.tmp")})
        WriteText(PathOf(name), "left");
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(PathOf("c.cvx"), "new", &error)) << error;
    EXPECT_FALSE(std::filesystem::exists(PathOf(deadTemp)));
    EXPECT_TRUE(std::filesystem::exists(PathOf(liveTemp)));
    EXPECT_TRUE(std::filesystem::exists(PathOf("notes.1.2.tmp")));
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
