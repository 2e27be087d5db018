#pragma once

#include "profile_finder_module.hpp"

#include <QString>
#include <QStringList>

// Loads the profile finder's module (and OpenCV with it) once per process, on the first call,
// from where an installed program keeps it, beside the program, or from the build folder. Any
// thread; a second caller waits for the first.
class ProfileFinderLibrary {
public:
    // The module's table, or nullptr with `error` saying why.
    static const veidora::facefit::ProfileFinderEntry* entry(QString& error);
    // Where it is looked for, in order.
    static QStringList candidates();
};
