/* stb_image_write's implementation, the peer of the exchange-image writer. */
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>
