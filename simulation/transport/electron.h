// Condensed-history transport of electrons and positrons in water.
#pragma once

namespace dravik {

// Collision stopping power of water at unit density [keV/cm] for kinetic energy
// T [keV]: Bethe formula with the Moller term and Sternheimer's density-effect
// correction (mean excitation energy 65.1 eV). About 2382 keV/cm at 305 keV,
// 1871 at 1000 keV and 1996 at 10000 keV.
float stoppingPower(float T);

}  // namespace dravik
