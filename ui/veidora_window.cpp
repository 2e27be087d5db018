#include "veidora_window.hpp"

#include "about_window.hpp"
#include "accessibility.hpp"
#include "application.hpp"
#include "click_image.hpp"
#include "controls.hpp"
#include "face_page.hpp"
#include "front_measurement.hpp"
#include "grip_history.hpp"
#include "keyboard.hpp"
#include "landmark_page.hpp"
#include "landmark_set.hpp"
#include "loupe.hpp"
#include "matrix_label.hpp"
#include "named.hpp"
#include "photo.hpp"
#include "photo_dialog.hpp"
#include "photo_drop.hpp"
#include "photo_loader.hpp"
#include "product.hpp"
#include "ranking.hpp"
#include "sample_art.hpp"
#include "selection_point.hpp"
#include "side_measurement.hpp"
#include "string_grid.hpp"
#include "tab_control.hpp"
#include "verdict_marks.hpp"
#include "window_actions.hpp"

#include <QCloseEvent>
#include <QCursor>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

using namespace veidora;
using veidora::ui::guarded;
using veidora::ui::named;
using veidora::ui::UserError;

namespace {

// Switching a running timer on again must neither restart nor double it.
void setTimerEnabled(QTimer* timer, bool enabled) {
    if (enabled && !timer->isActive())
        timer->start();
    else if (!enabled)
        timer->stop();
}

// The front's figures in its labels and its codes among the run's, or its error.
void showFront(FacePage& page, TraitCodes& codes, const FrontMeasurement& m) {
    if (!m.ok())
        throw UserError(QString::fromStdString(m.error));
    page.showFigures(m.texts);
    setCodes(codes, m.codes);
}

} // namespace

TImageList::TImageList(QObject* parent) : QObject(parent) {}

QIcon TImageList::icon(int index) const {
    return SampleArt::icon(index == 0 ? QStringLiteral(":/icons/open.svg")
                                      : QStringLiteral(":/icons/scan.svg"));
}

TVeidora::TVeidora(QWidget* parent) : QWidget(parent) {
    veidora::ui::initResources();
    setFont(veidora::ui::programFont());
    setObjectName(QStringLiteral("Veidora"));
    setWindowTitle(QString::fromUtf8(veidora::ui::kProgramTitle));
    setWindowIcon(SampleArt::icon(QStringLiteral(":/icons/app.svg")));
    buildShell();
    buildPages();
    m_photoLoader = new PhotoLoader(this);
    resize(700, 798);
    FormCreate();
    m_apie = new TApie(this);
    m_apie->hide();

    const WindowActions actions =
        WindowActions::build({this, PopupMenu1, TabControl1, Button1, m_apie, m_history, m_front,
                              m_side, m_photoLoader});
    new PhotoDrop(m_photoLoader, {m_front, m_side}, this);
    MenuItem1 = actions.about;
    ButtonAuto = actions.findFront;
    m_autoPlacement = actions.placeFront;
    ButtonAutoSide = actions.findSide;
    m_sidePlacement = actions.placeSide;
    on(MenuItem1, &QAction::triggered, [this] { MenuItem1Click(); });
    m_front->landmarks()->refresh();

    new KeyboardAccess({this,
                        {Button1, Button2, SpeedButton1, TabControl1},
                        {Button1, Button2},
                        {m_front, m_side},
                        SpeedButton1,
                        {MatrixLabel1, StringGrid1, Button1, Button2},
                        TabControl1,
                        StatusBar1},
                       this);
    AccessibleNames::describe(
        {SpeedButton1, Image5, StringGrid1, MatrixLabel1, TabControl1, {m_front, m_side}, m_apie});
}

TVeidora::~TVeidora() = default;

