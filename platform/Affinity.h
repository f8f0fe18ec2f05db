// Processor affinity of the whole process.
#pragma once

namespace kvl {

// Pins the calling process to one processor: the lowest-numbered processor
// it may run on now. Call it before any other thread exists (before the
// application object), since only the calling thread and threads created
// afterwards take the new mask. Returns false when the system refused; the
// program goes on unpinned then.
bool PinToFirstProcessor();

}  // namespace kvl
