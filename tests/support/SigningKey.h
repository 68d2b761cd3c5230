#pragma once

#include <array>
#include <cstdint>
#include <string>

typedef struct evp_pkey_st EVP_PKEY;

namespace garrison::test {

// An Ed25519 key pair of the test's own, standing in for the release key.
class SigningKey {
public:
    SigningKey();
    ~SigningKey();
    SigningKey(const SigningKey &) = delete;
    SigningKey &operator=(const SigningKey &) = delete;

    std::array<std::uint8_t, 32> publicKey() const;
    // The detached signature of bytes, 64 bytes.
    std::string sign(const std::string &bytes) const;

private:
    EVP_PKEY *m_key;
};

} // namespace garrison::test
