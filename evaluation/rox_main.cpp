// rox-clingo: answer sets of a program in rox form, computed by clingo.
#include "front_end.hpp"

int main(int argc, char** argv) {
    return vok::evaluation::run(vok::evaluation::FileForm::Rox, argc, argv);
}
