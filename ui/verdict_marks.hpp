#pragma once

#include "types.hpp"

#include <QColor>
#include <QObject>
#include <QPalette>
#include <QPointer>
#include <QString>

#include <vector>

class FacePage;
class QStatusBar;
class TLabel;

// How firmly the last result stands: after a determination the status bar says which trait
// codes a small move of one grip would change and who else could then win, and the word labels
// of those codes stand out with a hint naming the smallest such move. All of it goes when a grip
// moves or the next determination starts; nothing the measurement wrote is touched.
class VerdictMarks : public QObject {
    Q_OBJECT
public:
    VerdictMarks(FacePage* front, FacePage* side, QStatusBar* status, QObject* parent);

    // A determination starts: the last marks go, and the front places it measures are kept.
    void started();
    // The table is filled: the side places just measured complete the verdict, shown at once.
    void finished();
    // The status bar back to what placing shows, the word labels as the measurement left them.
    void clear();

    const QString& statusText() const { return m_status; } // "" while nothing is shown
    static QColor markColour();

private:
    void mark(TLabel* label, const QString& hint);

    FacePage* m_front;
    FacePage* m_side;
    QStatusBar* m_statusBar;
    std::vector<veidora::TPointF> m_frontMeasured;
    bool m_pending = false;
    QString m_status;
    struct Marked {
        QPointer<TLabel> label;
        QPalette palette;
        bool ownPalette; // else it follows its parent's again
    };
    std::vector<Marked> m_marked;
};
