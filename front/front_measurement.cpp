#include "front_measurement.hpp"

#include "number_format.hpp"

namespace veidora {

FrontMeasurement measureFront(std::span<const TPointF, kFrontLandmarkCount> points, char sep) {
    FrontMeasurement out;
    const auto rounded = roundAll(points);
    if (!rounded) {
        out.error = kBadCoordinateMessage;
        return out;
    }
    // P(n) is landmark n, 1-based as the grips are numbered.
    auto P = [&](int n) { return (*rounded)[static_cast<std::size_t>(n - 1)]; };
    const std::int64_t H = P(4).y - P(3).y;
    if (H == 0) {
        out.error = kFrontZeroHeadMessage;
        return out;
    }

    using F = FrontFigure;
    auto put = [&](F figure, std::string text) { out.set(figure, std::move(text)); };
    auto plain = [&](std::int64_t h) { return formatHundredths(h, sep); };
    auto fixed = [&](std::int64_t h) { return formatFixed(static_cast<double>(h) / 100.0, sep); };
    auto percent = [&](double v) { return formatPercent(v, sep); };
    // Which side of the midline a part leans to: the shorter part's side.
    auto lean = [](std::int64_t left, std::int64_t right) -> std::string {
        return left < right ? "Kairę" : left > right ? "Dešinę" : "Centras";
    };

    const std::int64_t lupos = P(26).y - P(25).y;
    put(F::LipHeight, fixed(lupos));
    put(F::LipPercent, percent(percentOfHundredths(lupos, H)));
    const std::int64_t sypsena = P(23).y - P(25).y;
    put(F::MouthCornerDrop, fixed(sypsena));
    put(F::MouthCornerPercent, percent(percentOfHundredths(sypsena, H)));
    // Thresholds 2.7 and 13 units, compared in whole hundredths so they are exact.
    put(F::Smile, sypsena < 270 && lupos > 1300 ? "Šypsena" : "0");

    put(F::HeadHeight, plain(H));
    const std::int64_t kaktosAukstis = P(5).y - P(1).y;
    put(F::ForeheadHeight, plain(kaktosAukstis));
    put(F::ForeheadPercent, percent(percentOfHundredths(kaktosAukstis, H)));

    const std::int64_t skruostai = P(14).x - P(13).x;
    put(F::CheekWidth, plain(skruostai));
    const double SkruostuIlgis = percentOfHundredths(skruostai, H);
    put(F::CheekPercent, percent(SkruostuIlgis));
    const bool wide = !(SkruostuIlgis < 72);
    put(F::CheekClass, wide ? "Didelis" : "Mažas");
    out.codes.tVS = wide ? 2 : 1;

    const std::int64_t zandikaulis = P(22).x - P(21).x;
    put(F::JawWidth, plain(zandikaulis));
    const double ApatinisZandikaulisIlgis = percentOfHundredths(zandikaulis, H);
    put(F::JawPercent, percent(ApatinisZandikaulisIlgis));
    const Grade jaw = grade(ApatinisZandikaulisIlgis, 59, 65, {"Mažas", "Vidutinis", "Didelis"});
    put(F::JawClass, std::string(jaw.word));
    out.codes.tAPz = jaw.code;

    const std::int64_t virsus = P(2).x - P(1).x;
    put(F::ForeheadTopWidth, plain(virsus));
    put(F::ForeheadTopPercent, percent(percentOfHundredths(virsus, H)));
    const std::int64_t apacia = P(8).x - P(5).x;
    put(F::ForeheadBottomWidth, plain(apacia));
    put(F::ForeheadBottomPercent, percent(percentOfHundredths(apacia, H)));
    put(F::BrowSpan, plain(apacia)); // the eyebrow span is the same quantity

    const std::int64_t NosisDesine = P(16).x - P(17).x;
    const std::int64_t NosisKaire = P(18).x - P(16).x;
    put(F::BridgeLeftPart, plain(NosisDesine));
    put(F::BridgeRightPart, plain(NosisKaire));
    put(F::BridgeLean, lean(NosisDesine, NosisKaire));
    out.codes.tNP = NosisDesine < NosisKaire ? 1 : NosisDesine > NosisKaire ? 2 : 0;

    const std::int64_t NosiesIlgis = P(15).y - P(16).y;
    put(F::NoseLength, fixed(NosiesIlgis));
    put(F::NoseLengthPercent, percent(percentOfHundredths(NosiesIlgis, H)));

    const std::int64_t ZandikaulisDesine = P(4).x - P(21).x;
    const std::int64_t ZandikaulisKaire = P(22).x - P(4).x;
    put(F::JawAsymmetry, lean(ZandikaulisDesine, ZandikaulisKaire));
    out.codes.tAI = ZandikaulisDesine < ZandikaulisKaire   ? 1
                    : ZandikaulisDesine > ZandikaulisKaire ? 2
                                                           : 3;
    return out;
}

} // namespace veidora
