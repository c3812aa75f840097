// Writes a random session for the differential test of vok --session:
//
//   vok-random-session SEED FOLDER [prop|agg|choice|propchoice]
//
// FOLDER/files.lp holds the first programs (none, one or two; no file when
// none), FOLDER/stdin.txt the blocks that follow, some of them with errors
// (which the session drops) or stray text between them, and the session
// directives #undo. (which takes back the last block taken) and
// #save "FOLDER/saved.lp". (which writes the sequence so far), and
// FOLDER/step<N>.lp the whole sequence of the N-th answer, a block taken or
// an undo (the files and every block taken and not taken back), which vok
// solves as one run to compare with. FOLDER/steps holds the number of the
// last answer, FOLDER/saved_step that of the answer the last #save saved.
//
// The programs mix facts, rules with and without variables, strong
// negation, default negation, pairs of rules that block each other (so
// that there are several answer sets, rejecting rules of different
// programs), constraints, and positive loops whose rules come in different
// programs, some of them closed by a later block; first-order ones also a
// base of facts that later rules read or retract, joins over it, rules
// that reject what is derived from it or make it recursive, paths over
// edges (also joined with themselves), a loop over two predicates, rules
// and facts that reject atoms inside a recursion, and comparisons. With "prop" everything is
// propositional (for -P=pexa); with "agg" first-order programs hold body
// aggregates too (#count, #sum, #min, #max, negated, assigning, in
// constraints and in positive loops through the atoms they count) and
// conditional literals; with "choice" first-order programs hold choice
// rules (bounds, conditions, elements that later programs reject), with
// "propchoice" propositional ones hold choices without bounds. All kinds
// hold loops through `not` and choices that read what rules derive from
// the base, which the session keeps and hands to clingo's search.
// Predicate names are drawn from a pool that
// holds names vok generates for itself, an upper-case name and a quoted one.
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/random.hpp"

namespace {

const std::vector<std::string> PropositionPool = {"a",         "b",       "c",  "d",
                                                  "rej_P0_R0", "is_true", "Up", "\"x y\""};
const std::vector<std::string> UnaryPool = {"p", "q", "rej_P1_R0", "Ok"};
const std::vector<std::string> Constants = {"c1", "c2", "c3"};

struct GENERATOR {
    RANDOM rnd;
    bool propositional;
    bool aggregates;
    bool choices;
    std::vector<std::string> props, unary;
    std::vector<std::string> heads;       // ground heads so far, for later programs to contradict
    std::vector<std::string> loopHalves;  // rules that close a loop begun earlier

    std::string literal(const std::string& atom, unsigned percent) {
        return rnd.chance(percent) ? "-" + atom : atom;
    }
    std::string prop() { return rnd.pick(props); }
    std::string groundAtom() {
        if (!unary.empty() && rnd.chance(40))
            return rnd.pick(unary) + "(" + rnd.pick(Constants) + ")";
        return prop();
    }
    static std::string complement(const std::string& l) {
        return l[0] == '-' ? l.substr(1) : "-" + l;
    }
    std::string head(bool later) {
        std::string h;
        if (later && !heads.empty() && rnd.chance(50)) h = complement(rnd.pick(heads));
        else h = literal(groundAtom(), 20);
        heads.push_back(h);
        return h;
    }

    // A rule with a body; over X (bound by dom(X) or a positive atom) when
    // there are unary predicates.
    std::string ruleWithBody(bool later) {
        const bool overX = !unary.empty() && rnd.chance(45);
        std::string h = overX ? literal(rnd.pick(unary) + "(X)", 20) : head(later);
        std::vector<std::string> body;
        if (overX) body.push_back(rnd.chance(50) ? "dom(X)" : literal(rnd.pick(unary) + "(X)", 15));
        for (unsigned i = rnd.below(2); i > 0; --i) body.push_back(literal(groundAtom(), 15));
        for (unsigned i = rnd.below(3); i > 0; --i)
            body.push_back(
                "not " +
                literal(overX && rnd.chance(50) ? rnd.pick(unary) + "(X)" : groundAtom(), 20));
        if (body.empty()) body.push_back("not " + literal(groundAtom(), 20));
        std::string text = h + " :- ";
        for (std::size_t i = 0; i < body.size(); ++i) text += (i ? ", " : "") + body[i];
        return text + ".";
    }

