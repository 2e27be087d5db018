#pragma once

#include <QFunctionPointer>
#include <QString>
#include <QStringList>

// Loads a finder's module (and the library it wraps, dlib or OpenCV) once per process, on the
// first call that needs it: from where an installed program keeps it, else from where the build
// put it. Both places are relative to the program's folder, so an installed copy never reaches
// into a build tree. Any thread; a second caller waits for the first.
class ModuleLibrary {
public:
    struct Loaded {
        const void* entry = nullptr; // the module's table; null: not loaded
        QString path;                // the module's file, when loaded
        QString error;               // why not, naming every place tried, in Lithuanian
        QString detail;              // the system loader's own words, for the diagnostics log
    };

    // The first of `candidates` that loads and whose function `entryName`, called through
    // `call` (which knows its type), hands out the table.
    using Call = const void* (*)(QFunctionPointer entryFunction);
    static Loaded load(const QStringList& candidates, const char* entryName, Call call);
    // Whether the module at `path` has been loaded in this process.
    static bool isLoaded(const QString& path);

    // `installed` and `built` (relative to the program's folder) under `programDir`, in order.
    static QStringList candidates(const QString& programDir, const char* installed,
                                  const char* built);
    // This program's folder, with or without an application object.
    static QString programDir();

    // The Debian package that ships the modules.
    static constexpr const char* kPackage = "veidora";
};
