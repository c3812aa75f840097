// The script's view of the auxiliary names (primed_names.hpp).
#include "evaluation/session/primed_names.hpp"

namespace vok::evaluation::engine {

static_assert(
    [] {
        for (std::size_t i = 0; i < PrimedNames.size(); ++i)
            if (static_cast<std::size_t>(PrimedNames[i].id) != i) return false;
        return true;
    }(),
    "PrimedNames lists the names in the order of PRIMED");

std::string primedNamesLua() {
    std::string out = "local primed = {\n";
    for (const PRIMED_NAME& p : PrimedNames) {
        out.append("  ").append(p.luaKey).append(" = \"").append(p.name).append("\",\n");
    }
    return out + "}\n";
}

}  // namespace vok::evaluation::engine
