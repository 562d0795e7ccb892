#include "simulation/transport/photon.h"

#include <algorithm>
#include <cmath>

#include "simulation/kernel.h"
#include "simulation/transport/absorption.h"
#include "simulation/transport/deviate_tables.h"
#include "simulation/transport/electron.h"
#include "simulation/transport/scatter.h"

namespace dravik {

namespace {

float logLog(float lowLog, float highLog, float t) {
  return std::exp(lowLog + (highLog - lowLog) * t);
}

// Follows w.photon step by step until it is absorbed, cut off or leaves the
// phantom; a pair production continues with the first annihilation photon.
void trackPhoton(const SharedTables& shared, Worker& w) {
  PhotonState& photon = w.photon;
  HistoryState& history = w.history;
  LaggedAdditiveGenerator& rng = w.rng;
  const PhysicsTables& tables = shared.tables;
  const Phantom& phantom = shared.phantom;
  const DeviateFunctions& fn = deviateFunctions();
  for (;;) {
    history.pairStage = 0;
    if (photon.E < CUTOFF_ENERGY) {
      depositPoint(w.kernel, phantom, history.scoreLayer, photon.E, photon.position);
      return;
    }
    const PhotonCoefficients mu = lookupCoefficients(tables.photon, photon.E);
    const std::int32_t v1 = rng.step();  // the stored value of the positive deviate r1
    const float r2 = rng.nextPositiveDeviate();
    const float s = -fn.logPositive[v1] / mu.total;  // -ln(r1)/mu: free path [cm]
    const Direction before = photon.direction;
    const Point p{photon.position.x + s * before.sinTheta * before.cosPhi,
                  photon.position.y + s * before.sinTheta * before.sinPhi,
                  photon.position.z + s * before.cosTheta};
    if (!phantom.contains(p.x, p.y, p.z)) return;  // left the phantom

    if (r2 <= mu.P1) {
      history.scoreLayer = 2;
      photon.direction = sampleCoherent(rng, tables, photon.E, before);
      photon.position = p;
    } else if (r2 <= mu.P2) {
      const ComptonSample c = sampleCompton(rng, tables, photon.E, before);
      photon.direction = c.photonDirection;
      photon.position = p;
      history.scatteredEnergy = c.scatteredEnergy;
      // The recoil electron first, in the layer of the moment.
      if (c.recoilEnergy < CUTOFF_ENERGY) {
        depositPoint(w.kernel, phantom, history.scoreLayer, c.recoilEnergy, p);
      } else {
        ElectronState& e = w.electron;
        e.T = c.recoilEnergy;
        e.position = p;
        e.direction = c.electronDirection;
        transportElectron(e, tables, phantom, rng, w.kernel, history.scoreLayer);
      }
      history.scoreLayer = 2;
      if (c.scatteredEnergy < CUTOFF_ENERGY) {
        depositPoint(w.kernel, phantom, history.scoreLayer, c.scatteredEnergy, p);
        return;
      }
      photon.E = c.scatteredEnergy;
    } else if (r2 <= mu.P3) {
      absorbPhotoelectric(phantom, w, p);
      return;
    } else {
      producePair(shared, w, before, p);  // the photon is now the first annihilation photon
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

void trackHistory(const SharedTables& shared, Worker& w) {
  for (;;) {
    trackPhoton(shared, w);
    if (w.history.annihilationStage != 2) return;
    startSecondAnnihilationPhoton(w.photon, w.history);
  }
}

}  // namespace dravik
