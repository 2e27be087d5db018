#include "face_finder_library.hpp"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

#include <mutex>

using veidora::facefit::FaceFinderEntry;
using veidora::facefit::FaceFinderEntryFunction;

QStringList FaceFinderLibrary::candidates() {
    // Where an installed program keeps it, beside the program, then where it was built.
    const QString built = QString::fromUtf8(VEIDORA_FACE_FINDER_MODULE);
    QStringList out;
    if (QCoreApplication::instance()) {
        const QDir programDir(QCoreApplication::applicationDirPath());
        out << QDir::cleanPath(programDir.filePath(QStringLiteral(VEIDORA_FACE_FINDER_INSTALLED)))
            << programDir.filePath(QFileInfo(built).fileName());
    }
    out << built;
    return out;
}

const FaceFinderEntry* FaceFinderLibrary::entry(QString& error) {
    static std::mutex lock;
    static const FaceFinderEntry* found = nullptr;
    const std::lock_guard guard(lock);
    if (found)
        return found;
    QStringList why;
    for (const QString& path : candidates()) {
        if (!QFileInfo::exists(path))
            continue;
        QLibrary module(path); // stays loaded: the unloading is left to the end of the process
        const auto entryFunction = reinterpret_cast<FaceFinderEntryFunction>(
            module.resolve(veidora::facefit::kFaceFinderEntryName));
        if (entryFunction && (found = entryFunction()))
            return found;
        why << module.errorString();
    }
    error = why.isEmpty() ? QStringLiteral("The face finder module %1 was not found.")
                                .arg(candidates().join(QStringLiteral(", ")))
                          : why.join(QLatin1Char('\n'));
    return nullptr;
}
