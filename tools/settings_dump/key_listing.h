// The CONFIG keys described for users, from the key table (config/config_keys.h): what
// settings_dump --keys prints, and the key tables of README.txt and README.md, which a test holds
// to it.
#pragma once

#include <string>

namespace keys {

// One paragraph a key, or a group of keys that share their words: the names from column 3, the
// text from column 21, lines of at most 79 characters.
std::string plainListing();

// The Markdown table: key, meaning, valid values, default.
std::string markdownTable();

}  // namespace keys
