#include "veidora_window.hpp"

#include "about_window.hpp"
#include "accessibility.hpp"
#include "click_image.hpp"
#include "controls.hpp"
#include "error_handler.hpp"
#include "front_labels.hpp"
#include "front_measurement.hpp"
#include "grip_history.hpp"
#include "keyboard.hpp"
#include "matrix_label.hpp"
#include "photo.hpp"
#include "photo_loader.hpp"
#include "ranking.hpp"
#include "sample_art.hpp"
#include "selection_point.hpp"
#include "side_labels.hpp"
#include "side_measurement.hpp"
#include "string_grid.hpp"
#include "tab_control.hpp"

#include <QCloseEvent>
#include <QCursor>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include <cmath>

using namespace veidora;
using veidora::ui::guarded;
using veidora::ui::UserError;

const char* const TVeidora::kPhotoFilter =
    "Image files (*.jpg, *.jpeg, *.png, *.gif, *.bmp) | *.jpg; *.jpeg; *.png; *.gif; *.bmp";

namespace {

// Switching a running timer on again must neither restart nor double it.
void setTimerEnabled(QTimer* timer, bool enabled) {
    if (enabled && !timer->isActive())
        timer->start();
    else if (!enabled)
        timer->stop();
}

template <class T> T* named(T* w, const char* name) {
    w->setObjectName(QLatin1String(name));
    return w;
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
    setWindowTitle(QStringLiteral("Programa \"Veidora\""));
    setWindowIcon(SampleArt::icon(QStringLiteral(":/icons/app.svg")));
    buildShell();
    buildFrontPage();
    buildSidePage();
    buildPlacementAids();
    m_photoLoader = new PhotoLoader(this);
    resize(700, 798);
    FormCreate();
    m_apie = new TApie(this);
    m_apie->hide();
    new KeyboardAccess(this, m_apie);
    AccessibleNames::describe(*this);
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
    StringGrid1->addColumn(FloatColumn1, 25);
    StringGrid1->addColumn(StringColumn1, 95);
    StringGrid1->addColumn(FloatColumn2, 63);
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
    MenuItem1 = named(PopupMenu1->addAction(QStringLiteral("Apie")), "MenuItem1");

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
    on(MenuItem1, &QAction::triggered, [this] { MenuItem1Click(); });
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

void TVeidora::FormCreate() {
    for (TTrackBar* bar : {TrackBar1, TrackBar2}) {
        bar->setMin(-20);
        bar->setMax(20);
        bar->setValue(0);
    }
}

char TVeidora::decimalSeparator() const {
    const QString point = QLocale().decimalPoint();
    return point.size() == 1 && point[0].unicode() < 128 ? static_cast<char>(point[0].unicode())
                                                         : '.';
}

TSelectionPoint* TVeidora::SelectionPoint(int n) const {
    if (n >= 1 && n <= 28)
        return m_front[static_cast<std::size_t>(n - 1)];
    if (n >= 101 && n <= 117)
        return m_side[static_cast<std::size_t>(n - 101)];
    return nullptr;
}

TLabel* TVeidora::label(const QString& name) const {
    return m_labels.value(name, nullptr);
}

// --- photos ---

QString TVeidora::qtNameFilter(const QString& filter) {
    // "description | *.a; *.b" -> "description (*.a *.b)"; the details are hidden in the dialog,
    // so the user sees the description as written.
    const int bar = filter.indexOf(QLatin1Char('|'));
    if (bar < 0)
        return filter;
    const QString description = filter.left(bar).trimmed();
    QStringList patterns = filter.mid(bar + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString& p : patterns)
        p = p.trimmed();
    return description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
}

void TVeidora::Button1Click() {
    for (QWidget* page : {TabItem1, TabItem2}) {
        if (TabControl1->currentWidget() != page)
            continue;
        QFileDialog dialog(this);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setOption(QFileDialog::HideNameFilterDetails);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setNameFilter(qtNameFilter(QLatin1String(kPhotoFilter)));
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
            TImage* target = page == TabItem1 ? Image1 : Image4;
            m_photoLoader->load(target, dialog.selectedFiles().constFirst(), target->decodeBound());
        }
    }
}

void TVeidora::loadPhotoIntoCurrentPage(const QString& path) {
    TImage* target = TabControl1->currentWidget() == TabItem1 ? Image1 : Image4;
    auto loaded = veidora::ui::loadPhoto(path, target->decodeBound());
    if (loaded.image.isNull())
        throw UserError(loaded.error);
    target->setBitmap(loaded.image); // the tilt stays with the control, a mirroring does not
}

// --- banner and menu ---

void TVeidora::Timer1Timer() {
    const QList<uint> text = MatrixLabel1->Text().toUcs4();
    if (text.size() < 2)
        return;
    QList<uint> turned = text.mid(1);
    turned.append(text.front());
    MatrixLabel1->setText(
        QString::fromUcs4(reinterpret_cast<const char32_t*>(turned.constData()), turned.size()));
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

namespace {

// The landmark copies the grips give when their rectangle paints.
template <std::size_t N>
std::array<veidora::TPointF, N> gripPlaces(const std::array<TSelectionPoint*, N>& grips) {
    std::array<veidora::TPointF, N> places{};
    for (std::size_t i = 0; i < N; ++i) {
        const QPointF p = grips[i]->Position();
        places[i] = {static_cast<float>(p.x()), static_cast<float>(p.y())};
    }
    return places;
}

} // namespace

void TVeidora::Button2Click() {
    const int front = Image1->BitmapWidth();
    const int side = Image4->BitmapWidth();
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
    std::vector<TSelectionPoint*> grips(m_front.begin(), m_front.end());
    grips.insert(grips.end(), m_side.begin(), m_side.end());
    m_history->record(QStringLiteral("Demonstracija"), grips, [this] {
        AtstatymasPriekis();
        AtstatymasSonas();
    });
    // The demonstration measures the reset places, not those of the last paint.
    copyFrontLandmarks();
    copySideLandmarks();
    pradzia();
}

void TVeidora::pradzia() {
    // Both pages are checked before anything is shown: a page that cannot be measured leaves
    // the last result whole instead of half replaced. The side is checked at the places its
    // paint will copy before the second step measures them.
    for (const std::string& error : {measureFront(m_P, decimalSeparator()).error,
                                     measureSide(gripPlaces(m_side), decimalSeparator()).error})
        if (!error.empty())
            throw UserError(QString::fromStdString(error));
    TabControl1->setCurrentWidget(TabItem1);
    KoordinatesPriekis();
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

void TVeidora::showMeasurement(const auto& measurement, const auto& table) {
    if (!measurement.ok())
        throw UserError(QString::fromStdString(measurement.error));
    for (const auto& row : table)
        if (TLabel* target = label(QLatin1String(row.label.name)))
            target->setText(QString::fromStdString(measurement.text(row.figure)));
    setCodes(m_codes, measurement.codes);
}

void TVeidora::KoordinatesPriekis() {
    showMeasurement(measureFront(m_P, decimalSeparator()), kFrontFigureLabels);
}

void TVeidora::KoordinatesSonas() {
    showMeasurement(measureSide(m_S, decimalSeparator()), kSideFigureLabels);
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

// --- landmarks ---

void TVeidora::copyFrontLandmarks() {
    m_P = gripPlaces(m_front);
}

void TVeidora::copySideLandmarks() {
    m_S = gripPlaces(m_side);
}

void TVeidora::Rectangle1Paint() {
    copyFrontLandmarks();
}
void TVeidora::Rectangle2Paint() {
    copySideLandmarks();
}

void TVeidora::Button6Click() {
    m_history->record(QStringLiteral("Atstatymas"), {m_front.begin(), m_front.end()},
                      [this] { AtstatymasPriekis(); });
}

void TVeidora::Button7Click() {
    m_history->record(QStringLiteral("Atstatymas"), {m_side.begin(), m_side.end()},
                      [this] { AtstatymasSonas(); });
}

void TVeidora::AtstatymasPriekis() {
    for (std::size_t i = 0; i < m_front.size(); ++i)
        m_front[i]->setPosition({kFrontDefaults[i].X, kFrontDefaults[i].Y});
}

void TVeidora::AtstatymasSonas() {
    for (std::size_t i = 0; i < m_side.size(); ++i)
        m_side[i]->setPosition({kSideDefaults[i].X, kSideDefaults[i].Y});
}

void TVeidora::SelectionPoint2Track(TSelectionPoint*, qreal, qreal) {
    Rectangle1->update();
}

// --- photo corrections ---

void TVeidora::TrackBar2Change() {
    const int degrees = static_cast<int>(std::trunc(TrackBar2->Value()));
    label(QStringLiteral("Label127"))->setText(QString::number(degrees));
    Image1->setRotationAngle(label(QStringLiteral("Label127"))->text().toInt());
}

void TVeidora::TrackBar1Change() {
    const int degrees = static_cast<int>(std::trunc(TrackBar1->Value()));
    label(QStringLiteral("Label124"))->setText(QString::number(degrees));
    Image4->setRotationAngle(label(QStringLiteral("Label124"))->text().toInt());
}

void TVeidora::Button5Click() {
    Image4->mirror();
}
