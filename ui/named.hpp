#pragma once

#include <QAnyStringView>
#include <QObject>

namespace veidora::ui {

// Gives a new control its object name and hands the control back. Tests find controls by
// these names and screen-reader scripts address them by them, so a name never changes.
template <class T> T* named(T* object, QAnyStringView name) {
    object->setObjectName(name);
    return object;
}

} // namespace veidora::ui
