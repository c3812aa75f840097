// pexa-clingo: answer sets of a propositional program in pexa form,
// computed by clingo.
#include "front_end.hpp"

int main(int argc, char** argv) {
    return vok::evaluation::run(vok::evaluation::FileForm::Pexa, argc, argv);
}
