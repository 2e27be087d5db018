#pragma once

#include "controls.hpp"
#include "error_handler.hpp"
#include "face_page.hpp"
#include "matrix_label.hpp"
#include "photo.hpp"
#include "string_grid.hpp"
#include "veidora_window.hpp"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMap>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <QTransform>

#include <algorithm>
#include <functional>
#include <memory>

#include "selection_point.hpp"

// Collects the texts that would have reached the error box.
class ErrorRecorder {
public:
    ErrorRecorder() {
        m_previous = veidora::ui::setErrorPresenter(
            [this](QWidget*, const QString& message) { messages << message; });
    }
    ~ErrorRecorder() { veidora::ui::setErrorPresenter(m_previous); }
    QStringList messages;

private:
    veidora::ui::ErrorPresenter m_previous;
};

namespace test_support {

// Watches every message box and file dialog the application shows. One that a test announced
// (see answerNextMessageBox, answerNextFileDialog) is answered; any other fails the running
// test, with its text, and is closed, so that it cannot hang the test until ctest's time-out.
class ModalWatch : public QObject {
public:
    struct Expected {
        std::function<void(QDialog*)> answer; // runs inside the dialog's own event loop
        bool answered = false;
    };

    static ModalWatch& instance() {
        static QPointer<ModalWatch> watch;
        if (!watch) {
            watch = new ModalWatch(qApp);
            qApp->installEventFilter(watch);
        }
        return *watch;
    }

    std::shared_ptr<Expected> box, fileDialog;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Show)
            return false;
        auto* dialog = qobject_cast<QDialog*>(watched);
        auto* box = qobject_cast<QMessageBox*>(watched);
        if (!dialog || (!box && !qobject_cast<QFileDialog*>(watched)) ||
            dialog->property("veidoraTestSeen").toBool())
            return false;
        dialog->setProperty("veidoraTestSeen", true);
        // The dialog's own event loop is not running yet while it shows: answer from inside it.
        if (auto expected = std::exchange(box ? this->box : fileDialog, {})) {
            QTimer::singleShot(0, dialog, [dialog, expected] {
                expected->answered = true;
                expected->answer(dialog);
            });
        } else {
            const QString what = box ? QStringLiteral("message box \"%1\"").arg(box->text())
                                     : QStringLiteral("file dialog");
            QTest::qFail(qPrintable(QStringLiteral("an unexpected ") + what), __FILE__, __LINE__);
            QTimer::singleShot(0, dialog, [dialog] { dialog->reject(); });
        }
        return false;
    }

private:
    using QObject::QObject;
};

// Every window test watches from the moment the application exists.
inline void watchModalDialogs() {
    ModalWatch::instance();
}
Q_COREAPP_STARTUP_FUNCTION(watchModalDialogs)

} // namespace test_support

// The answer to one dialog a test expects. While it lives, the next such dialog is answered;
// when it goes out of scope and none came, the test fails. One after that is unexpected.
class [[nodiscard]] ExpectedDialog {
public:
    using Slot = std::shared_ptr<test_support::ModalWatch::Expected> test_support::ModalWatch::*;
    ExpectedDialog(Slot slot, std::function<void(QDialog*)> answer)
        : m_slot(slot), m_expected(std::make_shared<test_support::ModalWatch::Expected>()) {
        m_expected->answer = std::move(answer);
        test_support::ModalWatch::instance().*m_slot = m_expected;
    }
    ExpectedDialog(const ExpectedDialog&) = delete;
    ExpectedDialog& operator=(const ExpectedDialog&) = delete;
    ~ExpectedDialog() {
        auto& pending = test_support::ModalWatch::instance().*m_slot;
        if (pending == m_expected)
            pending.reset();
        if (!m_expected->answered && !QTest::currentTestFailed())
            QTest::qFail("the expected dialog never came", __FILE__, __LINE__);
    }
    bool answered() const { return m_expected->answered; }

private:
    Slot m_slot;
    std::shared_ptr<test_support::ModalWatch::Expected> m_expected;
};

