// Program-wide state of the simulation, grouped by lifetime:
//   PhysicsTables  read-only tables filled once from water20.dat and ELDAT.dat;
//   Phantom        the fixed geometry and depth-bin edges;
//   RunInput       the spectrum and run parameters from S_SPCTL.dat and B2F.dat;
//   RunState       what a run changes: generator, particles, kernel, TMR table.
// Everything is a fixed-size array sized at build time, so nothing is allocated
// during a run. Tables, bins and rows are numbered from 1 as in the physics
// texts: 1-D arrays have one unused slot 0; multi-dimensional ones are reached
// through accessors taking 1-based indices.
#pragma once

#include <array>
#include <cstdint>

#include "random.h"

namespace dravik {

// Constants shared by the whole transport. Angles are formed with the
// single-precision 3.14159, not full-precision pi.
constexpr float PI = 3.14159f;
constexpr float ELECTRON_REST_ENERGY = 511.0f;  // [keV]
constexpr float PAIR_THRESHOLD = 1022.0f;       // [keV]
constexpr float CUTOFF_ENERGY = 5.0f;           // [keV] photon and electron cut-off

constexpr int kMaxCoefficientRows = 46;  // capacity of the photon coefficient table
constexpr int kMinCoefficientRows = 2;   // the lookup needs two rows to bracket
constexpr int kScatterRows = 45;
constexpr int kDeflectionEnergies = 24;
constexpr int kDeflectionNodes = 65;  // cosines at cumulative probability (c-1)/64
constexpr int kSpectrumBins = 400;    // 50 keV bins, 0 ... 20 MeV
constexpr int kLayers = 2;            // 1 primary, 2 scatter
constexpr int kRadialBins = 125;      // 0.2 cm rings out to 25 cm
constexpr int kDepthBins = 300;       // 0.1 cm slabs down to 30 cm
constexpr int kFields = 10;           // square fields of the TMR table
constexpr int kResultNameBytes = 20;  // bytes of the result file name read from B2F.dat

// ---------------------------------------------------------------- read-only tables

// Photon interaction coefficients of water [cm^-1] (unit density), rows ascending in energy.
struct PhotonCoefficientTable {
  int rowCount = 0;                                     // N, 2 ... 46
  std::array<float, kMaxCoefficientRows + 1> energy{};  // E_i [keV]
  std::array<float, kMaxCoefficientRows + 1> coherent{};
  std::array<float, kMaxCoefficientRows + 1> incoherent{};
  std::array<float, kMaxCoefficientRows + 1> photoelectric{};
  std::array<float, kMaxCoefficientRows + 1> pair{};  // nuclear + electron field; 0 below threshold
  // Natural logarithms of the columns, taken once when the table is filled
  // (deriveLogarithms) so the log-log lookup of every photon step does not
  // recompute them; the same single-precision logarithms, so the same numbers.
  // ln of a zero pair value is never used (a zero marks pair production impossible).
  std::array<float, kMaxCoefficientRows + 1> lnEnergy{};
  std::array<float, kMaxCoefficientRows + 1> lnCoherent{};
  std::array<float, kMaxCoefficientRows + 1> lnIncoherent{};
  std::array<float, kMaxCoefficientRows + 1> lnPhotoelectric{};
  std::array<float, kMaxCoefficientRows + 1> lnPair{};
};

// Fills the logarithm columns of rows 1 ... rowCount from the coefficient columns.
void deriveLogarithms(PhotonCoefficientTable& table);

// Momentum-transfer table of water: cumulative coherent form factor and incoherent function.
struct ScatterFactorTable {
  std::array<float, kScatterRows + 1> x{};  // sin(theta/2)/lambda [1/Angstrom], ascending
  std::array<float, kScatterRows + 1> C{};  // cumulative of F^2 over x^2, ascending
  std::array<float, kScatterRows + 1> S{};  // incoherent scattering function
};

// Multiple-scattering deflection cosines of one stepped-walk step, per electron energy.
struct DeflectionTable {
  // M(c, k) = cos(theta) * 16384 at cumulative probability (c-1)/64, stored
  // row by row per energy so one energy's 65 nodes are contiguous.
  std::array<std::int32_t, kDeflectionEnergies * kDeflectionNodes> cosines{};
  std::array<float, kDeflectionEnergies + 1> energies{};  // deflectionEnergies(k) [keV], descending

  std::int32_t M(int c, int k) const { return cosines[(k - 1) * kDeflectionNodes + (c - 1)]; }
  std::int32_t& M(int c, int k) { return cosines[(k - 1) * kDeflectionNodes + (c - 1)]; }
};

struct PhysicsTables {
  PhotonCoefficientTable photon;
  ScatterFactorTable scatter;
  DeflectionTable deflection;
  float incoherentFunctionMax = 0.0f;  // S_45, divisor of the incoherent acceptance test
  float coherentCumulativeMax = 0.0f;  // C_45, scale of the coherent sampling
  float electronLossFraction = 0.0f;   // 0.08299595, kinetic energy lost per walk step
};

// ---------------------------------------------------------------- geometry

// The water phantom 0 <= x, y <= 50, 0 <= z <= 30 cm; a point on a face is inside.
struct Phantom {
  float xExtent = 50.0f;                              // [cm]
  float yExtent = 50.0f;                              // [cm]
  float zExtent = 30.0f;                              // [cm]
  std::array<float, kDepthBins + 1> depthBinWidth{};  // [cm], all 0.1
  // Upper edge of depth bin n: the running single-precision sum of widths 1 ... n,
  // accumulated once here (the same sums the scoring walks would form).
  std::array<float, kDepthBins + 1> upperEdge{};  // [cm]; upperEdge[300] = 30.0000782

