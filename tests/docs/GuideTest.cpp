// The user guide documents every option of the programs, every parameter of
// the settings file and every column of the observation table exactly as the
// programs have them, so that the two cannot drift apart.

#include "Observationtable.h"
#include "Parameters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <regex>
#include <set>
#include <string_view>

namespace {

std::vector<std::string> GuideLines()
{
    std::ifstream file(FILONEX_GUIDE);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);)
        lines.push_back(line);
    return lines;
}

std::set<std::string> Matches(const std::string &text, const std::regex &pattern)
{
    std::set<std::string> found;
    for (std::sregex_iterator it(text.begin(), text.end(), pattern), end; it != end; ++it)
        found.insert((*it)[1]);
    return found;
}

// The options a program's --help names: those of its usage lines, and those
// that begin an option line ("  -o, --output FILE ...").
std::set<std::string> HelpOptions(const std::string &program)
{
    std::FILE *pipe = ::popen((program + " --help").c_str(), "r");
    std::string usage, optionLines;
    bool inUsage = false;
    for (char line[512]; pipe && std::fgets(line, sizeof line, pipe);) {
        inUsage = std::string_view(line).starts_with("Usage:") || (inUsage && line[0] == ' ');
        (inUsage ? usage : optionLines) += line;
    }
    if (pipe)
        ::pclose(pipe);
    std::set<std::string> options = Matches(usage, std::regex(R"((?:^|[\s\[])(--?[a-z][a-z-]*))"));
    options.merge(Matches(optionLines, std::regex(R"((?:^|\n)  (--?[a-z][a-z-]*))")));
    options.merge(Matches(optionLines, std::regex(R"((?:^|\n)  -\w, (--[a-z][a-z-]*))")));
    return options;
}

// The options in the first cells of the table under the heading "Options of
// `name`".
std::set<std::string> GuideOptions(const std::string &name)
{
    std::string cells;
    bool inSection = false;
    for (const std::string &line : GuideLines()) {
        if (line.rfind('#', 0) == 0)
            inSection = line.find("Options of `" + name + "`") != std::string::npos;
        else if (inSection && line.rfind("| `", 0) == 0)
            cells += line.substr(0, line.find(" |", 1)) + "\n";
    }
    return Matches(cells, std::regex(R"(`(--?[a-z][a-z-]*))"));
}

struct ProgramCase {
    const char *Name;
    const char *Path;
};

void PrintTo(const ProgramCase &program, std::ostream *out)
{
    *out << program.Name;
}

class GuideOptionsTest : public testing::TestWithParam<ProgramCase> {};

TEST_P(GuideOptionsTest, ListsExactlyTheOptionsOfTheHelp)
{
    const std::set<std::string> help = HelpOptions(GetParam().Path);
    ASSERT_GT(help.size(), 3u) << GetParam().Path << " --help";
    EXPECT_EQ(GuideOptions(GetParam().Name), help);
}

INSTANTIATE_TEST_SUITE_P(Programs, GuideOptionsTest,
                         testing::ValuesIn(std::vector<ProgramCase>{FILONEX_PROGRAMS}), [](const auto &info) {
                             return std::regex_replace(info.param.Name, std::regex("-"), "_");
                         });

// Rows of the parameter tables: | "caption" | `IDENT` | unit | default | range | meaning |
TEST(GuideParametersTest, ListEveryParameterWithItsCaptionAndDefaultInTableOrder)
{
    std::vector<std::string> guide;
    const std::regex row(R"re(^\| "([^"]+)" \| `(\w+)` \|[^|]*\| "?([^|"]+?)"? \|[^|]*\|[^|]*\|$)re");
    for (const std::string &line : GuideLines())
        if (std::smatch m; std::regex_match(line, m, row))
            guide.push_back(m.str(2) + " \"" + m.str(1) + "\" " + m.str(3));

    ParameterStore store;
    CreateParameterTables(store, nullptr);
    std::vector<std::string> program;
    for (const ParameterTable &table : store.Tables)
        for (const ParameterRow &parameter : table.Rows)
            program.push_back(parameter.Key + " \"" + parameter.Caption + "\" " + parameter.Value);
    EXPECT_EQ(guide, program);
}

// The first cells of the table under "### Observation table", a cell such
// as "`n_FORM` … `n_FORM2`" standing for the columns from one to the other.
TEST(GuideTableTest, ListsEveryColumnOfTheObservationTableInOrder)
{
    const std::vector<std::string> program = ObservationColumnTitles();
    std::vector<std::string> guide;
    bool inSection = false;
    const std::regex name("`(\\w+)`( … )?");
    for (const std::string &line : GuideLines()) {
        if (line.rfind('#', 0) == 0)
            inSection = line == "### Observation table";
        if (!inSection || line.rfind("| `", 0) != 0)
            continue;
        const std::string cell = line.substr(0, line.find(" |", 1));
        bool range = false;
        for (std::sregex_iterator it(cell.begin(), cell.end(), name), end; it != end; ++it) {
            const std::string column = (*it)[1];
            if (range && !guide.empty()) {
                auto from = std::find(program.begin(), program.end(), guide.back());
                const auto to = std::find(program.begin(), program.end(), column);
                if (from != program.end() && to != program.end())
                    guide.insert(guide.end(), ++from, to);
            }
            guide.push_back(column);
            range = (*it)[2].matched;
        }
    }
    EXPECT_EQ(guide, program);
}

} // namespace
