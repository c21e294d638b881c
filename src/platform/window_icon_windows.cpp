#include "platform/window_icon.h"

// SDL's window class takes the program's icon resource named SDL_app (packaging/windows), in
// every size with its transparency. The picture in data\icon.bmp has no mask and would replace
// it with a dark square.
void setWindowIcon() {}
