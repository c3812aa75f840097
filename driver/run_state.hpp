// What one run of vok holds between its steps: the sequence it read and
// its translation, each made on first use and kept to the end of the run,
// and the settings of the lower layers as the command line's options give
// them.
#pragma once

#include "representation/sequence.hpp"
#include "rewriting/rewriting.hpp"
#include "rewriting/translation.hpp"

SEQUENCE& RunSequence();
TRANSLATION& RunTranslation();

// The rewriting's settings from the option flags.
REWRITING_SETTINGS RunRewritingSettings();
