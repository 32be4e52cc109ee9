#include "Statereport.h"

#include "Cell.h"

namespace {

void PrintVector(std::FILE *out, const CVector &v)
{
    std::fprintf(out, " %.17g %.17g %.17g", v.x, v.y, v.z);
}

} // namespace

void PrintState(std::FILE *out, const CCell &cell)
{
    std::fprintf(out, "time %.17g\n", cell.Time);
    std::fprintf(out, "reactions %d\n", static_cast<int>(cell.ReactionCount));
    std::fprintf(out, "species");
    for (const std::int32_t count : cell.Species)
        std::fprintf(out, " %d", static_cast<int>(count));
    std::fprintf(out, "\ncounts");
    for (const CChemReaction &reaction : cell.Reactions)
        std::fprintf(out, " %d", static_cast<int>(reaction.Count));
    std::fprintf(out, "\npropensities");
    for (const CChemReaction &reaction : cell.Reactions)
        std::fprintf(out, " %.17g", reaction.Propensity);
    std::fprintf(out, "\nbacterium");
    PrintVector(out, cell.Bacterium ? static_cast<const CSphereSpace &>(*cell.Bacterium).Center
                                    : CVector());
    std::fprintf(out, "\nfilaments %zu\n", cell.Filaments.size());
    for (const auto &filament : cell.Filaments) {
        std::fprintf(out, "%d %d", static_cast<int>(filament.Monomers), filament.Capped ? 1 : 0);
        PrintVector(out, filament.PointedEnd);
        PrintVector(out, filament.Direction);
        std::fprintf(out, "\n");
    }
}
