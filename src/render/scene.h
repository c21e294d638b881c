// The play field and side panel, and the picture of the figures that reached the goal. The
// figure's own pictures are calls of the rules: see game/engine.h.
#pragma once

void drawScene();              // play field and side panel, without the figure
void drawCompletionPicture();  // logo and the figures that reached the goal