    // Two rules that block each other.
    std::string choice(bool later) {
        std::string x = head(later), y = head(later);
        if (x == y || x == complement(y)) y = "alt";
        return x + " :- not " + y + ". " + y + " :- not " + x + ".";
    }

    // A positive loop x :- y. y :- x. whose second half comes later, often
    // in another program; x or y may also hold by a fact.
    std::string loop() {
        const std::string x = literal(groundAtom(), 15), y = literal(groundAtom(), 15);
        if (x == y) return x + ".";
        loopHalves.push_back(y + " :- " + x + ".");
        return x + " :- " + y + ".";
    }

    // First-order parts that a session handles apart: a base of facts that
    // rules may later read or retract, rules that reject what rules derive
    // from it, and paths over edges, whose recursion closes loops through
    // atoms of earlier steps.
    std::string firstOrder() {
        const std::string c = rnd.pick(Constants);
        switch (rnd.below(23)) {
            case 0: return "bs(" + c + "). bs(" + rnd.pick(Constants) + ").";
            case 1: return "-bs(" + c + ").";
            case 2: return "x(X) :- bs(X), not y(X).";
            case 3: return "-bs(X) :- dom(X), " + prop() + ".";
            case 4: return "e(" + c + "," + rnd.pick(Constants) + ").";
            case 5: return "-e(" + c + "," + rnd.pick(Constants) + ").";
            case 6: return "path(X,Y) :- e(X,Y). path(X,Y) :- e(X,Z), path(Z,Y).";
            case 7: return "y(X) :- dom(X), X != " + c + ", not x(X).";
            case 8: return "-x(X) :- bs(X), " + prop() + ".";
            // Recursion the maintained part keeps: a closure that joins
            // itself, a loop over two predicates, and what rejects or
            // retracts atoms inside them.
            case 9: return "path(X,Y) :- path(X,Z), path(Z,Y).";
            case 19: return "-path(X,Y) :- e(X,Y), bs(Y).";
            case 20: return "cy(" + c + "). cy(Y) :- cz(X), e(X,Y). cz(X) :- cy(X).";
            case 21: return "-path(" + c + "," + rnd.pick(Constants) + "). -cz(" + c + ").";
            // Joins, comparisons and values the maintained part orders;
            // rules that reject what it derives, that make it recursive or
            // read what clingo searches, and contradictions among its atoms.
            case 10: return "j(X,Y) :- bs(X), e(X,Y), not -bs(Y).";
            case 11:
                return "v(" + c + "," + std::to_string(rnd.below(4)) + "). v(\"s\"," + c + ").";
            case 12: return "big(X) :- v(X,N), N > 1. lt(X,Y) :- e(X,Y), X < Y.";
            case 13: return "-j(X," + c + ") :- e(X," + c + "), v(X,N).";
            case 14: return "bs(X) :- x(X).";
            case 15: return "x(X) :- path(X," + c + ").";
            case 16: return "x(" + c + "). -x(" + c + ").";
            case 17: return "-big(X) :- v(X,N), N <= " + std::to_string(rnd.below(3)) + ".";
            default: return ":- path(X,X), bs(X).";
        }
    }

    // Search that reads what rules derive from the base: loops through
    // `not` and choices over derived predicates, and facts and rules that
    // reject or retract those atoms in later blocks.
    std::string searchOverDerived() {
        const std::string c = rnd.pick(Constants);
        if (propositional) {
            switch (rnd.below(4)) {
                case 0: return "dv :- " + prop() + ".";
                case 1: return "l1 :- dv, not l2. l2 :- dv, not l1.";
                case 2: return "-dv.";
                default: return "dv :- " + prop() + ", not " + prop() + ". dv.";
            }
        }
        switch (rnd.below(8)) {
            case 0: return "hx(X) :- j(X,Y), not hy(X). hy(X) :- j(X,Y), not hx(X).";
            case 1: return "hb(X) :- big(X), not -hb(X). -hb(X) :- big(X), not hb(X).";
            case 2:
                if (choices) return "{ hp(X) : big(X) } 1.";
                return "hq(X) :- path(X,Y), not hr(X). hr(X) :- path(X,Y), not hq(X).";
            case 3: return "hs(X) :- hd(X), not ht(X). ht(X) :- hd(X), not hs(X).";
            case 4: return "hd(X) :- bs(X), not -bs(X).";
            case 5: return "-hd(" + c + ").";
            case 6: return "-hd(X) :- v(X,N), e(X,Y).";
            default: return "ho :- hd(" + c + "), not ho2. ho2 :- not ho.";
        }
    }

