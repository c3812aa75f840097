// rox-clingo: answer sets of a program in rox form, computed by clingo.
#include "evaluation/front_end/run.hpp"

int main(int argc, char** argv) {
    return vok::evaluation::Run(vok::evaluation::FILE_FORM::ROX, argc, argv);
}
