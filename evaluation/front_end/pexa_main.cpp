// pexa-clingo: answer sets of a propositional program in pexa form,
// computed by clingo.
#include "evaluation/front_end/run.hpp"

int main(int argc, char** argv) {
    return vok::evaluation::Run(vok::evaluation::FILE_FORM::PEXA, argc, argv);
}
