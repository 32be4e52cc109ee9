// The command line of filonex-batch read into its options.

#include "Batchoptions.h"

#include <gtest/gtest.h>

namespace {

using Arguments = std::vector<std::string>;

// The message of the refusal, or "accepted".
std::string Refusal(const Arguments &arguments)
{
    try {
        ParseBatchOptions(arguments);
    } catch (const UsageError &error) {
        return error.what();
    }
    return "accepted";
}

TEST(BatchOptions, RefusesValuesThatAreOptionsAndRepeatedOptions)
{
    const struct {
        Arguments arguments;
        const char *message;
    } cases[] = {
        {{"--observe", "--quiet"}, "--observe needs a value, not '--quiet'"},
        {{"--table=--quiet"}, "--table needs a value, not '--quiet'"},
        {{"--runs", "2", "--out", "--jobs", "2"}, "--out needs a value, not '--jobs'"},
        {{"--sweep", "--runs", "2"}, "--sweep needs a value, not '--runs'"},
        {{"--seed", "1", "--seed", "2"}, "--seed is given more than once"},
        {{"--time=1", "--time", "2"}, "--time is given more than once"},
        {{"--quiet", "--quiet"}, "--quiet is given more than once"},
        {{"--runs", "2", "--out", "a", "--out", "b"}, "--out is given more than once"},
        {{"-h", "--help"}, "--help is given more than once"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Refusal(c.arguments), c.message);
}

TEST(BatchOptions, SlipsOfThePenGetASuggestionOtherNamesNone)
{
    const struct {
        Arguments arguments;
        const char *message;
    } cases[] = {
        {{"--sed", "1"}, "unknown option --sed; did you mean --seed?"},
        {{"--chemistry-onyl"}, "unknown option --chemistry-onyl; did you mean --chemistry-only?"},
        {{"--colour"}, "unknown option --colour"},
        {{"--runs", "2", "--sweep", "c_acg=1,2"}, "--sweep: 'c_acg' is not a parameter; did you mean C_ACG?"},
        {{"--runs", "2", "--sweep", "C_ACGG=1"}, "--sweep: 'C_ACGG' is not a parameter; did you mean C_ACG?"},
        {{"--runs", "2", "--sweep", "GRAVITY=1"}, "--sweep: 'GRAVITY' is not a parameter"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Refusal(c.arguments), c.message);
}

TEST(BatchOptions, NegativeNumbersReachTheirChecks)
{
    EXPECT_EQ(Refusal({"--seed", "-1"}), "--seed needs a whole number from 0 to 2147483646, not '-1'");
    EXPECT_EQ(Refusal({"--checkpoint", "w", "--checkpoint-every", "-1"}),
              "--checkpoint-every needs a number of seconds above 0, not '-1'");
    EXPECT_EQ(ParseBatchOptions({"--time", "-1"}).EndTime, -1.0); // the run refuses it against its clock
}

TEST(BatchOptions, RunsCountInSixtyFourBitsFromOne)
{
    EXPECT_EQ(ParseBatchOptions({"--runs", "5000000000", "--out", "o"}).Runs, 5000000000);
    EXPECT_EQ(Refusal({"--runs", "0", "--out", "o"}), "--runs needs a whole number from 1, not '0'");
    const BatchOptions sweeps =
        ParseBatchOptions({"--sweep", "C_ACG=6,12", "--sweep=C_CAP=0,1", "--out", "o"});
    EXPECT_EQ(sweeps.Sweeps.size(), 2u);
}

} // namespace
