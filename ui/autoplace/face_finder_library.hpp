#pragma once

#include "face_finder_module.hpp"
#include "module_library.hpp"

// The face finder's module, and dlib with it (see ModuleLibrary).
struct FaceFinderLibrary {
    static const veidora::facefit::FaceFinderEntry* entry(const ModuleLibrary::Loaded& loaded) {
        return static_cast<const veidora::facefit::FaceFinderEntry*>(loaded.entry);
    }
    static ModuleLibrary::Loaded load(const QStringList& candidates) {
        return ModuleLibrary::load(
            candidates, veidora::facefit::kFaceFinderEntryName, [](QFunctionPointer f) {
                return static_cast<const void*>(
                    reinterpret_cast<veidora::facefit::FaceFinderEntryFunction>(f)());
            });
    }
    static ModuleLibrary::Loaded load() { return load(candidates()); }
    static QStringList candidates(const QString& programDir);
    static QStringList candidates() { return candidates(ModuleLibrary::programDir()); }
};
