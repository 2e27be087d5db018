#include "photo_paste.hpp"

#include "face_page.hpp"
#include "photo_source.hpp"

#include <QClipboard>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMimeData>
#include <QTabWidget>

PhotoPaste::PhotoPaste(QTabWidget* tabs, PhotoLoader* loader, std::vector<FacePage*> pages,
                       QObject* parent)
    : QObject(parent), m_tabs(tabs), m_loader(loader), m_pages(std::move(pages)) {}

QString PhotoPaste::dataName() {
    return QStringLiteral("įklijuota nuotrauka");
}

QString PhotoPaste::nothingText() {
    return QStringLiteral("Iškarpinėje nėra nuotraukos. Nukopijuokite nuotrauką arba jos failą "
                          "ir įklijuokite dar kartą.");
}

void PhotoPaste::paste() {
    FacePage* page = nullptr;
    for (FacePage* p : m_pages)
        if (p->tab() == m_tabs->currentWidget())
            page = p;
    if (!page)
        return;
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    const PhotoSource source = mime ? PhotoSource::from(*mime, dataName()) : PhotoSource();
    if (source.kind == PhotoSource::Nothing) {
        QMessageBox box(QMessageBox::Information, QStringLiteral("Įklijuoti nuotrauką"),
                        nothingText(), QMessageBox::Ok, m_tabs->window());
        box.setObjectName(QStringLiteral("NothingToPasteBox"));
        box.exec();
        return;
    }
    source.open(*m_loader, *page);
}
