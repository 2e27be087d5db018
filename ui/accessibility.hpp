#pragma once

class TVeidora;

// Names every control of the window in Lithuanian for screen readers: buttons, track bars,
// the result table and the banner, and each value label by the caption on its row (the
// figure itself is the label's description, so "Galvos aukštis: 216" is read).
class AccessibleNames {
public:
    static void describe(TVeidora& window);
};
