#include "platform/FileError.h"

#include "AsUser.h"
#include "TempDir.h"

#include <cerrno>
#include <sys/stat.h>

namespace {

TEST(FileError, ErrnoGivesTheChineseReason) {
    struct Case {
        int err;
        const char* reason;
        bool bDetail;
    };
    const Case cases[] = {
        {ENOENT, "文件不存在", false},     {EACCES, "权限不足", false},
        {EPERM, "权限不足", false},        {ENOSPC, "磁盘已满", false},
        {EDQUOT, "磁盘已满", false},       {EROFS, "磁盘是只读的", false},
        {EISDIR, "这是一个文件夹", false}, {EFBIG, "文件太大", false},
        {EIO, "读写出错", true},
    };
    for (const Case& c : cases) {
        const EFileError e = FileErrorFromErrno(c.err);
        EXPECT_STREQ(FileErrorReason(e), c.reason) << c.err;
        EXPECT_EQ(FileErrorNeedsDetail(e), c.bDetail) << c.err;
    }
    EXPECT_STREQ(FileErrorReason(EFileError::Damaged), "文件已损坏");
    EXPECT_TRUE(FileErrorNeedsDetail(EFileError::Damaged)); // where the damage lies
    EXPECT_STREQ(FileErrorReason(EFileError::NotRegular), "不是普通文件");
}

class FileErrorDiagnosis : public CTempDirTest {};

TEST_F(FileErrorDiagnosis, ReadFailures) {
    WriteText(PathOf("bad.cvx"), "not a function file");
    ASSERT_EQ(mkdir(PathOf("folder.cvx").c_str(), 0755), 0);
    ASSERT_EQ(mkfifo(PathOf("fifo.cvx").c_str(), 0666), 0);
    struct Case {
        std::string path;
        std::size_t maxBytes;
        EFileError expected;
    };
    const Case cases[] = {
        {PathOf("absent.cvx"), 100, EFileError::NotFound},
        {PathOf("folder.cvx"), 100, EFileError::IsFolder},
        {PathOf("bad.cvx"), 100, EFileError::Damaged},
        {PathOf("bad.cvx"), 5, EFileError::TooLarge},
        {PathOf("fifo.cvx"), 100, EFileError::NotRegular},
        {"/dev/zero", 100, EFileError::NotRegular},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DiagnoseReadFailure(c.path, c.maxBytes), c.expected) << c.path;
}

TEST_F(FileErrorDiagnosis, WriteFailures) {
    ASSERT_EQ(mkdir(PathOf("folder.cvx").c_str(), 0755), 0);
    EXPECT_EQ(DiagnoseWriteFailure(PathOf("missing/a.cvx")), EFileError::NoFolder);
    EXPECT_EQ(DiagnoseWriteFailure(PathOf("folder.cvx")), EFileError::IsFolder);
    EXPECT_EQ(DiagnoseWriteFailure(PathOf("a.cvx")), EFileError::Other);
    ASSERT_EQ(mkfifo(PathOf("fifo.cvx").c_str(), 0666), 0);
    EXPECT_EQ(DiagnoseWriteFailure(PathOf("fifo.cvx")), EFileError::NotRegular);
    // The failure's own errno outweighs a disk that has room again.
    EXPECT_EQ(DiagnoseWriteFailure(PathOf("a.cvx"), ENOSPC), EFileError::DiskFull);
    EXPECT_EQ(DiagnoseWriteFailure(PathOf("a.cvx"), EIO), EFileError::Other);
}

TEST_F(FileErrorDiagnosis, PermissionIsTheUsersNotRoots) {
    ASSERT_EQ(mkdir(PathOf("open").c_str(), 0755), 0);
    ASSERT_EQ(mkdir(PathOf("shut").c_str(), 0555), 0);
    WriteText(PathOf("open/locked.cvx"), "x");
    ASSERT_EQ(chmod(PathOf("open/locked.cvx").c_str(), 0), 0);
    ASSERT_EQ(chmod(m_dir.c_str(), 0755), 0);
    const std::string failure = RunAsOrdinaryUser([&]() -> std::string {
        if (DiagnoseReadFailure(PathOf("open/locked.cvx"), 100) != EFileError::NoPermission)
            return "reading a locked file";
        if (DiagnoseWriteFailure(PathOf("open/locked.cvx")) != EFileError::NoPermission)
            return "writing a locked file";
        if (DiagnoseWriteFailure(PathOf("shut/new.cvx")) != EFileError::NoPermission)
            return "writing into a locked folder";
        return {};
    });
    chmod(PathOf("shut").c_str(), 0755);
    EXPECT_EQ(failure, "");
}

} // namespace
