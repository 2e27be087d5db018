// The yardstick for start-up: an empty Qt Widgets window of the program's size, started and
// left exactly as startup_probe starts and leaves the program's window.
#include "first_frame.hpp"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(700, 798);
    return bench::runUntilShown(app, window, argc, argv);
}
