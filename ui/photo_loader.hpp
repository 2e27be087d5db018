#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSize>
#include <QString>

#include <functional>

#include "photo_reader.hpp"

class TImage;

// Reads photos on a worker thread and hands them to their picture control on the GUI thread,
// so a large or slow file never stalls the window. A newer photo for the same control wins
// over one still being read; a file that cannot be read reaches the error box and the control
// keeps its picture.
class PhotoLoader : public QObject {
    Q_OBJECT
public:
    explicit PhotoLoader(QObject* parent = nullptr);

    void load(TImage* target, const QString& path, QSize bound);
    // A photo that is no file, the same way: encoded as a file would be (a clipboard's PNG), or
    // already decoded. `name` stands for it in the error box.
    void loadData(TImage* target, const QByteArray& bytes, const QString& name, QSize bound);
    void loadImage(TImage* target, const QImage& image, const QString& name, QSize bound);
    bool isLoading() const { return m_pending > 0; }

    // What reads a file on the worker thread (loadPhoto unless replaced, as tests do to hold
    // a read back). It must not throw.
    using Reader = std::function<veidora::ui::PhotoLoad(const QString& path, QSize bound)>;
    void setReader(Reader reader) { m_reader = std::move(reader); }

signals:
    // A read came to an end (shown, refused or superseded).
    void finished(TImage* target, const QString& path);

private:
    // `read` runs on a worker thread and must not throw.
    void start(TImage* target, const QString& name, std::function<veidora::ui::PhotoLoad()> read);

    Reader m_reader;
    QHash<TImage*, quint64> m_latest;
    QHash<QWidget*, int> m_busy; // reads running over each page
    quint64 m_next = 0;
    int m_pending = 0;
};
