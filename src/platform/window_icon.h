// The icon of the game's window.
#pragma once

// Call before the video mode opens.
void setWindowIcon();