    // Rules and constraints with a body aggregate over the unary predicate.
    // (An upper-case name is refused inside an aggregate: dom stands for it.)
    std::string aggregate() {
        const std::string p =
            std::isupper(static_cast<unsigned char>(unary[0][0])) ? "dom" : unary[0];
        const std::string c = rnd.pick(Constants);
        switch (rnd.below(10)) {
            case 8: return "all :- " + p + "(X) : dom(X).";
            case 9: return ":- not " + p + "(X) : bs(X), X != " + c + "; many.";
            case 0: return "many :- #count{ X : " + p + "(X) } >= 2.";
            case 1: return "n(N) :- N = #count{ X : dom(X), not " + p + "(X) }.";
            case 2: return ":- #sum{ 1,X : " + p + "(X); 1,X : -" + p + "(X) } > 3.";
            case 3: return "none :- not #count{ X : " + p + "(X) } > 0.";
            case 4: return "lo(M) :- M = #min{ X : " + p + "(X) }, dom(M).";
            case 5: return p + "(" + c + ") :- #count{ X : " + p + "(X), X != " + c + " } >= 1.";
            case 6: return "y(X) :- dom(X), #max{ 1 : x(X); 0 : bs(X) } = 0.";
            default: return "-" + p + "(X) :- dom(X), 1 <= #count{ Y : e(X,Y) }.";
        }
    }

    // A choice rule: bounds that the rejections of later programs may make
    // impossible, conditions, elements over a variable and ground ones,
    // with and without a body. Propositional ones have no bounds (pexa
    // has no #count) and no variables.
    std::string choiceRule(bool later) {
        std::string elements;
        // The bounds count the elements in an aggregate, which takes no
        // upper-case or quoted predicate name.
        bool countable = true;
        auto note = [&](const std::string& atom) {
            const char c = atom[atom[0] == '-' ? 1 : 0];
            countable = countable && !std::isupper(static_cast<unsigned char>(c)) && c != '"';
            return atom;
        };
        for (unsigned n = 1 + rnd.below(2); n > 0; --n) {
            // A ground element is a head that later programs may
            // contradict, rejecting its instance.
            const bool overX = !unary.empty() && rnd.chance(40);
            std::string e = note(overX ? literal(unary[0] + "(X)", 20) : head(later));
            if (overX) e += rnd.chance(50) ? " : dom(X)" : " : dom(X), not " + note(prop());
            else if (rnd.chance(25)) e += " : " + note(literal(groundAtom(), 20));
            elements += (elements.empty() ? "" : "; ") + e;
        }
        std::string rule = "{ " + elements + " }";
        if (!propositional && countable && rnd.chance(50)) {
            const unsigned lower = rnd.below(3);
            rule = (lower ? std::to_string(lower) + " " : "") + rule;
            if (rnd.chance(40)) rule += " " + std::to_string(lower + rnd.below(2));
        }
        switch (rnd.below(3)) {
            case 0: return rule + ".";
            case 1: return rule + " :- " + literal(groundAtom(), 15) + ".";
            default: return rule + " :- not " + literal(groundAtom(), 20) + ".";
        }
    }

    std::string statement(bool later) {
        if (choices && rnd.chance(propositional ? 10 : 30)) return choiceRule(later);
        if (aggregates && rnd.chance(25)) return aggregate();
        if (!propositional && rnd.chance(25)) return firstOrder();
        if (rnd.chance(12)) return searchOverDerived();
        const unsigned r = rnd.below(100);
        if (r < 25) return head(later) + ".";
        if (r < 50) return ruleWithBody(later);
        if (r < 68) return choice(later);
        if (r < 78) return loop();
        if (r < 85 && !loopHalves.empty()) {
            std::string half = loopHalves.back();
            loopHalves.pop_back();
            return half;
        }
        if (r < 90)
            return ":- " + literal(groundAtom(), 30) + ", " + literal(groundAtom(), 30) + ".";
        return head(later) + ".";
    }