  // Written as the conjunction of the bounds so that a point with a NaN
  // coordinate is outside (every comparison with NaN is false); for every other
  // point it is the phantom test "not below 0 and not beyond the extent".
  bool contains(float x, float y, float z) const {
    return x >= 0.0f && x <= xExtent && y >= 0.0f && y <= yExtent && z >= 0.0f && z <= zExtent;
  }
};

// Sets the extents and the 300 widths of 0.1 cm with their edges.
void setUpPhantom(Phantom& phantom);

// ---------------------------------------------------------------- run input

struct SpectrumInput {
  std::array<float, kSpectrumBins + 1> fluence{};  // relative fluence of bin i; normalised to sum 1
  float accelerationEnergy = 0.0f;                 // [MeV]
  std::int32_t targetZ = 0;
  float filterThickness = 0.0f;  // [mm] of lead
};

struct RunParameters {
  std::array<char, kResultNameBytes> resultFileName{};  // 20 bytes, blank-padded
  float historyTotal = 0.0f;                            // source photons to distribute
};

struct RunInput {
  SpectrumInput spectrum;
  RunParameters parameters;
  int lastBin = 0;  // highest bin with a non-zero fluence
};

// ---------------------------------------------------------------- particles

// Flight direction as four numbers: polar angle from +z, azimuth from +x to +y.
// The unit vector is (sinTheta*cosPhi, sinTheta*sinPhi, cosTheta); never renormalised.
struct Direction {
  float sinTheta = 0.0f;
  float cosTheta = 1.0f;
  float sinPhi = 0.0f;
  float cosPhi = 1.0f;
};

struct Point {
  float x = 0.0f, y = 0.0f, z = 0.0f;  // [cm]
};

struct PhotonState {
  float E = 0.0f;  // [keV]
  Point position;
  Direction direction;
};

struct ElectronState {
  float T = 0.0f;  // kinetic energy [keV]
  Point position;
  Direction direction;
};

// Bookkeeping of one history: which kernel layer scores, and how far a pair
// production has got (electron -> positron -> two annihilation photons).
struct HistoryState {
  int scoreLayer = 1;  // 1 primary, 2 scatter
  int annihilationStage =
      0;              // 0 none, 1 pair particles running, 2 first, 3 second annihilation photon
  int pairStage = 0;  // 0 none, 1 pair electron running, 2 positron running
  // Pair record, kept for the positron.
  Point pairPoint;
  float pairEnergy = 0.0f;   // kinetic energy of each of electron and positron [keV]
  float pairAngle = 0.0f;    // [rad]
  float pairAzimuth = 0.0f;  // electron's azimuth [rad]; the positron's is PI + this
  // Annihilation record, kept for the second annihilation photon.
  Point annihilationPoint;
  float annihilationTheta = 0.0f;  // [rad]
  float annihilationPhi = 0.0f;    // [rad]
  float scatteredEnergy = 0.0f;    // E' of the latest Compton scattering [keV]
};

// ---------------------------------------------------------------- scoring

// Energy deposited [keV] in cylindrical cells around the beam axis x = y = 25 cm.
// The layer index varies fastest, then radial, then depth.
struct DoseKernel {
  std::array<float, kLayers * kRadialBins * kDepthBins> cells{};

  static constexpr int index(int layer, int radial, int depth) {
    return ((depth - 1) * kRadialBins + (radial - 1)) * kLayers + (layer - 1);
  }
  float& K(int layer, int radial, int depth) { return cells[index(layer, radial, depth)]; }
  float K(int layer, int radial, int depth) const { return cells[index(layer, radial, depth)]; }
};

// T(k, depth): energy of field k in a depth bin, then normalised to the field's maximum.
struct TmrTable {
  std::array<float, kFields * kDepthBins> values{};
  float& T(int field, int depth) { return values[(field - 1) * kDepthBins + (depth - 1)]; }
  float T(int field, int depth) const { return values[(field - 1) * kDepthBins + (depth - 1)]; }
};

struct RunState {
  LaggedAdditiveGenerator rng;
  PhotonState photon;
  ElectronState electron;
  HistoryState history;
  DoseKernel kernel;
  TmrTable tmr;
};

// The whole of the simulation's data, instantiated once per run (and by tests).
struct Simulation {
  PhysicsTables tables;
  Phantom phantom;
  RunInput input;
  RunState run;
};

}  // namespace dravik
