#include "addondb/DatabaseFile.h"
#include "lang/LanguageTable.h"

#include <cstdlib>

// Any payload either loads whole or leaves the database as it was; what loads
// saves to a payload that loads again the same.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const garrison::LanguageTable language;
    garrison::AddonDatabase database(language);
    database.setGameFolder("/game/");
    if (!garrison::DatabaseFile::decodePayload({data, size}, database)) {
        if (database.root() || database.packages().size() != 3)
            std::abort();
        return 0;
    }
    const auto saved = garrison::DatabaseFile::encodePayload(database);
    garrison::AddonDatabase again(language);
    again.setGameFolder("/game/");
    if (!garrison::DatabaseFile::decodePayload(saved, again) || garrison::DatabaseFile::encodePayload(again) != saved)
        std::abort();
    return 0;
}
