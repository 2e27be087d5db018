#include "profile_finder_library.hpp"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

#include <mutex>

using veidora::facefit::ProfileFinderEntry;
using veidora::facefit::ProfileFinderEntryFunction;

QStringList ProfileFinderLibrary::candidates() {
    const QString built = QString::fromUtf8(VEIDORA_PROFILE_FINDER_MODULE);
    QStringList out;
    if (QCoreApplication::instance()) {
        const QDir programDir(QCoreApplication::applicationDirPath());
        out << QDir::cleanPath(
                   programDir.filePath(QStringLiteral(VEIDORA_PROFILE_FINDER_INSTALLED)))
            << programDir.filePath(QFileInfo(built).fileName());
    }
    out << built;
    return out;
}

const ProfileFinderEntry* ProfileFinderLibrary::entry(QString& error) {
    static std::mutex lock;
    static const ProfileFinderEntry* found = nullptr;
    const std::lock_guard guard(lock);
    if (found)
        return found;
    QStringList why;
    for (const QString& path : candidates()) {
        if (!QFileInfo::exists(path))
            continue;
        QLibrary module(path); // stays loaded until the process ends
        const auto entryFunction = reinterpret_cast<ProfileFinderEntryFunction>(
            module.resolve(veidora::facefit::kProfileFinderEntryName));
        if (entryFunction && (found = entryFunction()))
            return found;
        why << module.errorString();
    }
    error = why.isEmpty() ? QStringLiteral("The profile finder module %1 was not found.")
                                .arg(candidates().join(QStringLiteral(", ")))
                          : why.join(QLatin1Char('\n'));
    return nullptr;
}
