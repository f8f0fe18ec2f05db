// The process entry: processor pinning, the single-instance guard, the
// application object, the windows in their order, the message loop.
#pragma once

namespace kvl {

// Runs the program; the process's exit code (always 0).
int RunProgram(int argc, char** argv);

}  // namespace kvl
