#pragma once

#include "types.hpp"

#include <array>
#include <string_view>

namespace veidora {

// The seven scoring rules. Arguments always in this order: tKD, tKP, tND, tNP, tVS, tAPz, tAI,
// tSD. The score is the sum of the points over 8, never rounded or capped.
double KeldaroTipoNustatymas(double tKD, double tKP, double tND, double tNP, double tVS,
                             double tAPz, double tAI, double tSD);
double MirvenoTipoNustatymas(double tKD, double tKP, double tND, double tNP, double tVS,
                             double tAPz, double tAI, double tSD);
double SulgetoTipoNustatymas(double tKD, double tKP, double tND, double tNP, double tVS,
                             double tAPz, double tAI, double tSD);
double TovelioTipoNustatymas(double tKD, double tKP, double tND, double tNP, double tVS,
                             double tAPz, double tAI, double tSD);
double AgrenoTipoNustatymas(double tKD, double tKP, double tND, double tNP, double tVS, double tAPz,
                            double tAI, double tSD);
double HeluvosTipoNustatymas(double tKD, double tKP, double tND, double tNP, double tVS,
                             double tAPz, double tAI, double tSD);
double JukamoTipoNustatymas(double tKD, double tKP, double tND, double tNP, double tVS, double tAPz,
                            double tAI, double tSD);

using ScoringRule = double (*)(double, double, double, double, double, double, double, double);

struct Genotype {
    std::string_view name;
    ScoringRule rule;
};

// The fixed order decides ties: among equal top scores the earlier genotype wins.
inline constexpr std::array<Genotype, 7> kGenotypes{{
    {"Keldaro", &KeldaroTipoNustatymas},
    {"Mirveno", &MirvenoTipoNustatymas},
    {"Sulgeto", &SulgetoTipoNustatymas},
    {"Tovelio", &TovelioTipoNustatymas},
    {"Agreno", &AgrenoTipoNustatymas},
    {"Heluvos", &HeluvosTipoNustatymas},
    {"Jukamo", &JukamoTipoNustatymas},
}};

inline double score(const Genotype& g, const TraitCodes& c) {
    return g.rule(c.tKD, c.tKP, c.tND, c.tNP, c.tVS, c.tAPz, c.tAI, c.tSD);
}

} // namespace veidora
