#pragma once

#include <QAnyStringView>
#include <QObject>

namespace veidora::ui {

// Gives a new control the object name by which the program's documentation and its tests
// know it, and hands the control back.
template <class T> T* named(T* object, QAnyStringView name) {
    object->setObjectName(name);
    return object;
}

} // namespace veidora::ui