void TVeidora::buildShell() {
    MatrixLabel1 = named(new TMatrixLabel(this), "MatrixLabel1");
    MatrixLabel1->move(24, 8);
    MatrixLabel1->setText(openingText());

    StringGrid1 = named(new TStringGrid(100, this), "StringGrid1");
    StringGrid1->setGeometry(352, 8, 209, 121);
    FloatColumn1 = named(new TColumn(StringGrid1, 0), "FloatColumn1");
    StringColumn1 = named(new TColumn(StringGrid1, -1), "StringColumn1");
    FloatColumn2 = named(new TColumn(StringGrid1, 2), "FloatColumn2");
    StringGrid1->setColumns({{FloatColumn1, 25}, {StringColumn1, 95}, {FloatColumn2, 63}});
    StringGrid1->OnDrawColumnCell = [this](QPainter* canvas, TColumn* column, const QRect& bounds,
                                           int row, const std::function<void()>& drawDefault) {
        StringGrid1DrawColumnCell(canvas, column, bounds, row, drawDefault);
    };

    ImageList1 = new TImageList(this);
    ImageList1->setObjectName(QStringLiteral("ImageList1"));

    Button1 = named(new QPushButton(QStringLiteral("Nuotrauka"), this), "Button1");
    Button1->setGeometry(24, 80, 89, 33);
    Button1->setIcon(ImageList1->icon(0));
    Button1->setIconSize(QSize(24, 24));
    Button2 = named(new QPushButton(QStringLiteral("Genotipo nustatymas"), this), "Button2");
    Button2->setGeometry(136, 80, 145, 33);
    Button2->setIcon(ImageList1->icon(1));
    Button2->setIconSize(QSize(24, 24));

    auto* tabs = named(new TTabControl(this), "TabControl1");
    TabControl1 = tabs;
    TabItem1 = named(new QWidget, "TabItem1");
    TabItem2 = named(new QWidget, "TabItem2");
    tabs->addTab(TabItem1, SampleArt::icon(QStringLiteral(":/faces/front.svg")),
                 QStringLiteral("Priekis"), QSize(71, 22));
    tabs->addTab(TabItem2, SampleArt::icon(QStringLiteral(":/faces/profile.svg")),
                 QStringLiteral("Šonas"), QSize(68, 22));
    TabControl1->setIconSize(QSize(16, 16));
    TabControl1->setCurrentWidget(TabItem1);

    SpeedButton1 = named(new QToolButton(this), "SpeedButton1");
    SpeedButton1->setAutoRaise(true);
    SpeedButton1->setToolTip(QStringLiteral("Meniu"));
    Image5 = named(new TClickImage(QStringLiteral(":/icons/menu.svg"), SpeedButton1), "Image5");
    Image5->setGeometry(-2, 0, 50, 50);
    Image5->setCursor(Qt::PointingHandCursor);
    PopupMenu1 = named(new QMenu(this), "PopupMenu1");

    StatusBar1 = named(new QStatusBar(this), "StatusBar1");
    StatusBar1->setSizeGripEnabled(true);

    Timer1 = named(new QTimer(this), "Timer1");
    Timer1->setInterval(200);
    Timer2 = named(new QTimer(this), "Timer2");
    Timer2->setInterval(1000);

    on(Button1, &QPushButton::clicked, [this] { Button1Click(); });
    on(Button2, &QPushButton::clicked, [this] { Button2Click(); });
    on(Image5, &TClickImage::Clicked, [this] { Image5Click(); });
    on(SpeedButton1, &QToolButton::clicked, [this] { Image5Click(); });
    on(Timer1, &QTimer::timeout, [this] { Timer1Timer(); });
    on(Timer2, &QTimer::timeout, [this] { Timer2Timer(); });
    Timer1->start();
}

void TVeidora::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // Anchors: the menu button keeps to the top-right corner, the pages grow with the window,
    // the status bar stays docked at the bottom.
    SpeedButton1->setGeometry(width() - 49, 0, 49, 49);
    TabControl1->setGeometry(8, 128, std::max(0, width() - 8 - 21),
                             std::max(0, height() - 128 - 6));
    StatusBar1->setGeometry(0, height() - 22, width(), 22);
    StatusBar1->raise();
}

void TVeidora::closeEvent(QCloseEvent* event) {
    m_apie->close(); // the About window goes with the main one
    event->accept();
}

void TVeidora::buildPages() {
    m_loupe = new TLoupe(this);
    m_history = new GripHistory(this);
    const FacePage::Shared shared{TabControl1, StatusBar1, m_loupe, m_history};
    // The side page is built when it is first needed, which saves start-up its share.
    m_front = new FacePage(FacePage::frontDesign(), TabItem1, shared, this);
    m_front->ensureBuilt();
    m_side = new FacePage(FacePage::sideDesign(), TabItem2, shared, this);
    m_loupe->raise(); // over the pages

    m_history->setShowGrips([this](const std::vector<LandmarkSet*>& sets) {
        std::vector<FacePage*> pages;
        for (LandmarkSet* set : sets)
            pages.push_back(set == m_front->landmarkSet() ? m_front : m_side);
        FacePage::bringIntoView(TabControl1, pages);
    });
    m_history->setBusy([this] {
        for (const FacePage* page : {m_front, m_side})
            if (page->isBuilt() && page->landmarks()->dragged())
                return true;
        return false;
    });
    m_verdict = new VerdictMarks(m_front, m_side, StatusBar1, this);
}

