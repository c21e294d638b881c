// The death sequence, respawn, and the goal that ends a run.
#pragma once

const int DEATH_DYING_FROM = 300;   // the dying picture from here
const int DEATH_HIDDEN_FROM = 900;  // nothing drawn from here
const int DEATH_RESPAWN_AFTER = 1000;

// Ends the run as reached when the player stands on the bottom-left tile of sector (0, 0).
void checkGoal();

// Draws the figure for the death phase, or respawns, or ends the run when no life is left.
void drawPlayerOrRespawn();
