#include "servers/ParameterSplit.h"

#include "common/TextCompare.h"
#include "common/WordSplit.h"

namespace garrison {

SplitParameters splitParameters(const std::vector<std::string> &words)
{
    SplitParameters result;
    bool modTaken = false;
    for (const auto &word : words) {
        if (!modTaken && startsWithNoCase(word, "-mod=")) {
            result.manualMods = word.substr(5);
            modTaken = true;
            continue;
        }
        if (!result.startupParameters.empty())
            result.startupParameters += ' ';
        if (startsWithNoCase(word, "-name="))
            result.startupParameters += '"' + word + '"';
        else
            result.startupParameters += word;
    }
    return result;
}

SplitParameters splitParameters(std::string_view text)
{
    return splitParameters(splitWords(text));
}

} // namespace garrison
