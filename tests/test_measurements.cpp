#include "front_labels.hpp"
#include "front_measurement.hpp"
#include "label_text.hpp"
#include "sample_face_texts.hpp"
#include "side_labels.hpp"
#include "side_measurement.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

using namespace veidora;

namespace {

using Edit = std::function<void(std::vector<TPointF>&)>; // landmark n is element n - 1
using Texts = std::map<std::string, std::string>;

FrontMeasurement front(const Edit& edit = {}, char sep = '.') {
    std::vector<TPointF> p(kFrontDefaults.begin(), kFrontDefaults.end());
    if (edit)
        edit(p);
    return measureFront(std::span<const TPointF, kFrontLandmarkCount>(p.data(), p.size()), sep);
}

SideMeasurement side(const Edit& edit = {}, char sep = '.') {
    std::vector<TPointF> s(kSideDefaults.begin(), kSideDefaults.end());
    if (edit)
        edit(s);
    return measureSide(std::span<const TPointF, kSideLandmarkCount>(s.data(), s.size()), sep);
}

// The text the page would show in the label named `label`.
const std::string* shown(const FrontMeasurement& r, std::string_view label) {
    return textOfLabel<FrontFigure>(r, kFrontFigureLabels, label);
}
const std::string* shown(const SideMeasurement& r, std::string_view label) {
    return textOfLabel<SideFigure>(r, kSideFigureLabels, label);
}

// A figure's expected text, by the figure: what a measurement gives, whichever label shows it.
template <class Figure> using FigureTexts = std::map<Figure, std::string>;

template <class Figure, class Codes>
void expectTexts(const Measurement<Figure, Codes>& r, const FigureTexts<Figure>& expected) {
    ASSERT_TRUE(r.ok()) << r.error;
    for (const auto& [figure, text] : expected)
        EXPECT_EQ(r.text(figure), text) << static_cast<int>(figure);
}

template <class R> void expectTexts(const R& r, const Texts& expected, char sep = '.') {
    ASSERT_TRUE(r.ok()) << r.error;
    for (auto [label, text] : expected) {
        if (sep != '.')
            std::replace(text.begin(), text.end(), '.', sep);
        const std::string* got = shown(r, label);
        ASSERT_NE(got, nullptr) << label;
        EXPECT_EQ(*got, text) << label;
    }
}

const Texts kFrontSample = [] {
    Texts t;
    for (const auto& [label, text] : kFrontSampleTexts)
        t[label] = text;
    return t;
}();

const Texts kSideSample = [] {
    Texts t;
    for (const auto& [label, text] : kSideSampleTexts)
        t[label] = text;
    return t;
}();

TEST(FrontMeasurement, SampleFaceGivesEveryLabelWithEitherSeparator) {
    for (char sep : {'.', ','}) {
        const auto r = front({}, sep);
        expectTexts(r, kFrontSample, sep);
        EXPECT_EQ(kFrontSample.size(), std::size(kFrontFigureLabels)); // every label is checked
        EXPECT_EQ(r.codes, (FrontCodes{2, 3, 1, 1}));
    }
}

TEST(SideMeasurement, SampleFaceGivesEveryLabelWithEitherSeparator) {
    for (char sep : {'.', ','}) {
        const auto r = side({}, sep);
        expectTexts(r, kSideSample, sep);
        EXPECT_EQ(kSideSample.size(), std::size(kSideFigureLabels));
        EXPECT_EQ(r.codes, (SideCodes{1, 3, 2, 3}));
    }
}

TEST(FrontMeasurement, ClassBoundariesAndExactFigures) {
    struct Case {
        const char* what;
        Edit edit;
        FigureTexts<FrontFigure> texts;
        FrontCodes codes; // only the field named in `check` is compared, or "all"
        std::string check;
    };
    // Lips, smile and rounding touch none of the four codes: they stay the sample's.
    const FrontCodes kSampleCodes{2, 3, 1, 1};
    const Case cases[] = {
        {"cheek exactly 72 %",
         [](auto& p) { p[13].X = 484.52f; },
         {{FrontFigure::CheekWidth, "155.52"},
          {FrontFigure::CheekPercent, "72.00%"},
          {FrontFigure::CheekClass, "Didelis"}},
         {2, 0, 0, 0},
         "VS"},
        {"cheek 71.99 %",
         [](auto& p) { p[13].X = 484.5f; },
         {{FrontFigure::CheekPercent, "71.99%"}, {FrontFigure::CheekClass, "Mažas"}},
         {1, 0, 0, 0},
         "VS"},
        {"negative cheek",
         [](auto& p) { std::swap(p[12], p[13]); },
         {{FrontFigure::CheekWidth, "-187"},
          {FrontFigure::CheekPercent, "-86.57%"},
          {FrontFigure::CheekClass, "Mažas"}},
         {1, 0, 0, 0},
         "VS"},
        {"jaw exactly 59 %",
         [](auto& p) { p[21].X = 472.44f; },
         {{FrontFigure::JawPercent, "59.00%"}, {FrontFigure::JawClass, "Vidutinis"}},
         {0, 2, 0, 0},
         "AP"},
        {"jaw just under 59 %",
         [](auto& p) { p[21].X = 472.43f; },
         {{FrontFigure::JawPercent, "59.00%"}, {FrontFigure::JawClass, "Mažas"}},
         {0, 1, 0, 0},
         "AP"},
        {"jaw exactly 65 %",
         [](auto& p) { p[21].X = 485.4f; },
         {{FrontFigure::JawPercent, "65.00%"}, {FrontFigure::JawClass, "Didelis"}},
         {0, 3, 0, 0},
         "AP"},
        {"jaw just under 65 %",
         [](auto& p) { p[21].X = 485.39f; },
         {{FrontFigure::JawClass, "Vidutinis"}},
         {0, 2, 0, 0},
         "AP"},
        {"smile exactly 2.7",
         [](auto& p) {
             p[22].Y = 234.7f;
             p[25].Y = 245.01f;
         },
         {{FrontFigure::MouthCornerDrop, "2.70"}, {FrontFigure::Smile, "0"}},
         kSampleCodes,
         "all"},
        {"lips exactly 13",
         [](auto& p) {
             p[22].Y = 234.69f;
             p[25].Y = 245.f;
         },
         {{FrontFigure::LipHeight, "13.00"}, {FrontFigure::Smile, "0"}},
         kSampleCodes,
         "all"},
        {"smile",
         [](auto& p) {
             p[22].Y = 234.69f;
             p[25].Y = 245.01f;
         },
         {{FrontFigure::MouthCornerDrop, "2.69"},
          {FrontFigure::LipHeight, "13.01"},
          {FrontFigure::Smile, "Šypsena"}},
         kSampleCodes,
         "all"},
        {"nose bridge centred",
         [](auto& p) { p[16].X = 416.f; },
         {{FrontFigure::BridgeLeftPart, "6"},
          {FrontFigure::BridgeRightPart, "6"},
          {FrontFigure::BridgeLean, "Centras"}},
         {0, 0, 0, 0},
         "NP"},
        {"nose bridge right",
         [](auto& p) { p[16].X = 415.f; },
         {{FrontFigure::BridgeLean, "Dešinę"}},
         {0, 0, 2, 0},
         "NP"},
        {"jaw centred",
         [](auto& p) { p[20].X = 343.f; },
         {{FrontFigure::JawAsymmetry, "Centras"}},
         {0, 0, 0, 3},
         "AI"},
        {"jaw right",
         [](auto& p) { p[20].X = 340.f; },
         {{FrontFigure::JawAsymmetry, "Dešinę"}},
         {0, 0, 0, 2},
         "AI"},
        {"exact difference of rounded coordinates",
         [](auto& p) {
             p[15].X = 427.01f;
             p[16].X = 422.f;
         },
         {{FrontFigure::BridgeLeftPart, "5.01"}},
         {2, 3, 2, 1}, // the moved root leans the bridge the other way
         "all"},
        {"100.004 is used as 100.00",
         [](auto& p) { p[4].Y = 140.004f; },
         {{FrontFigure::ForeheadHeight, "51"}},
         kSampleCodes,
         "all"},
        {"100.006 is used as 100.01",
         [](auto& p) { p[4].Y = 140.006f; },
         {{FrontFigure::ForeheadHeight, "51.01"}},
         kSampleCodes,
         "all"},
        {"a half goes away from zero",
         [](auto& p) { p[4].Y = 140.125f; },
         {{FrontFigure::ForeheadHeight, "51.13"}},
         kSampleCodes,
         "all"},
        {"chin above the forehead",
         [](auto& p) { std::swap(p[2].Y, p[3].Y); },
         {{FrontFigure::HeadHeight, "-216"},
          {FrontFigure::CheekPercent, "-86.57%"},
          {FrontFigure::CheekClass, "Mažas"}},
         {1, 0, 0, 0},
         "VS"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto r = front(c.edit);
        expectTexts(r, c.texts);
        if (c.check == "all") {
            EXPECT_EQ(r.codes, c.codes);
            continue;
        }
        const auto pick = [&](const FrontCodes& k) {
            return c.check == "VS"   ? k.tVS
                   : c.check == "AP" ? k.tAPz
                   : c.check == "NP" ? k.tNP
                                     : k.tAI;
        };
        ASSERT_TRUE(c.check == "VS" || c.check == "AP" || c.check == "NP" || c.check == "AI");
        EXPECT_EQ(pick(r.codes), pick(c.codes));
    }
}

TEST(SideMeasurement, ClassBoundariesHumpAndChin) {
    struct Case {
        const char* what;
        Edit edit;
        FigureTexts<SideFigure> texts;
        char code; // which code to compare: K(D), P (KP), N(D), S(D)
        double value;
    };
    // With S1.Y at 66 the head height is 200, so 1 % is 2 units.
    auto tall = [](auto& s) { s[0].Y = 66.f; };
    // Root and tip on the vertical x = 321; the hump point lies left of it, outside the triangle.
    auto hump = [tall](float d) {
        return Edit([tall, d](auto& s) {
            tall(s);
            s[3] = {321, 163};
            s[7] = {321, 200};
            s[8] = {340, 208};
            s[6] = {321 - d, 175};
        });
    };
    const Case cases[] = {
        {"forehead exactly 21 %",
         [](auto& s) { s[2].Y = 147.65f; },
         {{SideFigure::ForeheadPercent, "21.00%"}, {SideFigure::ForeheadClass, "Vidutinė"}},
         'K',
         2},
        {"forehead exactly 27 %",
         [](auto& s) { s[2].Y = 157.55f; },
         {{SideFigure::ForeheadPercent, "27.00%"}, {SideFigure::ForeheadClass, "Aukšta"}},
         'K',
         3},
        {"forehead under 27 %",
         [](auto& s) { s[2].Y = 157.54f; },
         {{SideFigure::ForeheadClass, "Vidutinė"}},
         'K',
         2},
        {"slope exactly 3 %",
         [](auto& s) { s[2].X = 320.05f; },
         {{SideFigure::ForeheadSlope, "4.95"},
          {SideFigure::ForeheadSlopePercent, "3.00%"},
          {SideFigure::ForeheadSlopeClass, "Vidutinis"}},
         'P',
         2},
        {"slope exactly 4 %",
         [](auto& s) { s[2].X = 318.4f; },
         {{SideFigure::ForeheadSlopePercent, "4.00%"}, {SideFigure::ForeheadSlopeClass, "Didelis"}},
         'P',
         3},
        {"slope under 3 %",
         [](auto& s) { s[2].X = 320.06f; },
         {{SideFigure::ForeheadSlopeClass, "Mažas"}},
         'P',
         1},
        {"hump exactly 1 %",
         hump(2),
         {{SideFigure::Hump, "Taip"},
          {SideFigure::HumpDistance, "2.00"},
          {SideFigure::HumpPercent, "1.00%"},
          {SideFigure::NasalBoneClass, "Didelis"}},
         'N',
         3},
        {"hump 0.5 %",
         hump(1),
         {{SideFigure::HumpPercent, "0.50%"}, {SideFigure::NasalBoneClass, "Mažas"}},
         'N',
         1},
        {"hump 0.8 %",
         hump(1.6f),
         {{SideFigure::HumpPercent, "0.80%"}, {SideFigure::NasalBoneClass, "Vidutinis"}},
         'N',
         2},
        {"hump 1.5 %",
         hump(3),
         {{SideFigure::HumpPercent, "1.50%"}, {SideFigure::NasalBoneClass, "Didelis"}},
         'N',
         3},
        {"hollow 1.5 %",
         hump(-3),
         {{SideFigure::Hump, "Ne"},
          {SideFigure::HumpDistance, "-3.00"},
          {SideFigure::HumpPercent, "1.50%"},
          {SideFigure::NasalBoneClass, "Mažas"}},
         'N',
         1},
        {"hump point on the line",
         [](auto& s) {
             s[3] = {320, 160};
             s[7] = {300, 200};
             s[6] = {310, 180};
         },
         {{SideFigure::Hump, "Ne"},
          {SideFigure::HumpDistance, "-0.00"},
          {SideFigure::HumpPercent, "0.00%"},
          {SideFigure::NasalBoneClass, "Mažas"}},
         'N',
         1},
        {"chin exactly 0",
         [](auto& s) { s[13].X = 323.f; },
         {{SideFigure::ChinProtrusion, "0"},
          {SideFigure::ChinProtrusionPercent, "0.00%"},
          {SideFigure::ChinClass, "Vidutinis"}},
         'S',
         2},
        {"chin back",
         [](auto& s) { s[13].X = 320.f; },
         {{SideFigure::ChinProtrusion, "-3"},
          {SideFigure::ChinProtrusionPercent, "-1.82%"},
          {SideFigure::ChinClass, "Mažas"}},
         'S',
         1},
        {"chin just forward",
         [](auto& s) { s[13].X = 323.02f; },
         {{SideFigure::ChinProtrusionPercent, "0.01%"}, {SideFigure::ChinClass, "Didelis"}},
         'S',
         3},
        {"chin above the head",
         [](auto& s) { std::swap(s[0].Y, s[14].Y); },
         {{SideFigure::HeadHeight, "-165"},
          {SideFigure::ForeheadPercent, "-19.39%"},
          {SideFigure::ForeheadClass, "Maža"}},
         'K',
         1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto r = side(c.edit);
        expectTexts(r, c.texts);
        const double got = c.code == 'K'   ? r.codes.tKD
                           : c.code == 'P' ? r.codes.tKP
                           : c.code == 'N' ? r.codes.tND
                                           : r.codes.tSD;
        EXPECT_EQ(got, c.value);
    }
}

TEST(Measurement, GradesBelongToTheUpperClassOnTheirThresholds) {
    const std::array<std::string_view, 3> words{"a", "b", "c"};
    EXPECT_EQ(grade(58.99, 59, 65, words), (Grade{"a", 1}));
    EXPECT_EQ(grade(59.0, 59, 65, words), (Grade{"b", 2}));
    EXPECT_EQ(grade(65.0, 59, 65, words), (Grade{"c", 3}));
    // Compared in the thresholds' own type: -1.24 as a double lies above -1.24L.
    EXPECT_EQ(grade(-1.24, -1.24L, 0.01L, words), (Grade{"b", 2}));
}

TEST(Measurement, ZeroHeadHeightIsAnErrorWithNothingElse) {
    const FrontMeasurement cases[] = {
        front([](auto& p) { p[3].Y = p[2].Y; }),
        front([](auto& p) { p[3].Y = 76.004f; }), // equal once rounded
    };
    for (const auto& r : cases) {
        EXPECT_FALSE(r.ok());
        EXPECT_NE(r.error.find("(3)"), std::string::npos);
        EXPECT_NE(r.error.find("(4)"), std::string::npos);
        EXPECT_EQ(r.texts, FrontMeasurement{}.texts);
        EXPECT_EQ(r.codes, FrontCodes{});
    }
    const auto s = side([](auto& p) { p[14].Y = p[0].Y; });
    EXPECT_FALSE(s.ok());
    EXPECT_NE(s.error.find("(15)"), std::string::npos);
    EXPECT_EQ(s.texts, SideMeasurement{}.texts);
    EXPECT_EQ(s.codes, SideCodes{});
}

TEST(Measurement, UnusableCoordinatesAreAnError) {
    const auto r = front([](auto& p) { p[5].X = std::numeric_limits<float>::quiet_NaN(); });
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.texts, FrontMeasurement{}.texts);
    const auto s = side([](auto& p) { p[0].Y = std::numeric_limits<float>::infinity(); });
    EXPECT_FALSE(s.ok());
}

} // namespace
