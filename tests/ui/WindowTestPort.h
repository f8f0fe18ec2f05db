// The setting that window tests with a simulated controller share: COM1 is the
// simulator's pseudo-terminal, the screen is wide enough not to maximise the
// main window, and the application title is the product's.
#pragma once

#include <cstdlib>

#include "Application.h"
#include "ControllerSim.h"

namespace kvltest {

inline bool StartWindowTestPort(kvlsim::TControllerSim& sim) {
  kvl::SetScreenWidthForTesting(1280);
  kvl::SetApplicationTitle("KVL-Q70");
  if (!sim.Start()) return false;
  ::setenv("KVLQ70_COM1", sim.SlavePath().c_str(), 1);
  return true;
}

inline void StopWindowTestPort(kvlsim::TControllerSim& sim) {
  sim.Stop();
  ::unsetenv("KVLQ70_COM1");
  kvl::SetScreenWidthForTesting(-1);
}

}  // namespace kvltest
