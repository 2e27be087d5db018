#pragma once

class QWidget;

namespace veidora::ui {

// Lines for whoever checks an installed program, silent unless asked for with
// QT_LOGGING_RULES="veidora.*.debug=true": where the face finder's module loads from (which
// loads it, category veidora.modules), then "ready" once the window is shown and the event
// loop runs (veidora.startup).
void reportWhenReady(QWidget* window);

} // namespace veidora::ui
