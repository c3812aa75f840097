// What one run of vok holds between its steps: the translation of the
// sequence it read, made on first use and kept to the end of the run, and
// the settings of the lower layers as the command line's options give them.
#pragma once

#include "rewriting/rewriting.hpp"
#include "rewriting/translation.hpp"

TRANSLATION& RunTranslation();

// The rewriting's settings from the option flags.
REWRITING_SETTINGS RunRewritingSettings();
