#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace garrison {

using UpgradeKey = std::array<std::uint8_t, 32>;

// The Ed25519 public key of Garrison's releases. The news that announces an
// upgrade comes over plain UDP and the archive over plain HTTP: only this
// key says that an archive is ours.
extern const UpgradeKey kUpgradePublicKey;

// True when signature is the key's Ed25519 signature of the archive's bytes.
bool verifyUpgradeSignature(std::span<const std::uint8_t> archive, std::span<const std::uint8_t> signature,
                            const UpgradeKey &key);

} // namespace garrison
