#include "face_finder_library.hpp"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

#include <map>
#include <mutex>

using veidora::facefit::FaceFinderEntry;
using veidora::facefit::FaceFinderEntryFunction;

QStringList FaceFinderLibrary::candidates(const QString& programDir) {
    const QDir dir(programDir);
    return {QDir::cleanPath(dir.filePath(QStringLiteral(VEIDORA_FACE_FINDER_INSTALLED))),
            QDir::cleanPath(dir.filePath(QStringLiteral(VEIDORA_FACE_FINDER_BUILT)))};
}

QStringList FaceFinderLibrary::candidates() {
    // Without an application object (benchmarks), the running program's own file tells.
    const QString programDir = QCoreApplication::instance()
                                   ? QCoreApplication::applicationDirPath()
                                   : QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
    return candidates(programDir);
}

FaceFinderLibrary::Loaded FaceFinderLibrary::load(const QStringList& candidates) {
    static std::mutex lock;
    static std::map<QString, const FaceFinderEntry*> loaded; // by the module's path
    const std::lock_guard guard(lock);
    QStringList why;
    for (const QString& path : candidates) {
        if (const auto it = loaded.find(path); it != loaded.end())
            return {it->second, path, {}};
        if (!QFileInfo(path).isFile()) {
            why << QStringLiteral("%1: nėra tokio failo").arg(path);
            continue;
        }
        QLibrary module(path); // stays loaded: the unloading is left to the end of the process
        const auto entryFunction = reinterpret_cast<FaceFinderEntryFunction>(
            module.resolve(veidora::facefit::kFaceFinderEntryName));
        if (const FaceFinderEntry* entry = entryFunction ? entryFunction() : nullptr) {
            loaded.emplace(path, entry);
            return {entry, path, {}};
        }
        why << module.errorString();
    }
    return {nullptr, {}, why.join(QStringLiteral("; "))};
}
