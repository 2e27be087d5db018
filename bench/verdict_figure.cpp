// For scripts/bench.sh: on the sample faces, the median ms of the whole verdict (which codes
// are at their boundary and who else could win), then of one front plus one side measurement,
// taken turn about; printed on one line.
//   verdict_figure <runs>
#include "front_measurement.hpp"
#include "side_measurement.hpp"
#include "verdict.hpp"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace veidora;

namespace {

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

template <class F> double ms(F&& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
    const std::span<const TPointF, kFrontLandmarkCount> front(kFrontDefaults);
    const std::span<const TPointF, kSideLandmarkCount> side(kSideDefaults);
    std::vector<double> verdict, measurement;
    std::size_t sink = 0; // keeps the work from being optimised away
    for (int i = 0; i < runs; ++i) {
        verdict.push_back(ms([&] { sink += judge(front, side, ',')->boundary.size(); }));
        // One measurement is short: timed over a hundred, as one.
        measurement.push_back(ms([&] {
                                  for (int k = 0; k < 100; ++k)
                                      sink += measureFront(front, ',').texts[0].size() +
                                              measureSide(side, ',').texts[0].size();
                              }) /
                              100);
    }
    if (sink == 0)
        return 1;
    std::printf("%.4f %.5f\n", median(verdict), median(measurement));
    return 0;
}
