#include "module_library.hpp"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

#include <map>
#include <mutex>

namespace {

// The modules loaded so far, by path; they stay loaded to the end of the process.
struct Registry {
    std::mutex lock;
    std::map<QString, const void*> loaded;
};

Registry& registry() {
    static Registry r;
    return r;
}

} // namespace

QStringList ModuleLibrary::candidates(const QString& programDir, const char* installed,
                                      const char* built) {
    const QDir dir(programDir);
    return {QDir::cleanPath(dir.filePath(QLatin1String(installed))),
            QDir::cleanPath(dir.filePath(QLatin1String(built)))};
}

QString ModuleLibrary::programDir() {
    // Without an application object (benchmarks), the running program's own file tells.
    return QCoreApplication::instance()
               ? QCoreApplication::applicationDirPath()
               : QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
}

ModuleLibrary::Loaded ModuleLibrary::load(const QStringList& candidates, const char* entryName,
                                          Call call) {
    Registry& r = registry();
    const std::lock_guard guard(r.lock);
    auto& loaded = r.loaded;
    QStringList why, detail;
    for (const QString& path : candidates) {
        if (const auto it = loaded.find(path); it != loaded.end())
            return {it->second, path, {}, {}};
        if (!QFileInfo(path).isFile()) {
            why << QStringLiteral("%1: nėra tokio failo").arg(path);
            continue;
        }
        QLibrary module(path); // stays loaded: the unloading is left to the end of the process
        const QFunctionPointer entryFunction = module.resolve(entryName);
        if (const void* entry = entryFunction ? call(entryFunction) : nullptr) {
            loaded.emplace(path, entry);
            return {entry, path, {}, {}};
        }
        why << QStringLiteral("%1: nepavyko įkelti").arg(path);
        detail << module.errorString();
    }
    return {nullptr, {}, why.join(QStringLiteral("; ")), detail.join(QStringLiteral("; "))};
}

bool ModuleLibrary::isLoaded(const QString& path) {
    Registry& r = registry();
    const std::lock_guard guard(r.lock);
    return r.loaded.count(path) > 0;
}
