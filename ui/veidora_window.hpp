#pragma once

#include "error_handler.hpp"
#include "types.hpp"

#include <QIcon>
#include <QWidget>

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
class FacePage;
class GripHistory;
class PhotoLoader;
class TApie;
class TClickImage;
class TColumn;
class TLabel;
class TLoupe;
class TMatrixLabel;
class TSelectionPoint;
class TStringGrid;
class VerdictMarks;

// The two 32 x 32 button icons.
class TImageList : public QObject {
    Q_OBJECT
public:
    explicit TImageList(QObject* parent);
    QIcon icon(int index) const;
};

// The main window: the shell (banner, result table, buttons, menu, two timers, status bar),
// the front and side pages, and the determination that runs across them.
class TVeidora : public QWidget {
    Q_OBJECT
public:
    explicit TVeidora(QWidget* parent = nullptr);
    ~TVeidora() override;

    FacePage* front() const { return m_front; }
    FacePage* side() const { return m_side; }

    // Across both pages: a grip by its number (1..28 front, 101..117 side), a label by its
    // object name, a landmark copy as of its rectangle's last paint (1-based).
    TSelectionPoint* SelectionPoint(int n) const;
    TLabel* label(const QString& name) const;
    veidora::TPointF P(int n) const;
    veidora::TPointF S(int n) const;

    const veidora::TraitCodes& codes() const { return m_codes; }
    // What the last click found missing ("iš priekio", ...), empty when both photos were open.
    const QString& missingText() const { return TekstasA1; }

    TApie* Apie() const { return m_apie; }
    GripHistory* history() const { return m_history; }
    TLoupe* loupe() const { return m_loupe; }
    PhotoLoader* photoLoader() const { return m_photoLoader; }
    // "Rasti taškus" on the front and on the side page; null when built without.
    AutoPlacement* autoPlacement() const { return m_autoPlacement; }
    AutoPlacement* sidePlacement() const { return m_sidePlacement; }

    // Loads a photo file into the current page's photo control at once (the dialog reads it
    // in the background instead); throws the error box's text.
    void loadPhotoIntoCurrentPage(const QString& path);

    static QString confirmationText(const QString& missing);
    static QString openingText(); // the banner's text before any determination

    // The shell's controls, under the object names that tests and screen-reader scripts use.
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
    QPushButton* ButtonAuto = nullptr;     // "Rasti taškus" on the front page, when built with it
    QPushButton* ButtonAutoSide = nullptr; // the same on the side page

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildShell();
    void buildPages();

    // Event handlers and steps, by the names tests and screen readers know them. The pages
    // wire their own controls; the page handlers here are one-line calls into them.
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
    void KoordinatesPriekis();
    void KoordinatesSonas();
    void Rectangle1Paint();
    void Rectangle2Paint();
    void AtstatymasPriekis();
    void AtstatymasSonas();
    void Button5Click();
    void TrackBar1Change();
    void TrackBar2Change();
    void SelectionPoint2Track();
    void Image5Click();
    void MenuItem1Click();

    static constexpr int kYes = 6;
    static constexpr int kNo = 7;

    char decimalSeparator() const;
    void clearRanking(); // the table and the banner as before any determination

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

    QString TekstasA1;
    veidora::TraitCodes m_codes{};
    FacePage* m_front = nullptr;
    FacePage* m_side = nullptr;
    TApie* m_apie = nullptr;
    GripHistory* m_history = nullptr;
    TLoupe* m_loupe = nullptr;
    AutoPlacement* m_autoPlacement = nullptr;
    AutoPlacement* m_sidePlacement = nullptr;
    PhotoLoader* m_photoLoader = nullptr;
    VerdictMarks* m_verdict = nullptr; // how firmly the last result stands
};
