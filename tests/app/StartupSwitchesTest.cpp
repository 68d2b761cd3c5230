#include "app/StartupSwitches.h"
#include "lang/ToolTipTable.h"

#include <gtest/gtest.h>

using namespace garrison;

namespace {

TEST(StartupSwitches, RegistrationEndsAtOnceEmbeddingRunsWithoutAWindow)
{
    const struct {
        std::vector<std::string> words;
        StartupAction action;
    } cases[] = {
        {{}, StartupAction::Run},
        {{"/RegServer"}, StartupAction::EndAtOnce},
        {{"-connect=1.2.3.4", "-unregserver"}, StartupAction::EndAtOnce},
        {{"/RegServer", "more"}, StartupAction::Run}, // must run to the end of the line
        {{"RegServer"}, StartupAction::Run},
        {{"/Embedding"}, StartupAction::NoWindow},
        {{"-x", "-AUTOMATION"}, StartupAction::NoWindow},
        {{"/Embeddingx"}, StartupAction::Run},
        {{"-connect=10.0.0.1", "-port=2302"}, StartupAction::Run},
    };
    for (const auto &c : cases) {
        std::string line;
        for (const auto &word : c.words)
            line += word + " ";
        EXPECT_EQ(startupAction(c.words), c.action) << line;
    }
}

TEST(ToolTipTable, LabelsKeywordsAndGaps)
{
    EXPECT_EQ(toolTipString(1041), "DSTR_MAIN_CONFIG_TT");
    EXPECT_EQ(toolTipString(1001), "DSTR_MAIN_DESCRIPTION_TT");
    EXPECT_EQ(toolTipString(1128), "DSTR_CONFIG_ALWAYSNOMAP_TT");
    EXPECT_EQ(toolTipString(1040), kTextCallback);
    EXPECT_EQ(toolTipString(1061), kTextCallback);
    EXPECT_EQ(toolTipString(1037), std::nullopt); // the address value has none
    EXPECT_EQ(toolTipString(1000), std::nullopt);
    EXPECT_EQ(toolTipString(1129), std::nullopt);
    int entries = 0, callbacks = 0;
    for (int id = 0; id < 2000; ++id) {
        if (const auto text = toolTipString(id)) {
            ++entries;
            callbacks += *text == kTextCallback;
            EXPECT_TRUE(*text == kTextCallback || text->ends_with("_TT")) << id;
        }
    }
    EXPECT_EQ(entries, 55);
    EXPECT_EQ(callbacks, 7);
}

} // namespace
