#pragma once

#include "landmark_search.hpp"

#include <QStringList>

#include <functional>

// Looks for the head's profile on the side photo and places the 17 side landmarks along its
// outline; those the outline does not give are estimated from the sample profile. A face that
// looks right is found as well: the outcome then asks for the photo to be mirrored.
class ProfileSearch : public LandmarkSearch {
    Q_OBJECT
public:
    explicit ProfileSearch(QObject* parent = nullptr);

    // Where the finder's module is looked for, in order (see ProfileFinderLibrary).
    void setModuleCandidates(const QStringList& paths) { m_modules = paths; }
    QStringList moduleCandidates() const { return m_modules; }
    // How far (degrees clockwise) the page shows its photo turned, read as each search starts:
    // the brow's front is read as the photo is shown. Unset: not turned.
    void setShownTilt(std::function<double()> tilt) { m_tilt = std::move(tilt); }

    Job job() const override;
    // Loads the module, and OpenCV with it, in the background.
    void preload() override;

    // One search, as job() runs it; never throws.
    static Outcome search(const QStringList& modules, const QImage& picture,
                          double shownTilt = 0) noexcept;

    static QString moduleErrorText(const QString& module, const QString& why);

private:
    QStringList m_modules;
    std::function<double()> m_tilt;
};
