/* The PNG encoder of the stand-in host: stb_image_write (Debian's libstb-dev), header-only, built
   here once. Its own file functions are left out: the host opens its files itself. */
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>
