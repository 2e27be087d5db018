#pragma once

#include <QApplication>
#include <QFont>

namespace veidora::ui {

// The application object: the program's font and resources from the start, and the last line
// of defence for event handlers that are not wrapped (see error_handler.hpp).
class TApplication : public QApplication {
public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// The program's font, set for the whole application at start: the designed places of the
// labels leave room for the widest figures only in a narrow face.
QFont programFont();

// Pictures, icons and translations; safe to call more than once.
void initResources();

// qt_lt plus our own texts for the standard buttons; call once after the application exists.
void installTranslations(QCoreApplication& app);

} // namespace veidora::ui
