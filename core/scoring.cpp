#include "scoring.hpp"

#include <initializer_list>

namespace veidora {

namespace {

// Index of each code in the argument order.
enum Code { KD, KP, ND, NP, VS, APz, AI, SD };

struct Cond {
    Code code;
    double value;
};

// Points of one trait for the code values 0..3, then replacements that apply when every
// condition holds.
struct Replacement {
    Cond a;
    Cond b;
    double points;
};

struct Extra {
    std::initializer_list<Cond> when;
    double amount; // positive bonus, negative penalty
};

using Codes = std::array<double, 8>;

bool holds(const Codes& c, Cond k) {
    return c[k.code] == k.value;
}

double partial(const Codes& c, Code code, std::array<double, 4> points,
               std::initializer_list<Replacement> replacements = {}) {
    double x = 0;
    for (int v = 0; v < 4; ++v)
        if (c[code] == v)
            x = points[static_cast<std::size_t>(v)];
    for (const auto& r : replacements)
        if (holds(c, r.a) && holds(c, r.b))
            x = r.points;
    return x;
}

double extras(const Codes& c, std::initializer_list<Extra> list) {
    double sum = 0;
    for (const auto& e : list) {
        bool all = true;
        for (const auto& k : e.when)
            all = all && holds(c, k);
        if (all)
            sum += e.amount;
    }
    return sum;
}

} // namespace

double KeldaroTipoNustatymas(double tKD, double tKP, double tND, double tNP, double tVS,
                             double tAPz, double tAI, double tSD) {
    const Codes c{tKD, tKP, tND, tNP, tVS, tAPz, tAI, tSD};
    const double vd =
        partial(c, KD, {0, 100, 50, 1}) + partial(c, KP, {0, 1, 50, 100}) +
        partial(c, ND, {0, 100, 50, -10}) + partial(c, NP, {50, 100, 0, 0}) +
        partial(c, VS, {0, 0, 100, 0}, {{{SD, 1}, {VS, 2}, 1}, {{KD, 3}, {VS, 2}, 1}}) +
        partial(c, APz, {0, 1, 50, 100}, {{{KD, 3}, {APz, 3}, 50}}) +
        partial(c, AI, {0, 100, 100, 100}) + partial(c, SD, {0, 0, 50, 100});
    return vd / 8;
}

double MirvenoTipoNustatymas(double tKD, double tKP, double tND, double tNP, double tVS,
                             double tAPz, double tAI, double tSD) {
    const Codes c{tKD, tKP, tND, tNP, tVS, tAPz, tAI, tSD};
    const double vd =
        partial(c, KD, {0, 0, 50, 100}, {{{ND, 3}, {KD, 3}, 20}, {{ND, 2}, {KD, 3}, 50}}) +
        partial(c, KP, {0, 0, 0, 0},
                {{{KD, 2}, {KP, 2}, 50},
                 {{KD, 3}, {KP, 3}, 50},
                 {{KD, 2}, {KP, 1}, 70},
                 {{KD, 3}, {KP, 2}, 120},
                 {{KD, 3}, {KP, 1}, 150}}) +
        partial(c, ND, {0, 100, 50, -10}) + partial(c, NP, {50, 100, 0, 0}) +
        partial(c, VS, {0, 0, 100, 0}) +
        partial(c, APz, {0, 100, 50, 0}, {{{KD, 3}, {APz, 3}, 50}}) +
        partial(c, AI, {0, 100, 100, 100}) + partial(c, SD, {0, 1, 50, 100});
    return (vd +
            extras(c, {{{{SD, 1}, {VS, 1}, {KD, 2}}, -50}, {{{SD, 1}, {VS, 2}, {KD, 2}}, -50}})) /
           8;
}

double SulgetoTipoNustatymas(double tKD, double tKP, double tND, double tNP, double tVS,
                             double tAPz, double tAI, double tSD) {
    const Codes c{tKD, tKP, tND, tNP, tVS, tAPz, tAI, tSD};
    const double vd = partial(c, KD, {0, -10, 50, 100}) +
                      partial(c, KP, {0, 0, 0, -10},
                              {{{KD, 2}, {KP, 2}, 50},
                               {{KD, 3}, {KP, 3}, 50},
                               {{KD, 2}, {KP, 1}, 100},
                               {{KD, 3}, {KP, 2}, 120},
                               {{KD, 3}, {KP, 1}, 150}}) +
                      partial(c, ND, {0, 100, 50, -10}) + partial(c, NP, {50, 100, 0, 0}) +
                      partial(c, VS, {0, 100, 0, 0}) + partial(c, APz, {0, 50, 100, 50}) +
                      partial(c, AI, {0, 0, 100, 50}) + partial(c, SD, {0, 100, 50, 1});
    return (vd + extras(c, {{{{KD, 3}, {SD, 1}}, 20}})) / 8;
}

double TovelioTipoNustatymas(double tKD, double tKP, double tND, double tNP, double tVS,
                             double tAPz, double tAI, double tSD) {
    const Codes c{tKD, tKP, tND, tNP, tVS, tAPz, tAI, tSD};
    const double vd = partial(c, KD, {0, 100, 50, 1}) + partial(c, KP, {0, 1, 50, 100}) +
                      partial(c, ND, {0, 0, 50, 120}) + partial(c, NP, {50, 100, 0, 0}) +
                      partial(c, VS, {0, 100, 0, 0}, {{{VS, 2}, {ND, 3}, 100}}) +
                      partial(c, APz, {0, 1, 50, 100}, {{{KD, 3}, {APz, 3}, 20}}) +
                      partial(c, AI, {0, 100, 100, 100}) + partial(c, SD, {0, 1, 50, 100});
    return vd / 8;
}

double AgrenoTipoNustatymas(double tKD, double tKP, double tND, double tNP, double tVS, double tAPz,
                            double tAI, double tSD) {
    const Codes c{tKD, tKP, tND, tNP, tVS, tAPz, tAI, tSD};
    const double vd =
        partial(c, KD, {0, 50, 100, 100}) + partial(c, KP, {0, 50, 100, 0}) +
        partial(c, ND, {0, 0, 100, 100}) + partial(c, NP, {50, 0, 100, 0}) +
        partial(c, VS, {0, 100, 0, 0}, {{{NP, 2}, {VS, 2}, 100}, {{NP, 0}, {VS, 2}, 100}}) +
        partial(c, APz, {0, 100, 50, 1}, {{{KD, 3}, {APz, 3}, 50}}) +
        partial(c, AI, {0, 100, 100, 100}) + partial(c, SD, {0, 1, 50, 100});
    return vd / 8;
}

double HeluvosTipoNustatymas(double tKD, double tKP, double tND, double tNP, double tVS,
                             double tAPz, double tAI, double tSD) {
    const Codes c{tKD, tKP, tND, tNP, tVS, tAPz, tAI, tSD};
    const double vd =
        partial(c, KD, {0, 50, 100, 100}) + partial(c, KP, {0, 100, 100, 0}) +
        partial(c, ND, {0, 1, 50, 120}) + partial(c, NP, {50, 100, 1, 0}) +
        partial(c, VS, {0, 0, 100, 0}, {{{NP, 2}, {VS, 2}, 0}, {{SD, 1}, {VS, 2}, 0}}) +
        partial(c, APz, {0, 100, 50, 1}, {{{KD, 3}, {APz, 3}, 50}}) +
        partial(c, AI, {0, 100, 100, 100}) + partial(c, SD, {0, 1, 50, 100});
    return vd / 8;
}

double JukamoTipoNustatymas(double tKD, double tKP, double tND, double tNP, double tVS, double tAPz,
                            double tAI, double tSD) {
    const Codes c{tKD, tKP, tND, tNP, tVS, tAPz, tAI, tSD};
    const double vd = partial(c, KD, {0, 100, 50, 1}) + partial(c, KP, {0, 1, 50, 100}) +
                      partial(c, ND, {0, 100, 50, -10}) + partial(c, NP, {50, 100, 0, 0}) +
                      partial(c, VS, {0, 100, 0, 0}, {{{SD, 1}, {VS, 2}, 50}}) +
                      partial(c, APz, {0, 1, 50, 100}) + partial(c, AI, {0, 100, 100, 100}) +
                      partial(c, SD, {0, 100, 50, 1});
    return (vd + extras(c, {{{{KD, 3}, {VS, 1}}, -50}, {{{KD, 3}, {VS, 2}}, -50}})) / 8;
}

} // namespace veidora
