#pragma once
// Drawing of the spectrum plot (frame, grid, labels, curves) on a picture box.
