#include "lang/BuiltInEnglish.h"

#include "common/PackedText.h"

#include <cstddef>
#include <span>

namespace garrison {

namespace resources {
extern const unsigned char kEnglishTable[];
extern const std::size_t kEnglishTableSize;
} // namespace resources

std::string builtInEnglishText()
{
    return unpackText(std::span(resources::kEnglishTable, resources::kEnglishTableSize)).value_or(std::string());
}

} // namespace garrison
