#include "evaluation/clingo/compact.hpp"

#include <algorithm>
#include <functional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "evaluation/clingo/settled.hpp"
#include "evaluation/clingo/simplify.hpp"
#include "evaluation/clingo/translate.hpp"

namespace vok::evaluation {

namespace {

constexpr std::uint32_t NoData = UINT32_MAX;

// A rule's predicate slots: its head atoms, then the atoms of its body
// literals, in the order of the rule (a builtin's slot has no atom).
template <typename F>
void forEachSlot(const RULE& rule, F&& f) {
    for (const ATOM& a : rule.head) f(a, false, true);
    for (const LITERAL& l : rule.body) f(l.atom, l.negated, false);
}

std::size_t slotCount(const RULE& rule) { return rule.head.size() + rule.body.size(); }

bool isGround(const RULE& rule) {
    for (const ATOM& a : rule.head)
        if (!isPlainGround(a.args)) return false;
    for (const LITERAL& l : rule.body)
        if (!isPlainGround(l.atom.args)) return false;
    return true;
}

// The rules a table may hold (isGroundWithBody). Facts are as cheap as
// table rows already; builtins over constants are rare and may make clingo
// report an error on the rule's line, which must keep its text.
// A choice or a rule with an aggregate keeps a line of its own: a table
// rule writes normal rules of plain atoms only.
bool isCandidate(const RULE& rule) { return !hasChoiceOrAggregate(rule) && isGroundWithBody(rule); }

// Every predicate name of the program as a number, atom by atom in slot
// order, so that shapes and counts compare numbers, not texts. The reader
// numbered the names already; here they are numbered again in the order
// the rules hold them, which the text follows.
struct INTERNED {
    std::vector<std::uint32_t> names;  // per slot, all rules
    std::vector<std::size_t> first;    // per rule its first slot in names, and the end
    std::vector<const NAME*> nameOf;   // per number
};

INTERNED internNames(const PROGRAM& program) {
    INTERNED in;
    // The last entry stands for the empty name of a builtin's slot.
    std::vector<std::uint32_t> number(std::size_t(program.names) + 1, NoData);
    in.first.reserve(program.rules.size() + 1);
    for (const RULE& rule : program.rules) {
        in.first.push_back(in.names.size());
        forEachSlot(rule, [&](const ATOM& a, bool, bool) {
            const std::uint32_t text = a.predicate.number;
            std::uint32_t& n = number.at(text == NAME::NoNumber ? program.names : text);
            if (n == NoData) {
                n = static_cast<std::uint32_t>(in.nameOf.size());
                in.nameOf.push_back(&a.predicate);
            }
            in.names.push_back(n);
        });
    }
    in.first.push_back(in.names.size());
    return in;
}

// A node of a dependency graph: a predicate (name number, or family with
// the top bit), its arity and its sign.
std::uint64_t nodeKey(std::uint64_t who, const ATOM& a) {
    return who << 32 | a.args.size() << 1 | (a.stronglyNegated ? 1u : 0u);
}

// The strongly connected components of a graph, numbered so that a
// component comes after every component it reaches (Tarjan's algorithm,
// without recursion: programs may be deep chains).
std::vector<std::uint32_t> components(const std::vector<std::vector<std::uint32_t>>& edges) {
    const std::uint32_t none = UINT32_MAX;
    const std::size_t n = edges.size();
    std::vector<std::uint32_t> index(n, none), low(n, 0), comp(n, none), stack;
    std::vector<std::pair<std::uint32_t, std::size_t>> calls;
    std::uint32_t next = 0, comps = 0;
    for (std::uint32_t root = 0; root < n; ++root) {
        if (index[root] != none) continue;
        calls.push_back({root, 0});
        while (!calls.empty()) {
            auto& [v, e] = calls.back();
            if (e == 0 && index[v] == none) {
                index[v] = low[v] = next++;
                stack.push_back(v);
            }
            if (e < edges[v].size()) {
                const std::uint32_t w = edges[v][e++];
                if (index[w] == none) calls.push_back({w, 0});
                else if (comp[w] == none) low[v] = std::min(low[v], index[w]);
                continue;
            }
            if (low[v] == index[v]) {
                std::uint32_t w;
                do {
                    w = stack.back();
                    stack.pop_back();
                    comp[w] = comps;
                } while (w != v);
                ++comps;
            }
            const std::uint32_t done = v;
            calls.pop_back();
            if (!calls.empty())
                low[calls.back().first] = std::min(low[calls.back().first], low[done]);
        }
    }
    return comp;
}

// The dependency graph: an edge from each head to each body atom.
struct GRAPH {
    std::unordered_map<std::uint64_t, std::uint32_t> node;
    std::vector<std::uint64_t> keyOf;
    std::vector<std::vector<std::uint32_t>> edges;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> negative;  // edges through "not"
};

std::uint32_t nodeOf(GRAPH& g, std::uint64_t key) {
    auto [it, fresh] = g.node.emplace(key, static_cast<std::uint32_t>(g.keyOf.size()));
    if (fresh) {
        g.keyOf.push_back(key);
        g.edges.emplace_back();
    }
    return it->second;
}

// With dataId and family, the names of one family are one node.
GRAPH dependencies(const PROGRAM& program, const INTERNED& in,
                   const std::vector<std::uint32_t>* dataId,
                   const std::vector<std::uint32_t>* family) {
    GRAPH g;
    const std::uint64_t familyBit = std::uint64_t(1) << 31;  // name numbers stay below
    auto who = [&](std::uint32_t name) -> std::uint64_t {
        if (dataId && (*dataId)[name] != NoData) return familyBit | (*family)[(*dataId)[name]];
        return name;
    };
    std::vector<std::uint32_t> slotNode;
    for (std::size_t r = 0; r < program.rules.size(); ++r) {
        const RULE& rule = program.rules[r];
        const std::uint32_t* names = in.names.data() + in.first[r];
        slotNode.clear();
        std::size_t s = 0;
        forEachSlot(rule, [&](const ATOM& a, bool, bool) {
            slotNode.push_back(nodeOf(g, nodeKey(who(names[s++]), a)));
        });
        for (std::size_t h = 0; h < rule.head.size(); ++h)
            for (std::size_t i = 0; i < rule.body.size(); ++i) {
                const LITERAL& l = rule.body[i];
                if (l.isBuiltin) continue;
                const std::uint32_t b = slotNode[rule.head.size() + i];
                g.edges[slotNode[h]].push_back(b);
                if (l.negated) g.negative.push_back({slotNode[h], b});
            }
    }
    return g;
}

// Without disjunctions. Choices and rules with aggregates keep their own
// lines, with the rest compact around them.
bool mayBeCompact(const PROGRAM& program) {
    return std::none_of(program.rules.begin(), program.rules.end(),
                        [](const RULE& r) { return r.head.size() > 1; });
}

// Whether the text of an aggregate or a conditional literal (written as the
// file has it) names a predicate that became data: its atoms would no
// longer be found under that name. Any word of such a text counts, a
// string's included, which at worst keeps the plain text.
bool aggregatesNameData(const PROGRAM& program, const DATA_NAMES& data) {
    std::unordered_set<std::string_view> words;
    auto isWordChar = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '_' || c == '\'';
    };
    for (const RULE& rule : program.rules)
        for (const LITERAL& l : rule.body) {
            if (!l.isAggregate) continue;
            const std::string_view text = l.atom.predicate.text;
            for (std::size_t i = 0; i < text.size();) {
                std::size_t end = i;
                while (end < text.size() && isWordChar(text[end])) ++end;
                if (end > i) words.insert(text.substr(i, end - i));
                i = end + 1;
            }
        }
    return !words.empty() && std::any_of(data.texts.begin(), data.texts.end(),
                                         [&](const std::string& t) { return words.count(t) > 0; });
}

// Per edge through "not" (in the order of g.negative), whether it lies
// inside a component, that is on a cycle. Constraints and the clash of p
// with -p only remove answer sets, so they do not count.
std::vector<bool> negationsInCycles(const GRAPH& g) {
    std::vector<bool> inside(g.negative.size(), false);
    if (g.negative.empty()) return inside;
    const std::vector<std::uint32_t> comp = components(g.edges);
    for (std::size_t i = 0; i < g.negative.size(); ++i)
        inside[i] = comp[g.negative[i].first] == comp[g.negative[i].second];
    return inside;
}

// Whether the graph with families (built over the same rules, so its edges
// through "not" come in the same order) has an edge through "not" on a
// cycle where the graph of names had none. clingo grounds a program by its
// predicates, and evaluates a part without such a cycle (a stratified one)
// completely while grounding; a family that closed one would leave that
// part to the solver, with the same answer sets but at a higher cost.
bool familiesCloseCycles(const GRAPH& withFamilies, const std::vector<bool>& before) {
    const std::vector<bool> after = negationsInCycles(withFamilies);
    for (std::size_t i = 0; i < after.size(); ++i)
        if (after[i] && !before[i]) return true;
    return false;
}

// Per name number, a summary of how high its predicates (each sign and
// arity) stand in the program's dependency order: the longest chain of
// rules below them. Names joined into one family must agree in it, so that
// no chain of rules leads from one member to another; then the family
// closes no new cycle through "not" (familiesCloseCycles), and clingo,
// which orders its grounding by predicates, evaluates while grounding all
// it evaluated before. (A summary that agrees by chance is caught by the
// check after numbering.)
std::vector<std::uint64_t> nameLevels(const GRAPH& g, std::size_t names) {
    const std::vector<std::uint32_t> comp = components(g.edges);
    std::uint32_t comps = 0;
    for (std::uint32_t c : comp) comps = std::max(comps, c + 1);
    std::vector<std::vector<std::uint32_t>> members(comps);
    for (std::uint32_t n = 0; n < comp.size(); ++n) members[comp[n]].push_back(n);
    std::vector<std::uint32_t> height(comps, 0);
    for (std::uint32_t c = 0; c < comps; ++c)  // after all it depends on
        for (std::uint32_t n : members[c])
            for (std::uint32_t b : g.edges[n])
                if (comp[b] != c) height[c] = std::max(height[c], height[comp[b]] + 1);
    std::vector<std::uint64_t> level(names, 0);
    for (std::uint32_t n = 0; n < g.keyOf.size(); ++n) {
        const std::uint64_t k = g.keyOf[n];
        const std::uint64_t x = (k & 0xffffffffu) << 32 | height[comp[n]];
        level[k >> 32] += std::hash<std::uint64_t>{}(x)*0x9E3779B97F4A7C15ull + 1;
    }
    return level;
}

// The shape of a candidate: per slot its place (head, positive or negated
// body), sign and arity; with dataId also the predicate numbers, and for
// those that are data their family instead.
void shapeKey(std::string& key, const RULE& rule, const std::uint32_t* names,
              const std::vector<std::uint32_t>* dataId, const std::vector<std::uint32_t>* family) {
    key.clear();
    auto put = [&](std::uint32_t v) { key.append(reinterpret_cast<const char*>(&v), sizeof v); };
    put(static_cast<std::uint32_t>(rule.head.size()));
    std::size_t s = 0;
    forEachSlot(rule, [&](const ATOM& a, bool negated, bool head) {
        const std::uint32_t place = head ? 0 : negated ? 1 : 2;
        put(place | (a.stronglyNegated ? 4u : 0u) | static_cast<std::uint32_t>(a.args.size()) << 3);
        if (dataId) {
            const std::uint32_t id = (*dataId)[names[s]];
            if (id == NoData) {
                put(names[s]);
            } else {
                put(NoData);
                put((*family)[id]);
            }
        }
        ++s;
    });
}

std::uint32_t findRoot(std::vector<std::uint32_t>& parent, std::uint32_t x) {
    while (parent[x] != x) x = parent[x] = parent[parent[x]];
    return x;
}

// The candidates by shape without predicates, in order of first occurrence.
std::vector<std::vector<std::uint32_t>> shapesWithoutNames(const PROGRAM& program,
                                                           const INTERNED& in) {
    std::unordered_map<std::string, std::size_t> groupOf;
    std::vector<std::vector<std::uint32_t>> groups;
    std::string key;
    for (std::size_t i = 0; i < program.rules.size(); ++i) {
        const RULE& rule = program.rules[i];
        if (!isCandidate(rule)) continue;
        shapeKey(key, rule, in.names.data() + in.first[i], nullptr, nullptr);
        auto [it, fresh] = groupOf.emplace(key, groups.size());
        if (fresh) groups.emplace_back();
        groups[it->second].push_back(static_cast<std::uint32_t>(i));
    }
    return groups;
}

// Names that occur in a rule with variables stay names: a body literal
// g'F(7,X,Y) with X, Y unbound would make clingo search the whole family.
std::vector<bool> namesUsedWithVariables(const PROGRAM& program, const INTERNED& in) {
    std::vector<bool> used(in.nameOf.size(), false);
    for (std::size_t i = 0; i < program.rules.size(); ++i)
        if (!isGround(program.rules[i]))
            for (std::size_t n = in.first[i]; n < in.first[i + 1]; ++n) used[in.names[n]] = true;
    return used;
}

// The predicate names that are better data than part of the shape: within
// a large group of one shape, a slot whose names fill fewer than minGroup
// rules each on average would split the group into groups too small for a
// table. Returns per name number its family (the root of the names of one
// slot and level), or NoData.
std::vector<std::uint32_t> namesToMakeData(const PROGRAM& program, const INTERNED& in,
                                           const GRAPH& graph, std::size_t minGroup) {
    std::vector<std::uint32_t> family(in.nameOf.size(), NoData);
    std::vector<std::vector<std::uint32_t>> groups = shapesWithoutNames(program, in);
    if (std::none_of(groups.begin(), groups.end(),
                     [&](const auto& g) { return g.size() >= minGroup; }))
        return family;
    const std::vector<bool> keptAsName = namesUsedWithVariables(program, in);
    const std::vector<std::uint64_t> level = nameLevels(graph, in.nameOf.size());
    std::vector<bool> data(in.nameOf.size(), false);
    std::vector<std::uint32_t> parent(in.nameOf.size());
    for (std::uint32_t i = 0; i < parent.size(); ++i) parent[i] = i;
    std::unordered_map<std::uint64_t, std::uint32_t> firstOfLevel;
    std::vector<std::uint32_t> seen(in.nameOf.size(), 0);  // stamp of the last count
    std::uint32_t stamp = 0;
    for (const std::vector<std::uint32_t>& members : groups) {
        if (members.size() < minGroup) continue;
        const std::size_t slots = slotCount(program.rules[members[0]]);
        for (std::size_t s = 0; s < slots; ++s) {
            ++stamp;
            std::size_t distinct = 0;
            for (std::uint32_t m : members) {
                const std::uint32_t n = in.names[in.first[m] + s];
                if (seen[n] != stamp) {
                    seen[n] = stamp;
                    ++distinct;
                }
            }
            if (distinct * minGroup <= members.size()) continue;
            firstOfLevel.clear();
            for (std::uint32_t m : members) {
                const std::uint32_t n = in.names[in.first[m] + s];
                if (keptAsName[n]) continue;
                data[n] = true;
                parent[findRoot(parent, n)] =
                    findRoot(parent, firstOfLevel.emplace(level[n], n).first->second);
            }
        }
    }
    for (std::uint32_t n = 0; n < family.size(); ++n)
        if (data[n]) family[n] = findRoot(parent, n);
    return family;
}

// Ids in order of first occurrence, so that the text does not depend on
// the order of a hash table; families numbered the same way.
DATA_NAMES numberDataNames(const INTERNED& in, const std::vector<std::uint32_t>& family,
                           std::vector<std::uint32_t>& dataId) {
    DATA_NAMES data;
    dataId.assign(in.nameOf.size(), NoData);
    std::unordered_map<std::uint32_t, std::uint32_t> familyNumber;
    for (std::uint32_t n : in.names) {
        if (family[n] == NoData || dataId[n] != NoData) continue;
        auto f = familyNumber.emplace(family[n], static_cast<std::uint32_t>(familyNumber.size()));
        dataId[n] = addDataName(data, *in.nameOf[n], f.first->second);
    }
    return data;
}

struct GROUP {
    std::vector<std::uint32_t> members;  // rule numbers, in program order
    std::size_t table = 0;               // the table it reads
    bool ownsTable = false;              // its rows are written as that table
};

// What the rows of a table are made of: the data ids of each rule's slots.
struct ROWS {
    const PROGRAM& program;
    const INTERNED& in;
    const std::vector<std::uint32_t>& dataId;
};

std::uint32_t slotId(const ROWS& rows, std::size_t rule, std::size_t slot) {
    return rows.dataId[rows.in.names[rows.in.first[rule] + slot]];
}

// One table row: the ids of the data slots, then all arguments, in slot
// order; held as pointers, so that rows compare and hash without their
// text.
struct ROW {
    std::vector<std::uint32_t> ids;
    std::vector<const TERM*> args;
};

void rowOf(ROW& row, const ROWS& rows, std::size_t r) {
    const RULE& rule = rows.program.rules[r];
    row.ids.clear();
    row.args.clear();
    for (std::size_t s = 0; s < slotCount(rule); ++s)
        if (const std::uint32_t id = slotId(rows, r, s); id != NoData) row.ids.push_back(id);
    forEachSlot(rule, [&](const ATOM& a, bool, bool) {
        for (const TERM& t : a.args) row.args.push_back(&t);
    });
}

void appendRow(std::string& out, const ROW& row) {
    bool first = true;
    auto separate = [&] {
        if (!first) out += ',';
        first = false;
    };
    for (std::uint32_t id : row.ids) {
        separate();
        appendNumber(out, id);
    }
    for (const TERM* t : row.args) {
        separate();
        appendTerm(out, *t);
    }
}

// Whether two rules have the same row (the terms of a row are ground, and
// equal terms are written alike).
bool sameRow(const ROWS& rows, std::size_t a, std::size_t b, ROW& x, ROW& y) {
    rowOf(x, rows, a);
    rowOf(y, rows, b);
    return x.ids == y.ids && std::ranges::equal(x.args, y.args, [](const TERM* s, const TERM* t) {
               return *s == *t;
           });
}

// A hash of a rule's row, equal for equal rows.
std::size_t rowHash(const ROWS& rows, std::size_t r, ROW& row) {
    rowOf(row, rows, r);
    std::size_t h = row.ids.size();
    auto mix = [&](std::size_t v) { h = (h ^ v) * 0x100000001b3u; };
    for (std::uint32_t id : row.ids) mix(id);
    for (const TERM* t : row.args) {
        mix(static_cast<std::size_t>(t->kind));
        mix(t->kind == TERM::KIND::INTEGER ? static_cast<std::size_t>(t->value)
                                           : std::hash<std::string_view>{}(t->text));
    }
    return h;
}

std::size_t rowWidth(const ROWS& rows, std::size_t r) {
    ROW row;
    rowOf(row, rows, r);
    return row.ids.size() + row.args.size();
}

std::string tableName(std::size_t table) { return TablePrefix + std::to_string(table); }

bool sameRows(const ROWS& rows, const GROUP& a, const GROUP& b, ROW& x, ROW& y) {
    if (a.members.size() != b.members.size()) return false;
    for (std::size_t i = 0; i < a.members.size(); ++i)
        if (!sameRow(rows, a.members[i], b.members[i], x, y)) return false;
    return true;
}

// Groups whose rows are the same, in the same order (a fact's rejection
// rule and its rewritten rule), read one table. Returns the number of
// tables.
std::size_t shareTables(const ROWS& rows, const std::vector<GROUP*>& compacted) {
    std::unordered_map<std::size_t, std::vector<GROUP*>> byHash;
    std::size_t tables = 0;
    ROW x, y;  // scratch for the rows compared
    for (GROUP* g : compacted) {
        std::size_t h = g->members.size();
        for (std::uint32_t m : g->members) h = h * 1000003u ^ rowHash(rows, m, x);
        std::vector<GROUP*>& alike = byHash[h];
        auto same = std::find_if(alike.begin(), alike.end(),
                                 [&](const GROUP* c) { return sameRows(rows, *c, *g, x, y); });
        if (same != alike.end()) {
            g->table = (*same)->table;
        } else {
            g->table = tables++;
            g->ownsTable = true;
            alike.push_back(g);
        }
    }
    return tables;
}

// An atom of a table rule: its arguments, and the id of a data predicate,
// are variables over table columns.
void appendPatternAtom(std::string& out, const ATOM& a, const DATA_NAMES& data,
                       std::size_t& idColumn, std::size_t& argColumn) {
    if (a.stronglyNegated) out += '-';
    const std::uint32_t* id = findDataName(data, a.predicate);
    bool first = true;
    if (id) {
        out += DataPrefix + std::to_string(data.family[*id]) + "(V" + std::to_string(idColumn++);
        first = false;
    } else {
        out += encodePredicate(a.predicate);
        if (a.args.empty()) return;
        out += '(';
    }
    for (std::size_t i = 0; i < a.args.size(); ++i) {
        if (!first) out += ',';
        first = false;
        out += 'V' + std::to_string(argColumn++);
    }
    out += ')';
}

void appendTableRule(std::string& out, const RULE& rule, const DATA_NAMES& data,
                     std::size_t table) {
    std::size_t ids = 0, width = 0;
    forEachSlot(rule, [&](const ATOM& a, bool, bool) {
        ids += findDataName(data, a.predicate) ? 1 : 0;
        width += a.args.size();
    });
    width += ids;
    std::size_t idColumn = 0, argColumn = ids;
    for (std::size_t i = 0; i < rule.head.size(); ++i) {
        if (i) out += "; ";
        appendPatternAtom(out, rule.head[i], data, idColumn, argColumn);
    }
    out += rule.head.empty() ? ":- " : " :- ";
    out += tableName(table) + '(';
    for (std::size_t c = 0; c < width; ++c) {
        if (c) out += ',';
        out += 'V' + std::to_string(c);
    }
    out += ')';
    for (const LITERAL& l : rule.body) {
        out += ", ";
        if (l.negated) out += "not ";
        appendPatternAtom(out, l.atom, data, idColumn, argColumn);
    }
    out += ".\n";
}

// "#show" for every predicate that heads a rule, so that the tables stay
// out of the answer sets (only head atoms can be true).
std::string showStatements(const PROGRAM& program, const DATA_NAMES& data) {
    std::unordered_set<std::string> seen;
    std::string out;
    for (const RULE& rule : program.rules)
        for (const ATOM& a : rule.head) {
            std::string signature = a.stronglyNegated ? "-" : "";
            if (const std::uint32_t* id = findDataName(data, a.predicate))
                signature += DataPrefix + std::to_string(data.family[*id]) + "/" +
                             std::to_string(a.args.size() + 1);
            else signature += encodePredicate(a.predicate) + "/" + std::to_string(a.args.size());
            if (seen.insert(signature).second) out += "#show " + signature + ".\n";
        }
    if (seen.empty()) out += "#show.\n";  // no atom can be true
    return out;
}

CLINGO_TEXT plainText(const PROGRAM& program, std::optional<std::int64_t> maxint) {
    return CLINGO_TEXT{Translate(program, maxint), {}, {}};
}

// The candidates by their full shape, in order of first occurrence; those
// of groups large enough for a table.
std::vector<GROUP> shapeGroups(const ROWS& rows, const DATA_NAMES& data) {
    std::unordered_map<std::string, std::size_t> groupOf;
    std::vector<GROUP> groups;
    std::string key;
    for (std::size_t i = 0; i < rows.program.rules.size(); ++i) {
        const RULE& rule = rows.program.rules[i];
        if (!isCandidate(rule)) continue;
        shapeKey(key, rule, rows.in.names.data() + rows.in.first[i], &rows.dataId, &data.family);
        auto [it, fresh] = groupOf.emplace(key, groups.size());
        if (fresh) groups.emplace_back();
        groups[it->second].members.push_back(static_cast<std::uint32_t>(i));
    }
    return groups;
}

// The text: the rules in their places, each compacted one replaced by its
// row (or nothing, where another group writes the same table), then the
// table rules and the #show statements after the last line.
std::string compactText(const ROWS& rows, const DATA_NAMES& data,
                        const std::vector<GROUP*>& compacted, std::optional<std::int64_t> maxint) {
    const PROGRAM& program = rows.program;
    std::vector<const GROUP*> groupOfRule(program.rules.size(), nullptr);
    for (const GROUP* g : compacted)
        for (std::uint32_t m : g->members) groupOfRule[m] = g;
    std::string out;
    LINE_PLACE place;
    ROW row;
    for (std::size_t i = 0; i < program.rules.size(); ++i) {
        const RULE& rule = program.rules[i];
        const GROUP* g = groupOfRule[i];
        if (!g) {
            placeOnLine(out, place, rule.line);
            appendRule(out, rule, maxint, &data);
        } else if (g->ownsTable) {
            placeOnLine(out, place, rule.line);
            out += tableName(g->table) + '(';
            rowOf(row, rows, i);
            appendRow(out, row);
            out += ").";
        }
    }
    out += '\n';
    for (const GROUP* g : compacted)
        appendTableRule(out, program.rules[g->members[0]], data, g->table);
    out += showStatements(program, data);
    return out;
}

// The compact text of a program without disjunctions.
CLINGO_TEXT compactTextOf(const PROGRAM& program, std::optional<std::int64_t> maxint,
                          std::size_t minGroup) {
    const INTERNED in = internNames(program);
    std::vector<std::uint32_t> family;
    std::vector<bool> cyclicNegations;
    {
        // The graph holds a node per predicate, and goes before the text is
        // written, so that it does not add to the largest size.
        const GRAPH graph = dependencies(program, in, nullptr, nullptr);
        cyclicNegations = negationsInCycles(graph);
        family = namesToMakeData(program, in, graph, minGroup);
    }
    std::vector<std::uint32_t> dataId;
    DATA_NAMES data = numberDataNames(in, family, dataId);
    family = {};
    // A family is one predicate to clingo, and must not join predicates
    // into a new cycle through "not".
    if (!data.texts.empty() &&
        (familiesCloseCycles(dependencies(program, in, &dataId, &data.family), cyclicNegations) ||
         aggregatesNameData(program, data)))
        return plainText(program, maxint);

    const ROWS rows{program, in, dataId};
    std::vector<GROUP> groups = shapeGroups(rows, data);
    std::vector<GROUP*> compacted;
    for (GROUP& g : groups)
        // A group whose rows would be empty is the same rule repeated.
        if (g.members.size() >= minGroup && rowWidth(rows, g.members[0]) > 0)
            compacted.push_back(&g);
    if (compacted.empty()) return plainText(program, maxint);
    shareTables(rows, compacted);
    std::string text = compactText(rows, data, compacted, maxint);
    return CLINGO_TEXT{std::move(text), std::move(data), {}};
}

// Per name number, whether a rule of the program has it in its head.
std::vector<bool> headedNames(const PROGRAM& program) {
    std::vector<bool> headed(program.names, false);
    for (const RULE& rule : program.rules)
        for (const ATOM& a : rule.head) headed[a.predicate.number] = true;
    return headed;
}

}  // namespace

