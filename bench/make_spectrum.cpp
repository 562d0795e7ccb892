// Writes the hand-over files of the workbench's 10 MV preset (10.0 MeV electrons
// on a Z = 29 target, 10.8 mm of lead) into a folder, through the workbench's own
// spectrum computation: S_SPCTL.dat and a B2F.dat with the given name and
// history number. Used once to make the committed transport fixtures.
//   make_spectrum <Lead.dat> <folder> <result name> <histories>
#include <iostream>

#include "workbench/spectrum/lead.h"
#include "workbench/spectrum/run_files.h"
#include "workbench/spectrum/schiff.h"

int main(int argc, char** argv) {
  if (argc != 5) {
    std::cerr << "usage: make_spectrum <Lead.dat> <folder> <result name> <histories>\n";
    return 2;
  }
  corvane::SpectrumState state;
  corvane::LeadTable lead;
  if (auto s = corvane::readLeadTable(argv[1], lead, state.leadAttenuation); !s) {
    std::cerr << s.failure().message << '\n';
    return 1;
  }
  const corvane::SpectrumEntries entries{"10.0", "29", "10.8", false};
  state.spectrumCount = 1;
  if (auto r = corvane::computeSchiffSpectrum(state, entries); !r) {
    std::cerr << r.failure().message << '\n';
    return 1;
  }
  if (auto s = corvane::writeSpectrumFile(state, entries, argv[2]); !s) {
    std::cerr << s.failure().message << '\n';
    return 1;
  }
  if (auto s = corvane::writeRunParameters(argv[3], argv[4], argv[2]); !s) {
    std::cerr << s.failure().message << '\n';
    return 1;
  }
  return 0;
}
