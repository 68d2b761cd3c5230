#pragma once

#include "addondb/FileNode.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace garrison {

// Operations on the tree of FileNodes. Names compare ignoring case; paths are
// relative, with "\" after every folder name. Nothing here touches the disk.

// The node at path whose identity matches: a folder, or a file of this size
// and CRC; Missing nodes only with includeMissing.
FileNode *findByPathAndIdentity(const FileNode &root, std::string_view path, std::uint32_t size, std::uint32_t crc,
                                bool includeMissing);
// The Present node at path.
FileNode *findPresentByPath(const FileNode &root, std::string_view path);
// Depth first below folder: the first node named name that is not Missing and
// is a folder or has this size and CRC.
FileNode *searchByIdentity(const FileNode &folder, std::string_view name, std::uint32_t size, std::uint32_t crc);
// Every node below folder in pre-order.
std::vector<FileNode *> flatten(const FileNode &folder);
// Files below folder, at any depth, that are not Missing and end in ".pbo".
int countAddonFiles(const FileNode &folder);
// The weight of the subtree (package counts summed); children of weight 0 are
// removed on the way.
std::int64_t prune(FileNode &node);
// Every time below folder set to 0, so the next scan checks every CRC.
void forgetTimes(FileNode &folder);
void insertChild(FileNode &folder, NodeRef child);
// The child named name (ignoring case), folders only or files only as asked.
FileNode *findChild(const FileNode &folder, std::string_view name, bool wantFolder);

// Splits a relative path after every "\": "a\b\c.pbo" -> "a\", "b\", "c.pbo".
std::vector<std::string_view> splitRelativePath(std::string_view path);

} // namespace garrison
