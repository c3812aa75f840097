// The compact forms of the translated program: inertia rules kept as runs.
#include <gtest/gtest.h>

#include <vector>

#include "rewriting/translation.hpp"

namespace {

TEST(InertiaRules, RunsReadBackAsTheRulesAddedFromAnyPlace) {
    // Two predicates' pairs at programs 3 down to 1 (numbers falling by one
    // from pair to pair) and their pairs at program 0, then pairs that only
    // look alike: one number off, or a run that would fall below 0.
    std::vector<PROPAGATION_RULE> added;
    INERTIA_RULES rules;
    auto add = [&](PROPAGATION_RULE a, PROPAGATION_RULE b) {
        rules.add(a, b);
        added.push_back(a);
        added.push_back(b);
    };
    for (unsigned base : {100u, 200u}) {
        for (unsigned n = 3; n > 0; --n)
            add({base + n - 1, base + n}, {base + 50 + n - 1, base + 50 + n});
        add({base / 100, base}, {base / 100 + 5, base + 50});
    }
    add({7, 8}, {9, 10});
    add({6, 7}, {8, 10});
    add({0, 1}, {0, 1});
    add({0u - 1, 0}, {0u - 1, 0});
    ASSERT_EQ(rules.size(), added.size());
    for (std::size_t first = 0; first <= added.size(); ++first) {
        std::vector<PROPAGATION_RULE> seen;
        rules.visit(
            first, added.size(), [&](const PROPAGATION_RULE& r) { seen.push_back(r); },
            [](const PROPAGATION_RULE&, const PROPAGATION_RULE&) {});
        EXPECT_EQ(seen, std::vector<PROPAGATION_RULE>(added.begin() + first, added.end())) << first;
    }
}

}  // namespace
