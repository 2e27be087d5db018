#pragma once

// What every value label shows with all landmarks on the sample faces (decimal point '.').
struct SampleText {
    const char* label;
    const char* text;
};

inline constexpr SampleText kFrontSampleTexts[] = {
    {"Label141", "22.00"}, {"Label142", "10.19%"},  {"Label145", "10.00"},   {"Label146", "4.63%"},
    {"Label33", "216"},    {"Label35", "51"},       {"Label36", "23.61%"},   {"Label39", "187"},
    {"Label47", "86.57%"}, {"Label40", "154"},      {"Label44", "71.30%"},   {"Label42", "125"},
    {"Label43", "57.87%"}, {"Label97", "157"},      {"Label98", "72.69%"},   {"Label46", "157"},
    {"Label51", "5"},      {"Label52", "6"},        {"Label143", "53.00"},   {"Label55", "24.54%"},
    {"Label148", "0"},     {"Label152", "Didelis"}, {"Label150", "Didelis"}, {"Label53", "Kairę"},
    {"Label95", "Kairę"},
};

inline constexpr SampleText kSideSampleTexts[] = {
    {"Label57", "165"},      {"Label59", "32"},       {"Label60", "19.39%"},
    {"Label130", "Maža"},    {"Label62", "42.54"},    {"Label73", "25.78%"},
    {"Label64", "28.18"},    {"Label118", "17.08%"},  {"Label75", "14.42"},
    {"Label117", "8.74%"},   {"Label66", "45.04"},    {"Label119", "27.30%"},
    {"Label68", "34.48"},    {"Label120", "20.90%"},  {"Label70", "24.35"},
    {"Label121", "14.76%"},  {"Label72", "9.00"},     {"Label93", "5.45%"},
    {"Label132", "Didelis"}, {"Label79", "8"},        {"Label122", "4.85%"},
    {"Label81", "89"},       {"Label87", "53.94%"},   {"Label83", "196"},
    {"Label88", "118.79%"},  {"Label90", "-2"},       {"Label92", "-1.21%"},
    {"Label85", "1"},        {"Label91", "0.61%"},    {"Label137", "Didelis"},
    {"Label77", "Taip"},     {"Label100", "1.03"},    {"Label128", "0.63%"},
    {"Label134", "531.50"},  {"Label135", "322.12%"}, {"Label139", "Vidutinis"},
};
