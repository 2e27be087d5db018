// Starts the program as its own main() does and leaves once the window has painted (or, with
// "--turn", at the event loop's first turn): timed from outside against empty_window
// (scripts/bench.sh), built with and without automatic placement.
#include "application.hpp"
#include "error_handler.hpp"
#include "first_frame.hpp"
#include "veidora_window.hpp"

int main(int argc, char* argv[]) {
    veidora::ui::TApplication app(argc, argv);
    veidora::ui::installTranslations(app);
    TVeidora Veidora;
    return bench::runUntilShown(app, Veidora, argc, argv);
}
