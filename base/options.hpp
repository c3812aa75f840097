// The kinds of values the command line chooses among, which the stages
// below the driver read from the settings they are given (the program
// type of the text forms, the mode of --enum-mode=).
#pragma once

// -P=: the type of evaluation program the program file is written for. rox
// and pexa programs print answer sets that the output filter reads back;
// the output of any other type is copied as it is.
enum class PROGRAM_TYPE { OTHER = 0, ROX = 1, PEXA = 2 };

// --enum-mode=: the answer sets (AUTO, the default), or the atoms true in
// some (BRAVE) or in every one (CAUTIOUS), printed as one set.
enum class ENUM_MODE { AUTO, BRAVE, CAUTIOUS };
