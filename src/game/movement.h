// The player's steps across the Board.
#pragma once

// Moves one tile in the direction requested this frame, or hands a step over the edge to
// the sector crossing; remembers the direction even while dead.
void stepPlayer();
