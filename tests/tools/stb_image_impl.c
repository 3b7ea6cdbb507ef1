/* stb_image's implementation: the tests read the tools' PNG files back with it. */
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb_image.h>
