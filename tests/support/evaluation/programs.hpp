// Program texts in rox form that the tests of the clingo text and of
// solving it share: update sequences as vok writes them, with many ground
// rules of one shape.
#pragma once

#include <string>

// rules rules of one shape: a fact base with its rejection and rewritten
// rules, as an update sequence is written, and an update: by default rules
// over both predicates, so that every rejection rule may apply.
inline const char* const UpdateByRules =
    "u(c0,d0).\n-p0_P1(X,Y) :- u(X,Y).\n-p1_P1(X,Y) :- u(X,Y).\n";

inline std::string factBase(int facts, const std::string& update = UpdateByRules) {
    std::string text;
    for (int i = 0; i < facts; ++i) {
        std::string atom = "(c" + std::to_string(i) + ",d" + std::to_string(i % 3) + ")";
        std::string p = "p" + std::to_string(i % 2);
        std::string rej = "rej_P0_R" + std::to_string(i);
        text += rej + " :- -" + p + "_P1" + atom + ".\n";
        text += p + "_P0" + atom + " :- not " + rej + ".\n";
    }
    return text + update + "p0(X,Y) :- p0_P0(X,Y).\np1(X,Y) :- p1_P0(X,Y).\n";
}

// Predicates of one shape at two heights: r2 and r3 depend on r1 through
// "not", so that r1 may not join their family.
inline const char* const TwoHeights =
    "r1 :- a(1), not z.\nr2 :- a(2), not r1.\nr3 :- a(3), not r1.\nz :- a(4).\na(X) :- "
    "b(X).\nb(1).\nb(2).\nb(3).\nb(4).";

// A fact base whose update names one fact of p0 and none of p1 (the rule
// with variables that heads -p1_P1 never applies), with rules besides that
// may or may not apply.
inline std::string factBaseWithDeadRules() {
    return factBase(6, "-p0_P1(c0,d0).\n") +
           "-p1_P1(X,Y) :- -p1_P2(X,Y).\nr(X) :- s(X).\nt :- w(1).\n"
           "u :- not t, p0_P0(c0,d0).\ns(X) :- -p0_P1(X,d0).\nz :- s(c0).\n";
}
