#pragma once

#include "face_finder_module.hpp"

#include <QString>
#include <QStringList>

// Loads the face finder's module (and dlib with it) once per process, on the first call: from
// where an installed program keeps it, else from where the build put it. Both places are
// relative to the program's folder, so an installed copy never reaches into a build tree.
// Any thread; a second caller waits for the first.
class FaceFinderLibrary {
public:
    struct Loaded {
        const veidora::facefit::FaceFinderEntry* entry = nullptr; // null: not loaded
        QString path;                                             // the module's file, when loaded
        QString error; // why not, naming every place tried
    };

    // The first of `candidates` that loads (by default, candidates()).
    static Loaded load(const QStringList& candidates);
    static Loaded load() { return load(candidates()); }

    // Where it is looked for, in order, for a program in `programDir`.
    static QStringList candidates(const QString& programDir);
    // The same for this program.
    static QStringList candidates();

    static constexpr const char* kPackage = "veidora";
};
