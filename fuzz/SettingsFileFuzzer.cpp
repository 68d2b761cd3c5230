#include "servers/SettingsFile.h"

#include <cstdlib>

// Any bytes decode; what decodes encodes and decodes to the same settings.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto settings = garrison::SettingsFile::decode({data, size});
    if (garrison::SettingsFile::decode(garrison::SettingsFile::encode(settings)) != settings)
        std::abort();
    return 0;
}
