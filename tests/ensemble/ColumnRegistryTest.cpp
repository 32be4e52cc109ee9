// A column added to the observation columns alone reaches the table, the
// observation file, both programs' help and the plot program's checks.

#include "Batchoptions.h"
#include "Ensembleplot.h"
#include "Observationtable.h"
#include "Plotoptions.h"

#include <gtest/gtest.h>

namespace {

ObservationColumns WithProbe()
{
    ObservationColumns columns = StandardColumns();
    columns.Columns.push_back({"probe_twice_time", "probe", "Twice the time", "s", "Bacterium", false, {}, false,
                               [](const ObservationRecord &record) { return 2 * record.Time; }});
    return columns;
}

TEST(ColumnRegistry, AThrowAwayColumnReachesTheTableTheHelpAndThePlotProgram)
{
    const ObservationColumns columns = WithProbe();
    ObservationRecord record;
    record.Time = 1.25;
    const std::string header = ObservationTableHeader(columns), row = ObservationTableRow(record, columns);
    EXPECT_TRUE(header.ends_with("\tbact_disp2\tprobe_twice_time\n")) << header;
    // No bacterium: its five fields are empty, the probe's is not.
    EXPECT_TRUE(row.ends_with("\t\t\t\t\t\t2.5\n")) << row;

    for (const std::string &help : {BatchHelp(columns), PlotHelp(columns)}) {
        EXPECT_NE(help.find("probe_twice_time"), std::string::npos) << help;
        EXPECT_EQ(help.find("probe_twice_time", help.find("probe_twice_time") + 1), std::string::npos);
    }
    EXPECT_EQ(BatchHelp().find("probe_twice_time"), std::string::npos);

    const std::vector<std::string> arguments = {"summary.tsv", "--columns", "ACG,probe_twice_time", "-o",
                                                "figure.png"};
    EXPECT_EQ(ParsePlotOptions(arguments, columns).Columns.back(), "probe_twice_time");
    EXPECT_EQ(ValueAxisTitle({"ACG", "probe_twice_time"}, columns), "Molecules / Twice the time [s]");
    try {
        ParsePlotOptions(arguments);
        ADD_FAILURE() << "an unknown column was taken";
    } catch (const UsageError &e) {
        const std::string message = e.what();
        EXPECT_NE(message.find("unknown column 'probe_twice_time'"), std::string::npos) << message;
        EXPECT_NE(message.find("ACG, ACF, FIB"), std::string::npos) << message;
        EXPECT_NE(message.find("p_FORM2, mean_size, bact_x"), std::string::npos) << message;
    }
}

TEST(ColumnRegistry, PlotOptionsAndColumnsGetASuggestion)
{
    const std::pair<std::vector<std::string>, const char *> cases[] = {
        {{"s.tsv", "--colums", "ACG", "-o", "f.png"}, "unknown option --colums; did you mean --columns?"},
        {{"s.tsv", "--columns", "mean_siz", "-o", "f.png"}, "did you mean mean_size?"},
        {{"s.tsv", "--columns", "acg", "-o", "f.png"}, "did you mean ACG?"},
    };
    for (const auto &[arguments, message] : cases) {
        try {
            ParsePlotOptions(arguments);
            ADD_FAILURE() << message;
        } catch (const UsageError &e) {
            EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
        }
    }
}

} // namespace
