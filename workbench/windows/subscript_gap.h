#pragma once
// Subscripts set in the gap of blanks a caption leaves for them ("TPR        と",
// with "20,10" in a label of its own over the gap).
class QLabel;

// Centres `subscript` horizontally in the first run of two or more blanks of
// `caption`'s text, as measured in the caption's font (its top stays). When the
// installed font's blanks make the gap narrower than the subscript, the
// caption's word spacing is widened just enough and the caption grows to fit.
void placeInGap(QLabel* caption, QLabel* subscript);
