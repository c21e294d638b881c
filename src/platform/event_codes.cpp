// SDL 1.2 builds: the numbers are already the replay's own.
#include "platform/event_codes.h"

uint8_t portableEventType(uint32_t type) { return static_cast<uint8_t>(type); }
uint16_t portableKey(uint32_t sym) { return static_cast<uint16_t>(sym); }
