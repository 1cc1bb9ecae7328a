// A library that loads but offers no plug-in entries.
#include "exports.h"

TEST_PLUGIN_EXPORT int unrelatedEntry() { return 0; }
