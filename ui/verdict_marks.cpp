#include "verdict_marks.hpp"

#include "controls.hpp"
#include "face_page.hpp"
#include "landmark_page.hpp"
#include "selection_point.hpp"
#include "verdict.hpp"

#include <QLocale>
#include <QStatusBar>
#include <utility>

using namespace veidora;

namespace {

// The measurement's separator: the locale's when it is one plain character.
char decimalSeparator() {
    const QString point = QLocale().decimalPoint();
    return point.size() == 1 && point[0].unicode() < 128 ? static_cast<char>(point[0].unicode())
                                                         : '.';
}

} // namespace

VerdictMarks::VerdictMarks(FacePage* front, FacePage* side, QStatusBar* status, QObject* parent)
    : QObject(parent), m_front(front), m_side(side), m_statusBar(status) {
    for (FacePage* page : {front, side})
        page->whenBuilt([this, page] {
            for (TSelectionPoint* grip : page->grips())
                connect(grip, &TSelectionPoint::PositionChanged, this, [this] { clear(); });
        });
}

QColor VerdictMarks::markColour() {
    return QColor(0xB3, 0x40, 0x00); // a deep orange: stands out, and reads well on the page
}

void VerdictMarks::started() {
    clear();
    m_frontMeasured = m_front->copies();
    m_pending = true;
}

void VerdictMarks::finished() {
    if (!std::exchange(m_pending, false) || m_frontMeasured.size() != kFrontLandmarkCount ||
        m_side->copies().size() != kSideLandmarkCount)
        return;
    clear();
    const char sep = decimalSeparator();
    const auto verdict = judge(std::span<const TPointF, kFrontLandmarkCount>(m_frontMeasured),
                               std::span<const TPointF, kSideLandmarkCount>(m_side->copies()), sep);
    if (!verdict)
        return;
    for (const BoundaryCode& b : verdict->boundary) {
        const TraitInfo& t = info(b.trait);
        FacePage* page = t.page == 'P' ? m_front : m_side;
        if (TLabel* label =
                page->label(QString::fromUtf8(t.label.data(), qsizetype(t.label.size()))))
            mark(label, QString::fromStdString(boundaryHint(b, sep)));
    }
    m_status = QString::fromStdString(veidora::statusText(*verdict));
    // As the line that stands in for the count, it comes back after a hint on either page.
    for (FacePage* page : {m_front, m_side})
        page->landmarks()->setActivity(m_status);
    m_statusBar->showMessage(m_status);
}

void VerdictMarks::mark(TLabel* label, const QString& hint) {
    m_marked.push_back({label, label->palette(), label->testAttribute(Qt::WA_SetPalette)});
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, markColour());
    label->setPalette(p);
    label->setToolTip(hint);
    // The screen reader reads the word, then the same hint.
    label->setAccessibleDescription(label->text() + QStringLiteral(". ") + hint);
}

void VerdictMarks::clear() {
    for (const Marked& m : m_marked)
        if (m.label) {
            m.label->setPalette(m.ownPalette ? m.palette : QPalette());
            m.label->setToolTip(QString());
            m.label->setAccessibleDescription(m.label->text());
        }
    m_marked.clear();
    if (!m_status.isEmpty()) {
        m_status.clear();
        for (FacePage* page : {m_front, m_side})
            page->landmarks()->setActivity(QString());
    }
}
