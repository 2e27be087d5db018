#include "about_window.hpp"

#include "application.hpp"
#include "click_image.hpp"
#include "error_handler.hpp"
#include "named.hpp"

#include <QDesktopServices>
#include <QLabel>
#include <QPlainTextEdit>
#include <QToolButton>

using veidora::ui::named;

namespace {

QWidget* filled(QWidget* parent, const char* name, const QColor& fill) {
    auto* w = named(new QWidget(parent), name);
    w->setAutoFillBackground(true);
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, fill);
    w->setPalette(pal);
    return w;
}

QToolButton* link(QWidget* parent, const char* name, const QString& caption) {
    auto* b = named(new QToolButton(parent), name);
    b->setText(caption);
    b->setAutoRaise(true);
    b->setCursor(Qt::PointingHandCursor);
    b->setStyleSheet(QStringLiteral("QToolButton { color: #F5F5F5; border: none; padding: 0; "
                                    "text-align: left; }"
                                    "QToolButton:hover { text-decoration: underline; }"));
    return b;
}

} // namespace

TApie::TApie(QWidget* owner) : QWidget(owner, Qt::Window) {
    using namespace veidora::ui;
    setObjectName(QStringLiteral("Apie"));
    setWindowTitle(QStringLiteral("Apie"));
    setAttribute(Qt::WA_QuitOnClose, false);
    setFont(veidora::ui::programFont());
    resize(400, 267);
}

void TApie::setVisible(bool visible) {
    if (visible && !Panel1)
        buildContents();
    QWidget::setVisible(visible);
}

void TApie::buildContents() {
    using namespace veidora::ui;
    Panel2 = named(new QWidget(this), "Panel2");
    Rectangle2 = filled(Panel2, "Rectangle2", Qt::white);
    auto* icon = new TClickImage(QStringLiteral(":/icons/app.svg"), Panel2);
    icon->setGeometry(32, 40, 64, 64);
    Label1 = named(new QLabel(QString::fromUtf8(veidora::ui::kProgramTitle), Panel2), "Label1");
    Label1->setGeometry(128, 32, 169, 17);
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);
    Label2 = named(
        new QLabel(QStringLiteral("Versija: ") + QLatin1String(veidora::ui::kVersion), Panel2),
        "Label2");
    Label2->setGeometry(128, 56, 120, 17);
    Label3 =
        named(new QLabel(QStringLiteral("Programos autorius: ") + QLatin1String(kAuthor), Panel2),
              "Label3");
    Label3->setGeometry(128, 80, 217, 17);
    Memo1 = named(new QPlainTextEdit(Panel2), "Memo1");
    Memo1->setPlainText(QStringLiteral("Programa yra skirta nustatyti genetiškai paveldėtus tipus, "
                                       "nepriklausomai nuo lyties ar rasės. "));
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setGeometry(128, 104, 201, 65);
    // Opening the window shows no cursor in the text; a click still lets the user type in it.
    Memo1->setFocusPolicy(Qt::ClickFocus);
    Label4 = named(
        new QLabel(QStringLiteral("Rašykite ir klauskite: ") + QLatin1String(kContact), Panel2),
        "Label4");
    Label4->setGeometry(128, 176, 225, 17);
    Label4->setTextInteractionFlags(Qt::TextSelectableByMouse);

    Panel1 = named(new QWidget(this), "Panel1");
    Rectangle1 = filled(Panel1, "Rectangle1", Qt::black);
    Image1 = named(new TClickImage(QStringLiteral(":/icons/logo.svg"), Panel1), "Image1");
    Image1->setGeometry(16, 8, 50, 50);
    SpeedButton1 = link(Panel1, "SpeedButton1", QLatin1String(kSiteHost));
    SpeedButton1->setGeometry(88, 13, 137, 17);
    SpeedButton2 = link(Panel1, "SpeedButton2", QLatin1String(kForumHost));
    SpeedButton2->setGeometry(92, 35, 145, 20);
    Image2 = named(new TClickImage(QStringLiteral(":/icons/social.svg"), Panel1), "Image2");
    Image2->setGeometry(312, 8, 50, 50);
    Image2->setCursor(Qt::PointingHandCursor);

    connect(SpeedButton1, &QToolButton::clicked, this,
            [this] { guarded(this, [&] { SpeedButton1Click(); }); });
    connect(SpeedButton2, &QToolButton::clicked, this,
            [this] { guarded(this, [&] { SpeedButton2Click(); }); });
    connect(Image2, &TClickImage::Clicked, this, [this] { guarded(this, [&] { Image2Click(); }); });
    layoutPanels();
}

// A browser that cannot be started is not reported: the window simply stays as it is.
void TApie::SpeedButton1Click() {
    QDesktopServices::openUrl(veidora::ui::kSiteUrl);
}
void TApie::SpeedButton2Click() {
    QDesktopServices::openUrl(veidora::ui::kForumUrl);
}
void TApie::Image2Click() {
    QDesktopServices::openUrl(veidora::ui::kSocialUrl);
}

void TApie::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (Panel1)
        layoutPanels();
}

void TApie::layoutPanels() {
    // The lower panel keeps its height at the bottom; the upper one takes the rest.
    Panel2->setGeometry(0, 0, width(), std::max(0, height() - 63));
    Panel1->setGeometry(0, height() - 65, width(), 65);
    Panel1->raise();
    Rectangle2->setGeometry(Panel2->rect());
    Rectangle1->setGeometry(Panel1->rect());
}
