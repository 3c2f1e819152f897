#pragma once

// The system's message sounds. This desktop has one beep for all of them.

#include "framework/message_flags.h"

#include <cstdint>

bool MessageBeep(uint32_t type);
