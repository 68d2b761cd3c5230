#include "app/UpgradeSignature.h"

#include <openssl/evp.h>

namespace garrison {

const UpgradeKey kUpgradePublicKey = {0x01, 0x27, 0x78, 0xfe, 0x26, 0xca, 0x75, 0x03, 0x56, 0x99, 0x64,
                                      0x98, 0x21, 0xd5, 0x8c, 0x16, 0xc8, 0x88, 0xe4, 0xa5, 0xe9, 0x15,
                                      0x50, 0x98, 0x13, 0x46, 0x73, 0x97, 0x02, 0x72, 0x34, 0x39};

bool verifyUpgradeSignature(std::span<const std::uint8_t> archive, std::span<const std::uint8_t> signature,
                            const UpgradeKey &key)
{
    constexpr std::size_t kSignatureSize = 64;
    if (signature.size() != kSignatureSize)
        return false;
    EVP_PKEY *publicKey = EVP_PKEY_new_raw_public_key(EVP_PKEY_ED25519, nullptr, key.data(), key.size());
    if (!publicKey)
        return false;
    EVP_MD_CTX *context = EVP_MD_CTX_new();
    const bool verified =
        context && EVP_DigestVerifyInit(context, nullptr, nullptr, nullptr, publicKey) == 1 &&
        EVP_DigestVerify(context, signature.data(), signature.size(), archive.data(), archive.size()) == 1;
    EVP_MD_CTX_free(context);
    EVP_PKEY_free(publicKey);
    return verified;
}

} // namespace garrison
