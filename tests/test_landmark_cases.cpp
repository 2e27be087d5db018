// Reference landmark sets with every label text, code, table row and banner line they give.
#include "front_labels.hpp"
#include "front_measurement.hpp"
#include "label_text.hpp"
#include "ranking.hpp"
#include "side_labels.hpp"
#include "side_measurement.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <fstream>

using namespace veidora;
using nlohmann::json;

namespace {

const json& referenceCases() {
    static const json data = [] {
        std::ifstream in(VEIDORA_TEST_DATA "/landmark-cases.json");
        return json::parse(in);
    }();
    return data.at("cases");
}

template <std::size_t N> std::array<TPointF, N> points(const json& list) {
    std::array<TPointF, N> out{};
    EXPECT_EQ(list.size(), N);
    for (std::size_t i = 0; i < N && i < list.size(); ++i)
        out[i] = {list[i][0].get<float>(), list[i][1].get<float>()};
    return out;
}

std::string withSep(std::string text, char sep) {
    std::replace(text.begin(), text.end(), '.', sep);
    return text;
}

template <class Figure, class Codes>
void expectLabels(const Measurement<Figure, Codes>& r, std::span<const FigureLabel<Figure>> table,
                  const json& expected, const json& alternatives, char sep) {
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(table.size(), expected.size()); // every label is checked
    for (const auto& [label, text] : expected.items()) {
        const std::string* got = textOfLabel(r, table, label);
        ASSERT_NE(got, nullptr) << label;
        std::vector<std::string> accepted{withSep(text.template get<std::string>(), sep)};
        if (alternatives.contains(label))
            for (const auto& alt : alternatives[label])
                accepted.push_back(withSep(alt.template get<std::string>(), sep));
        EXPECT_NE(std::find(accepted.begin(), accepted.end(), *got), accepted.end())
            << label << " shows " << *got << ", expected " << accepted.front();
    }
}

TEST(ReferenceCases, MeasurementsCodesRankingAndBanner) {
    const json& cases = referenceCases();
    ASSERT_FALSE(cases.empty());
    for (const auto& c : cases) {
        for (char sep : {'.', ','}) {
            SCOPED_TRACE("case " + std::to_string(c.at("id").get<int>()) + " (" +
                         c.at("kind").get<std::string>() + ") separator " + sep);
            const json alternatives = c.value("alternatives", json::object());
            const auto P = points<kFrontLandmarkCount>(c.at("front_points"));
            const auto S = points<kSideLandmarkCount>(c.at("side_points"));
            const auto f = measureFront(P, sep);
            const auto s = measureSide(S, sep);
            expectLabels<FrontFigure>(f, kFrontFigureLabels, c.at("front_labels"), alternatives,
                                      sep);
            expectLabels<SideFigure>(s, kSideFigureLabels, c.at("side_labels"), alternatives, sep);

            const json& k = c.at("codes");
            const TraitCodes codes{s.codes.tKD, s.codes.tKP,  s.codes.tND, f.codes.tNP,
                                   f.codes.tVS, f.codes.tAPz, f.codes.tAI, s.codes.tSD};
            const TraitCodes want{k.at("tKD"), k.at("tKP"),  k.at("tND"), k.at("tNP"),
                                  k.at("tVS"), k.at("tAPz"), k.at("tAI"), k.at("tSD")};
            EXPECT_EQ(codes, want);

            const Ranking r = rankGenotypes(codes, sep);
            const json& rows = c.at("rows");
            ASSERT_EQ(rows.size(), r.rows.size());
            for (std::size_t i = 0; i < rows.size(); ++i) {
                EXPECT_EQ(r.rows[i].place, rows[i][0].get<std::string>());
                EXPECT_EQ(r.rows[i].name, rows[i][1].get<std::string>());
                EXPECT_EQ(r.rows[i].score, withSep(rows[i][2].get<std::string>(), sep));
            }
            EXPECT_EQ(r.banner, c.at("banner").get<std::string>());
        }
    }
}

} // namespace