void TVeidora::FormCreate() {
    for (FacePage* page : {m_side, m_front})
        page->setTiltRange(-20, 20, 0);
}

char TVeidora::decimalSeparator() const {
    const QString point = QLocale().decimalPoint();
    return point.size() == 1 && point[0].unicode() < 128 ? static_cast<char>(point[0].unicode())
                                                         : '.';
}

TSelectionPoint* TVeidora::SelectionPoint(int n) const {
    TSelectionPoint* g = m_front->grip(n);
    return g ? g : m_side->grip(n);
}

TLabel* TVeidora::label(const QString& name) const {
    TLabel* l = m_front->label(name);
    return l ? l : m_side->label(name);
}

veidora::TPointF TVeidora::P(int n) const {
    return m_front->copies().at(static_cast<std::size_t>(n - 1));
}

veidora::TPointF TVeidora::S(int n) const {
    return m_side->copies().at(static_cast<std::size_t>(n - 1));
}

// --- photos ---

void TVeidora::Button1Click() {
    FacePage* page = TabControl1->currentWidget() == TabItem1 ? m_front : m_side;
    const QString path = PhotoDialog::choose(this);
    if (!path.isEmpty())
        m_photoLoader->load(page->photo(), path, page->photo()->decodeBound());
}

void TVeidora::loadPhotoIntoCurrentPage(const QString& path) {
    TImage* target = TabControl1->currentWidget() == TabItem1 ? m_front->photo() : m_side->photo();
    auto loaded = veidora::ui::loadPhoto(path, target->decodeBound());
    if (loaded.image.isNull())
        throw UserError(loaded.error);
    target->setBitmap(loaded.image); // the tilt stays with the control, a mirroring does not
}

// --- banner and menu ---

void TVeidora::Timer1Timer() {
    MatrixLabel1->turnOneCharacter();
}

void TVeidora::Image5Click() {
    PopupMenu1->popup(QCursor::pos());
}

void TVeidora::MenuItem1Click() {
    m_apie->show();
    m_apie->raise();
    m_apie->activateWindow();
}

// --- determination ---

QString TVeidora::confirmationText(const QString& missing) {
    return QStringLiteral("Neatidaryta nuotrauka ") + missing +
           QStringLiteral(" (nustatymui reikalinga nuotrauka ") + missing +
           QStringLiteral("). \"YES\" Atstatomi taškai, jungiamas „demo“ rėžimas, \"NO\" nieko "
                          "nekeisti");
}

void TVeidora::Button2Click() {
    const int front = m_front->photo()->BitmapWidth();
    const int side = m_side->photo()->BitmapWidth();
    TekstasA1.clear();
    if (front == 0 && side > 0)
        TekstasA1 = QStringLiteral("iš priekio");
    else if (front > 0 && side == 0)
        TekstasA1 = QStringLiteral("iš šono");
    else if (front == 0 && side == 0)
        TekstasA1 = QStringLiteral("iš priekio ir iš šono");

    if (front == 0 || side == 0) {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Patvirtinimas"),
                        confirmationText(TekstasA1), QMessageBox::Yes | QMessageBox::No, this);
        box.setObjectName(QStringLiteral("ConfirmationDialog"));
        box.setDefaultButton(QMessageBox::No);
        const int answer = box.exec() == QMessageBox::Yes ? kYes : kNo;
        DialogAnswer(answer);
    }
    if (front > 0 && side > 0)
        pradzia();
}

void TVeidora::DialogAnswer(int modalResult) {
    if (modalResult != kYes)
        return;
    m_history->record(QStringLiteral("Demonstracija"),
                      {m_front->landmarkSet(), m_side->landmarkSet()}, [this] {
                          AtstatymasPriekis();
                          AtstatymasSonas();
                      });
    // The demonstration measures the reset places, not those of the last paint.
    m_front->copyGrips();
    m_side->copyGrips();
    pradzia();
}

