#include "lang/LanguageLoader.h"
#include "common/PackedText.h"
#include "common/WordSplit.h"
#include "lang/BuiltInEnglish.h"
#include "lang/LanguageLine.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <map>
#include <set>

using namespace garrison;

namespace {

std::vector<unsigned char> packed(const std::string &text, std::uint32_t statedSize)
{
    uLongf length = compressBound(text.size());
    std::vector<unsigned char> bytes(4 + length);
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<unsigned char>(statedSize >> (8 * i));
    EXPECT_EQ(compress(bytes.data() + 4, &length, reinterpret_cast<const Bytef *>(text.data()), text.size()), Z_OK);
    bytes.resize(4 + length);
    return bytes;
}

TEST(PackedText, UnpacksOnlyWhatIsWhole)
{
    const std::string text = "DSTR_A \"a\"\n";
    const auto good = packed(text, text.size());
    EXPECT_EQ(unpackText(good), text);

    auto cut = good;
    cut.resize(cut.size() - 3);
    EXPECT_FALSE(unpackText(cut));
    EXPECT_FALSE(unpackText(packed(text, text.size() - 1))); // stated size too small
    EXPECT_FALSE(unpackText(packed(text, 0xFFFFFFFFu)));     // absurd size is not allocated
    auto corrupt = good;
    corrupt[6] ^= 0xFF;
    EXPECT_FALSE(unpackText(corrupt));
    EXPECT_FALSE(unpackText(std::vector<unsigned char>{1, 0}));
}

// Label -> second token, as the table reads the built-in text.
std::map<std::string, std::string> builtInDefinitions()
{
    std::map<std::string, std::string> definitions;
    const std::string text = builtInEnglishText();
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const auto tokens = splitWords(trimWordSeparators(std::string_view(text).substr(start, end - start)));
        if (!tokens.empty() && !tokens[0].starts_with("//")) {
            EXPECT_FALSE(definitions.count(tokens[0])) << "defined twice: " << tokens[0];
            definitions[tokens[0]] = tokens.size() > 1 ? tokens[1] : "";
        }
        start = end + 1;
    }
    return definitions;
}

TEST(BuiltInEnglish, HoldsEveryLabelAndTheReferences)
{
    const auto definitions = builtInDefinitions();
    // The game's labels, and those the Linux edition adds for texts of its own.
    const auto ownLabels = std::count_if(definitions.begin(), definitions.end(), [](const auto &definition) {
        return definition.first.starts_with("DSTR_LINUX_");
    });
    EXPECT_EQ(definitions.size() - static_cast<std::size_t>(ownLabels), 349u);

    const std::map<std::string, std::string> expectedReferences = {
        {"DSTR_MAIN_EQUALMODREQ_YES", "DSTR_MAIN_PWLOCKED_YES"},
        {"DSTR_MAIN_EQUALMODREQ_NO", "DSTR_MAIN_PWLOCKED_NO"},
        {"DSTR_MAIN_CLOSE", "DSTR_GENERIC_CLOSE"},
        {"DSTR_MAIN_LAUNCHERR_ADDR", "DSTR_MAIN_BADADDRESS"},
        {"DSTR_AABROWSER_CANCEL", "DSTR_GENERIC_CANCEL"},
        {"DSTR_CONFIG_CANCEL", "DSTR_GENERIC_CANCEL"},
        {"DSTR_DOWNLOAD_CANCEL", "DSTR_GENERIC_CANCEL"},
        {"DSTR_MISSING_CANCEL", "DSTR_GENERIC_CANCEL"},
        {"DSTR_EQMOD_CANCEL", "DSTR_GENERIC_CANCEL"},
        {"DSTR_PATH_CANCEL", "DSTR_GENERIC_CANCEL"},
        {"DSTR_SERVER_CANCEL", "DSTR_GENERIC_CANCEL"},
        {"DSTR_NEWPACK_CANCEL", "DSTR_GENERIC_CANCEL"},
        {"DSTR_CONFIG_OK", "DSTR_GENERIC_OK"},
        {"DSTR_PATH_OK", "DSTR_GENERIC_OK"},
        {"DSTR_SERVER_OK", "DSTR_GENERIC_OK"},
        {"DSTR_NEWPACK_OK", "DSTR_GENERIC_OK"},
        {"DSTR_CONFIG_PATH_EXE", "DSTR_PATH_FILETYPE"},
        {"DSTR_EQMOD_FORCE", "DSTR_MISSING_FORCE"},
        {"DSTR_MANAGER_CLOSE", "DSTR_GENERIC_CLOSE"},
        {"DSTR_MANAGER_AA_INVFOL_TITLE", "DSTR_MANAGER_TITLE"},
        {"DSTR_MANAGER_PK_DEACT_TITLE", "DSTR_MANAGER_TITLE"},
        {"DSTR_MANAGER_PK_WDIS_TITLE", "DSTR_MANAGER_TITLE"},
        {"DSTR_MANAGER_PK_WUN_TITLE", "DSTR_MANAGER_TITLE"},
        {"DSTR_MANAGER_PK_WDEL_TITLE", "DSTR_MANAGER_TITLE"},
        {"DSTR_MANAGER_AA_POP_SHOW", "DSTR_MANAGER_AA_SHOW"},
        {"DSTR_MANAGER_PK_SHOW", "DSTR_MANAGER_AA_SHOW"},
        {"DSTR_MANAGER_PK_PACKAGE", "DSTR_MANAGER_AA_PACKAGE"},
        {"DSTR_MANAGER_ADV_PACKAGE", "DSTR_MANAGER_AA_PACKAGE"},
        {"DSTR_MANAGER_PK_STATUS", "DSTR_MANAGER_AA_STATUS"},
        {"DSTR_MANAGER_PK_POP_ACTIVATE", "DSTR_MANAGER_PK_ACTIVATE"},
        {"DSTR_MANAGER_ADV_ACTIVATE", "DSTR_MANAGER_PK_ACTIVATE"},
        {"DSTR_MANAGER_ADV_POP_ACTIVATE", "DSTR_MANAGER_PK_ACTIVATE"},
        {"DSTR_MANAGER_PK_POP_DEACTIVATE", "DSTR_MANAGER_PK_DEACTIVATE"},
        {"DSTR_MANAGER_ADV_DEACTIVATE", "DSTR_MANAGER_PK_DEACTIVATE"},
        {"DSTR_MANAGER_ADV_POP_DEACTIVATE", "DSTR_MANAGER_PK_DEACTIVATE"},
        {"DSTR_MANAGER_PK_POP_EDIT", "DSTR_MANAGER_PK_EDIT"},
        {"DSTR_MANAGER_PK_POP_SHOW", "DSTR_MANAGER_PK_SHOW"},
        {"DSTR_MANAGER_PK_POP_DIS", "DSTR_MANAGER_PK_DIS"},
        {"DSTR_MANAGER_PK_POP_UNINSTALL", "DSTR_MANAGER_PK_UNINSTALL"},
        {"DSTR_MANAGER_ADV_POP_OPENFOLDER", "DSTR_MANAGER_ADV_OPENFOLDER"},
        {"DSTR_MANAGER_ADV_POP_BINDTO", "DSTR_MANAGER_ADV_BINDTO"},
        {"DSTR_MANAGER_ADV_POP_BINDTO_NEW", "DSTR_MANAGER_STDPK_NEW"},
        {"DSTR_MANAGER_ADV_POP_UNBIND", "DSTR_MANAGER_ADV_UNBIND"},
    };
    std::map<std::string, std::string> references;
    for (const auto &[label, text] : definitions) {
        if (text.starts_with("DSTR_"))
            references[label] = text;
    }
    EXPECT_EQ(references, expectedReferences);

    // Every label shows a real text: no dangling reference, no cycle, no gap.
    const LanguageTable table = loadLanguageTable("/nonexistent/garrisonlanguage.ini");
    for (const auto &[label, text] : definitions) {
        const auto shown = table.Resolve(label);
        EXPECT_FALSE(shown.empty() || shown.starts_with("DSTR_") || shown == "RECURSE ERROR") << label;
    }
}

