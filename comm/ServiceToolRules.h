// The window-free decisions of the protocol test window and the continuous
// exerciser: the wording of their log lines. The speed, checksum and number
// entry they share with the control panel are in ServiceChoiceRules.h.
#pragma once

#include <cstdint>
#include <string>

namespace kvl {

// The failure field of a log line: "Error" and the error word with its top
// bit cleared, as 8 upper-case hexadecimal digits.
std::string ErrorField(uint32_t protocolError);

// Words as signed decimal numbers joined by ",".
std::string JoinSignedWords(const uint16_t* words, int count);

// The exerciser's line for a failed operation, by the error word.
std::string ExerciserErrorLine(uint32_t protocolError);

}  // namespace kvl
