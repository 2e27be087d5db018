#pragma once

#include "error_handler.hpp"
#include "types.hpp"

#include <QHash>
#include <QWidget>

#include <array>
#include <functional>
#include <type_traits>

class QAction;
class QMenu;
class QPainter;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QTimer;
class QToolButton;
class AutoPlacement;
class GripHistory;
class LandmarkPage;
class PhotoLoader;
class TApie;
class TClickImage;
class TColumn;
class TImage;
class TLabel;
class TLoupe;
class TMatrixLabel;
class TRectangle;
class TSelectionPoint;
class TStringGrid;
class TTrackBar;

// The two 32 x 32 button icons.
class TImageList : public QObject {
    Q_OBJECT
public:
    explicit TImageList(QObject* parent);
    QIcon icon(int index) const;
};

// The main window: banner, result table, buttons, the front and side pages and two timers.
class TVeidora : public QWidget {
    Q_OBJECT
public:
    explicit TVeidora(QWidget* parent = nullptr);
    ~TVeidora() override;

    // Landmark copies as of their rectangle's last paint, 1-based like the grips.
    veidora::TPointF P(int n) const { return m_P.at(static_cast<std::size_t>(n - 1)); }
    veidora::TPointF S(int n) const { return m_S.at(static_cast<std::size_t>(n - 1)); }
    const veidora::TraitCodes& codes() const { return m_codes; }

    TSelectionPoint* SelectionPoint(int n) const; // 1..28 front, 101..117 side
    TLabel* label(const QString& name) const;
    char decimalSeparator() const;
    TApie* Apie() const { return m_apie; }
    GripHistory* history() const { return m_history; }
    LandmarkPage* frontPage() const { return m_frontPage; }
    LandmarkPage* sidePage() const { return m_sidePage; }
    AutoPlacement* autoPlacement() const { return m_autoPlacement; } // null when built without

    // Event handlers and steps, as the controls call them.
    void FormCreate();
    void Button1Click();
    void Button2Click();
    void DialogAnswer(int modalResult); // 6 Yes, 7 No
    void pradzia();
    void Timer1Timer();
    void Timer2Timer();
    void NustatymasTipu();
    void StringGrid1DrawColumnCell(QPainter* Canvas, TColumn* Column, const QRect& Bounds, int Row,
                                   const std::function<void()>& drawDefault);
    void Button6Click();
    void Button7Click();
    void ButtonAutoClick(); // "Rasti taškus"
    void KoordinatesPriekis();
    void KoordinatesSonas();
    void Rectangle1Paint();
    void Rectangle2Paint();
    void AtstatymasPriekis();
    void AtstatymasSonas();
    void Button5Click();
    void TrackBar1Change();
    void TrackBar2Change();
    void SelectionPoint2Track(TSelectionPoint* sender, qreal X, qreal Y);
    void Image5Click();
    void MenuItem1Click();

    // Loads a photo file into the current page's photo control at once (the dialog reads it
    // in the background instead); throws the error box's text.
    void loadPhotoIntoCurrentPage(const QString& path);
    PhotoLoader* photoLoader() const { return m_photoLoader; }

    static constexpr int kYes = 6;
    static constexpr int kNo = 7;
    static const char* const kPhotoFilter;
    static QString qtNameFilter(const QString& filter); // "desc | *.a; *.b" for Qt's dialog
    static QString confirmationText(const QString& missing);
    static QString openingText(); // the banner's text before any determination

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildShell();
    void buildFrontPage();
    void buildSidePage();
    void buildPlacementAids(); // hints, loupe, keyboard moves, undo
    TLabel* addLabel(QWidget* page, const char* name, const QString& text, int x, int y,
                     int width = 120, int height = 17);
    // Writes a page's labels and codes, or throws its error before changing anything.
    void showMeasurement(const auto& measurement, const auto& table);
    void clearRanking(); // the table and the banner as before any determination
    void copyFrontLandmarks();
    void copySideLandmarks();
    // Guards every signal connection: errors end the handler and reach the error box.
    template <class Sender, class Signal, class F> void on(Sender* s, Signal sig, F&& handler) {
        connect(s, sig, this, [this, h = std::forward<F>(handler)](auto&&... args) {
            veidora::ui::guarded(this, [&] {
                if constexpr (std::is_invocable_v<const F&, decltype(args)...>)
                    h(args...);
                else
                    h(); // the handler does not need what the signal carries
            });
        });
    }

public:
    // Controls, named as the program's documentation names them.
    TMatrixLabel* MatrixLabel1 = nullptr;
    TStringGrid* StringGrid1 = nullptr;
    TColumn* FloatColumn1 = nullptr;
    TColumn* StringColumn1 = nullptr;
    TColumn* FloatColumn2 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    TClickImage* Image5 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* MenuItem1 = nullptr;
    QTabWidget* TabControl1 = nullptr;
    QWidget* TabItem1 = nullptr;
    QWidget* TabItem2 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;
    TImageList* ImageList1 = nullptr;

    // Front page
    QPushButton* Button6 = nullptr;
    TRectangle* Rectangle1 = nullptr;
    TImage* Image1 = nullptr;
    TImage* Image2 = nullptr;
    TTrackBar* TrackBar2 = nullptr;
    // Side page
    QPushButton* Button7 = nullptr;
    QPushButton* Button5 = nullptr;
    TRectangle* Rectangle2 = nullptr;
    TImage* Image4 = nullptr;
    TImage* Image3 = nullptr;
    TTrackBar* TrackBar1 = nullptr;

    // Placing landmarks
    TLoupe* Loupe = nullptr;
    QPushButton* ButtonAuto = nullptr;
    QAction* ActionUndo = nullptr;
    QAction* ActionRedo = nullptr;

    QString TekstasA1;

private:
    std::array<TSelectionPoint*, 28> m_front{};
    std::array<TSelectionPoint*, 17> m_side{};
    QHash<QString, TLabel*> m_labels;
    std::array<veidora::TPointF, 28> m_P{};
    std::array<veidora::TPointF, 17> m_S{};
    veidora::TraitCodes m_codes{};
    TApie* m_apie = nullptr;
    GripHistory* m_history = nullptr;
    LandmarkPage* m_frontPage = nullptr;
    LandmarkPage* m_sidePage = nullptr;
    AutoPlacement* m_autoPlacement = nullptr;
    PhotoLoader* m_photoLoader = nullptr;
};
