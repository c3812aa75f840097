// A piece of code run as the whole run of vok, for a death test: an end of
// the run that it meets ends the process as main would end it (RunToEnd),
// with that end's status and messages; otherwise the run ends with status 0.
#pragma once

#include "base/exits.hpp"

template <class F>
[[noreturn]] void AsWholeRun(F&& f) {
    RunToEnd([&] {
        f();
        return 0;
    });
}
