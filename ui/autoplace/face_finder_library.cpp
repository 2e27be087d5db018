#include "face_finder_library.hpp"

QStringList FaceFinderLibrary::candidates(const QString& programDir) {
    return ModuleLibrary::candidates(programDir, VEIDORA_FACE_FINDER_INSTALLED,
                                     VEIDORA_FACE_FINDER_BUILT);
}
