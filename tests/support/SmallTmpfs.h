#pragma once
// A small file system of its own, to fill up: a tmpfs mounted for one test. Only root may mount,
// so elsewhere Mounted() is false and the test skips with Why().

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/mount.h>
#include <unistd.h>

class CSmallTmpfs {
  public:
    CSmallTmpfs(const std::string& dir, std::size_t bytes) : m_dir(dir) {
        if (geteuid() != 0) {
            m_why = "mounting a small file system to fill needs root";
            return;
        }
        const std::string opts = "size=" + std::to_string(bytes) + ",mode=0777";
        if (mount("tmpfs", dir.c_str(), "tmpfs", 0, opts.c_str()) != 0)
            m_why = std::string("cannot mount a tmpfs: ") + std::strerror(errno);
        else
            m_bMounted = true;
    }
    ~CSmallTmpfs() {
        if (m_bMounted) umount2(m_dir.c_str(), MNT_DETACH);
    }
    CSmallTmpfs(const CSmallTmpfs&) = delete;
    CSmallTmpfs& operator=(const CSmallTmpfs&) = delete;

    bool Mounted() const { return m_bMounted; }
    const std::string& Why() const { return m_why; }

    // Writes a file that takes all the space left.
    void Fill(const std::string& name) const {
        const int fd = open((m_dir + "/" + name).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0) return;
        const std::string block(4096, 'f');
        while (write(fd, block.data(), block.size()) > 0) {
        }
        // The last partial page, byte by byte.
        while (write(fd, "f", 1) > 0) {
        }
        close(fd);
    }

  private:
    std::string m_dir;
    std::string m_why;
    bool m_bMounted = false;
};
