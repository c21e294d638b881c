// The World the game ships (data/world.txt), built into the verifier.
#pragma once

extern const char SHIPPED_WORLD[];
