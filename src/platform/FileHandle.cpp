#include "platform/FileHandle.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace garrison {

namespace {

int openFlags(FileHandle::Mode mode)
{
    switch (mode) {
    case FileHandle::Mode::ReadExisting:
        return O_RDONLY;
    case FileHandle::Mode::ReadRegular:
        return O_RDONLY | O_NONBLOCK;
    case FileHandle::Mode::CreateTruncate:
        return O_WRONLY | O_CREAT | O_TRUNC;
    case FileHandle::Mode::CreateNew:
        return O_WRONLY | O_CREAT | O_EXCL;
    case FileHandle::Mode::ReadWrite:
        return O_RDWR | O_CREAT;
    case FileHandle::Mode::Append:
        return O_RDWR | O_CREAT | O_APPEND;
    }
    return O_RDONLY;
}

} // namespace

FileHandle::FileHandle(const std::string &path, Mode mode)
{
    open(path, mode);
}

FileHandle::~FileHandle()
{
    close();
}

FileHandle::FileHandle(FileHandle &&other) noexcept : m_fd(std::exchange(other.m_fd, -1))
{
}

FileHandle &FileHandle::operator=(FileHandle &&other) noexcept
{
    if (this != &other) {
        close();
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

bool FileHandle::open(const std::string &path, Mode mode)
{
    close();
    m_fd = ::open(path.c_str(), openFlags(mode) | O_CLOEXEC, 0666);
    if (m_fd >= 0 && mode == Mode::ReadRegular) {
        // Opened without waiting, then checked: a pipe or a device named like an add-on is no add-on.
        struct stat info {};
        if (fstat(m_fd, &info) != 0 || !S_ISREG(info.st_mode)) {
            close();
            errno = EINVAL;
        }
    }
    return m_fd >= 0;
}

bool FileHandle::setPermissions(unsigned mode)
{
    struct stat info {};
    if (m_fd < 0 || fstat(m_fd, &info) != 0)
        return false;
    return !S_ISREG(info.st_mode) || fchmod(m_fd, static_cast<mode_t>(mode)) == 0;
}

std::int64_t FileHandle::read(void *buffer, std::size_t size)
{
    if (m_fd < 0)
        return -1;
    ssize_t count;
    do
        count = ::read(m_fd, buffer, size);
    while (count < 0 && errno == EINTR);
    return count;
}

void FileHandle::adviseSequential()
{
    if (m_fd >= 0)
        posix_fadvise(m_fd, 0, 0, POSIX_FADV_SEQUENTIAL);
}

std::int64_t FileHandle::write(const void *data, std::size_t size)
{
    if (m_fd < 0)
        return -1;
    const auto *bytes = static_cast<const char *>(data);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t count = ::write(m_fd, bytes + done, size - done);
        if (count < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        done += static_cast<std::size_t>(count);
    }
    return static_cast<std::int64_t>(done);
}

std::int64_t FileHandle::size() const
{
    struct stat info {};
    return m_fd >= 0 && fstat(m_fd, &info) == 0 ? static_cast<std::int64_t>(info.st_size) : -1;
}

bool FileHandle::sync()
{
    return m_fd >= 0 && fsync(m_fd) == 0;
}

void FileHandle::close()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

} // namespace garrison
