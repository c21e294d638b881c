// SDL's event types and keys in the numbers the game reads and replays keep
// (platform/game_event.h), whatever SDL the build compiles against: the web build's SDL numbers
// them otherwise.
#pragma once

#include <cstdint>

#include "platform/game_event.h"

uint8_t portableEventType(uint32_t type);  // an event the game never reads may come back as another
uint16_t portableKey(uint32_t sym);        // a key the game never reads may come back as 0
