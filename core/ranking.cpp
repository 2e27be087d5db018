#include "ranking.hpp"

#include "number_format.hpp"
#include "scoring.hpp"

#include <utility>

namespace veidora {

Ranking rankGenotypes(const TraitCodes& codes, char sep) {
    std::array<std::pair<std::string_view, double>, 7> list;
    for (std::size_t i = 0; i < kGenotypes.size(); ++i)
        list[i] = {kGenotypes[i].name, score(kGenotypes[i], codes)};

    // Selection with an exchange at every place, as the table has always been ordered; the
    // exchange can carry a row behind a later row of equal score.
    for (std::size_t p = 0; p + 1 < list.size(); ++p) {
        std::size_t best = p;
        for (std::size_t q = p + 1; q < list.size(); ++q)
            if (list[q].second > list[best].second)
                best = q;
        std::swap(list[p], list[best]);
    }

    Ranking r;
    for (std::size_t p = 0; p < list.size(); ++p) {
        r.rows[p].place = std::to_string(p + 1);
        r.rows[p].name = std::string(list[p].first);
        r.rows[p].value = list[p].second;
        r.rows[p].score = formatGeneral(list[p].second, sep);
    }
    r.banner = "Nustatytas " + r.rows[0].name + " genotipas ";
    return r;
}

} // namespace veidora