CLINGO_TEXT TranslateCompact(const PROGRAM& program, std::optional<std::int64_t> maxint,
                             std::size_t minGroup) {
    // Too few candidates for a single table: nothing to look at.
    const std::size_t candidates = static_cast<std::size_t>(
        std::count_if(program.rules.begin(), program.rules.end(), isCandidate));
    if (minGroup == 0 || candidates < minGroup || !mayBeCompact(program))
        return plainText(program, maxint);
    // The simpler program has the same answer sets (simplify.hpp, which
    // reads normal rules).
    const bool normal =
        std::none_of(program.rules.begin(), program.rules.end(), hasChoiceOrAggregate);
    const std::optional<PROGRAM> simpler = normal ? WithoutDeadRules(program) : std::nullopt;
    if (!simpler) return compactTextOf(program, maxint, minGroup);
    CLINGO_TEXT text = compactTextOf(*simpler, maxint, minGroup);
    text.headed = headedNames(*simpler);
    return text;
}

CLINGO_TEXT TranslateForConsequences(const PROGRAM& program, std::optional<std::int64_t> maxint,
                                     std::size_t minGroup) {
    // The rules that never apply go first: they are what keeps the facts
    // of a knowledge base from being facts.
    const std::optional<PROGRAM> simpler =
        std::all_of(program.rules.begin(), program.rules.end(),
                    [](const RULE& r) { return !hasChoiceOrAggregate(r); })
            ? WithoutDeadRules(program)
            : std::nullopt;
    std::optional<SETTLED_PART> part = WithoutSettledAtoms(simpler ? *simpler : program);
    if (!part) return TranslateCompact(program, maxint, minGroup);
    CLINGO_TEXT text = TranslateCompact(part->rest, maxint, minGroup);
    text.settled = std::move(part->atoms);
    return text;
}

}  // namespace vok::evaluation
