#pragma once

// Where the side page shows its figures: each figure's value label and the caption of its row,
// with their object names, first texts and places on the page. The page builds its labels from
// these tables and writes each figure into its label; a screen reader names a figure by its
// row's caption.

#include "side_measurement.hpp"

namespace veidora {

inline constexpr LabelPlace kSideCaptions[] = {
    {"Label56", "Galvos aukštis", 24, 456, 81},
    {"Label58", "Kaktos aukštis ", 24, 476, 81},
    {"Label61", "Nosies ilgis", 24, 496, 65},
    {"Label74", "Viršus nosikaulis", 24, 516, 97},
    {"Label63", "Nosikaulio gal.", 24, 536, 81},
    {"Label65", "Nosis statumas", 24, 555, 89},
    {"Label67", "Nosikaulio stat.", 24, 576, 89},
    {"Label69", "Šnervių ilgis", 24, 596, 81},
    {"Label71", "Kaktos palinkimas", 208, 456, 105},
    {"Label76", "Nosikaulio iškilimas", 208, 475, 105},
    {"Label78", "Nosies galiuko sm..", 208, 495, 105},
    {"Label80", "Apatinis žandikaulis", 208, 513, 105},
    {"Label82", "Pakaušis", 208, 534, 105},
    {"Label84", "Smakro atsikišimas", 208, 552, 105},
    {"Label89", "Smakras Nosikaulio p.", 208, 571, 120},
    {"Label99", "Nosies iškilimas", 208, 590, 120},
    {"Label133", "Nosikaulio plotis", 424, 456, 97},
    {"Label129", "Kakta:", 424, 478, 41},
    {"Label131", "Kaktos palinkimas:", 424, 499, 113},
    {"Label136", "Smakras:", 424, 521, 49},
    {"Label138", "Nosikaulis: ", 424, 543, 57},
};

inline constexpr FigureLabel<SideFigure> kSideFigureLabels[] = {
    {SideFigure::HeadHeight, {"Label57", "0", 113, 456, 41}, "Label56"},
    {SideFigure::ForeheadSlope, {"Label72", "0", 327, 456, 33}, "Label71"},
    {SideFigure::ForeheadSlopePercent, {"Label93", "0", 367, 456, 50}, "Label71"},
    {SideFigure::NoseArea, {"Label134", "0", 528, 456, 41}, "Label133"},
    {SideFigure::NoseAreaPercent, {"Label135", "0", 568, 456, 49}, "Label133"},
    {SideFigure::Hump, {"Label77", "0", 327, 476, 28}, "Label76"},
    {SideFigure::TipHeightPercent, {"Label122", "0", 367, 476, 49}, "Label76"},
    {SideFigure::ForeheadHeight, {"Label59", "0", 113, 477, 41}, "Label58"},
    {SideFigure::ForeheadPercent, {"Label60", "0", 160, 477, 49}, "Label58"},
    {SideFigure::ForeheadClass, {"Label130", "0", 478, 478, 107}, "Label129"},
    {SideFigure::NoseLength, {"Label62", "0", 113, 496, 41}, "Label61"},
    {SideFigure::NoseLengthPercent, {"Label73", "0", 160, 496, 49}, "Label61"},
    {SideFigure::TipHeight, {"Label79", "0", 327, 496, 36}, "Label78"},
    {SideFigure::ForeheadSlopeClass, {"Label132", "0", 539, 499, 70}, "Label131"},
    {SideFigure::JawLengthPercent, {"Label87", "0", 367, 512, 59}, "Label80"},
    {SideFigure::JawLength, {"Label81", "0", 327, 513, 36}, "Label80"},
    {SideFigure::BoneToRoot, {"Label75", "0", 113, 516, 41}, "Label74"},
    {SideFigure::BoneToRootPercent, {"Label117", "0", 160, 516, 49}, "Label74"},
    {SideFigure::ChinClass, {"Label137", "0", 486, 522, 81}, "Label136"},
    {SideFigure::BackOfHead, {"Label83", "0", 327, 533, 33}, "Label82"},
    {SideFigure::BackOfHeadPercent, {"Label88", "0", 367, 533, 51}, "Label82"},
    {SideFigure::TipToBonePercent, {"Label118", "0", 160, 536, 41}, "Label63"},
    {SideFigure::TipToBone, {"Label64", "0", 113, 537, 41}, "Label63"},
    {SideFigure::NasalBoneClass, {"Label139", "0", 486, 544, 57}, "Label138"},
    {SideFigure::ChinProtrusionPercent, {"Label91", "0", 367, 552, 58}, "Label84"},
    {SideFigure::ChinProtrusion, {"Label85", "0", 327, 553, 33}, "Label84"},
    {SideFigure::BaseToRoot, {"Label66", "0", 113, 556, 41}, "Label65"},
    {SideFigure::BaseToRootPercent, {"Label119", "0", 160, 556, 41}, "Label65"},
    {SideFigure::RootAheadOfChin, {"Label90", "0", 328, 571, 33}, "Label89"},
    {SideFigure::RootAheadOfChinPercent, {"Label92", "0", 367, 571, 57}, "Label89"},
    {SideFigure::BaseToBone, {"Label68", "0", 113, 576, 41}, "Label67"},
    {SideFigure::BaseToBonePercent, {"Label120", "0", 160, 576, 41}, "Label67"},
    {SideFigure::HumpDistance, {"Label100", "0", 328, 590, 33}, "Label99"},
    {SideFigure::HumpPercent, {"Label128", "0", 367, 590, 57}, "Label99"},
    {SideFigure::Nostrils, {"Label70", "0", 113, 596, 31}, "Label69"},
    {SideFigure::NostrilsPercent, {"Label121", "0", 160, 596, 65}, "Label69"},
};

static_assert(coversEveryFigureOnce<SideFigure>(kSideFigureLabels));

} // namespace veidora
