// Set-up shared by the fuzz targets of vok's own code.
#include "fuzz_support.hpp"

// Diagnostics and answer sets are not what is tested; writing them would
// slow every execution down.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::silenceStreams();
    return 0;
}
