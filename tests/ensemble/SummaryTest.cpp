// The statistics of the ensemble summary and the numbers of the tidy tables.

#include "Studentt.h"
#include "Summary.h"
#include "TestSupport.h"
#include "Tidytable.h"

#include <cmath>
#include <limits>

namespace {

TEST(StudentT, QuantilesAgreeWithPublishedTables)
{
    const struct {
        double P, Df, T;
    } table[] = {{0.975, 1, 12.706204736174698},  {0.975, 2, 4.302652729911275},
                 {0.975, 4, 2.7764451051977934},  {0.975, 10, 2.2281388519649385},
                 {0.975, 30, 2.0422724563012373}, {0.995, 5, 4.032142983557536},
                 {0.9, 3, 1.6377443536962102},    {0.025, 2, -4.302652729911275}};
    for (const auto &row : table)
        EXPECT_NEAR(StudentTQuantile(row.P, row.Df), row.T, 1e-9 * std::fabs(row.T)) << row.Df;
    EXPECT_NEAR(StudentTQuantile(0.975, 1e6), 1.959966, 1e-5); // the normal limit
}

TEST(Summarise, WorkedExample)
{
    // 2, 4, 4, 4, 5, 5, 7, 9: mean 5, squared deviations 32, sd sqrt(32/7).
    const ColumnSummary s = Summarise({2, 4, 4, 4, 5, 5, 7, 9});
    EXPECT_EQ(s.N, 8u);
    EXPECT_EQ(s.Mean, 5);
    EXPECT_DOUBLE_EQ(s.Sd, std::sqrt(32.0 / 7));
    const double half = 2.3646242515927849 * std::sqrt(32.0 / 7) / std::sqrt(8.0);
    EXPECT_NEAR(s.CiLow, 5 - half, 1e-12);
    EXPECT_NEAR(s.CiHigh, 5 + half, 1e-12);
    EXPECT_TRUE(std::isnan(Summarise({3}).Sd));
    EXPECT_EQ(Summarise({3}).Mean, 3);
    EXPECT_TRUE(std::isnan(Summarise({}).Mean));
}

TEST(WriteSummary, AlignsOnTheShortestTableAndCountsValuesPresent)
{
    ScratchDirectory dir;
    WriteFile(dir.File("a"), "time\tx\tp\n0\t1\t\n0.01\t3\t0.5\n0.02\t5\t0.25\n");
    WriteFile(dir.File("b"), "time\tx\tp\n0\t2\t\n0.01\t5\t\n");
    std::ostringstream out;
    const auto write = [&](const std::string &line) { out << line; };
    WriteSummary({{7, {dir.File("a"), dir.File("b")}}}, write);
    std::string withoutIntervals;
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(out.str());
    for (std::string line; std::getline(lines, line);) {
        rows.push_back(SplitFields(line));
        withoutIntervals += JoinFields({rows.back().begin(), rows.back().end() - 2});
    }
    EXPECT_EQ(withoutIntervals, "point\ttime\tcolumn\tn\tmean\tsd\n"
                                "7\t0\tx\t2\t1.5\t0.7071067811865476\n"
                                "7\t0\tp\t0\t\t\n"
                                "7\t0.01\tx\t2\t4\t1.4142135623730951\n"
                                "7\t0.01\tp\t1\t0.5\t\n");
    // Half the interval: t(0.975, 1) sd / sqrt(2) = tan(0.475 pi) / 2.
    EXPECT_NEAR(std::stod(rows[1][7]) - 1.5, 6.353102368087349, 1e-12);
    EXPECT_NEAR(1.5 - std::stod(rows[1][6]), 6.353102368087349, 1e-12);
    EXPECT_EQ(rows[2][6] + rows[2][7] + rows[4][6] + rows[4][7], "");

    WriteFile(dir.File("c"), "time\tx\tp\n0\t2\t\n0.011\t5\t\n");
    EXPECT_THROW(WriteSummary({{0, {dir.File("a"), dir.File("c")}}}, write), std::runtime_error);
    WriteFile(dir.File("d"), "time\ty\tp\n0\t2\t\n");
    EXPECT_THROW(WriteSummary({{0, {dir.File("a"), dir.File("d")}}}, write), std::runtime_error);
}

TEST(ExactNumber, ReadsBackExactlyWithAPointInAnyLocale)
{
    USE_COMMA_LOCALE(comma);
    for (const double x : {0.1, 1.0 / 3, 57812.0, 1e-300, 4.9e-324, 1.7976931348623157e308, -2.5e-7, 0.0})
        EXPECT_EQ(ParseField(ExactNumber(x)), x) << ExactNumber(x);
    EXPECT_EQ(ExactNumber(0.01), "0.01");
    EXPECT_FALSE(ParseField(""));
    for (const char *field : {"1,5", "nan", "-nan", "inf", "-infinity", "1e999"})
        EXPECT_THROW(ParseField(field), std::runtime_error) << field;
}

} // namespace
