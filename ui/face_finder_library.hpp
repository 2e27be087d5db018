#pragma once

#include "face_finder_module.hpp"

#include <QString>

// Loads the face finder's module (and dlib with it) once per process, on the first call, from
// the build folder or else beside the program. Any thread; a second caller waits for the first.
class FaceFinderLibrary {
public:
    // The module's table, or nullptr with `error` saying why.
    static const veidora::facefit::FaceFinderEntry* entry(QString& error);
    // Where it is looked for, in order.
    static QStringList candidates();
};
