#pragma once

#include "platform/FileTime.h"

#include <cstdint>
#include <optional>
#include <string>

namespace garrison {

// Outcome of a file-system change; the callers tell these cases apart.
enum class FsStatus {
    Ok,
    AlreadyExists, // the target name is taken
    NotEmpty,      // a folder still holds entries
    NotFound,
    Failed, // anything else (permissions, I/O)
};

struct EntryInfo {
    std::string name; // the name as it is spelt on disk
    std::uint64_t size = 0;
    FileTime time = 0;
    bool folder = false;
    bool hidden = false;  // a leading dot stands in for the hidden attribute
    bool link = false;    // a symbolic link (the rest describes its target)
    bool special = false; // neither a regular file nor a folder: a pipe, a device, a socket
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
};

// The real path of a folder, links resolved, with "/" at its end; empty
// when it does not resolve.
std::string realFolder(const std::string &path);

// Renames without ever replacing: activation must not destroy an existing file.
FsStatus renameNoReplace(const std::string &from, const std::string &to);
FsStatus deleteFile(const std::string &path);
FsStatus removeFolder(const std::string &path);
FsStatus createFolder(const std::string &path);

bool pathExists(const std::string &path);
// Whether the entry itself is a symbolic link, however many "/" end the path
// (with one, the system would follow the link).
bool isSymbolicLink(const std::string &path);
// The last element of name, in the folder of path ("a/b.dat", "c.tmp" -> "a/c.tmp").
std::string besideFile(const std::string &path, const std::string &name);
// Whether a file can be created in folder: tried, not guessed from permission bits.
bool folderWritable(const std::string &folder);
// Size, time and kind of one entry; symbolic links are followed.
std::optional<EntryInfo> entryInfo(const std::string &path);

} // namespace garrison