TEST(BuiltInEnglish, TextsThatDependOnTheSyntax)
{
    const LanguageTable table = loadLanguageTable("/nonexistent/garrisonlanguage.ini");
    const struct {
        const char *label;
        const char *text;
    } cases[] = {
        {"DSTR_MAIN_TITLE", "Garrison (with Auto-Addon)"},
        {"DSTR_MANAGER_PK_POP_SHOW", "Show files"},   // two references deep
        {"DSTR_MANAGER_PKS_INACT", "Inactive"},       // comma after the quote
        {"DSTR_SERVER_LOCAL", "Local/Single player"}, // no closing quote
        {"DSTR_DOWNLOAD_KBSEC", " kb/sec"},
        {"DSTR_MANAGER_AA_MB", " MB"},
        {"DSTR_MANAGER_KB", " KB"},
        {"DSTR_MANAGER_PK_DEACT1", "Deactivating "},
        {"DSTR_MAIN_AABROWSEDNSERROR", "Trouble resolving browser server address\nPlease try again"},
        {"DSTR_MISSMOD_TEXT", " does not exist, connection may fail.\nMake sure mod folders loaded by the server "
                              "\nexist in your OFP folder."},
    };
    for (const auto &c : cases)
        EXPECT_EQ(table.Resolve(c.label), c.text) << c.label;
}

TEST(LanguageLoader, FileOverridesBuiltInAndLineEndsDoNotMatter)
{
    test::TempFolder folder;
    const std::string lines[] = {"// Deutsch",
                                 "DSTR_MAIN_CLOSE \"Schlie\xDF"
                                 "en\"",
                                 "DSTR_GENERIC_OK \"Gut\"", "DSTR_GENERIC_OK \"ignored\"",
                                 "DSTR_MANAGER_TITLE DSTR_MAIN_TITLE"};
    std::string lfText, crlfText;
    for (const auto &line : lines) {
        lfText += line + "\n";
        crlfText += line + "\r\n";
    }
    const auto unixPath = folder.write("lf.ini", lfText);
    const auto windowsPath = folder.write("windows.ini", "\xEF\xBB\xBF" + crlfText);
    EXPECT_EQ(readLanguageFile(windowsPath), lfText);

    for (const auto &path : {unixPath, windowsPath}) {
        const auto table = loadLanguageTable(path);
        EXPECT_EQ(table.Resolve("DSTR_MAIN_CLOSE"), "Schlie\xDF"
                                                    "en")
            << path;
        EXPECT_EQ(table.Resolve("DSTR_GENERIC_OK"), "Gut");
        EXPECT_EQ(table.Resolve("DSTR_CONFIG_OK"), "Gut");       // built-in reference to the file's text
        EXPECT_EQ(table.Resolve("DSTR_GENERIC_CLOSE"), "Close"); // not in the file
        EXPECT_EQ(table.Resolve("DSTR_MANAGER_TITLE"), "Garrison (with Auto-Addon)");
        EXPECT_EQ(table.size(), builtInDefinitions().size());
    }
    EXPECT_EQ(readLanguageFile(folder / "missing.ini"), "");
}

} // namespace
