#include "side_measurement.hpp"

#include "geometry.hpp"
#include "number_format.hpp"

#include <cmath>

namespace veidora {

SideMeasurement measureSide(std::span<const TPointF, kSideLandmarkCount> raw, char sep) {
    SideMeasurement out;
    const auto rounded = roundAll(raw);
    if (!rounded) {
        out.error = kBadCoordinateMessage;
        return out;
    }
    auto S = [&](int n) { return (*rounded)[static_cast<std::size_t>(n - 1)]; };
    auto Raw = [&](int n) -> const TPointF& { return raw[static_cast<std::size_t>(n - 1)]; };
    const std::int64_t H = S(15).y - S(1).y;
    if (H == 0) {
        out.error = kSideZeroHeadMessage;
        return out;
    }

    using F = SideFigure;
    auto put = [&](F figure, std::string text) { out.set(figure, std::move(text)); };
    auto general = [&](std::int64_t h) { return formatHundredths(h, sep); };
    auto fixed = [&](double v) { return formatFixed(v, sep); };
    auto percent = [&](double v) { return formatPercent(v, sep); };
    // Euclidean distance of two rounded landmarks; the squares are exact integers.
    auto distance = [&](int a, int b) {
        const std::int64_t dx = S(a).x - S(b).x;
        const std::int64_t dy = S(a).y - S(b).y;
        const long double squares =
            static_cast<long double>(dx) * dx + static_cast<long double>(dy) * dy;
        return static_cast<double>(std::sqrt(squares) / 100.0L);
    };
    // A difference of rounded coordinates and its percentage.
    auto difference = [&](F value, F share, std::int64_t d) {
        put(value, general(d));
        const double p = percentOfHundredths(d, H);
        put(share, percent(p));
        return p;
    };

    put(F::HeadHeight, general(H));
    const double Kakta = difference(F::ForeheadHeight, F::ForeheadPercent, S(3).y - S(2).y);
    const Grade forehead = grade(Kakta, 21, 27, {"Maža", "Vidutinė", "Aukšta"});
    put(F::ForeheadClass, std::string(forehead.word));
    out.codes.tKD = forehead.code;

    struct Span {
        int a, b;
        F value, share;
    };
    static constexpr Span spans[] = {
        {8, 4, F::NoseLength, F::NoseLengthPercent}, {8, 7, F::TipToBone, F::TipToBonePercent},
        {7, 4, F::BoneToRoot, F::BoneToRootPercent}, {9, 4, F::BaseToRoot, F::BaseToRootPercent},
        {9, 7, F::BaseToBone, F::BaseToBonePercent}, {9, 8, F::Nostrils, F::NostrilsPercent},
    };
    for (const auto& s : spans) {
        const double r = distance(s.a, s.b);
        put(s.value, fixed(r));
        put(s.share, percent(percentOfValue(r, H)));
    }

    const std::int64_t KaktosPakrypimas = S(2).x - S(3).x;
    put(F::ForeheadSlope, fixed(static_cast<double>(KaktosPakrypimas) / 100.0));
    const double KaktosPakrypimasProcentai = percentOfHundredths(KaktosPakrypimas, H);
    put(F::ForeheadSlopePercent, percent(KaktosPakrypimasProcentai));
    const Grade slope = grade(KaktosPakrypimasProcentai, 3, 4, {"Mažas", "Vidutinis", "Didelis"});
    put(F::ForeheadSlopeClass, std::string(slope.word));
    out.codes.tKP = slope.code;

    difference(F::TipHeight, F::TipHeightPercent, S(9).y - S(8).y);
    difference(F::JawLength, F::JawLengthPercent, S(13).x - S(17).x);
    difference(F::BackOfHead, F::BackOfHeadPercent, S(6).x - S(4).x);
    difference(F::RootAheadOfChin, F::RootAheadOfChinPercent, S(4).x - S(15).x);
    const double Smakro =
        difference(F::ChinProtrusion, F::ChinProtrusionPercent, S(14).x - S(15).x);
    // These thresholds are not doubles, so no figure can lie exactly on them.
    const Grade chin = grade(Smakro, -1.24L, 0.01L, {"Mažas", "Vidutinis", "Didelis"});
    put(F::ChinClass, std::string(chin.word));
    out.codes.tSD = chin.code;

    const bool inside =
        isInside(S(8).X(), S(8).Y(), S(4).X(), S(4).Y(), S(9).X(), S(9).Y(), S(7).X(), S(7).Y());
    put(F::Hump, inside ? "Ne" : "Taip");
    const double NosikaulisIskilimas = DistancePtToSegment(Raw(7), Raw(8), Raw(4));
    const std::string minusN = inside ? "-" : "";
    put(F::HumpDistance, minusN + fixed(NosikaulisIskilimas));
    const double NosikaulisIskilimasProcentai = percentOfValue(NosikaulisIskilimas, H);
    put(F::HumpPercent, percent(NosikaulisIskilimasProcentai));

    const double NosikaulioPlotas = TriangleAreaCalculation(Raw(8), Raw(4), Raw(9));
    const double NosikaulioPlotasIskilimas = TriangleAreaCalculation(Raw(8), Raw(7), Raw(4));
    const double NosPlotas = NosikaulioPlotas + NosikaulioPlotasIskilimas;
    put(F::NoseArea, fixed(NosPlotas));
    put(F::NoseAreaPercent, percent(percentOfValue(NosPlotas, H)));

    // A straight or hollow bridge is small whatever its distance from the line.
    const Grade bone =
        inside ? Grade{"Mažas", 1}
               : grade(NosikaulisIskilimasProcentai, 0.6L, 1.0L, {"Mažas", "Vidutinis", "Didelis"});
    put(F::NasalBoneClass, std::string(bone.word));
    out.codes.tND = bone.code;
    return out;
}

} // namespace veidora
