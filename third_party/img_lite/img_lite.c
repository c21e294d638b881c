/* JPEG and BMP pictures as SDL_image 1.2 loads them. */
#include "SDL_image.h"

#include <setjmp.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <jpeglib.h>

const SDL_version *IMG_Linked_Version(void)
{
    static SDL_version version;
    SDL_IMAGE_VERSION(&version);
    return &version;
}

int IMG_Init(int flags) { return flags & IMG_INIT_JPG; }

void IMG_Quit(void) {}

/* Reads the first bytes and puts the stream back where it was. */
static int peek(SDL_RWops *src, Uint8 *bytes, int count)
{
    int start, got;
    if (!src) return 0;
    start = SDL_RWtell(src);
    got = SDL_RWread(src, bytes, 1, count);
    SDL_RWseek(src, start, RW_SEEK_SET);
    return got == count;
}

int IMG_isJPG(SDL_RWops *src)
{
    Uint8 magic[3];
    return peek(src, magic, 3) && magic[0] == 0xFF && magic[1] == 0xD8 && magic[2] == 0xFF;
}

int IMG_isBMP(SDL_RWops *src)
{
    Uint8 magic[2];
    return peek(src, magic, 2) && magic[0] == 'B' && magic[1] == 'M';
}

SDL_Surface *IMG_LoadBMP_RW(SDL_RWops *src) { return src ? SDL_LoadBMP_RW(src, 0) : NULL; }

struct jpeg_failure {
    struct jpeg_error_mgr manager;
    jmp_buf back;
    char message[JMSG_LENGTH_MAX];
};

static void leave_on_error(j_common_ptr info)
{
    struct jpeg_failure *failure = (struct jpeg_failure *)info->err;
    (*info->err->format_message)(info, failure->message);
    longjmp(failure->back, 1);
}

/* Warnings stay quiet, as in SDL_image. */
static void keep_quiet(j_common_ptr info) { (void)info; }

/* The whole rest of the stream in memory, for libjpeg's memory source. */
static Uint8 *read_all(SDL_RWops *src, unsigned long *length)
{
    size_t capacity = 64 * 1024, used = 0;
    Uint8 *bytes = (Uint8 *)malloc(capacity);
    int got;
    if (!bytes) return NULL;
    for (;;) {
        if (used == capacity) {
            Uint8 *larger = (Uint8 *)realloc(bytes, capacity * 2);
            if (!larger) {
                free(bytes);
                return NULL;
            }
            bytes = larger;
            capacity *= 2;
        }
        got = SDL_RWread(src, bytes + used, 1, (int)(capacity - used));
        if (got <= 0) break;
        used += (size_t)got;
    }
    *length = (unsigned long)used;
    return bytes;
}

/* Four-component pictures come out as raw 32-bit CMYK and all others as 24-bit RGB with the
 * bytes R, G, B in memory: the surfaces SDL_image 1.2 makes. */
static SDL_Surface *surface_for(struct jpeg_decompress_struct *info)
{
    if (info->num_components == 4) {
        info->out_color_space = JCS_CMYK;
        info->quantize_colors = FALSE;
        jpeg_calc_output_dimensions(info);
        return SDL_CreateRGBSurface(SDL_SWSURFACE, info->output_width, info->output_height, 32,
#if SDL_BYTEORDER == SDL_LIL_ENDIAN
                                    0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000);
#else
                                    0x0000FF00, 0x00FF0000, 0xFF000000, 0x000000FF);
#endif
    }
    info->out_color_space = JCS_RGB;
    info->quantize_colors = FALSE;
    jpeg_calc_output_dimensions(info);
    return SDL_CreateRGBSurface(SDL_SWSURFACE, info->output_width, info->output_height, 24,
#if SDL_BYTEORDER == SDL_LIL_ENDIAN
                                0x0000FF, 0x00FF00, 0xFF0000,
#else
                                0xFF0000, 0x00FF00, 0x0000FF,
#endif
                                0);
}

/* Decodes a whole JPEG held in memory; NULL with SDL's error set when it is damaged. */
static SDL_Surface *decode_jpeg(const Uint8 *bytes, unsigned long length)
{
    struct jpeg_decompress_struct info;
    struct jpeg_failure failure;
    SDL_Surface *volatile surface = NULL;

    memset(&info, 0, sizeof info);
    info.err = jpeg_std_error(&failure.manager);
    failure.manager.error_exit = leave_on_error;
    failure.manager.output_message = keep_quiet;
    if (setjmp(failure.back)) {
        jpeg_destroy_decompress(&info);
        if (surface) SDL_FreeSurface(surface);
        SDL_SetError("JPEG loading error: %s", failure.message);
        return NULL;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes, length);
    jpeg_read_header(&info, TRUE);
    surface = surface_for(&info);
    if (!surface) {
        strcpy(failure.message, "Out of memory");
        longjmp(failure.back, 1);
    }
    jpeg_start_decompress(&info);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = (Uint8 *)surface->pixels + (size_t)info.output_scanline * surface->pitch;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return surface;
}

SDL_Surface *IMG_LoadJPG_RW(SDL_RWops *src)
{
    SDL_Surface *surface;
    Uint8 *bytes;
    unsigned long length = 0;
    int start;

    if (!src) return NULL;
    start = SDL_RWtell(src);
    bytes = read_all(src, &length);
    if (!bytes) {
        SDL_SetError("Out of memory");
        return NULL;
    }
    surface = decode_jpeg(bytes, length);
    free(bytes);
    if (!surface) SDL_RWseek(src, start, RW_SEEK_SET);
    return surface;
}

static int is_type(const char *type, const char *name) { return type && SDL_strcasecmp(type, name) == 0; }

SDL_Surface *IMG_LoadTyped_RW(SDL_RWops *src, int freesrc, char *type)
{
    SDL_Surface *surface = NULL;
    if (!src) {
        SDL_SetError("Passed a NULL data source");
        return NULL;
    }
    if (IMG_isBMP(src) || is_type(type, "BMP"))
        surface = IMG_LoadBMP_RW(src);
    else if (IMG_isJPG(src) || is_type(type, "JPG") || is_type(type, "JPEG"))
        surface = IMG_LoadJPG_RW(src);
    else
        SDL_SetError("Unsupported image format");
    if (freesrc) SDL_RWclose(src);
    return surface;
}

SDL_Surface *IMG_Load_RW(SDL_RWops *src, int freesrc) { return IMG_LoadTyped_RW(src, freesrc, NULL); }

SDL_Surface *IMG_Load(const char *file)
{
    SDL_RWops *src = SDL_RWFromFile(file, "rb");
    const char *dot = strrchr(file, '.');
    if (!src) return NULL; /* SDL_RWFromFile has set the error */
    return IMG_LoadTyped_RW(src, 1, dot ? (char *)dot + 1 : NULL);
}
