/* IMG_Load for JPEG and BMP with the interface of SDL_image 1.2, for builds where SDL_image
 * itself is not available. JPEG goes through libjpeg, BMP through SDL's own reader, as in
 * SDL_image; the surfaces are the ones SDL_image 1.2 gives. */
#ifndef IMG_LITE_SDL_IMAGE_H
#define IMG_LITE_SDL_IMAGE_H

#include "SDL.h"
#include "SDL_version.h"

#define SDL_IMAGE_MAJOR_VERSION 1
#define SDL_IMAGE_MINOR_VERSION 2
#define SDL_IMAGE_PATCHLEVEL    12
#define SDL_IMAGE_VERSION(X)                      \
    {                                             \
        (X)->major = SDL_IMAGE_MAJOR_VERSION;     \
        (X)->minor = SDL_IMAGE_MINOR_VERSION;     \
        (X)->patch = SDL_IMAGE_PATCHLEVEL;        \
    }

/* The native test links this loader next to the real SDL_image: other names avoid the clash. */
#ifdef IMG_LITE_RENAME
#define IMG_Linked_Version lite_IMG_Linked_Version
#define IMG_Init lite_IMG_Init
#define IMG_Quit lite_IMG_Quit
#define IMG_LoadTyped_RW lite_IMG_LoadTyped_RW
#define IMG_Load lite_IMG_Load
#define IMG_Load_RW lite_IMG_Load_RW
#define IMG_isJPG lite_IMG_isJPG
#define IMG_isBMP lite_IMG_isBMP
#define IMG_LoadJPG_RW lite_IMG_LoadJPG_RW
#define IMG_LoadBMP_RW lite_IMG_LoadBMP_RW
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef enum { IMG_INIT_JPG = 0x00000001, IMG_INIT_PNG = 0x00000002, IMG_INIT_TIF = 0x00000004 } IMG_InitFlags;

const SDL_version *IMG_Linked_Version(void);
int IMG_Init(int flags);
void IMG_Quit(void);

SDL_Surface *IMG_LoadTyped_RW(SDL_RWops *src, int freesrc, char *type);
SDL_Surface *IMG_Load(const char *file);
SDL_Surface *IMG_Load_RW(SDL_RWops *src, int freesrc);

int IMG_isJPG(SDL_RWops *src);
int IMG_isBMP(SDL_RWops *src);
SDL_Surface *IMG_LoadJPG_RW(SDL_RWops *src);
SDL_Surface *IMG_LoadBMP_RW(SDL_RWops *src);

#define IMG_SetError SDL_SetError
#define IMG_GetError SDL_GetError

#ifdef __cplusplus
}
#endif

#endif
