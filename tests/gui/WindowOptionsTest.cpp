#include "WindowOptions.h"

#include <gtest/gtest.h>

using Arguments = std::vector<std::string>;

TEST(WindowOptions, ReadsEveryOptionInBothForms)
{
    const WindowOptions options =
        ParseWindowOptions({"--settings", "demo.ini", "--seed=2147483646", "--run", "--quit-when-done",
                            "--table", "t.tsv", "--save-world=w.fxworld"});
    EXPECT_EQ(options.SettingsPath, QString("demo.ini"));
    EXPECT_EQ(options.Seed, 2147483646u);
    EXPECT_TRUE(options.RunAtOnce);
    EXPECT_TRUE(options.QuitWhenDone);
    EXPECT_EQ(options.TablePath, "t.tsv");
    EXPECT_EQ(options.SaveWorldPath, "w.fxworld");
    EXPECT_FALSE(options.Help);

    const WindowOptions none = ParseWindowOptions({});
    EXPECT_FALSE(none.SettingsPath || none.Seed || none.RunAtOnce || none.QuitWhenDone);
}

TEST(WindowOptions, RefusesWhatCannotBeUsed)
{
    const struct {
        Arguments arguments;
        const char *message;
    } cases[] = {
        {{"--seed", "-1"}, "--seed needs a whole number from 0 to 2147483646, not '-1'"},
        // 2^31 - 1 would start the stream of seed 0.
        {{"--seed", "2147483647"}, "--seed needs a whole number from 0 to 2147483646, not '2147483647'"},
        {{"--seed"}, "--seed needs a value"},
        {{"--settings="}, "--settings needs a file name"},
        {{"--run=yes"}, "--run takes no value"},
        {{"--fast"}, "unknown option --fast"},
        {{"demo.ini"}, "unexpected argument 'demo.ini'"},
        {{"--settings", "--run"}, "--settings needs a value, not '--run'"},
        {{"--settings", "--seed", "1"}, "--settings needs a value, not '--seed'"},
        {{"--settings=--run"}, "--settings needs a value, not '--run'"},
        {{"--seed", "1", "--seed=2"}, "--seed is given more than once"},
        {{"--run", "--run"}, "--run is given more than once"},
        {{"--run", "--table", "t.tsv"},
         "--table needs --run and --quit-when-done: results are written when the run ends"},
        {{"--quit-when-done", "--save-world", "w"},
         "--save-world needs --run and --quit-when-done: results are written when the run ends"},
        {{"--run", "--quit-when-done", "--table="}, "--table needs a file name"},
    };
    for (const auto &c : cases) {
        try {
            ParseWindowOptions(c.arguments);
            ADD_FAILURE() << c.message;
        } catch (const WindowUsageError &error) {
            EXPECT_STREQ(error.what(), c.message);
        }
    }
}
