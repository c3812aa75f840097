// What #save writes: the sequence of a session as one input that vok reads
// as the same sequence (each input file's programs, then every block taken,
// in order), written so that the file is either the old one or the whole
// new one.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// Appends an input file's text to a sequence file's text: a file of blocks
// as it is, a file that is one program without braces as one block, so that
// it stays one program among the others (its #const and #show hold inside
// the block as they held in the file).
void AppendInputText(std::string& sequence, std::string_view text);

// Writes text to path through a temporary file in the same folder that
// then takes its name; the system's reason when that fails.
std::optional<std::string> WriteFileWhole(const std::string& path, std::string_view text);