void TVeidora::pradzia() {
    // Both pages are checked before anything is shown: a page that cannot be measured leaves
    // the last result whole instead of half replaced. The side is checked at the places its
    // paint will copy (the set as it is now) before the second step measures them; the front's
    // figures are the ones checked.
    const FrontMeasurement front = measureFront(
        std::span<const TPointF, kFrontLandmarkCount>(m_front->copies()), decimalSeparator());
    const std::string sideError =
        measureSide(std::span<const TPointF, kSideLandmarkCount>(m_side->landmarkSet()->snapshot()),
                    decimalSeparator())
            .error;
    for (const std::string* error : {&front.error, &sideError})
        if (!error->empty())
            throw UserError(QString::fromStdString(*error));
    m_verdict->started();
    TabControl1->setCurrentWidget(TabItem1);
    showFront(*m_front, m_codes, front);
    TabControl1->setCurrentWidget(TabItem2);
    setTimerEnabled(Timer2, true);
}

void TVeidora::Timer2Timer() {
    // One-shot even when the side step fails.
    setTimerEnabled(Timer2, false);
    TabControl1->setCurrentWidget(TabItem2);
    try {
        KoordinatesSonas();
    } catch (...) {
        // The front already shows this run's figures: a ranking left from an earlier run
        // would stand beside figures it was not computed from.
        clearRanking();
        throw;
    }
    NustatymasTipu();
    m_verdict->finished();
}

QString TVeidora::openingText() {
    return QLatin1String(veidora::ui::kSiteHost) + QStringLiteral(" - ");
}

void TVeidora::clearRanking() {
    for (int col = 0; col < 3; ++col) {
        StringGrid1->setHeader(col, QString());
        for (int row = 0; row < 7; ++row)
            StringGrid1->setCell(col, row, QString());
    }
    MatrixLabel1->setText(openingText());
}

void TVeidora::KoordinatesPriekis() {
    showFront(*m_front, m_codes,
              measureFront(std::span<const TPointF, kFrontLandmarkCount>(m_front->copies()),
                           decimalSeparator()));
}

void TVeidora::KoordinatesSonas() {
    const SideMeasurement m = measureSide(
        std::span<const TPointF, kSideLandmarkCount>(m_side->copies()), decimalSeparator());
    if (!m.ok())
        throw UserError(QString::fromStdString(m.error));
    m_side->showFigures(m.texts);
    setCodes(m_codes, m.codes);
}

void TVeidora::NustatymasTipu() {
    const Ranking r = rankGenotypes(m_codes, decimalSeparator());
    for (int col = 0; col < 3; ++col)
        StringGrid1->setHeader(col,
                               QString::fromUtf8(kRankingHeaders[static_cast<std::size_t>(col)]));
    for (int row = 0; row < 7; ++row) {
        const RankRow& rr = r.rows[static_cast<std::size_t>(row)];
        StringGrid1->setCell(0, row, QString::fromStdString(rr.place));
        StringGrid1->setCell(1, row, QString::fromStdString(rr.name));
        StringGrid1->setCell(2, row, QString::fromStdString(rr.score));
    }
    MatrixLabel1->setText(QString::fromStdString(r.banner));
}

void TVeidora::StringGrid1DrawColumnCell(QPainter* Canvas, TColumn*, const QRect& Bounds, int Row,
                                         const std::function<void()>& drawDefault) {
    const QColor colour =
        StringGrid1->cell(0, Row) == QLatin1String("1") ? QColor(0xFF008000u) : QColor(0xFFFF0000u);
    Canvas->fillRect(Bounds.adjusted(-3, -3, 3, 3), colour);
    drawDefault();
}

// --- landmarks and photo corrections: each page wires its own controls; these say which ---

void TVeidora::Rectangle1Paint() {
    m_front->copyGrips();
}

void TVeidora::Rectangle2Paint() {
    m_side->copyGrips();
}

void TVeidora::Button6Click() {
    m_front->resetAsStep();
}

void TVeidora::Button7Click() {
    m_side->resetAsStep();
}

void TVeidora::AtstatymasPriekis() {
    m_front->resetGrips();
}

void TVeidora::AtstatymasSonas() {
    m_side->resetGrips();
}

void TVeidora::SelectionPoint2Track() {
    m_front->rectangle()->update();
}

void TVeidora::TrackBar2Change() {
    m_front->applyTilt();
}

void TVeidora::TrackBar1Change() {
    m_side->applyTilt();
}

void TVeidora::Button5Click() {
    m_side->mirrorPhoto();
}
