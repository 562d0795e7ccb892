#include "spectrum_plot.h"