// Answers the next message box by pressing one of its buttons, as a user would; hands the box
// to `seen` first. Keep the result until the box has come.
inline ExpectedDialog answerNextMessageBox(QMessageBox::StandardButton button,
                                           std::function<void(QMessageBox*)> seen = {}) {
    return ExpectedDialog(&test_support::ModalWatch::box, [=](QDialog* dialog) {
        auto* box = static_cast<QMessageBox*>(dialog);
        if (seen)
            seen(box);
        QTest::mouseClick(box->button(button), Qt::LeftButton);
    });
}

// Answers the next file dialog by choosing `path`, or by cancelling it when `path` is empty.
inline ExpectedDialog answerNextFileDialog(const QString& path) {
    return ExpectedDialog(&test_support::ModalWatch::fileDialog, [=](QDialog* dialog) {
        if (path.isEmpty()) {
            dialog->reject();
            return;
        }
        static_cast<QFileDialog*>(dialog)->selectFile(path);
        dialog->accept();
    });
}

// Drags a landmark grip with the left button, as a user would, to `target` in its rectangle's
// coordinates, through `steps` moves; the event loop runs after each and `during` is called.
inline void dragGrip(TSelectionPoint* grip, QPointF target, int steps = 2,
                     const std::function<void()>& during = {}) {
    grip->raise(); // the grip under the pointer is the one taken
    const QPointF start = grip->Position();
    QTest::mousePress(grip, Qt::LeftButton, {}, (start - QPointF(grip->pos())).toPoint());
    // Moves go to the grip itself, which holds the pointer while the button is down (QTest's
    // own mouseMove would read a local (0, 0) as "the centre").
    auto send = [&](QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
        const QPointF local = at - QPointF(grip->pos());
        QMouseEvent e(type, local, grip->mapToGlobal(local), Qt::LeftButton, buttons,
                      Qt::NoModifier);
        QCoreApplication::sendEvent(grip, &e);
        QCoreApplication::processEvents();
    };
    for (int step = 1; step <= steps; ++step) {
        send(QEvent::MouseMove, start + (target - start) * step / double(steps), Qt::LeftButton);
        if (during)
            during();
    }
    send(QEvent::MouseButtonRelease, target, Qt::NoButton);
}

// The second step of a determination waits for the test (see fireNow) instead of a second. A
// precise timer, as long intervals of a coarse one count in whole seconds.
inline void holdSecondStep(TVeidora& w) {
    w.Timer2->setTimerType(Qt::PreciseTimer);
    w.Timer2->setInterval(24 * 3600 * 1000);
}

// How long a test waits for something that is bound to happen: long enough for a loaded
// machine, and free when the test passes.
inline constexpr int kPatienceMs = 30000;

// A timer that is on fires now rather than after its interval, which it keeps for later.
inline void fireNow(QTimer* timer) {
    if (!timer->isActive())
        return;
    QObject::connect(
        timer, &QTimer::timeout, timer,
        [timer, interval = timer->interval()] { timer->setInterval(interval); },
        Qt::SingleShotConnection);
    timer->start(0);
}

// A page builds its controls when it is first needed. Tests that find controls by object name,
// or walk all of them, start with every page built, so that they see the whole window.
inline void buildEveryPage(const TVeidora& w) {
    w.front()->ensureBuilt();
    w.side()->ensureBuilt();
}

// The held second step runs now, once, and the test waits until it has.
inline void runSecondStep(TVeidora& w) {
    QVERIFY(w.Timer2->isActive());
    fireNow(w.Timer2);
    QTRY_VERIFY_WITH_TIMEOUT(!w.Timer2->isActive(), kPatienceMs);
}

// What the window shows as a result and as photos, taken at one moment, so that a test can
// say "nothing of this changed". Grips are kept apart: most steps move some of them.
struct WindowSnapshot {
    QMap<QString, QString> labels; // every label by object name
    veidora::TraitCodes codes{};
    QStringList table; // the headers, then rows 0 to 6
    QString banner;    // the rotation that sorts first: the banner keeps turning
    QImage front, side;
    double frontTilt = 0, sideTilt = 0;
    QList<QPointF> frontGrips, sideGrips;

