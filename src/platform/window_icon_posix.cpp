#include <SDL.h>

#include "platform/paths.h"
#include "platform/window_icon.h"

void setWindowIcon() {
    SDL_Surface* icon = SDL_LoadBMP_RW(SDL_RWFromFile(nativePath("data\\icon.bmp").text, "rb"), 1);
    SDL_WM_SetIcon(icon, nullptr);  // a missing icon simply leaves the default
    SDL_FreeSurface(icon);
}
