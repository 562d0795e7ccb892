#include "simulation/transport/absorption.h"

#include <cmath>

#include "simulation/kernel.h"
#include "simulation/transport/electron.h"
#include "simulation/transport/scatter.h"

namespace dravik {

void absorbPhotoelectric(Simulation& sim, const Point& point) {
  depositPoint(sim.run.kernel, sim.phantom, sim.run.history.scoreLayer, sim.run.photon.E, point);
}

namespace {

// Electron or positron of the pair: deposited at once below the cut-off, else
// followed to its end. Returns where it ended.
Point followPairParticle(Simulation& sim, const Direction& direction) {
  HistoryState& h = sim.run.history;
  if (h.pairEnergy < CUTOFF_ENERGY) {
    depositPoint(sim.run.kernel, sim.phantom, h.scoreLayer, h.pairEnergy, h.pairPoint);
    return h.pairPoint;
  }
  ElectronState& e = sim.run.electron;
  e.T = h.pairEnergy;
  e.position = h.pairPoint;
  e.direction = direction;
  transportElectron(e, sim.tables, sim.phantom, sim.run.rng, sim.run.kernel, h.scoreLayer);
  return e.position;
}

}  // namespace

void producePair(Simulation& sim, const Direction& before, const Point& point) {
  HistoryState& h = sim.run.history;
  LaggedAdditiveGenerator& rng = sim.run.rng;
  const float E = sim.run.photon.E;
  h.pairEnergy = (E - PAIR_THRESHOLD) * 0.5f;
  h.pairAngle = 1.0f / (E / ELECTRON_REST_ENERGY);
  h.pairAzimuth = rng.nextPositiveDeviate() * PI * 2.0f;
  h.annihilationTheta = rng.nextPositiveDeviate() * PI;
  h.annihilationPhi = rng.nextPositiveDeviate() * PI * 2.0f;
  h.pairStage = 1;
  h.annihilationStage = 1;
  h.pairPoint = point;

  const float sinP = std::sin(h.pairAngle);
  const float cosP = std::cos(h.pairAngle);
  followPairParticle(
      sim, rotateDirection(before, sinP, cosP, std::sin(h.pairAzimuth), std::cos(h.pairAzimuth)));
  h.pairStage = 2;
  const float positronAzimuth = PI + h.pairAzimuth;
  h.annihilationPoint = followPairParticle(
      sim,
      rotateDirection(before, sinP, cosP, std::sin(positronAzimuth), std::cos(positronAzimuth)));

  PhotonState& photon = sim.run.photon;
  photon.E = ELECTRON_REST_ENERGY;
  photon.position = h.annihilationPoint;
  photon.direction = {std::sin(h.annihilationTheta), std::cos(h.annihilationTheta),
                      std::sin(h.annihilationPhi), std::cos(h.annihilationPhi)};
  h.annihilationStage = 2;
  h.scoreLayer = 2;
}

void startSecondAnnihilationPhoton(PhotonState& photon, HistoryState& history) {
  const float theta = PI - history.annihilationTheta;
  const float phi = PI + history.annihilationPhi;
  photon.E = ELECTRON_REST_ENERGY;
  photon.position = history.annihilationPoint;
  photon.direction = {std::sin(theta), std::cos(theta), std::sin(phi), std::cos(phi)};
  history.annihilationStage = 3;
  history.scoreLayer = 2;
}

}  // namespace dravik
