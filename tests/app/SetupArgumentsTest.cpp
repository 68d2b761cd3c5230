#include "app/SetupArguments.h"

#include <gtest/gtest.h>

using namespace garrison;

namespace {

TEST(SetupArguments, WhatTheWindowWritesTheSetupProgramReads)
{
    const SetupArguments written{4242, "/home/p/.garrison/staging/", "/opt/garrison/", "/home/p/games",
                                 "/opt/garrison/garrison"};
    const auto words = setupArgumentWords(written);
    EXPECT_EQ(words, (std::vector<std::string>{"--wait", "4242", "--from", "/home/p/.garrison/staging/", "--to",
                                               "/opt/garrison/", "--in", "/home/p/games", "--start",
                                               "/opt/garrison/garrison"}));
    const auto read = parseSetupArguments(words);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->waitFor, 4242);
    EXPECT_EQ(read->staging, written.staging);
    EXPECT_EQ(read->programFolder, written.programFolder);
    EXPECT_EQ(read->workFolder, written.workFolder);
    EXPECT_EQ(read->program, written.program);

    for (const auto &bad : std::vector<std::vector<std::string>>{
             {},
             {"--wait", "4242", "--from", "/s", "--to", "/p", "--in", "/w"},
             {"--wait", "soon", "--from", "/s", "--to", "/p", "--in", "/w", "--start", "/g"},
             {"--wait", "12x", "--from", "/s", "--to", "/p", "--in", "/w", "--start", "/g"},
             {"--wait", "0", "--from", "/s", "--to", "/p", "--in", "/w", "--start", "/g"},
             {"--wait", "7", "--from", "", "--to", "/p", "--in", "/w", "--start", "/g"},
         })
        EXPECT_FALSE(parseSetupArguments(bad)) << bad.size();
}

} // namespace
