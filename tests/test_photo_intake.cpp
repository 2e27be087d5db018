// Photos come in as on any desktop: dropped on a page from a file manager, or pasted from the
// clipboard. Both take the dialog's way in: its checks, limits, background reading and error
// box, and the page keeps its photo when the new one cannot be read.
#include "face_page.hpp"
#include "photo.hpp"
#include "photo_drop.hpp"
#include "photo_loader.hpp"
#include "photo_paste.hpp"
#include "photo_source.hpp"
#include "ui_test_support.hpp"

#include <QAccessible>
#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QtTest>

#include <memory>

namespace {

QByteArray encoded(const QImage& img, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, format);
    return bytes;
}

QImage filled(QSize size, QColor colour) {
    QImage img(size, QImage::Format_RGB32);
    img.fill(colour);
    return img;
}

// What a drag did: whether the page took it on entering and on moving (the cursor shows that),
// and the action it asked for.
struct Drag {
    bool entered = false;
    bool moved = false;
    bool dropped = false;
    Qt::DropAction action = Qt::IgnoreAction;
};

} // namespace

class PhotoIntakeTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TVeidora> w;
    QTemporaryDir dir;

    FacePage* page(int index) const { return index == 0 ? w->front() : w->side(); }

    void showPage(FacePage* p) {
        w->TabControl1->setCurrentWidget(p->tab());
        QCoreApplication::processEvents();
    }

    QString save(const QString& name, const QImage& img) {
        const QString path = dir.filePath(name);
        [&] { QVERIFY(img.save(path)); }();
        return path;
    }

    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        QFile f(path);
        [&] { QVERIFY(f.open(QIODevice::WriteOnly)); }();
        f.write(bytes);
        return path;
    }

    // The widget Qt hands a drag at `pos` (window coordinates) to: the one under the pointer,
    // or the nearest one above it that takes drops; null when none does.
    QWidget* dropTarget(QPoint pos) const {
        QWidget* widget = w->childAt(pos);
        if (!widget)
            widget = w.get();
        while (widget && !widget->isWindow() && !widget->acceptDrops())
            widget = widget->parentWidget();
        return widget && widget->acceptDrops() ? widget : nullptr;
    }

    // Drags `mime` over the middle of the page's photo and lets go there, with the events Qt
    // sends a widget during a drag and drop.
    Drag drag(FacePage* p, const QMimeData* mime,
              Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction) {
        Drag d;
        TImage* photo = p->photo();
        const QPoint at = photo->parentWidget()->mapTo(w.get(), photo->Box().center());
        QWidget* target = dropTarget(at);
        [&] { QCOMPARE(target, p->tab()); }(); // anywhere on the page, the page takes it
        if (!target)
            return d;
        const QPoint local = target->mapFrom(w.get(), at);
        QDragEnterEvent enter(local, offered, mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        d.entered = enter.isAccepted();
        if (!d.entered) {
            QDragLeaveEvent leave;
            QApplication::sendEvent(target, &leave);
            return d;
        }
        QDragMoveEvent move(local + QPoint(3, 2), offered, mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &move);
        d.moved = move.isAccepted();
        QDropEvent drop(local + QPoint(3, 2), offered, mime, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        d.dropped = drop.isAccepted();
        d.action = drop.dropAction();
        return d;
    }

    // The photo now on `p` before this: red, 80 x 60.
    void openPrevious(FacePage* p) {
        openPhoto(*w, p, filled(QSize(80, 60), Qt::red), dir.filePath(QStringLiteral("was.png")));
    }

    void waitForTheLoad(QSignalSpy& done) {
        QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, kPatienceMs);
        QVERIFY(!w->photoLoader()->isLoading());
    }

    // Ctrl+V, as typed into the window.
    void pressPaste() {
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QTest::keyClick(w.get(), Qt::Key_V, Qt::ControlModifier);
    }

    // Drop or paste: each case has a page, what is offered and what must come of it.
    static void addPhotoCases(bool paste) {
        QTest::addColumn<int>("pageIndex");
        QTest::addColumn<QString>("what");
        QTest::addColumn<bool>("opens");
        for (int p : {0, 1}) {
            const char* on = p == 0 ? "Priekis" : "Šonas";
            const auto row = [&](const char* what, bool opens) {
                QTest::addRow("%s: %s", on, what) << p << QString::fromLatin1(what) << opens;
            };
            row("photo file", true);
            row("text file", false);
            row("cut-off PNG file", false);
            if (paste) {
                row("picture", true);
                row("PNG data", true);
                row("too many pixels", false);
                row("broken PNG data", false);
            } else {
                row("folder", false);
                row("web address", false);
                row("empty PNG data", false);
            }
        }
    }

    // What the case offers, and the name its error box would give.
    std::pair<std::unique_ptr<QMimeData>, QString> offer(const QString& what, const QString& data) {
        auto mime = std::make_unique<QMimeData>();
        const QImage blue = filled(QSize(120, 90), Qt::blue);
        const QByteArray png = encoded(blue, "PNG");
        QString path;
        if (what == QLatin1String("photo file"))
            path = save(QStringLiteral("naujas.png"), blue);
        else if (what == QLatin1String("text file"))
            path = write(QStringLiteral("rastas.jpg"), "ne nuotrauka\n");
        else if (what == QLatin1String("cut-off PNG file"))
            path = write(QStringLiteral("nukirsta.png"), png.left(png.size() / 2));
        else if (what == QLatin1String("folder"))
            path = QDir::cleanPath(dir.path());
        if (!path.isEmpty()) {
            mime->setUrls({QUrl::fromLocalFile(path)});
            return {std::move(mime), path};
        }
        if (what == QLatin1String("web address")) {
            const QString address = QStringLiteral("https://example.invalid/veidas.jpg");
            mime->setUrls({QUrl(address)});
            return {std::move(mime), address};
        }
        if (what == QLatin1String("picture"))
            mime->setImageData(filled(QSize(3000, 2000), Qt::blue)); // larger than the page needs
        else if (what == QLatin1String("too many pixels"))           // one bit each: 25 MB
            mime->setImageData(QImage(20000, 10001, QImage::Format_Mono));
        else if (what == QLatin1String("PNG data"))
            mime->setData(QStringLiteral("image/png"), png);
        else if (what == QLatin1String("empty PNG data"))
            mime->setData(QStringLiteral("image/png"), QByteArray());
        else if (what == QLatin1String("broken PNG data"))
            mime->setData(QStringLiteral("image/png"), png.left(png.size() - 20));
        return {std::move(mime), data};
    }

    // The page shows the new blue photo, read at no more than the page needs; or the error
    // box named it and the page kept its red one. The other page has none either way.
    void expectOutcome(FacePage* p, bool opens, const QString& name, const ErrorRecorder& errors,
                       QSize offeredSize) {
        const QImage shown = p->photo()->Bitmap();
        if (opens) {
            QVERIFY2(errors.messages.isEmpty(), qPrintable(errors.messages.join('\n')));
            const QSize bound = p->photo()->decodeBound();
            QCOMPARE(shown.size(), offeredSize.boundedTo(bound) == offeredSize
                                       ? offeredSize
                                       : offeredSize.scaled(bound, Qt::KeepAspectRatio));
            QCOMPARE(shown.pixelColor(shown.width() / 2, shown.height() / 2), QColor(Qt::blue));
        } else {
            QCOMPARE(errors.messages, QStringList{veidora::ui::loadFailedMessage(name)});
            QCOMPARE(shown.size(), QSize(80, 60));
            QCOMPARE(shown.pixelColor(40, 30), QColor(Qt::red));
        }
        FacePage* other = p == w->front() ? w->side() : w->front();
        QCOMPARE(other->photo()->BitmapWidth(), 0);
    }

private slots:
    void init() {
        w = std::make_unique<TVeidora>();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QGuiApplication::clipboard()->clear();
    }
    void cleanup() {
        QThreadPool::globalInstance()->waitForDone();
        w.reset();
    }

    void aDroppedFileOpensIntoThePageItIsDroppedOn_data() { addPhotoCases(false); }
    void aDroppedFileOpensIntoThePageItIsDroppedOn() {
        QFETCH(int, pageIndex);
        QFETCH(QString, what);
        QFETCH(bool, opens);
        FacePage* p = page(pageIndex);
        openPrevious(p);
        auto [mime, name] = offer(what, PhotoDrop::dataName());
        ErrorRecorder errors;
        QSignalSpy done(w->photoLoader(), &PhotoLoader::finished);
        const Drag d = drag(p, mime.get());
        QVERIFY(d.entered && d.moved && d.dropped);
        QCOMPARE(d.action, Qt::CopyAction); // never a move: the file manager keeps its file
        waitForTheLoad(done);
        expectOutcome(p, opens, name, errors, QSize(120, 90));
        QCOMPARE(w->TabControl1->currentWidget(), p->tab());
    }

    // From a file manager's selection: the first photo among them opens, and the status bar
    // says how many were left out.
    void ofSeveralFilesTheFirstPhotoOpens() {
        FacePage* p = w->side();
        showPage(p);
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(write(QStringLiteral("pastabos.txt"), "tekstas\n")),
                      QUrl::fromLocalFile(
                          save(QStringLiteral("antra.png"), filled(QSize(120, 90), Qt::blue))),
                      QUrl::fromLocalFile(
                          save(QStringLiteral("trecia.png"), filled(QSize(50, 50), Qt::green))),
                      QUrl(QStringLiteral("https://example.invalid/ketvirta.jpg"))});
        ErrorRecorder errors;
        QSignalSpy done(w->photoLoader(), &PhotoLoader::finished);
        QVERIFY(drag(p, &mime).dropped);
        waitForTheLoad(done);
        QVERIFY(errors.messages.isEmpty());
        QCOMPARE(p->photo()->Bitmap().size(), QSize(120, 90));
        QCOMPARE(w->StatusBar1->currentMessage(),
                 PhotoSource::skippedText(QStringLiteral("antra.png"), 3));
        QCOMPARE(w->StatusBar1->currentMessage(),
                 QStringLiteral("Atidaroma tik „antra.png“; kitų failų praleista: 3."));
    }

    // Text, or files offered only to be moved: the cursor says no, and nothing happens.
    void aDragThePageCannotTakeIsRefused_data() {
        QTest::addColumn<bool>("text");
        QTest::addRow("text only") << true;
        QTest::addRow("a photo offered only to be moved") << false;
    }
    void aDragThePageCannotTakeIsRefused() {
        QFETCH(bool, text);
        FacePage* p = w->front();
        showPage(p);
        QMimeData mime;
        if (text)
            mime.setText(QStringLiteral("labas"));
        else
            mime.setUrls({QUrl::fromLocalFile(
                save(QStringLiteral("nuotrauka.png"), filled(QSize(40, 30), Qt::blue)))});
        const Drag d = drag(p, &mime, text ? Qt::CopyAction | Qt::MoveAction : Qt::MoveAction);
        QVERIFY(!d.entered);
        QVERIFY(!w->photoLoader()->isLoading());
        QCOMPARE(p->photo()->BitmapWidth(), 0);
        // Outside the pages nothing takes a drop.
        QCOMPARE(dropTarget(w->MatrixLabel1->geometry().center()), nullptr);
        QCOMPARE(dropTarget(w->Button2->geometry().center()), nullptr);
    }

    void aPasteOpensTheClipboardsPhotoIntoTheCurrentPage_data() { addPhotoCases(true); }
    void aPasteOpensTheClipboardsPhotoIntoTheCurrentPage() {
        QFETCH(int, pageIndex);
        QFETCH(QString, what);
        QFETCH(bool, opens);
        FacePage* p = page(pageIndex);
        openPrevious(p);
        auto [mime, name] = offer(what, PhotoPaste::dataName());
        const QSize size = what == QLatin1String("picture") ? QSize(3000, 2000) : QSize(120, 90);
        QGuiApplication::clipboard()->setMimeData(mime.release());
        ErrorRecorder errors;
        QSignalSpy done(w->photoLoader(), &PhotoLoader::finished);
        pressPaste();
        waitForTheLoad(done);
        expectOutcome(p, opens, name, errors, size);
    }

    // Nothing to paste: an information box says so, and nothing changes.
    void aPasteWithoutAPhotoSaysSo_data() {
        QTest::addColumn<bool>("text");
        QTest::addRow("text") << true;
        QTest::addRow("an empty clipboard") << false;
    }
    void aPasteWithoutAPhotoSaysSo() {
        QFETCH(bool, text);
        openPrevious(w->side());
        if (text)
            QGuiApplication::clipboard()->setText(QStringLiteral("https://example.invalid/a.jpg"));
        const WindowSnapshot before = WindowSnapshot::of(*w);
        QString said;
        {
            const auto ok = answerNextMessageBox(QMessageBox::Ok, [&](QMessageBox* box) {
                said = box->text();
                QCOMPARE(box->icon(), QMessageBox::Information);
                QCOMPARE(box->objectName(), QStringLiteral("NothingToPasteBox"));
            });
            pressPaste();
        }
        QCOMPARE(said, PhotoPaste::nothingText());
        QCOMPARE(said, QStringLiteral("Iškarpinėje nėra nuotraukos. Nukopijuokite nuotrauką arba "
                                      "jos failą ir įklijuokite dar kartą."));
        QVERIFY(!w->photoLoader()->isLoading());
        VERIFY_SAME_RESULT_AND_PHOTOS(*w, before);
    }

    // The menu lists the entry above "Apie", with its shortcut, under a name a screen reader
    // reads; choosing it pastes as Ctrl+V does.
    void thePasteEntryIsInTheMenu() {
        const QList<QAction*> entries = w->PopupMenu1->actions();
        QCOMPARE(entries.size(), 2);
        QAction* paste = entries[0];
        QCOMPARE(paste->objectName(), QStringLiteral("ActionPaste"));
        QCOMPARE(paste->text(), QStringLiteral("Įklijuoti nuotrauką"));
        QCOMPARE(paste->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_V));
        QCOMPARE(entries[1], w->MenuItem1);

        w->PopupMenu1->popup(w->mapToGlobal(QPoint(600, 40)));
        QTRY_VERIFY_WITH_TIMEOUT(w->PopupMenu1->isVisible(), kPatienceMs);
        QAccessibleInterface* menu = QAccessible::queryAccessibleInterface(w->PopupMenu1);
        QVERIFY(menu && menu->childCount() == 2);
        QCOMPARE(menu->child(0)->text(QAccessible::Name), QStringLiteral("Įklijuoti nuotrauką"));
        QCOMPARE(menu->child(0)->text(QAccessible::Accelerator),
                 QKeySequence(Qt::CTRL | Qt::Key_V).toString(QKeySequence::NativeText));

        showPage(w->side());
        QGuiApplication::clipboard()->setImage(filled(QSize(120, 90), Qt::blue));
        QSignalSpy done(w->photoLoader(), &PhotoLoader::finished);
        QTest::mouseClick(w->PopupMenu1, Qt::LeftButton, {},
                          w->PopupMenu1->actionGeometry(paste).center());
        waitForTheLoad(done);
        QCOMPARE(w->side()->photo()->Bitmap().size(), QSize(120, 90));
        QCOMPARE(w->front()->photo()->BitmapWidth(), 0);
    }
};

QTEST_MAIN(PhotoIntakeTest)
#include "test_photo_intake.moc"
