#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace garrison {

// An open file that is closed with its owner.
class FileHandle {
public:
    enum class Mode {
        ReadExisting,   // read an existing file; other readers may share it
        ReadRegular,    // as ReadExisting, but only a regular file: never waits on a pipe or a device
        CreateTruncate, // create or empty it, for writing
        CreateNew,      // create it for writing; fails when the name exists
        ReadWrite,      // open or create, for reading and writing
        Append,         // as ReadWrite, positioned at the end
    };

    FileHandle() = default;
    FileHandle(const std::string &path, Mode mode);
    ~FileHandle();
    FileHandle(FileHandle &&other) noexcept;
    FileHandle &operator=(FileHandle &&other) noexcept;
    FileHandle(const FileHandle &) = delete;
    FileHandle &operator=(const FileHandle &) = delete;

    bool open(const std::string &path, Mode mode);
    bool isOpen() const { return m_fd >= 0; }
    // Byte counts, or -1 on failure. A write retries until all is written.
    std::int64_t read(void *buffer, std::size_t size);
    std::int64_t write(const void *data, std::size_t size);
    // Flushes to the device: a file that replaces another must be on disk first.
    bool sync();
    // Tells the kernel the file is read from start to end: a larger read-ahead.
    void adviseSequential();
    // The size the file has now, or -1; it may change before it is read.
    std::int64_t size() const;
    // Sets the permissions of a regular file; anything else (a device the
    // name leads to) is left as it is. False when a regular file refused.
    bool setPermissions(unsigned mode);
    void close();

private:
    int m_fd = -1;
};

} // namespace garrison
