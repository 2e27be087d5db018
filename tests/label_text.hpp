#pragma once

#include "measurement.hpp"

#include <span>
#include <string>
#include <string_view>

// The text a measurement gives the label named `name`, by the page's table; nullptr for a
// name the table does not hold. Tests that check a page's labels by name read them with it.
template <class Figure, class Codes>
const std::string* textOfLabel(const veidora::Measurement<Figure, Codes>& m,
                               std::span<const veidora::FigureLabel<Figure>> table,
                               std::string_view name) {
    for (const auto& row : table)
        if (name == row.label.name)
            return &m.text(row.figure);
    return nullptr;
}
