#include "overlay/tokens.h"

namespace overlay {

const char* const kTokenNames[kTokenCount] = {
    "*CAMERA_NAME*", "*CUR_DATE*", "*CUR_TIME*", "*ELAPSED*", "*SEL_FACES*", "*SEL_EDGES*", "*SEL_VERTICES*",
    "*FPS*",         "*SEL_MODE*", "*SEL_COUNT*",
};

}  // namespace overlay
