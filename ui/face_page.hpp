#pragma once

#include "measurement.hpp"
#include "types.hpp"

#include <QObject>
#include <QPointF>
#include <QRect>
#include <QString>

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class GripHistory;
class LandmarkPage;
class LandmarkSet;
class QPushButton;
class QStatusBar;
class QTabWidget;
class TImage;
class TLabel;
class TLoupe;
class TRectangle;
class TSelectionPoint;
class TTrackBar;

// One face page of the window ("Priekis" or "Šonas"): the drawing rectangle with the photo, the
// sample face and the landmark grips; the tilt track bar with its figure; the reset button, and
// on the side the mirror button; the value labels under the rectangle; the placement aids; the
// page's landmarks; and the copy of them that the measurement reads, taken when the rectangle
// paints. The controls are built on first need: when the page is first shown, or when anything
// asks for one of them; the landmarks and their copy exist from the start.
class FacePage : public QObject {
    Q_OBJECT
public:
    struct Control {
        const char* name;
        QRect place;
    };
    struct FigureRow {
        std::size_t figure; // the measurement's figure number
        veidora::LabelPlace label;
        const char* caption; // the caption label of the row it stands in
    };
    // Everything in which the two pages differ.
    struct Design {
        QString title; // as the tab and the progress line name the page
        QChar letter;  // 'P' or 'S', as the hints name the landmarks
        int firstGrip; // the first grip's number: SelectionPoint1 or SelectionPoint101
        std::vector<veidora::TPointF> defaults; // the grips' places on the sample face
        std::vector<std::string_view> features; // what each landmark marks
        Control reset, hint, tiltCaption, tiltFigure, tilt, rectangle, photo, sample;
        const char* sampleDrawing; // a resource
        const char* ring;          // the placement ring's name
        double tiltFrequency;      // 0: the thumb moves in hundredths
        Control mirror;            // no name: the page has none
        std::span<const veidora::LabelPlace> captions;
        std::vector<FigureRow> figures;
    };
    static Design frontDesign();
    static Design sideDesign();

    // What the pages share: the tabs, the status bar, the loupe and the undo steps.
    struct Shared {
        QTabWidget* tabs = nullptr;
        QStatusBar* status = nullptr;
        TLoupe* loupe = nullptr;
        GripHistory* history = nullptr;
    };

    FacePage(Design design, QWidget* tab, const Shared& shared, QObject* parent);

    // Builds the page's controls unless they are built. Every accessor of a control does it.
    void ensureBuilt();
    bool isBuilt() const { return m_built; }
    // Runs `wire` once the controls exist: now if they do, else right after they are built.
    void whenBuilt(std::function<void()> wire);

    QWidget* tab() const { return m_tab; }
    const QString& title() const { return m_d.title; }
    TRectangle* rectangle() const { return built().m_rectangle; }
    TImage* photo() const { return built().m_photo; }
    TImage* sample() const { return built().m_sample; }
    TTrackBar* tilt() const { return built().m_tilt; }
    QPushButton* resetButton() const { return built().m_reset; }
    QPushButton* mirrorButton() const { return built().m_mirror; } // null on the front
    // "Rasti taškus", where the page has one (see window_actions.hpp).
    QPushButton* findButton() const { return m_find; }
    void setFindButton(QPushButton* button) { m_find = button; }
    LandmarkPage* landmarks() const { return built().m_landmarks; }
    // Where the page's landmarks stand and which are only estimated.
    LandmarkSet* landmarkSet() const { return m_set; }
    const std::vector<TSelectionPoint*>& grips() const { return built().m_grips; }
    // By the grip's own number (1..28 or 101..117); null for another number.
    TSelectionPoint* grip(int number) const;
    // A label of this page by its object name, or null.
    TLabel* label(const QString& name) const;
    const std::vector<TLabel*>& labels() const { return built().m_labels; }
    QString tiltCaption() const; // the text above the track bar
    // The spoken name of a label showing a figure (a value or the tilt): the caption of its
    // row; "" for other labels.
    QString captionOf(const TLabel* label) const;

    // The landmarks as of the rectangle's last paint (all (0, 0) before it): a landmark moved
    // without a paint keeps its old copy.
    const std::vector<veidora::TPointF>& copies() const { return m_copies; }
    // Takes the copies now: what the rectangle's paint does.
    void copyGrips();
    // Every landmark back on the sample face.
    void resetGrips();
    // The same as one undoable step.
    void resetAsStep();
    // The tilt figure follows the track bar in whole degrees, and the photo turns by it.
    void applyTilt();
    // The photo mirrored left to right (the side page's "Apsukimas").
    void mirrorPhoto();
    // Shows a measurement's figure texts (by figure number) in the value labels.
    void showFigures(std::span<const std::string> texts);

    // After an undo or redo: the first of the pages whose landmarks it moved comes into view
    // unless one of them is in view, and their rectangles are drawn again.
    static void bringIntoView(QTabWidget* tabs, const std::vector<FacePage*>& pages);

    // The tilt track bar's range and value as the window's creation sets them; kept for the
    // track bar until it is built.
    void setTiltRange(double min, double max, double value);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Asking for a control builds the page: the page as seen from outside does not change.
    const FacePage& built() const {
        if (!m_built)
            const_cast<FacePage*>(this)->ensureBuilt();
        return *this;
    }
    void build();
    void applyTiltRange();
    // The page's own controls: reset, tilt, mirror, the rectangle's paint, the grips' drag.
    void connectControls();

    Design m_d;
    QWidget* m_tab;
    Shared m_shared;
    bool m_built = false;
    std::vector<std::function<void()>> m_whenBuilt;
    struct TiltRange {
        double min, max, value;
    };
    std::optional<TiltRange> m_tiltRange;
    TRectangle* m_rectangle = nullptr;
    TImage* m_photo = nullptr;
    TImage* m_sample = nullptr;
    TTrackBar* m_tilt = nullptr;
    TLabel* m_tiltFigure = nullptr;
    QPushButton* m_reset = nullptr;
    QPushButton* m_mirror = nullptr;
    QPushButton* m_find = nullptr;
    LandmarkPage* m_landmarks = nullptr;
    LandmarkSet* m_set = nullptr;
    std::vector<TSelectionPoint*> m_grips;
    std::vector<TLabel*> m_labels;
    struct FigureLabelOf {
        TLabel* label;
        std::size_t figure;
        TLabel* caption; // of the label's row; null if the page has none of that name
    };
    std::vector<FigureLabelOf> m_figureLabels;
    std::vector<veidora::TPointF> m_copies;
};
