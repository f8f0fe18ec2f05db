#include "UCore.h"

uint32_t TCore::OpenPort() {
  Protocol->PortNumber = PortNumber;
  if (LineSetting < 1 || LineSetting > kLineSettingCount) return 1;
  const LineSettingEntry& line = kLineSettings[LineSetting - 1];
  Protocol->Baud = line.Baud;
  Protocol->Parity = line.Parity;
  Protocol->StopBits = line.StopBits;
  return Protocol->Open();
}

bool TCore::ClosePort() { return Protocol->Close() != 0; }
