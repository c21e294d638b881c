// Crossing the Board's edge into a neighbouring sector.
#pragma once

// Attempts a crossing in a direction; returns after the slide, or at once when a wall or
// the World's border bars the way. Either way the level values of the sector the player is
// in apply afterwards.
void moveToSector(int direction);

// Slides the view from the current sector to the one at (dx, dy), keeping the rules running.
void slideToSector(int dx, int dy);

// Whether the crossing from the current sector in a direction is open.
bool crossingAllowed(int direction);
