#include "ClosestName.h"

#include <algorithm>
#include <cctype>
#include <numeric>

namespace {

char Upper(char c)
{
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

} // namespace

std::size_t EditDistance(std::string_view a, std::string_view b)
{
    // Rows i - 2, i - 1 and i of the table of distances between the first i
    // letters of a and the first j of b.
    std::vector<std::size_t> before(b.size() + 1), last(b.size() + 1), row(b.size() + 1);
    std::iota(row.begin(), row.end(), std::size_t{0});
    for (std::size_t i = 1; i <= a.size(); ++i) {
        before.swap(last);
        last.swap(row);
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            row[j] = std::min({last[j] + 1, row[j - 1] + 1, last[j - 1] + (Upper(a[i - 1]) != Upper(b[j - 1]))});
            if (i > 1 && j > 1 && Upper(a[i - 1]) == Upper(b[j - 2]) && Upper(a[i - 2]) == Upper(b[j - 1]))
                row[j] = std::min(row[j], before[j - 2] + 1);
        }
    }
    return row[b.size()];
}

std::string ClosestName(std::string_view name, const std::vector<std::string> &known)
{
    std::string best;
    std::size_t bestDistance = std::string::npos;
    for (const std::string &candidate : known)
        if (const std::size_t distance = EditDistance(name, candidate); distance < bestDistance) {
            bestDistance = distance;
            best = candidate;
        }
    return best;
}

std::string DidYouMean(std::string_view name, const std::vector<std::string> &known)
{
    const std::string closest = ClosestName(name, known);
    if (closest.empty() || closest == name ||
        EditDistance(name, closest) > std::max<std::size_t>(2, name.size() / 3))
        return {};
    return "; did you mean " + closest + "?";
}
