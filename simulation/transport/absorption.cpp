#include "simulation/transport/absorption.h"

#include <cmath>

#include "simulation/kernel.h"
#include "simulation/transport/electron.h"
#include "simulation/transport/scatter.h"

namespace dravik {

void absorbPhotoelectric(const Phantom& phantom, Worker& w, const Point& point) {
  depositPoint(w.kernel, phantom, w.history.scoreLayer, w.photon.E, point);
}

namespace {

// Electron or positron of the pair: deposited at once below the cut-off, else
// followed to its end. Returns where it ended.
Point followPairParticle(const SharedTables& shared, Worker& w, const Direction& direction) {
  HistoryState& h = w.history;
  if (h.pairEnergy < CUTOFF_ENERGY) {
    depositPoint(w.kernel, shared.phantom, h.scoreLayer, h.pairEnergy, h.pairPoint);
    return h.pairPoint;
  }
  ElectronState& e = w.electron;
  e.T = h.pairEnergy;
  e.position = h.pairPoint;
  e.direction = direction;
  transportElectron(e, shared.tables, shared.phantom, w.rng, w.kernel, h.scoreLayer);
  return e.position;
}

}  // namespace

void producePair(const SharedTables& shared, Worker& w, const Direction& before,
                 const Point& point) {
  HistoryState& h = w.history;
  LaggedAdditiveGenerator& rng = w.rng;
  const float E = w.photon.E;
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
      shared, w,
      rotateDirection(before, sinP, cosP, std::sin(h.pairAzimuth), std::cos(h.pairAzimuth)));
  h.pairStage = 2;
  const float positronAzimuth = PI + h.pairAzimuth;
  h.annihilationPoint = followPairParticle(
      shared, w,
      rotateDirection(before, sinP, cosP, std::sin(positronAzimuth), std::cos(positronAzimuth)));

  PhotonState& photon = w.photon;
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
