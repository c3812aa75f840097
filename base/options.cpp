#include "options.hpp"

bool OptionVerbosity = false;
bool OptionWait = false;
bool OptionStore = false;
bool OptionMinimal = false;
bool OptionStrict = false;
bool OptionCautious = false;
bool OptionBrave = false;
bool OptionIntegral = false;
bool OptionOneRun = false;
PROGRAM_TYPE OptionProgram = PROGRAM_TYPE::ROX;

const char* WhoAmI = "vok";
std::string Goal;

bool OptionExplain = false;
bool OptionJson = false;
bool OptionSummary = false;
std::size_t OptionModels = 0;
bool OptionSession = false;
ENUM_MODE OptionEnumMode = ENUM_MODE::AUTO;
