#pragma once

#include "face_finder.hpp"
#include "landmark_search.hpp"

#include <QString>
#include <QStringList>

// Looks for the largest face on the front photo and places the 28 front landmarks on it, the
// hairline and the nose bridge's sides read from the photo's pixels where it shows them. The
// landmark model is read once per process, in the background, the first time it is wanted.
class FaceSearch : public LandmarkSearch {
    Q_OBJECT
public:
    explicit FaceSearch(QObject* parent = nullptr);

    void setModelPath(const QString& path) { m_modelPath = path; }
    QString modelPath() const { return m_modelPath; }
    // Where the finder's module is looked for, in order (see FaceFinderLibrary).
    void setModuleCandidates(const QStringList& paths) { m_modules = paths; }
    QStringList moduleCandidates() const { return m_modules; }

    Job job() const override;
    void preload() override;

    // One search, as job() runs it; never throws.
    static Outcome search(const QStringList& modules, const QString& modelPath,
                          const QImage& picture) noexcept;

    static const char* const kModelPackage;
    static QString modelErrorText(const QString& path);
    // The error box's text for a search the finder could not carry out.
    static QString failedText(veidora::facefit::FaceSearchError error);
    // The module that holds the finder could not be loaded; `why` names every place tried.
    static QString moduleErrorText(const QString& module, const QString& why);

private:
    QStringList m_modules;
    QString m_modelPath;
};
