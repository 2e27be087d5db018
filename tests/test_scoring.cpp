#include "ranking.hpp"
#include "scoring.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

using namespace veidora;

namespace {

TraitCodes codes(double kd, double kp, double nd, double np, double vs, double ap, double ai,
                 double sd) {
    return {kd, kp, nd, np, vs, ap, ai, sd};
}

std::array<double, 7> scores(const TraitCodes& c) {
    std::array<double, 7> s{};
    for (std::size_t i = 0; i < kGenotypes.size(); ++i)
        s[i] = score(kGenotypes[i], c);
    return s;
}

TEST(Scoring, KnownCodeSetsGiveTheirScores) {
    struct Case {
        const char* what;
        TraitCodes codes;
        std::array<double, 7> expected; // Keldaro .. Jukamo
    };
    const Case cases[] = {
        {"nothing measured",
         codes(0, 0, 0, 0, 0, 0, 0, 0),
         {6.25, 6.25, 6.25, 6.25, 6.25, 6.25, 6.25}},
        {"all 1", codes(1, 1, 1, 1, 1, 1, 1, 1), {50.25, 50.125, 55, 50.375, 50.125, 56.5, 75.25}},
        {"all 2", codes(2, 2, 2, 2, 2, 2, 2, 2), {56.25, 56.25, 50, 43.75, 87.5, 56.375, 43.75}},
        {"sample faces",
         codes(1, 3, 2, 1, 2, 3, 1, 3),
         {93.75, 56.25, 22.625, 81.25, 43.875, 62.625, 68.875}},
        {"Agreno ahead", codes(2, 2, 2, 0, 1, 2, 3, 2), {50, 50, 62.5, 62.5, 81.25, 62.5, 62.5}},
    };
    for (const auto& c : cases) {
        const auto s = scores(c.codes);
        for (std::size_t i = 0; i < s.size(); ++i)
            EXPECT_EQ(s[i], c.expected[i]) << c.what << ": " << kGenotypes[i].name;
    }
}

TEST(Scoring, RulesWithReplacementsBonusesAndPenalties) {
    // Mirveno: xKP 150 and no penalty.
    EXPECT_EQ(MirvenoTipoNustatymas(3, 1, 1, 1, 2, 1, 3, 3), 106.25);
    // Sulgeto: the bonus lifts it above 100, unchanged.
    EXPECT_EQ(SulgetoTipoNustatymas(3, 1, 1, 1, 1, 2, 2, 1), 108.75);
    // Sulgeto: three partials of -10.
    EXPECT_EQ(SulgetoTipoNustatymas(1, 3, 3, 2, 2, 1, 1, 3), 2.625);
    // Keldaro with tKD 3, tVS 2, tAPz 3: xVS 1 and xAP 50 -> (1+1+100+100+1+50+100+0)/8.
    EXPECT_EQ(KeldaroTipoNustatymas(3, 1, 1, 1, 2, 3, 1, 1), 353.0 / 8);
    // Mirveno with tKD 2 and tSD 1: exactly one penalty whatever tVS.
    EXPECT_EQ(MirvenoTipoNustatymas(2, 2, 1, 1, 1, 1, 1, 1) -
                  MirvenoTipoNustatymas(2, 2, 1, 1, 1, 1, 1, 2),
              (1 - 50 - 50) / 8.0);
    EXPECT_EQ(MirvenoTipoNustatymas(2, 2, 1, 1, 2, 1, 1, 1) -
                  MirvenoTipoNustatymas(2, 2, 1, 1, 2, 1, 1, 2),
              (1 - 50 - 50) / 8.0);
    // Heluvos with tNP 2 and tVS 2: xVS 0 and xNP 1 -> (50+100+1+1+0+100+100+1)/8.
    EXPECT_EQ(HeluvosTipoNustatymas(1, 1, 1, 2, 2, 1, 1, 1), 353.0 / 8);
    // A code value no column lists earns nothing.
    EXPECT_EQ(KeldaroTipoNustatymas(7, 7, 7, 7, 7, 7, 7, 7), 0);
}

TEST(Scoring, RangesOverEveryCompleteMeasurement) {
    std::map<std::string_view, std::pair<double, double>> range;
    for (double kd : {1, 2, 3})
        for (double kp : {1, 2, 3})
            for (double nd : {1, 2, 3})
                for (double np : {0, 1, 2})
                    for (double vs : {1, 2})
                        for (double ap : {1, 2, 3})
                            for (double ai : {1, 2, 3})
                                for (double sd : {1, 2, 3})
                                    for (const auto& g : kGenotypes) {
                                        const double s =
                                            score(g, codes(kd, kp, nd, np, vs, ap, ai, sd));
                                        EXPECT_EQ(s * 8, std::floor(s * 8)); // multiple of 1/8
                                        auto [it, fresh] = range.try_emplace(g.name, s, s);
                                        it->second.first = std::min(it->second.first, s);
                                        it->second.second = std::max(it->second.second, s);
                                    }
    const std::map<std::string_view, std::pair<double, double>> expected{
        {"Keldaro", {11.625, 100}}, {"Mirveno", {11.375, 106.25}}, {"Sulgeto", {2.625, 108.75}},
        {"Tovelio", {13, 102.5}},   {"Agreno", {19, 100}},         {"Heluvos", {19.25, 102.5}},
        {"Jukamo", {5.5, 100}},
    };
    EXPECT_EQ(range, expected);
}

struct RankCase {
    const char* what;
    TraitCodes codes;
    std::vector<std::pair<std::string, std::string>> rows; // name, score text
    std::string winner;
};

TEST(Ranking, SelectionProcedureOrdersTheTable) {
    const RankCase cases[] = {
        {"all 0: fixed order",
         codes(0, 0, 0, 0, 0, 0, 0, 0),
         {{"Keldaro", "6.25"},
          {"Mirveno", "6.25"},
          {"Sulgeto", "6.25"},
          {"Tovelio", "6.25"},
          {"Agreno", "6.25"},
          {"Heluvos", "6.25"},
          {"Jukamo", "6.25"}},
         "Keldaro"},
        {"exchange moves Keldaro behind Mirveno",
         codes(2, 2, 2, 0, 1, 2, 3, 2),
         {{"Agreno", "81.25"},
          {"Sulgeto", "62.5"},
          {"Tovelio", "62.5"},
          {"Heluvos", "62.5"},
          {"Jukamo", "62.5"},
          {"Mirveno", "50"},
          {"Keldaro", "50"}},
         "Agreno"},
        {"all 1",
         codes(1, 1, 1, 1, 1, 1, 1, 1),
         {{"Jukamo", "75.25"},
          {"Heluvos", "56.5"},
          {"Sulgeto", "55"},
          {"Tovelio", "50.375"},
          {"Keldaro", "50.25"},
          {"Mirveno", "50.125"},
          {"Agreno", "50.125"}},
         "Jukamo"},
        {"sample faces",
         codes(1, 3, 2, 1, 2, 3, 1, 3),
         {{"Keldaro", "93.75"},
          {"Tovelio", "81.25"},
          {"Jukamo", "68.875"},
          {"Heluvos", "62.625"},
          {"Mirveno", "56.25"},
          {"Agreno", "43.875"},
          {"Sulgeto", "22.625"}},
         "Keldaro"},
    };
    for (const auto& c : cases) {
        for (char sep : {'.', ','}) {
            const Ranking r = rankGenotypes(c.codes, sep);
            for (std::size_t i = 0; i < r.rows.size(); ++i) {
                std::string score = c.rows[i].second;
                std::replace(score.begin(), score.end(), '.', sep);
                EXPECT_EQ(r.rows[i].place, std::to_string(i + 1)) << c.what;
                EXPECT_EQ(r.rows[i].name, c.rows[i].first) << c.what << " row " << i;
                EXPECT_EQ(r.rows[i].score, score) << c.what << " row " << i;
            }
            EXPECT_EQ(r.banner, "Nustatytas " + c.winner + " genotipas ") << c.what;
        }
    }
}

} // namespace
