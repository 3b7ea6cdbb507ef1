/* stb_image with only its TGA decoder: the peer of the exchange-image reader. */
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_TGA
#include <stb_image.h>
