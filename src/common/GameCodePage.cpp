#include "common/GameCodePage.h"

#include "common/TextCompare.h"
#include "common/Windows1252.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>

#include <mutex>

namespace garrison {

namespace {

constexpr const char *kDefaultCodePage = "Windows-1252";

std::mutex g_lock;
std::string g_codePage = kDefaultCodePage;

bool isDefault(const std::string &name)
{
    return equalsNoCase(name, kDefaultCodePage) || equalsNoCase(name, "CP1252");
}

std::size_t utf8Length(unsigned char lead)
{
    if (lead >= 0xF0)
        return 4;
    if (lead >= 0xE0)
        return 3;
    return lead >= 0xC0 ? 2 : 1;
}

// iconv from one code to another; what cannot be converted becomes
// replacement, one input character at a time.
std::string convert(std::string_view text, const char *to, const char *from, std::string_view replacement,
                    bool fromUtf8)
{
    const iconv_t converter = iconv_open(to, from);
    if (converter == reinterpret_cast<iconv_t>(-1))
        return std::string(text);
    std::string out;
    char buffer[1024];
    auto *in = const_cast<char *>(text.data()); // iconv's interface; it does not write the input
    std::size_t inLeft = text.size();
    while (inLeft > 0) {
        char *next = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t result = iconv(converter, &in, &inLeft, &next, &outLeft);
        out.append(buffer, static_cast<std::size_t>(next - buffer));
        if (result != static_cast<std::size_t>(-1) || errno == E2BIG)
            continue;
        // An invalid or unconvertible character, or one cut off at the end.
        const std::size_t skip = fromUtf8 ? std::min(inLeft, utf8Length(static_cast<unsigned char>(*in))) : 1;
        out += replacement;
        in += skip;
        inLeft -= skip;
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(converter);
    return out;
}

} // namespace

bool selectGameCodePage(const std::string &name)
{
    if (name.empty()) // iconv would take the locale's
        return false;
    if (!isDefault(name)) {
        const iconv_t probe = iconv_open("UTF-8", name.c_str());
        if (probe == reinterpret_cast<iconv_t>(-1))
            return false;
        iconv_close(probe);
    }
    std::lock_guard guard(g_lock);
    g_codePage = isDefault(name) ? kDefaultCodePage : name;
    return true;
}

std::string gameCodePage()
{
    std::lock_guard guard(g_lock);
    return g_codePage;
}

std::string gameTextToUtf8(std::string_view text)
{
    const std::string codePage = gameCodePage();
    if (codePage == kDefaultCodePage)
        return windows1252ToUtf8(text);
    return convert(text, "UTF-8", codePage.c_str(), "\xEF\xBF\xBD", false);
}

std::optional<std::string> utf8ToGameTextExactly(std::string_view text, std::string &unfit)
{
    std::string converted = utf8ToGameText(text);
    if (gameTextToUtf8(converted) == text)
        return converted;
    // One character at a time, to name the first that does not come back.
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = std::min(text.size() - at, utf8Length(static_cast<unsigned char>(text[at])));
        const std::string_view character = text.substr(at, length);
        if (gameTextToUtf8(utf8ToGameText(character)) != character) {
            unfit = std::string(character);
            return std::nullopt;
        }
        at += length;
    }
    unfit.clear();
    return std::nullopt;
}

std::string utf8ToGameText(std::string_view text)
{
    const std::string codePage = gameCodePage();
    if (codePage == kDefaultCodePage)
        return utf8ToWindows1252(text);
    return convert(text, codePage.c_str(), "UTF-8", "?", true);
}

} // namespace garrison
