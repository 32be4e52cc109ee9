#include "Statereport.h"

#include "Cell.h"

#include <cstdlib>
#include <new>

namespace {

void PrintVector(std::FILE *out, const CVector &v)
{
    std::fprintf(out, " %.17g %.17g %.17g", v.x, v.y, v.z);
}

} // namespace

void PrintState(std::FILE *out, const CCell &cell)
{
    std::fprintf(out, "time %.17g\n", cell.Time);
    std::fprintf(out, "reactions %lld\n", static_cast<long long>(cell.ReactionCount));
    std::fprintf(out, "species");
    for (const std::int32_t count : cell.Species)
        std::fprintf(out, " %d", static_cast<int>(count));
    std::fprintf(out, "\ncounts");
    for (const CChemReaction &reaction : cell.Reactions)
        std::fprintf(out, " %lld", static_cast<long long>(reaction.Count));
    std::fprintf(out, "\npropensities");
    for (const CChemReaction &reaction : cell.Reactions)
        std::fprintf(out, " %.17g", reaction.Propensity);
    std::fprintf(out, "\nbacterium");
    PrintVector(out, cell.Bacterium ? static_cast<const CSphereSpace &>(*cell.Bacterium).Center : CVector());
    std::fprintf(out, "\nfilaments %zu\n", cell.Filaments.size());
    for (const auto &filament : cell.Filaments) {
        std::fprintf(out, "%d %d", static_cast<int>(filament.Monomers), filament.Capped ? 1 : 0);
        PrintVector(out, filament.PointedEnd);
        PrintVector(out, filament.Direction);
        // With branches: the filament's id, its mother's (0 for none) and its site.
        if (cell.Arp == ArpModel::Branches)
            std::fprintf(out, " %u %u %d", unsigned(filament.Id), unsigned(filament.Mother),
                         static_cast<int>(filament.Site));
        std::fprintf(out, "\n");
    }
}

std::string StateText(const CCell &cell)
{
    char *buffer = nullptr;
    std::size_t size = 0;
    std::FILE *memory = ::open_memstream(&buffer, &size);
    if (!memory)
        throw std::bad_alloc();
    PrintState(memory, cell);
    std::fclose(memory);
    std::string text(buffer, size);
    std::free(buffer);
    return text;
}
