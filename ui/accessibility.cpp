#include "accessibility.hpp"

#include "about_window.hpp"
#include "click_image.hpp"
#include "controls.hpp"
#include "matrix_label.hpp"
#include "string_grid.hpp"
#include "veidora_window.hpp"

#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QToolButton>

#include <cmath>

namespace {

// Labels built with a placeholder figure; every other label on a page is a caption.
bool showsFigure(const TLabel* label) {
    return label->text() == QLatin1String("0") || label->text() == QLatin1String("...");
}

// "Skruostų ilgis % :" is read as "Skruostų ilgis %".
QString spoken(QString caption) {
    caption = caption.trimmed();
    while (caption.endsWith(QLatin1Char(':')))
        caption.chop(1);
    return caption.trimmed();
}

// A figure belongs to the nearest caption to its left on the same row (the rows of one page
// lie at least 15 units apart, the figures of one row within a few units of its caption).
void nameFigures(QWidget* page) {
    const QList<TLabel*> labels = page->findChildren<TLabel*>(Qt::FindDirectChildrenOnly);
    QList<const TLabel*> captions;
    for (const TLabel* l : labels)
        if (!showsFigure(l))
            captions << l;
    for (TLabel* figure : labels) {
        if (!showsFigure(figure))
            continue;
        const TLabel* best = nullptr;
        for (const TLabel* c : captions) {
            if (c->x() >= figure->x() || std::abs(c->y() - figure->y()) > 7)
                continue;
            if (!best || c->x() > best->x())
                best = c;
        }
        if (best)
            figure->setCaption(spoken(best->text()));
    }
}

} // namespace

void AccessibleNames::describe(TVeidora& w) {
    w.SpeedButton1->setAccessibleName(QStringLiteral("Meniu"));
    w.Image5->setAccessibleName(QStringLiteral("Meniu"));
    w.StringGrid1->setAccessibleName(QStringLiteral("Genotipų reitingas"));
    w.MatrixLabel1->setAccessibleName(QStringLiteral("Švieslentė"));
    w.TabControl1->setAccessibleName(QStringLiteral("Nuotraukos"));
    w.Rectangle1->setAccessibleName(QStringLiteral("Priekio nuotrauka ir pavyzdys"));
    w.Rectangle2->setAccessibleName(QStringLiteral("Šono nuotrauka ir pavyzdys"));
    // Buttons are named by their own text; the track bars by the caption above them.
    w.TrackBar2->setAccessibleName(w.label(QStringLiteral("Label126"))->text());
    w.TrackBar1->setAccessibleName(w.label(QStringLiteral("Label125"))->text());
    nameFigures(w.TabItem1);
    nameFigures(w.TabItem2);

    // The About window's pictures: the logo, and the one that opens the social network.
    const std::pair<const char*, QString> about[] = {
        {"Image1", QStringLiteral("Veidora")},
        {"Image2", QStringLiteral("Socialinis tinklas")},
        {"Memo1", QStringLiteral("Apie programą")},
    };
    for (const auto& [name, spoken] : about)
        if (auto* c = w.Apie()->findChild<QWidget*>(QLatin1String(name)))
            c->setAccessibleName(spoken);
}
