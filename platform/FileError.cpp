#include "platform/FileError.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

EFileError FileErrorFromErrno(int err) {
    switch (err) {
    case ENOENT:
        return EFileError::NotFound;
    case EACCES:
    case EPERM:
        return EFileError::NoPermission;
    case ENOSPC:
    case EDQUOT:
        return EFileError::DiskFull;
    case EROFS:
        return EFileError::ReadOnlyDisk;
    case EISDIR:
        return EFileError::IsFolder;
    case EFBIG:
        return EFileError::TooLarge;
    default:
        return EFileError::Other;
    }
}

const char* FileErrorReason(EFileError e) {
    switch (e) {
    case EFileError::NotFound:
        return "文件不存在";
    case EFileError::NoFolder:
        return "文件夹不存在";
    case EFileError::NoPermission:
        return "权限不足";
    case EFileError::DiskFull:
        return "磁盘已满";
    case EFileError::ReadOnlyDisk:
        return "磁盘是只读的";
    case EFileError::IsFolder:
        return "这是一个文件夹";
    case EFileError::NotRegular:
        return "不是普通文件";
    case EFileError::TooLarge:
        return "文件太大";
    case EFileError::Damaged:
        return "文件已损坏";
    case EFileError::Other:
        break;
    }
    return "读写出错";
}

bool FileErrorNeedsDetail(EFileError e) {
    // Where the damage lies, or which error the system reported, is worth a second line.
    return e == EFileError::Damaged || e == EFileError::Other;
}

EFileError DiagnoseReadFailure(const std::string& path, std::size_t maxBytes) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return FileErrorFromErrno(errno);
    struct stat st;
    const bool bStat = fstat(fd, &st) == 0;
    close(fd);
    if (bStat && S_ISDIR(st.st_mode)) return EFileError::IsFolder;
    if (bStat && !S_ISREG(st.st_mode)) return EFileError::NotRegular;
    if (bStat && S_ISREG(st.st_mode) && static_cast<unsigned long long>(st.st_size) > maxBytes)
        return EFileError::TooLarge;
    return EFileError::Damaged;
}

EFileError DiagnoseWriteFailure(const std::string& path, int err) {
    const std::size_t slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    struct stat st;
    const bool bExists = stat(path.c_str(), &st) == 0;
    if (bExists && S_ISDIR(st.st_mode)) return EFileError::IsFolder;
    if (bExists && !S_ISREG(st.st_mode)) return EFileError::NotRegular;
    if (const EFileError known = FileErrorFromErrno(err);
        err != 0 && known != EFileError::Other && known != EFileError::NotFound)
        return known;
    if (bExists) {
        if (access(path.c_str(), W_OK) != 0) return FileErrorFromErrno(errno);
    } else if (stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        return EFileError::NoFolder;
    } else if (access(dir.c_str(), W_OK | X_OK) != 0) {
        return FileErrorFromErrno(errno);
    }
    struct statvfs fs;
    if (statvfs(dir.c_str(), &fs) == 0) {
        if (fs.f_flag & ST_RDONLY) return EFileError::ReadOnlyDisk;
        if (fs.f_bavail == 0) return EFileError::DiskFull;
    }
    return EFileError::Other;
}
