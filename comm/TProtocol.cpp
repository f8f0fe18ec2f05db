#include "TProtocol.h"
