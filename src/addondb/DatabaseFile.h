#pragma once

#include "addondb/AddonDatabase.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace garrison {

class PayloadPacker;

// "garrison.dat": version 1, the payload length, and the payload packed by
// zlib. The payload is the tree in pre-order, then the packages, whose file
// lists name nodes by their place in that order.
namespace DatabaseFile {

inline constexpr const char *kFileName = "garrison.dat";
inline constexpr const char *kTemporaryName = "garrison.da2";

// The payload of the database as it stands (pruned first); empty without a root.
std::vector<std::uint8_t> encodePayload(AddonDatabase &database);
// One node's record, with those of everything below a folder: the payload
// holds the root's children's records one after the other.
std::vector<std::uint8_t> encodeRecord(const FileNode &node);
// Replaces tree and packages from a payload. A payload that is cut short,
// names a node that is not there or has fewer than three packages changes
// nothing and gives false.
bool decodePayload(std::span<const std::uint8_t> payload, AddonDatabase &database);

bool load(AddonDatabase &database, const std::string &path = kFileName);
// Through the temporary file (beside the database when given as a bare
// name), flushed, then renamed over the database, so that a crash never
// leaves no database. A packer that was fed the start of
// the payload during the scan leaves less to pack here.
bool save(AddonDatabase &database, const std::string &path = kFileName, const std::string &temporary = kTemporaryName,
          PayloadPacker *packer = nullptr);

} // namespace DatabaseFile

} // namespace garrison
