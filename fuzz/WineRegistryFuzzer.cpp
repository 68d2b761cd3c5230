#include "servers/WineRegistry.h"

#include <string_view>

// Any registry file parses without reading past its end.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto registry = garrison::WineRegistry::parse(std::string_view(reinterpret_cast<const char *>(data), size));
    registry.value("Software\\Codemasters\\Operation Flashpoint", "MAIN");
    return 0;
}
