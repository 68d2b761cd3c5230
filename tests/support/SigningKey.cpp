#include "support/SigningKey.h"

#include <openssl/evp.h>

namespace garrison::test {

SigningKey::SigningKey() : m_key(EVP_PKEY_Q_keygen(nullptr, nullptr, "ED25519"))
{
}

SigningKey::~SigningKey()
{
    EVP_PKEY_free(m_key);
}

std::array<std::uint8_t, 32> SigningKey::publicKey() const
{
    std::array<std::uint8_t, 32> key{};
    std::size_t size = key.size();
    EVP_PKEY_get_raw_public_key(m_key, key.data(), &size);
    return key;
}

std::string SigningKey::sign(const std::string &bytes) const
{
    std::string signature(64, '\0');
    std::size_t size = signature.size();
    EVP_MD_CTX *context = EVP_MD_CTX_new();
    EVP_DigestSignInit(context, nullptr, nullptr, nullptr, m_key);
    EVP_DigestSign(context, reinterpret_cast<unsigned char *>(signature.data()), &size,
                   reinterpret_cast<const unsigned char *>(bytes.data()), bytes.size());
    EVP_MD_CTX_free(context);
    signature.resize(size);
    return signature;
}

} // namespace garrison::test
