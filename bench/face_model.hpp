#pragma once

// The landmark model every bench measures with: the one the program reads, read once per
// process; a bench without it has nothing to measure and stops.

#include "face_finder.hpp"

#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>

namespace bench {

inline veidora::facefit::FaceFinder& faceModel() {
    static const std::unique_ptr<veidora::facefit::FaceFinder> finder = [] {
        std::string error;
        auto loaded =
            veidora::facefit::FaceFinder::load(veidora::facefit::kDefaultModelPath, error);
        if (!loaded) {
            std::cerr << error << '\n';
            std::exit(1);
        }
        return loaded;
    }();
    return *finder;
}

} // namespace bench
