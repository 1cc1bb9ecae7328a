/* The PNG encoder and decoder of the stand-in host: stb_image_write and stb_image (Debian's
   libstb-dev), header-only, built here once. The encoder's own file functions are left out: the
   host writes its files itself. The decoder reads only PNG. */
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb_image.h>
