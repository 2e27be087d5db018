#pragma once

// How firmly a result stands. A trait code is at its boundary when one grip of its page, moved
// by half a unit or a unit to the left, right, up or down (every other grip staying), changes
// it; the measurement is run again on the moved places, with its own rounding. Then every
// combination of the current and the reached values of those codes is ranked as the table
// ranks, and each winner other than the table's could win instead.

#include "front_landmarks.hpp"
#include "side_landmarks.hpp"
#include "types.hpp"

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace veidora {

// The eight traits in the order the status line names them.
enum class Trait { KD, KP, ND, NP, VS, APz, AI, SD, Count };
inline constexpr std::size_t kTraitCount = static_cast<std::size_t>(Trait::Count);

struct TraitInfo {
    std::string_view name;  // as the status line names it
    std::string_view label; // the word label that shows the trait's class
    char page;              // 'P' front, 'S' side: the letter of the page's landmarks
};

inline constexpr std::array<TraitInfo, kTraitCount> kTraits{{
    {"kaktos aukštis", "Label130", 'S'},
    {"kaktos palinkimas", "Label132", 'S'},
    {"nosikaulis", "Label139", 'S'},
    {"nosikaulio pakrypimas", "Label53", 'P'},
    {"skruostai", "Label152", 'P'},
    {"apatinis žandikaulis", "Label150", 'P'},
    {"žandikaulio asimetrija", "Label95", 'P'},
    {"smakras", "Label137", 'S'},
}};

inline const TraitInfo& info(Trait t) {
    return kTraits[static_cast<std::size_t>(t)];
}

double codeOf(const TraitCodes& codes, Trait t);
void setCode(TraitCodes& codes, Trait t, double value);

enum class Direction { Left, Right, Up, Down };

// One grip moved: landmark `landmark` (1-based) of page `page` by `distance` units.
struct GripMove {
    char page = 'P';
    int landmark = 1;
    float distance = 0;
    Direction direction = Direction::Left;

    friend bool operator==(const GripMove&, const GripMove&) = default;
};

struct BoundaryCode {
    Trait trait;
    double code;                 // as measured
    std::vector<double> reached; // the other values single moves give, ascending
    GripMove smallest;           // the first of the smallest moves that changes the code
    std::string reachedWord;     // the class word the label would show after that move
};

struct Verdict {
    std::vector<BoundaryCode> boundary;   // in trait order
    std::string_view winner;              // the table's
    std::vector<std::string_view> others; // who else could win, in the genotype list's order
};

// Nothing when either page cannot be measured as it stands.
std::optional<Verdict> judge(std::span<const TPointF, kFrontLandmarkCount> front,
                             std::span<const TPointF, kSideLandmarkCount> side, char sep);

// The genotype the table puts first for these codes: an index into the genotype list.
std::size_t winnerIndex(const TraitCodes& codes);

// The winners, other than that of `codes`, over every combination of current and reached
// values of the codes at their boundary; in the genotype list's order.
std::vector<std::string_view> othersWhoCouldWin(const TraitCodes& codes,
                                                std::span<const BoundaryCode> boundary);

// "Visi požymiai toli nuo ribų.", "Prie ribos: A, B. Nugalėtojas nesikeičia." or
// "Prie ribos: A, B. Galėtų laimėti ir X, Y."
std::string statusText(const Verdict& v);

// The word label's hint: "Prie ribos: pastūmus P17 0,5 vnt. į kairę – „Dešinę“."
std::string boundaryHint(const BoundaryCode& b, char sep);

} // namespace veidora
