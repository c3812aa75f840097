#include "options.hpp"

bool OptionVerbosity = false;
bool OptionWait = false;
bool OptionSilent = false;
bool OptionStore = false;
bool OptionDebug = false;
bool OptionMinimal = false;
bool OptionStrict = false;
bool OptionCautious = false;
bool OptionBrave = false;
bool OptionIntegral = false;
bool OptionOneRun = false;
PROGRAM_TYPE OptionProgram = PROGRAM_TYPE::ROX;
OPTIMIZATION OptionOptimize = OPTIMIZATION::SUCCINT;

const char* WhoAmI = "vok";
std::string Goal;

bool OptionExplain = false;
bool OptionJson = false;
bool OptionSummary = false;
std::size_t OptionModels = 0;
unsigned OptionTimeLimit = 0;
bool OptionSession = false;
ENUM_MODE OptionEnumMode = ENUM_MODE::AUTO;
