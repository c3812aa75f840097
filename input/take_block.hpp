// A block of a session's standard input read as the next update program of
// the sequence, all or nothing: a block with any error in it (a syntax
// error, an unsafe rule, a predicate seen with another arity, ...) gets the
// parser's diagnostics on "<stdin>" and leaves the sequence and the name
// tables as they were, as if it had never been read.
#pragma once

#include <cstddef>
#include <string_view>

#include "input/directives.hpp"
#include "input/parser.hpp"

// Reads text, a block from "{" to "}" that begins on line `line` of
// standard input, under the directives read so far, with parser; true when
// it became the last program of the parser's sequence (and its directives
// were added). The parser keeps what is needed to give the block back.
bool TakeBlock(PARSER& parser, std::string_view text, unsigned line, INPUT_DIRECTIVES& directives);

// Forgets the program the last TakeBlock took that is not forgotten yet, as
// if it had never been read (the evaluation program refused it, or the
// session takes it back); repeatable down to the first block taken. The
// caller restores the directives it held before that block.
void UndoLastBlock(PARSER& parser);

// Reports a predicate whose strong negation is used with another arity
// while one of the two heads a rule (the translation of the sequence
// cannot give both their rules, and a run stops there) and returns false.
// Looks at the programs from firstProgram on and the predicates from
// firstPredicate on; remembers their heads when all is well. at: the line
// to name, 0 for none.
bool CheckComplementArities(PARSER& parser, std::size_t firstProgram, unsigned firstPredicate,
                            unsigned at);
