#include "ranking.hpp"
#include "scoring.hpp"
#include "verdict.hpp"

#include <gtest/gtest.h>

#include <functional>

using namespace veidora;

namespace {

// Both sample faces, with a few landmarks put elsewhere.
struct Faces {
    std::array<TPointF, kFrontLandmarkCount> front = kFrontDefaults;
    std::array<TPointF, kSideLandmarkCount> side = kSideDefaults;

    TPointF& P(int n) { return front[static_cast<std::size_t>(n - 1)]; }
    TPointF& S(int n) { return side[static_cast<std::size_t>(n - 1)]; }

    Verdict judged(char sep = ',') const {
        const auto v = judge(front, side, sep);
        EXPECT_TRUE(v.has_value());
        return v.value_or(Verdict{});
    }
};

const BoundaryCode* find(const Verdict& v, Trait t) {
    for (const BoundaryCode& b : v.boundary)
        if (b.trait == t)
            return &b;
    return nullptr;
}

// The jaw and bridge halves equal by a wide margin, and the hump far behind the root-tip line:
// tNP, tAI and tND then stand firm on the sample faces.
void firmBridgeJawAndHump(Faces& f) {
    f.P(17).X = 412; // bridge halves 10 and 6: leans left by four units
    f.P(4).X = 417;  // jaw halves 72 and 82
    f.S(7).X = 318;  // a hollow bridge: small whatever its depth
}

TEST(Verdict, SampleFacesHaveFourCodesAtTheirBoundaryAndTovelioCouldWin) {
    const Verdict v = Faces{}.judged();
    std::vector<Trait> traits;
    for (const BoundaryCode& b : v.boundary)
        traits.push_back(b.trait);
    EXPECT_EQ(traits, (std::vector<Trait>{Trait::ND, Trait::NP, Trait::AI, Trait::SD}));
    EXPECT_EQ(v.winner, "Keldaro");
    EXPECT_EQ(v.others, (std::vector<std::string_view>{"Tovelio"}));
    EXPECT_EQ(statusText(v), "Prie ribos: nosikaulis, nosikaulio pakrypimas, žandikaulio "
                             "asimetrija, smakras. Galėtų laimėti ir Tovelio.");

    // Bridge halves 5 and 6: P16 half a unit to the right makes them equal.
    const BoundaryCode* np = find(v, Trait::NP);
    ASSERT_NE(np, nullptr);
    EXPECT_EQ(np->code, 1);
    EXPECT_EQ(np->reached, (std::vector<double>{0, 2}));
    EXPECT_EQ(np->smallest, (GripMove{'P', 16, 0.5f, Direction::Right}));
    EXPECT_EQ(boundaryHint(*np, ','), "Prie ribos: pastūmus P16 0,5 vnt. į dešinę – „Centras“.");
    EXPECT_EQ(boundaryHint(*np, '.'), "Prie ribos: pastūmus P16 0.5 vnt. į dešinę – „Centras“.");

    // Jaw halves 76 and 78: only a whole unit evens them.
    const BoundaryCode* ai = find(v, Trait::AI);
    ASSERT_NE(ai, nullptr);
    EXPECT_EQ(ai->reached, (std::vector<double>{3}));
    EXPECT_EQ(boundaryHint(*ai, ','), "Prie ribos: pastūmus P4 1 vnt. į dešinę – „Centras“.");

    const BoundaryCode* sd = find(v, Trait::SD);
    ASSERT_NE(sd, nullptr);
    EXPECT_EQ(boundaryHint(*sd, ','), "Prie ribos: pastūmus S14 1 vnt. į kairę – „Vidutinis“.");
}

TEST(Verdict, ACodeOneRoundingStepFromItsThresholdIsAtItsBoundaryThreeUnitsAwayIsNot) {
    struct Case {
        const char* what;
        Trait trait;
        std::function<void(Faces&)> place;
        bool atBoundary;
        double code;
        const char* hint; // for a code at its boundary
    };
    // Front head height 216: cheeks below 72 % are narrower than 155.52 units. Side head
    // height 165: a forehead of 21 % is 34.65 units high.
    const Case cases[] = {
        {"cheeks a hundredth narrow", Trait::VS, [](Faces& f) { f.P(14).X = 329 + 155.51f; }, true,
         1, "Prie ribos: pastūmus P3 0,5 vnt. žemyn – „Didelis“."},
        {"cheeks three units narrow", Trait::VS, [](Faces& f) { f.P(14).X = 329 + 152.51f; }, false,
         1, nullptr},
        {"cheeks exactly on the threshold", Trait::VS, [](Faces& f) { f.P(14).X = 329 + 155.52f; },
         true, 2, "Prie ribos: pastūmus P3 0,5 vnt. aukštyn – „Mažas“."},
        {"forehead a hundredth low", Trait::KD, [](Faces& f) { f.S(2).Y = 145 - 34.64f; }, true, 1,
         "Prie ribos: pastūmus S1 0,5 vnt. žemyn – „Vidutinė“."},
        {"forehead three units low", Trait::KD, [](Faces& f) { f.S(2).Y = 145 - 31.64f; }, false, 1,
         nullptr},
    };
    for (const Case& c : cases) {
        Faces f;
        c.place(f);
        const Verdict v = f.judged();
        const BoundaryCode* b = find(v, c.trait);
        EXPECT_EQ(b != nullptr, c.atBoundary) << c.what;
        if (b && c.hint) {
            EXPECT_EQ(b->code, c.code) << c.what;
            EXPECT_EQ(boundaryHint(*b, ','), c.hint) << c.what;
        }
    }
}

TEST(Verdict, CodesAtTheirBoundaryThatCannotChangeTheWinner) {
    Faces f;
    firmBridgeJawAndHump(f);
    f.P(17).X = 417; // the bridge back at the boundary, which Keldaro's lead outlasts
    const Verdict v = f.judged();
    ASSERT_EQ(v.boundary.size(), 2u);
    EXPECT_EQ(v.boundary[0].trait, Trait::NP);
    EXPECT_EQ(v.boundary[1].trait, Trait::SD);
    EXPECT_TRUE(v.others.empty());
    EXPECT_EQ(statusText(v), "Prie ribos: nosikaulio pakrypimas, smakras. Nugalėtojas nesikeičia.");
}

TEST(Verdict, ACodeAtItsBoundaryThatHandsTheWinToAnother) {
    Faces f;
    firmBridgeJawAndHump(f);
    f.S(7).X = 313;  // the hump back at the boundary: tND 3 lets Tovelio win
    f.S(14).X = 327; // the chin firmly large
    const Verdict v = f.judged();
    ASSERT_EQ(v.boundary.size(), 1u);
    EXPECT_EQ(v.boundary[0].trait, Trait::ND);
    EXPECT_EQ(v.boundary[0].reached, (std::vector<double>{1, 3}));
    EXPECT_EQ(v.others, (std::vector<std::string_view>{"Tovelio"}));
    EXPECT_EQ(statusText(v), "Prie ribos: nosikaulis. Galėtų laimėti ir Tovelio.");
}

TEST(Verdict, AnotherWinnerCanNeedTwoCodesChangedTogether) {
    // Sample codes: a higher forehead alone, or a gentler slope alone, leaves Keldaro first;
    // both together put Heluvos first.
    const TraitCodes sample{1, 3, 2, 1, 2, 3, 1, 3};
    const BoundaryCode forehead{Trait::KD, 1, {2}, {}, "Vidutinė"};
    const BoundaryCode slope{Trait::KP, 3, {1}, {}, "Mažas"};
    using Names = std::vector<std::string_view>;
    EXPECT_EQ(othersWhoCouldWin(sample, std::vector{forehead}), Names{});
    EXPECT_EQ(othersWhoCouldWin(sample, std::vector{slope}), Names{});
    EXPECT_EQ(othersWhoCouldWin(sample, std::vector{forehead, slope}), Names{"Heluvos"});
    EXPECT_EQ(othersWhoCouldWin(sample, {}), Names{});
}

TEST(Verdict, FacesFarFromEveryThreshold) {
    Faces f;
    firmBridgeJawAndHump(f);
    f.S(14).X = 327; // the chin firmly large
    const Verdict v = f.judged();
    EXPECT_TRUE(v.boundary.empty());
    EXPECT_TRUE(v.others.empty());
    EXPECT_EQ(statusText(v), "Visi požymiai toli nuo ribų.");
}

TEST(Verdict, NothingWhenAPageCannotBeMeasured) {
    Faces f;
    f.P(4).Y = f.P(3).Y; // front head height 0
    EXPECT_FALSE(judge(f.front, f.side, ',').has_value());
    Faces g;
    g.S(15).Y = g.S(1).Y;
    EXPECT_FALSE(judge(g.front, g.side, ',').has_value());
}

TEST(Verdict, AMoveThatMakesThePageUnmeasurableChangesNoCode) {
    // Head height half a unit: moving P3 down by it leaves nothing to measure.
    Faces f;
    f.P(3).Y = f.P(4).Y - 0.5f;
    EXPECT_TRUE(judge(f.front, f.side, ',').has_value());
}

TEST(Verdict, TheWinnerIsTheTablesFirstRowForEveryCodeSet) {
    TraitCodes c;
    for (int n = 0; n < 1 << 16; ++n) {
        for (std::size_t t = 0; t < kTraitCount; ++t)
            setCode(c, static_cast<Trait>(t), (n >> (2 * t)) & 3);
        ASSERT_EQ(kGenotypes[winnerIndex(c)].name, rankGenotypes(c, '.').rows[0].name) << n;
    }
}

} // namespace
