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

    auto put = [&](const char* label, std::string text) {
        out.labels.push_back({label, std::move(text)});
    };
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

    put("Label57", general(H));
    const std::int64_t kaktosAukstis = S(3).y - S(2).y;
    put("Label59", general(kaktosAukstis));
    const double Kakta = percentOfHundredths(kaktosAukstis, H);
    put("Label60", percent(Kakta));
    // Figures exactly on a threshold go to the upper class.
    if (Kakta < 21) {
        put("Label130", "Maža");
        out.codes.tKD = 1;
    } else if (Kakta < 27) {
        put("Label130", "Vidutinė");
        out.codes.tKD = 2;
    } else {
        put("Label130", "Aukšta");
        out.codes.tKD = 3;
    }

    struct Span {
        int a, b;
        const char* valueLabel;
        const char* percentLabel;
    };
    static constexpr Span spans[] = {
        {8, 4, "Label62", "Label73"},  {8, 7, "Label64", "Label118"}, {7, 4, "Label75", "Label117"},
        {9, 4, "Label66", "Label119"}, {9, 7, "Label68", "Label120"}, {9, 8, "Label70", "Label121"},
    };
    for (const auto& s : spans) {
        const double r = distance(s.a, s.b);
        put(s.valueLabel, fixed(r));
        put(s.percentLabel, percent(percentOfValue(r, H)));
    }

    const std::int64_t KaktosPakrypimas = S(2).x - S(3).x;
    put("Label72", fixed(static_cast<double>(KaktosPakrypimas) / 100.0));
    const double KaktosPakrypimasProcentai = percentOfHundredths(KaktosPakrypimas, H);
    put("Label93", percent(KaktosPakrypimasProcentai));
    if (KaktosPakrypimasProcentai < 3) {
        put("Label132", "Mažas");
        out.codes.tKP = 1;
    } else if (KaktosPakrypimasProcentai < 4) {
        put("Label132", "Vidutinis");
        out.codes.tKP = 2;
    } else {
        put("Label132", "Didelis");
        out.codes.tKP = 3;
    }

    const std::int64_t NosisSmailumoIlgis = S(9).y - S(8).y;
    put("Label79", general(NosisSmailumoIlgis));
    put("Label122", percent(percentOfHundredths(NosisSmailumoIlgis, H)));
    const std::int64_t zandikaulis = S(13).x - S(17).x;
    put("Label81", general(zandikaulis));
    put("Label87", percent(percentOfHundredths(zandikaulis, H)));
    const std::int64_t pakausis = S(6).x - S(4).x;
    put("Label83", general(pakausis));
    put("Label88", percent(percentOfHundredths(pakausis, H)));
    const std::int64_t nosikaulioVKakta = S(4).x - S(15).x;
    put("Label90", general(nosikaulioVKakta));
    put("Label92", percent(percentOfHundredths(nosikaulioVKakta, H)));
    const std::int64_t smakras = S(14).x - S(15).x;
    put("Label85", general(smakras));
    const double Smakro = percentOfHundredths(smakras, H);
    put("Label91", percent(Smakro));
    // These thresholds are not doubles, so no figure can lie exactly on them.
    if (Smakro < -1.24L) {
        put("Label137", "Mažas");
        out.codes.tSD = 1;
    } else if (Smakro < 0.01L) {
        put("Label137", "Vidutinis");
        out.codes.tSD = 2;
    } else {
        put("Label137", "Didelis");
        out.codes.tSD = 3;
    }

    const bool inside =
        isInside(S(8).X(), S(8).Y(), S(4).X(), S(4).Y(), S(9).X(), S(9).Y(), S(7).X(), S(7).Y());
    const std::string verdict = inside ? "Ne" : "Taip";
    put("Label77", verdict);
    const double NosikaulisIskilimas = DistancePtToSegment(Raw(7), Raw(8), Raw(4));
    const std::string minusN = verdict == "Ne" ? "-" : "";
    put("Label100", minusN + fixed(NosikaulisIskilimas));
    const double NosikaulisIskilimasProcentai = percentOfValue(NosikaulisIskilimas, H);
    put("Label128", percent(NosikaulisIskilimasProcentai));

    const double NosikaulioPlotas = TriangleAreaCalculation(Raw(8), Raw(4), Raw(9));
    const double NosikaulioPlotasIskilimas = TriangleAreaCalculation(Raw(8), Raw(7), Raw(4));
    const double NosPlotas = NosikaulioPlotas + NosikaulioPlotasIskilimas;
    put("Label134", fixed(NosPlotas));
    put("Label135", percent(percentOfValue(NosPlotas, H)));

    if (verdict == "Ne" || NosikaulisIskilimasProcentai < 0.6L) {
        put("Label139", "Mažas");
        out.codes.tND = 1;
    } else if (NosikaulisIskilimasProcentai < 1) {
        put("Label139", "Vidutinis");
        out.codes.tND = 2;
    } else {
        put("Label139", "Didelis");
        out.codes.tND = 3;
    }
    return out;
}

} // namespace veidora
