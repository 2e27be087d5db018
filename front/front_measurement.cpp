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

    auto put = [&](const char* label, std::string text) {
        out.labels.push_back({label, std::move(text)});
    };
    auto plain = [&](std::int64_t h) { return formatHundredths(h, sep); };
    auto fixed = [&](std::int64_t h) { return formatFixed(static_cast<double>(h) / 100.0, sep); };
    auto percent = [&](double v) { return formatPercent(v, sep); };

    const std::int64_t lupos = P(26).y - P(25).y;
    put("Label141", fixed(lupos));
    put("Label142", percent(percentOfHundredths(lupos, H)));
    const std::int64_t sypsena = P(23).y - P(25).y;
    put("Label145", fixed(sypsena));
    put("Label146", percent(percentOfHundredths(sypsena, H)));
    // Thresholds 2.7 and 13 units, compared in whole hundredths so they are exact.
    put("Label148", sypsena < 270 && lupos > 1300 ? "Šypsena" : "0");

    put("Label33", plain(H));
    const std::int64_t kaktosAukstis = P(5).y - P(1).y;
    put("Label35", plain(kaktosAukstis));
    put("Label36", percent(percentOfHundredths(kaktosAukstis, H)));

    const std::int64_t skruostai = P(14).x - P(13).x;
    put("Label39", plain(skruostai));
    const double SkruostuIlgis = percentOfHundredths(skruostai, H);
    put("Label47", percent(SkruostuIlgis));
    if (SkruostuIlgis < 72) {
        put("Label152", "Mažas");
        out.codes.tVS = 1;
    } else {
        put("Label152", "Didelis");
        out.codes.tVS = 2;
    }

    const std::int64_t zandikaulis = P(22).x - P(21).x;
    put("Label40", plain(zandikaulis));
    const double ApatinisZandikaulisIlgis = percentOfHundredths(zandikaulis, H);
    put("Label44", percent(ApatinisZandikaulisIlgis));
    // A figure exactly on 59 or 65 belongs to the upper class, like the cheek's 72.
    if (ApatinisZandikaulisIlgis < 59) {
        put("Label150", "Mažas");
        out.codes.tAPz = 1;
    } else if (ApatinisZandikaulisIlgis < 65) {
        put("Label150", "Vidutinis");
        out.codes.tAPz = 2;
    } else {
        put("Label150", "Didelis");
        out.codes.tAPz = 3;
    }

    const std::int64_t virsus = P(2).x - P(1).x;
    put("Label42", plain(virsus));
    put("Label43", percent(percentOfHundredths(virsus, H)));
    const std::int64_t apacia = P(8).x - P(5).x;
    put("Label97", plain(apacia));
    put("Label98", percent(percentOfHundredths(apacia, H)));
    put("Label46", plain(apacia)); // the eyebrow span is the same quantity

    const std::int64_t NosisDesine = P(16).x - P(17).x;
    const std::int64_t NosisKaire = P(18).x - P(16).x;
    put("Label51", plain(NosisDesine));
    put("Label52", plain(NosisKaire));
    if (NosisDesine < NosisKaire) {
        put("Label53", "Kairę");
        out.codes.tNP = 1;
    } else if (NosisDesine > NosisKaire) {
        put("Label53", "Dešinę");
        out.codes.tNP = 2;
    } else {
        put("Label53", "Centras");
        out.codes.tNP = 0;
    }

    const std::int64_t NosiesIlgis = P(15).y - P(16).y;
    put("Label143", fixed(NosiesIlgis));
    put("Label55", percent(percentOfHundredths(NosiesIlgis, H)));

    const std::int64_t ZandikaulisDesine = P(4).x - P(21).x;
    const std::int64_t ZandikaulisKaire = P(22).x - P(4).x;
    if (ZandikaulisDesine < ZandikaulisKaire) {
        put("Label95", "Kairę");
        out.codes.tAI = 1;
    } else if (ZandikaulisDesine > ZandikaulisKaire) {
        put("Label95", "Dešinę");
        out.codes.tAI = 2;
    } else {
        put("Label95", "Centras");
        out.codes.tAI = 3;
    }
    return out;
}

} // namespace veidora
