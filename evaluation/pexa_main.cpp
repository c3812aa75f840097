// pexa-clingo: answer sets of a propositional program in pexa form,
// computed by clingo.
#include "front_end.hpp"

int main(int argc, char** argv) {
    return vok::evaluation::Run(vok::evaluation::FILE_FORM::PEXA, argc, argv);
}