    std::string program(bool first, bool later) {
        std::string out = "{\n";
        if (first && !propositional)
            for (const std::string& c : Constants) out += "dom(" + c + ").\n";
        for (unsigned n = 1 + rnd.below(4); n > 0; --n) out += statement(later) + "\n";
        return out + "}\n";
    }

    // A block the session must drop, or text or a directive between blocks
    // that it refuses; taken: whether a block was taken that an #undo.
    // could take back; undone: whether one was taken back, whose heads are
    // then no longer sure to be in the sequence.
    std::string faulty(bool taken, bool undone) {
        switch (rnd.below(6)) {
            case 5: return taken ? "#undone.\n" : "#undo.\n";
            case 0: return unary.empty() ? "{ a :- not b(X). }\n" : "{ " + unary[0] + "(X). }\n";
            case 1: return "{ a b. }\n";
            case 2: return "{ " + prop() + " :- . c( }\n";
            case 3: return prop() + ".\n";
            default: {
                // A predicate of a program taken before, with another arity.
                if (heads.empty() || undone) return "{ a b. }\n";
                std::string atom = heads.front();
                if (atom[0] == '-') atom.erase(0, 1);
                const std::size_t open = atom.find('(');
                if (open != std::string::npos) return "{ " + atom.substr(0, open) + ". }\n";
                return "{ " + atom + "(c1,c2). }\n";
            }
        }
    }
};

bool writeFile(const std::string& path, const std::string& text) {
    std::FILE* f = std::fopen(path.c_str(), "w");
    if (!f) return false;
    std::fwrite(text.data(), 1, text.size(), f);
    return std::fclose(f) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc == 4 ? argv[3] : "";
    if (argc < 3 || argc > 4 ||
        (argc == 4 && mode != "prop" && mode != "agg" && mode != "choice" &&
         mode != "propchoice")) {
        std::fprintf(stderr, "usage: %s SEED FOLDER [prop|agg|choice|propchoice]\n", argv[0]);
        return 2;
    }
    const bool propositional = mode == "prop" || mode == "propchoice";
    const bool choices = mode == "choice" || mode == "propchoice";
    GENERATOR g{RANDOM(std::strtoull(argv[1], nullptr, 10)),
                propositional,
                mode == "agg",
                choices,
                {},
                {},
                {},
                {}};
    std::vector<std::string> pool = PropositionPool;
    for (unsigned n = 4 + g.rnd.below(3); n > 0 && !pool.empty(); --n) {
        const unsigned k = g.rnd.below(static_cast<unsigned>(pool.size()));
        g.props.push_back(pool[k]);
        pool.erase(pool.begin() + k);
    }
    if (!g.propositional) g.unary = {g.rnd.pick(UnaryPool)};
    const std::string folder = argv[2];

    std::string files, input;
    std::vector<std::string> taken;  // the blocks taken and not taken back
    bool undone = false;
    unsigned steps = 0;
    const unsigned inFiles = g.rnd.below(3);
    for (unsigned n = 0; n < inFiles; ++n) files += g.program(n == 0, n > 0);
    if (!writeFile(folder + "/step0.lp", files)) return 1;
    if (inFiles > 0 && !writeFile(folder + "/files.lp", files)) return 1;
    for (unsigned n = 2 + g.rnd.below(5); n > 0; --n) {
        if (g.rnd.chance(15)) input += g.faulty(!taken.empty(), undone);
        if (!taken.empty() && g.rnd.chance(25)) {
            input += "#undo.\n";
            taken.pop_back();
            undone = true;
        } else {
            taken.push_back(g.program(inFiles == 0 && taken.empty(), true));
            input += taken.back();
        }
        std::string sequence = files;
        for (const std::string& block : taken) sequence += block;
        if (!writeFile(folder + "/step" + std::to_string(++steps) + ".lp", sequence)) return 1;
        if (g.rnd.chance(20)) {
            input += "#save \"" + folder + "/saved.lp\".\n";
            if (!writeFile(folder + "/saved_step", std::to_string(steps) + "\n")) return 1;
        }
    }
    if (!writeFile(folder + "/stdin.txt", input)) return 1;
    return writeFile(folder + "/steps", std::to_string(steps) + "\n") ? 0 : 1;
}
