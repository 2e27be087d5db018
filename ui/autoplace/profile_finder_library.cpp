#include "profile_finder_library.hpp"

QStringList ProfileFinderLibrary::candidates(const QString& programDir) {
    return ModuleLibrary::candidates(programDir, VEIDORA_PROFILE_FINDER_INSTALLED,
                                     VEIDORA_PROFILE_FINDER_BUILT);
}
