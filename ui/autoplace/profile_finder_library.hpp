#pragma once

#include "module_library.hpp"
#include "profile_finder_module.hpp"

// The profile finder's module, and OpenCV with it (see ModuleLibrary).
struct ProfileFinderLibrary {
    static const veidora::facefit::ProfileFinderEntry* entry(const ModuleLibrary::Loaded& loaded) {
        return static_cast<const veidora::facefit::ProfileFinderEntry*>(loaded.entry);
    }
    static ModuleLibrary::Loaded load(const QStringList& candidates) {
        return ModuleLibrary::load(
            candidates, veidora::facefit::kProfileFinderEntryName, [](QFunctionPointer f) {
                return static_cast<const void*>(
                    reinterpret_cast<veidora::facefit::ProfileFinderEntryFunction>(f)());
            });
    }
    static ModuleLibrary::Loaded load() { return load(candidates()); }
    static QStringList candidates(const QString& programDir);
    static QStringList candidates() { return candidates(ModuleLibrary::programDir()); }
};
