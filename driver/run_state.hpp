// What one run of vok holds between its steps: the sequence it read and
// its translation, each made on first use and kept to the end of the run,
// and the settings of the lower layers as the command line's options give
// them.
#pragma once

#include "driver/settings.hpp"
#include "representation/sequence.hpp"
#include "rewriting/rewriting.hpp"
#include "rewriting/translation.hpp"

SEQUENCE& RunSequence();
TRANSLATION& RunTranslation();

// What the rewriting needs of the run's settings.
REWRITING_SETTINGS RunRewritingSettings(const RUN_SETTINGS& settings);
