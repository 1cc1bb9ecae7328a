// What each CONFIG key does, in words for users, for the listings and tables the documents are made
// from. `quoted` words are names to type.
#pragma once

#include "config/config_keys.h"

namespace keys {

const char* keyHelp(config::ConfigKey key);

}  // namespace keys
