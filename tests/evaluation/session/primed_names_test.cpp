// The auxiliary names are spelled once: the table holds each role once,
// every name has the form that cannot meet a program's names, and the
// script of a session takes the names it uses from the table it is handed
// rather than spelling them.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>

#include "evaluation/clingo/one_run.hpp"
#include "evaluation/session/conversation.hpp"
#include "evaluation/session/engine.hpp"
#include "evaluation/session/primed_names.hpp"

using namespace vok::evaluation;
using namespace vok::evaluation::engine;

TEST(PrimedNames, EachRoleHasOneKeyAndAnAuxiliaryName) {
    std::set<std::string_view> keys;
    const std::regex form("[a-z]+'");
    for (const PRIMED_NAME& p : PrimedNames) {
        EXPECT_TRUE(keys.insert(p.luaKey).second) << "key used twice: " << p.luaKey;
        EXPECT_TRUE(std::regex_match(std::string(p.name), form)) << p.name;
        EXPECT_FALSE(p.meaning.empty()) << p.name;
        EXPECT_EQ(primed(p.id), p.name);
    }
}

TEST(PrimedNames, TheScriptTakesEveryNameItUsesFromTheTable) {
    const std::string lua = primedNamesLua();
    for (const PRIMED_NAME& p : PrimedNames)
        EXPECT_NE(lua.find("  " + std::string(p.luaKey) + " = \"" + std::string(p.name) + "\",\n"),
                  std::string::npos)
            << p.luaKey;
    // Neither the session's script nor the search it shares spells a name
    // in a string of its own ("h'" and the like).
    const std::regex spelled("\"[a-z]+'");
    for (const std::string_view script : {SessionLua, MinimalSearchLua})
        EXPECT_FALSE(std::regex_search(std::string(script), spelled));
    // Each name the script reads is in the table.
    const std::string session(SessionLua);
    const std::regex used("primed\\.([a-z_]+)");
    int uses = 0;
    for (auto it = std::sregex_iterator(session.begin(), session.end(), used);
         it != std::sregex_iterator(); ++it, ++uses) {
        bool known = false;
        for (const PRIMED_NAME& p : PrimedNames) known = known || p.luaKey == (*it)[1].str();
        EXPECT_TRUE(known) << (*it)[1].str();
    }
    EXPECT_GE(uses, 4);
    // The table comes before the script that reads it.
    const std::string script = sessionScript(SESSION_CONFIG{});
    const std::size_t table = script.find(lua), body = script.find(session);
    ASSERT_NE(table, std::string::npos);
    ASSERT_NE(body, std::string::npos);
    EXPECT_LT(table, body);
}
