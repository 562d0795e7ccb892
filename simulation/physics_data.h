// Readers of the two physics data files of water, in their fixed-column layouts.
#pragma once

#include <filesystem>

#include "simulation/input_error.h"
#include "simulation/state.h"

namespace dravik {

// What the readers accept. Every number the transport takes from the files must
// keep its arithmetic finite and every sampling loop able to end; the bounds are
// wide around real water data and narrow enough for single precision.
//
// Interaction coefficients of water at unit density [cm^-1]: the largest of the
// photon range is the photoelectric coefficient at 1 keV, about 4.1E+03; above
// 1E+04 a table is not water, and free paths approach the size of a float step
// (a coherent coefficient of 3.4E+38 gives paths of 1E-38 cm, which never move the
// photon). The smallest real value, about 4E-08 (photoelectric at 30 MeV), lies far
// above 1E-30, which keeps the logarithms, the log-log interpolation and the free
// path (at most 9.7/mu) finite in single precision.
constexpr float kMinCoefficient = 1.0e-30f;  // [cm^-1]
constexpr float kMaxCoefficient = 1.0e+04f;  // [cm^-1]
// The table must start at or below the photon cut-off, so that no tracked photon
// is extrapolated below the first row.
constexpr float kMaxFirstEnergy = 5.0f;  // [keV]
// Scatter factors: C and S are used only as ratios, in any unit; x in 1/Angstrom.
// Bounding their size keeps the products of differences in the inverse
// interpolation (at most 1E+06 * 1E+30) finite in single precision.
constexpr float kMaxScatterFactor = 1.0e+30f;
constexpr float kMaxMomentumTransfer = 1.0e+06f;   // [1/Angstrom]
constexpr float kMinLastMomentumTransfer = 10.0f;  // the Compton correction looks up x < 10
// Deflection cosines are scaled by 16384.
constexpr int kMaxDeflectionCosine = 16384;

// Reads water20.dat (photon coefficients and scatter factors), sets the three
// derived constants, then reads ELDAT.dat (deflection table), both from `folder`.
// A value the physics cannot use is an input error naming file, line and columns:
// coefficients within kMinCoefficient ... kMaxCoefficient (pair 0 allowed, and 0
// at and below the 1022 keV threshold); energies strictly ascending from at most
// 5 keV; x strictly ascending from 0 up to at least 10; C and S non-negative,
// non-decreasing, with positive last values; deflection cosines within
// -16384 ... 16384 and falling (the angle growing) with the probability;
// deflection energies positive and strictly descending.
InputResult readPhysicsData(PhysicsTables& tables, const std::filesystem::path& folder = ".");

// The two halves, for tests and the data generators' checks.
InputResult readWaterData(PhysicsTables& tables, const std::filesystem::path& file);
InputResult readDeflectionData(DeflectionTable& table, const std::filesystem::path& file);

}  // namespace dravik
