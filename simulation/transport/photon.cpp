#include "simulation/transport/photon.h"

#include <algorithm>
#include <cmath>

#include "simulation/kernel.h"
#include "simulation/transport/absorption.h"
#include "simulation/transport/electron.h"
#include "simulation/transport/runaway.h"
#include "simulation/transport/scatter.h"

namespace dravik {

namespace {

float logLog(float lowLog, float highLog, float t) {
  return std::exp(lowLog + (highLog - lowLog) * t);
}

// Follows sim.run.photon step by step until it is absorbed, cut off or leaves
// the phantom; a pair production continues with the first annihilation photon.
void trackPhoton(Simulation& sim) {
  PhotonState& photon = sim.run.photon;
  HistoryState& history = sim.run.history;
  LaggedAdditiveGenerator& rng = sim.run.rng;
  for (long step = 1;; ++step) {
    if (step > kMaxPhotonSteps) stopRunawayHistory("a photon", photon.E, kMaxPhotonSteps, "steps");
    history.pairStage = 0;
    if (photon.E < CUTOFF_ENERGY) {
      depositPoint(sim.run.kernel, sim.phantom, history.scoreLayer, photon.E, photon.position);
      return;
    }
    const PhotonCoefficients mu = lookupCoefficients(sim.tables.photon, photon.E);
    const float r1 = rng.nextPositiveDeviate();
    const float r2 = rng.nextPositiveDeviate();
    const float s = -std::log(r1) / mu.total;  // free path [cm]
    const Direction before = photon.direction;
    const Point p{photon.position.x + s * before.sinTheta * before.cosPhi,
                  photon.position.y + s * before.sinTheta * before.sinPhi,
                  photon.position.z + s * before.cosTheta};
    if (!sim.phantom.contains(p.x, p.y, p.z)) return;  // left the phantom

    if (r2 <= mu.P1) {
      history.scoreLayer = 2;
      photon.direction = sampleCoherent(rng, sim.tables, photon.E, before);
      photon.position = p;
    } else if (r2 <= mu.P2) {
      const ComptonSample c = sampleCompton(rng, sim.tables, photon.E, before);
      photon.direction = c.photonDirection;
      photon.position = p;
      history.scatteredEnergy = c.scatteredEnergy;
      // The recoil electron first, in the layer of the moment.
      if (c.recoilEnergy < CUTOFF_ENERGY) {
        depositPoint(sim.run.kernel, sim.phantom, history.scoreLayer, c.recoilEnergy, p);
      } else {
        ElectronState& e = sim.run.electron;
        e.T = c.recoilEnergy;
        e.position = p;
        e.direction = c.electronDirection;
        transportElectron(e, sim.tables, sim.phantom, rng, sim.run.kernel, history.scoreLayer);
      }
      history.scoreLayer = 2;
      if (c.scatteredEnergy < CUTOFF_ENERGY) {
        depositPoint(sim.run.kernel, sim.phantom, history.scoreLayer, c.scatteredEnergy, p);
        return;
      }
      photon.E = c.scatteredEnergy;
    } else if (r2 <= mu.P3) {
      absorbPhotoelectric(sim, p);
      return;
    } else {
      producePair(sim, before, p);  // the photon is now the first annihilation photon
    }
  }
}

}  // namespace

PhotonCoefficients lookupCoefficients(const PhotonCoefficientTable& table, float E) {
  // The first row from 2 on whose energy is above E (the last row at most): a
  // bisection finds the same row as the linear search over ascending energies.
  const float* first = table.energy.data() + 2;
  // (The reader admits no table of fewer than two rows; 2 keeps the range valid.)
  const float* last = table.energy.data() + std::max(table.rowCount, kMinCoefficientRows);
  const int k = static_cast<int>(std::upper_bound(first, last, E) - table.energy.data());
  const float lnE = std::log(E);
  const float lnLow = table.lnEnergy[k - 1];
  const float t = (lnE - lnLow) / (table.lnEnergy[k] - lnLow);
  PhotonCoefficients mu;
  mu.coherent = logLog(table.lnCoherent[k - 1], table.lnCoherent[k], t);
  mu.incoherent = logLog(table.lnIncoherent[k - 1], table.lnIncoherent[k], t);
  mu.photoelectric = logLog(table.lnPhotoelectric[k - 1], table.lnPhotoelectric[k], t);
  if (table.pair[k - 1] == 0.0f || table.pair[k] == 0.0f) {
    mu.pair = 0.0f;  // below the pair threshold
  } else {
    mu.pair = logLog(table.lnPair[k - 1], table.lnPair[k], t);
  }
  mu.total = ((mu.pair + mu.photoelectric) + mu.incoherent) + mu.coherent;
  mu.P1 = mu.coherent / mu.total;
  mu.P2 = (mu.incoherent + mu.coherent) / mu.total;
  mu.P3 = ((mu.photoelectric + mu.incoherent) + mu.coherent) / mu.total;
  return mu;
}

void trackHistory(Simulation& sim) {
  for (;;) {
    trackPhoton(sim);
    if (sim.run.history.annihilationStage != 2) return;
    startSecondAnnihilationPhoton(sim.run.photon, sim.run.history);
  }
}

}  // namespace dravik
