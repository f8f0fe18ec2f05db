// The serial link object: port and loader-frame protocol.
#pragma once

#include <cstdint>

// Placeholder until the serial port and its frames are built.
class TComm {
 public:
  virtual ~TComm() = default;
  uint32_t Close() { return 1; }
};

class TProtocol : public TComm {};
