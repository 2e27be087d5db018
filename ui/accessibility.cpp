#include "accessibility.hpp"

#include "controls.hpp"
#include "face_page.hpp"

#include <QLabel>

#include <utility>

namespace {

// "Skruostų ilgis % :" is read as "Skruostų ilgis %".
QString spoken(QString caption) {
    caption = caption.trimmed();
    while (caption.endsWith(QLatin1Char(':')))
        caption.chop(1);
    return caption.trimmed();
}

} // namespace

PagesForScreenReaders::PagesForScreenReaders(std::vector<FacePage*> pages, QObject* parent)
    : QObject(parent), m_pages(std::move(pages)) {
    if (QAccessible::isActive())
        buildAll();
    else
        QAccessible::installActivationObserver(this);
}

PagesForScreenReaders::~PagesForScreenReaders() {
    QAccessible::removeActivationObserver(this);
}

void PagesForScreenReaders::accessibilityActiveChanged(bool active) {
    if (active)
        buildAll();
}

void PagesForScreenReaders::buildAll() {
    for (FacePage* page : m_pages)
        page->ensureBuilt();
}

void AccessibleNames::describe(const Targets& t) {
    t.menuButton->setAccessibleName(QStringLiteral("Meniu"));
    t.menuImage->setAccessibleName(QStringLiteral("Meniu"));
    t.table->setAccessibleName(QStringLiteral("Genotipų reitingas"));
    t.banner->setAccessibleName(QStringLiteral("Švieslentė"));
    t.tabs->setAccessibleName(QStringLiteral("Nuotraukos"));
    const QString rectangles[] = {QStringLiteral("Priekio nuotrauka ir pavyzdys"),
                                  QStringLiteral("Šono nuotrauka ir pavyzdys")};
    for (std::size_t i = 0; i < t.pages.size() && i < std::size(rectangles); ++i) {
        FacePage* page = t.pages[i];
        page->whenBuilt([page, rectangle = rectangles[i]] {
            page->rectangle()->setAccessibleName(rectangle);
            // The track bar by the caption above it, as its figure.
            page->tilt()->setAccessibleName(page->tiltCaption());
            for (TLabel* l : page->labels())
                if (const QString caption = page->captionOf(l); !caption.isEmpty())
                    l->setCaption(spoken(caption));
        });
    }
    new PagesForScreenReaders(t.pages, t.tabs);

    // The About window's pictures: the logo, and the one that opens the social network.
    const std::pair<const char*, QString> about[] = {
        {"Image1", QStringLiteral("Veidora")},
        {"Image2", QStringLiteral("Socialinis tinklas")},
        {"Memo1", QStringLiteral("Apie programą")},
    };
    for (const auto& [name, spokenName] : about)
        if (auto* c = t.about->findChild<QWidget*>(QLatin1String(name)))
            c->setAccessibleName(spokenName);
}
