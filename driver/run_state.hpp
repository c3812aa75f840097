// What one run of vok reads and makes: the sequence it read, its
// translation, and the predicates its results show. main owns them for the
// whole run and hands them down by reference to the steps that read them
// (the rewriting, the program file, the output filter's explanations and
// candidate tests); no step reaches them any other way.
#pragma once

#include "driver/settings.hpp"
#include "driver/show.hpp"
#include "representation/sequence.hpp"
#include "rewriting/rewriting.hpp"
#include "rewriting/translation.hpp"

struct RUN_STATE {
    SEQUENCE sequence;
    TRANSLATION translation;
    SHOWN_PREDICATES shown;  // --show, then the inputs' #show
};

// What the rewriting needs of the run's settings.
REWRITING_SETTINGS RunRewritingSettings(const RUN_SETTINGS& settings);
