// Condensed-history transport of electrons and positrons in water.
#pragma once

#include "simulation/random.h"
#include "simulation/state.h"

namespace dravik {

// Collision stopping power of water at unit density [keV/cm] for kinetic energy
// T [keV]: Bethe formula with the Moller term and Sternheimer's density-effect
// correction (mean excitation energy 65.1 eV). About 2382 keV/cm at 305 keV,
// 1871 at 1000 keV and 1996 at 10000 keV.
float stoppingPower(float T);

// Follows an electron or positron (T >= 5 keV) to its end, adding its losses to
// `layer` of the kernel through depositTrack. Above 305 keV each step loses
// electronLossFraction of T over the length given by the stopping power and is
// followed by a multiple-scattering deflection (two positive deviates, none when
// T is at or below the deflection table's lowest used energies); at or below
// 305 keV one last straight step of the full range takes all of T. A step that
// ends outside the phantom ends the particle with its remaining energy; a step
// that leaves a coordinate unchanged deposits nothing and the walk goes on.
// On return e.position is the end point of the last step (outside the phantom
// when it escaped) and e.T what was left at that step's start.
void transportElectron(ElectronState& e, const PhysicsTables& tables, const Phantom& phantom,
                       LaggedAdditiveGenerator& rng, DoseKernel& kernel, int layer);

}  // namespace dravik
