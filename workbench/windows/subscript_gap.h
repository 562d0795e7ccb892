#pragma once
// Words set in the gap of blanks a caption leaves for them ("TPR        と",
// with "20,10" in a label of its own over the gap).
#include <initializer_list>

class QLabel;

// Centres `words` (one label, or several set side by side, such as "TPR" and its
// subscript) horizontally in the first run of two or more blanks (ASCII or
// ideographic) of `caption`'s text, as measured in the caption's font, with at
// least 4 pixels clear on each side; their tops stay. When the installed font's
// blanks make the gap too narrow, the gap is widened just enough (wider word
// spacing for ASCII blanks, more ideographic blanks for those) and the caption
// grows to fit.
void placeInGap(QLabel* caption, std::initializer_list<QLabel*> words);
inline void placeInGap(QLabel* caption, QLabel* word) { placeInGap(caption, {word}); }
