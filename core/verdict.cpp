#include "verdict.hpp"

#include "front_measurement.hpp"
#include "number_format.hpp"
#include "scoring.hpp"
#include "side_measurement.hpp"

#include <algorithm>

namespace veidora {

double codeOf(const TraitCodes& c, Trait t) {
    const double* all[] = {&c.tKD, &c.tKP, &c.tND, &c.tNP, &c.tVS, &c.tAPz, &c.tAI, &c.tSD};
    return *all[static_cast<std::size_t>(t)];
}

void setCode(TraitCodes& c, Trait t, double value) {
    double* all[] = {&c.tKD, &c.tKP, &c.tND, &c.tNP, &c.tVS, &c.tAPz, &c.tAI, &c.tSD};
    *all[static_cast<std::size_t>(t)] = value;
}

std::size_t winnerIndex(const TraitCodes& codes) {
    // The first pass of the table's selection: the first strictly greatest score in list order.
    std::size_t best = 0;
    double top = score(kGenotypes[0], codes);
    for (std::size_t q = 1; q < kGenotypes.size(); ++q)
        if (const double s = score(kGenotypes[q], codes); s > top) {
            best = q;
            top = s;
        }
    return best;
}

namespace {

// What one measurement of a page says about its traits.
struct Reading {
    bool ok = false;
    TraitCodes codes;
    std::array<std::string, kTraitCount> words; // the class words, for this page's traits
};

void put(Reading& r, Trait t, const std::string& word) {
    r.words[static_cast<std::size_t>(t)] = word;
}

Reading readFront(std::span<const TPointF, kFrontLandmarkCount> P, char sep) {
    const FrontMeasurement m = measureFront(P, sep);
    Reading r;
    if (!(r.ok = m.ok()))
        return r;
    setCodes(r.codes, m.codes);
    put(r, Trait::NP, m.text(FrontFigure::BridgeLean));
    put(r, Trait::VS, m.text(FrontFigure::CheekClass));
    put(r, Trait::APz, m.text(FrontFigure::JawClass));
    put(r, Trait::AI, m.text(FrontFigure::JawAsymmetry));
    return r;
}

Reading readSide(std::span<const TPointF, kSideLandmarkCount> S, char sep) {
    const SideMeasurement m = measureSide(S, sep);
    Reading r;
    if (!(r.ok = m.ok()))
        return r;
    setCodes(r.codes, m.codes);
    put(r, Trait::KD, m.text(SideFigure::ForeheadClass));
    put(r, Trait::KP, m.text(SideFigure::ForeheadSlopeClass));
    put(r, Trait::ND, m.text(SideFigure::NasalBoneClass));
    put(r, Trait::SD, m.text(SideFigure::ChinClass));
    return r;
}

// Screen directions: x grows to the right, y downwards.
TPointF moved(TPointF p, float d, Direction dir) {
    switch (dir) {
    case Direction::Left:
        return {p.X - d, p.Y};
    case Direction::Right:
        return {p.X + d, p.Y};
    case Direction::Up:
        return {p.X, p.Y - d};
    case Direction::Down:
        break;
    }
    return {p.X, p.Y + d};
}

struct Found {
    bool atBoundary = false;
    std::vector<double> reached;
    GripMove smallest;
    std::string word;
};

// Measures the page with each grip moved in turn, smallest moves first, and notes every trait
// code of the page that changes. False when the page cannot be measured as it stands.
template <std::size_t N, class Read>
bool scanPage(std::span<const TPointF, N> points, char page, Read read, TraitCodes& base,
              std::array<Found, kTraitCount>& found) {
    const Reading here = read(points);
    if (!here.ok)
        return false;
    std::vector<Trait> traits;
    for (std::size_t t = 0; t < kTraitCount; ++t)
        if (kTraits[t].page == page) {
            traits.push_back(static_cast<Trait>(t));
            setCode(base, static_cast<Trait>(t), codeOf(here.codes, static_cast<Trait>(t)));
        }

    std::array<TPointF, N> work;
    std::copy(points.begin(), points.end(), work.begin());
    for (const float d : {0.5f, 1.0f})
        for (std::size_t i = 0; i < N; ++i)
            for (const Direction dir :
                 {Direction::Left, Direction::Right, Direction::Up, Direction::Down}) {
                work[i] = moved(points[i], d, dir);
                const Reading r = read(std::span<const TPointF, N>(work));
                work[i] = points[i];
                if (!r.ok) // a move that makes the page unmeasurable changes no code
                    continue;
                for (const Trait t : traits) {
                    const double v = codeOf(r.codes, t);
                    if (v == codeOf(here.codes, t))
                        continue;
                    Found& f = found[static_cast<std::size_t>(t)];
                    if (!f.atBoundary) {
                        f.atBoundary = true;
                        f.smallest = {page, static_cast<int>(i + 1), d, dir};
                        f.word = r.words[static_cast<std::size_t>(t)];
                    }
                    if (std::find(f.reached.begin(), f.reached.end(), v) == f.reached.end())
                        f.reached.push_back(v);
                }
            }
    return true;
}

} // namespace

std::optional<Verdict> judge(std::span<const TPointF, kFrontLandmarkCount> front,
                             std::span<const TPointF, kSideLandmarkCount> side, char sep) {
    TraitCodes base;
    std::array<Found, kTraitCount> found;
    const auto readF = [sep](std::span<const TPointF, kFrontLandmarkCount> p) {
        return readFront(p, sep);
    };
    const auto readS = [sep](std::span<const TPointF, kSideLandmarkCount> p) {
        return readSide(p, sep);
    };
    if (!scanPage(front, 'P', readF, base, found) || !scanPage(side, 'S', readS, base, found))
        return std::nullopt;

    Verdict v;
    for (std::size_t t = 0; t < kTraitCount; ++t) {
        Found& f = found[t];
        if (!f.atBoundary)
            continue;
        std::sort(f.reached.begin(), f.reached.end());
        const auto trait = static_cast<Trait>(t);
        v.boundary.push_back(
            {trait, codeOf(base, trait), std::move(f.reached), f.smallest, std::move(f.word)});
    }

    v.winner = kGenotypes[winnerIndex(base)].name;
    v.others = othersWhoCouldWin(base, v.boundary);
    return v;
}

std::vector<std::string_view> othersWhoCouldWin(const TraitCodes& codes,
                                                std::span<const BoundaryCode> boundary) {
    // Every combination, counted through like an odometer: digit 0 is the current value.
    std::array<bool, kGenotypes.size()> wins{};
    std::vector<std::size_t> digit(boundary.size(), 0);
    for (;;) {
        TraitCodes c = codes;
        for (std::size_t k = 0; k < digit.size(); ++k)
            if (digit[k] > 0)
                setCode(c, boundary[k].trait, boundary[k].reached[digit[k] - 1]);
        wins[winnerIndex(c)] = true;
        std::size_t k = 0;
        while (k < digit.size() && ++digit[k] > boundary[k].reached.size())
            digit[k++] = 0;
        if (k == digit.size())
            break;
    }
    const std::size_t tableWinner = winnerIndex(codes);
    std::vector<std::string_view> others;
    for (std::size_t g = 0; g < kGenotypes.size(); ++g)
        if (wins[g] && g != tableWinner)
            others.push_back(kGenotypes[g].name);
    return others;
}

std::string statusText(const Verdict& v) {
    if (v.boundary.empty())
        return "Visi požymiai toli nuo ribų.";
    std::string s = "Prie ribos: ";
    for (std::size_t i = 0; i < v.boundary.size(); ++i)
        s += (i ? ", " : "") + std::string(info(v.boundary[i].trait).name);
    if (v.others.empty())
        return s + ". Nugalėtojas nesikeičia.";
    s += ". Galėtų laimėti ir ";
    for (std::size_t i = 0; i < v.others.size(); ++i)
        s += (i ? ", " : "") + std::string(v.others[i]);
    return s + ".";
}

std::string boundaryHint(const BoundaryCode& b, char sep) {
    static constexpr const char* kDirections[] = {"į kairę", "į dešinę", "aukštyn", "žemyn"};
    const GripMove& m = b.smallest;
    return "Prie ribos: pastūmus " + std::string(1, m.page) + std::to_string(m.landmark) + " " +
           formatGeneral(m.distance, sep) + " vnt. " +
           kDirections[static_cast<std::size_t>(m.direction)] + " – „" + b.reachedWord + "“.";
}

} // namespace veidora
