#pragma once

#include "types.hpp"

#include <array>
#include <string>

namespace veidora {

struct RankRow {
    std::string place; // "1".."7"
    std::string name;
    std::string score; // shortest general form, with the caller's decimal separator
    double value = 0;
};

struct Ranking {
    std::array<RankRow, 7> rows;
    std::string banner; // "Nustatytas <winner> genotipas "
};

inline constexpr std::array<const char*, 3> kRankingHeaders{"Nr:", "Genotipas", "Procentai"};

// Scores the seven genotypes in their fixed order and sorts them by the selection procedure
// (highest first, first-found wins among equal maxima; not a stable sort).
Ranking rankGenotypes(const TraitCodes& codes, char sep);

} // namespace veidora
