#pragma once

// Where the front page shows its figures: each figure's value label and the caption of its
// row, with their object names, first texts and places on the page. The page builds its labels
// from these tables and writes each figure into its label; a screen reader names a figure by
// its row's caption.

#include "front_measurement.hpp"

namespace veidora {

inline constexpr LabelPlace kFrontCaptions[] = {
    {"Label32", "Galvos aukštis", 16, 462, 100},
    {"Label34", "Kaktos aukštis ", 16, 481, 100},
    {"Label41", "Kakta viršus plotis", 16, 499, 105},
    {"Label96", "Kakta apačia plotis", 16, 519, 105},
    {"Label37", "Skruostai", 16, 539, 100},
    {"Label151", "Skruostų ilgis % :", 16, 559, 105},
    {"Label45", "Antakių gal. ilgis", 216, 462, 100},
    {"Label48", "Nosikaulis d.", 216, 480, 100},
    {"Label49", "Nosikaulis K.", 216, 498, 100},
    {"Label50", "Nosikaulio pakrypimas:", 216, 515, 135},
    {"Label54", "Nosies ilgis:", 216, 534, 100},
    {"Label38", "Ap. žandikaulis:", 216, 552, 100},
    {"Label149", "Ap. žandikaulis % :", 216, 569, 112},
    {"Label94", "Ap. žangikaulio asimetrija:", 216, 586, 155},
    {"Label140", "Lūpos:", 472, 459, 50},
    {"Label144", "Šypsena: ", 472, 475, 50},
    {"Label147", "Fiksuojama šypsena:", 472, 493, 122},
};

// "..." marks a word not yet measured, "0" a figure.
inline constexpr FigureLabel<FrontFigure> kFrontFigureLabels[] = {
    {FrontFigure::HeadHeight, {"Label33", "0", 121, 462, 40}, "Label32"},
    {FrontFigure::ForeheadHeight, {"Label35", "0", 121, 481, 40}, "Label34"},
    {FrontFigure::ForeheadPercent, {"Label36", "0", 160, 481, 50}, "Label34"},
    {FrontFigure::ForeheadTopWidth, {"Label42", "0", 121, 501, 40}, "Label41"},
    {FrontFigure::ForeheadTopPercent, {"Label43", "0", 160, 501, 50}, "Label41"},
    {FrontFigure::ForeheadBottomWidth, {"Label97", "0", 121, 520, 40}, "Label96"},
    {FrontFigure::ForeheadBottomPercent, {"Label98", "0", 160, 520, 50}, "Label96"},
    {FrontFigure::CheekWidth, {"Label39", "0", 122, 538, 40}, "Label37"},
    {FrontFigure::CheekPercent, {"Label47", "0", 160, 538, 50}, "Label37"},
    {FrontFigure::CheekClass, {"Label152", "...", 121, 559, 60}, "Label151"},
    {FrontFigure::BrowSpan, {"Label46", "0", 315, 462, 40}, "Label45"},
    {FrontFigure::BridgeLeftPart, {"Label51", "0", 315, 480, 40}, "Label48"},
    {FrontFigure::BridgeRightPart, {"Label52", "0", 315, 498, 40}, "Label49"},
    {FrontFigure::BridgeLean, {"Label53", "...", 351, 515, 60}, "Label50"},
    {FrontFigure::NoseLength, {"Label143", "0", 316, 535, 50}, "Label54"},
    {FrontFigure::NoseLengthPercent, {"Label55", "0", 371, 535, 50}, "Label54"},
    {FrontFigure::JawWidth, {"Label40", "0", 316, 552, 50}, "Label38"},
    {FrontFigure::JawPercent, {"Label44", "0", 371, 552, 50}, "Label38"},
    {FrontFigure::JawClass, {"Label150", "...", 328, 568, 60}, "Label149"},
    {FrontFigure::JawAsymmetry, {"Label95", "0", 371, 586, 60}, "Label94"},
    {FrontFigure::LipHeight, {"Label141", "0", 522, 459, 40}, "Label140"},
    {FrontFigure::LipPercent, {"Label142", "0", 565, 459, 50}, "Label140"},
    {FrontFigure::MouthCornerDrop, {"Label145", "0", 522, 476, 40}, "Label144"},
    {FrontFigure::MouthCornerPercent, {"Label146", "0", 565, 476, 50}, "Label144"},
    {FrontFigure::Smile, {"Label148", "0", 594, 494, 60}, "Label147"},
};

static_assert(coversEveryFigureOnce<FrontFigure>(kFrontFigureLabels));

} // namespace veidora
