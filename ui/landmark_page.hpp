#pragma once

#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <vector>

class GripHistory;
class LandmarkSet;
class QStatusBar;
class QTabWidget;
class TDefaultRing;
class TImage;
class TLoupe;
class TSelectionPoint;

// Helps the user place one page's grips: hints, the ring on the sample face, selection and
// keyboard moves, the loupe, the steps for undo, and the status bar line.
class LandmarkPage : public QObject {
    Q_OBJECT
public:
    struct Setup {
        QString title; // "Priekis" / "Šonas", as in the progress line
        QTabWidget* tabs = nullptr;
        QWidget* page = nullptr;
        TImage* sample = nullptr;
        LandmarkSet* set = nullptr;          // the landmarks the grips show
        std::vector<TSelectionPoint*> grips; // in landmark order
        QStringList hints;                   // one for each grip
        QStatusBar* status = nullptr;
        TLoupe* loupe = nullptr;
        GripHistory* history = nullptr;
    };

    LandmarkPage(Setup setup, QObject* parent);

    static constexpr int kKeyLoupeMs = 1000; // the loupe stays this long after a key press

    const std::vector<TSelectionPoint*>& grips() const { return m_s.grips; }
    TSelectionPoint* selected() const { return m_selected; }
    TSelectionPoint* dragged() const;
    TDefaultRing* ring() const { return m_ring; }
    QString hint(const TSelectionPoint* grip) const;
    int movedCount() const;
    QString progressText() const;
    bool isCurrent() const;

    // A line for the status bar until the user's next move there.
    void announce(const QString& text);
    // A line that stands in for the count while work runs on the page ("" ends it).
    void setActivity(const QString& text);

    void select(TSelectionPoint* grip);
    void clearSelection();
    // Writes the status bar line and places the ring for what the user is at now.
    void refresh();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int indexOf(const TSelectionPoint* grip) const;
    TSelectionPoint* focusGrip() const; // dragged, else hovered, else selected
    void connectGrip(TSelectionPoint* grip);

    Setup m_s;
    TDefaultRing* m_ring = nullptr;
    QPointer<TSelectionPoint> m_selected;
    QPointer<TSelectionPoint> m_hot;
    QPointF m_pressedAt;
    bool m_pressedEstimated = false;
    QString m_activity;
};
