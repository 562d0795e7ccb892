// Dravik: Monte Carlo simulation of a photon pencil beam in water, giving the
// TMR curves of ten square fields. Started without arguments in the folder that
// holds its data and run input files.
#include <iostream>

#include "simulation/run.h"

int main() { return dravik::runSimulation(std::cin, std::cout, dravik::localClock); }