    static WindowSnapshot of(const TVeidora& w) {
        WindowSnapshot s;
        buildEveryPage(w);
        for (const TLabel* l : w.findChildren<TLabel*>())
            s.labels.insert(l->objectName(), l->text());
        s.codes = w.codes();
        for (int col = 0; col < 3; ++col)
            s.table << w.StringGrid1->header(col);
        for (int row = 0; row < 7; ++row)
            for (int col = 0; col < 3; ++col)
                s.table << w.StringGrid1->cell(col, row);
        s.banner = firstRotation(w.MatrixLabel1->Text());
        s.front = w.front()->photo()->Bitmap();
        s.side = w.side()->photo()->Bitmap();
        s.frontTilt = w.front()->photo()->RotationAngle();
        s.sideTilt = w.side()->photo()->RotationAngle();
        for (int n = 1; n <= 28; ++n)
            s.frontGrips << w.SelectionPoint(n)->Position();
        for (int n = 101; n <= 117; ++n)
            s.sideGrips << w.SelectionPoint(n)->Position();
        return s;
    }

    static QString firstRotation(const QString& text) {
        QString best = text;
        for (qsizetype i = 1; i < text.size(); ++i)
            best = std::min(best, text.mid(i) + text.left(i));
        return best;
    }

    // The result and the photos are as in `other`; the grips are not compared.
    bool sameResultAndPhotos(const WindowSnapshot& other) const {
        return labels == other.labels && codes == other.codes && table == other.table &&
               banner == other.banner && front == other.front && side == other.side &&
               frontTilt == other.frontTilt && sideTilt == other.sideTilt;
    }

    // What differs from `other`, for a failure message.
    QString differencesFrom(const WindowSnapshot& other) const {
        QStringList out;
        for (auto it = labels.begin(); it != labels.end(); ++it)
            if (other.labels.value(it.key()) != it.value())
                out << QStringLiteral("%1: %2 / %3")
                           .arg(it.key(), it.value(), other.labels.value(it.key()));
        if (!(codes == other.codes))
            out << QStringLiteral("codes");
        if (table != other.table)
            out << QStringLiteral("table: %1 / %2")
                       .arg(table.join(QLatin1Char('|')), other.table.join(QLatin1Char('|')));
        if (banner != other.banner)
            out << QStringLiteral("banner: %1 / %2").arg(banner, other.banner);
        if (front != other.front || side != other.side)
            out << QStringLiteral("photos");
        if (frontTilt != other.frontTilt || sideTilt != other.sideTilt)
            out << QStringLiteral("tilts");
        if (frontGrips != other.frontGrips || sideGrips != other.sideGrips)
            out << QStringLiteral("grips");
        return out.join(QLatin1Char('\n'));
    }
};

// Saves `img` as `path` and opens it at once into `page`, which becomes the current page.
inline void openPhoto(TVeidora& w, FacePage* page, const QImage& img, const QString& path) {
    QVERIFY(img.save(path));
    w.TabControl1->setCurrentWidget(page->tab());
    w.loadPhotoIntoCurrentPage(path);
    QVERIFY(page->photo()->BitmapWidth() > 0);
}

// How a picture control shows its pixels: fitted into the box, turned about the box centre.
inline QTransform shown(const TImage* image) {
    const QRectF fitted = image->fittedRect();
    const QRectF box(image->Box());
    QTransform t;
    t.translate(box.center().x(), box.center().y());
    t.rotate(image->RotationAngle());
    t.translate(fitted.left() - box.width() / 2, fitted.top() - box.height() / 2);
    t.scale(fitted.width() / image->Bitmap().width(), fitted.height() / image->Bitmap().height());
    return t;
}

// Fails the test, naming what changed, unless the window's result and photos are as `expected`.
#define VERIFY_SAME_RESULT_AND_PHOTOS(window, expected)                                            \
    do {                                                                                           \
        const WindowSnapshot now_ = WindowSnapshot::of(window);                                    \
        QVERIFY2(now_.sameResultAndPhotos(expected), qPrintable(now_.differencesFrom(expected)));  \
    } while (false)

// A demonstration on the sample faces, as a user starts it with no photo open: the dialog
// answered Yes, then the second step run at once instead of a second later.
inline void runDemonstration(TVeidora& w) {
    holdSecondStep(w);
    {
        const auto yes = answerNextMessageBox(QMessageBox::Yes);
        QTest::mouseClick(w.Button2, Qt::LeftButton);
    }
    runSecondStep(w);
}
