#pragma once
// The empty TMR-versus-depth frame of the results window.

class Form1;
class PictureBox;

// Draws the frame on a picture box scaled x −40 … 310 (depth, mm), y 1.05 …
// −0.10 (TMR): erased, the plot rectangle (0, 0)–(300, 1.0) in black, grey grid
// lines every 2 cm and every 0.1, the rectangle again 2 pixels wide, the axis
// labels (x labelled in cm). Leaves the line width at 2.
void drawTmrFramePicture(PictureBox& picture);

// Prepares the results window for a fresh comparison: the frame on Picture1,
// both TPR20,10 boxes emptied, only the 10 cm × 10 cm field ticked. The loaded
// TMR tables are not touched.
void drawTmrFrame(Form1& form1);
