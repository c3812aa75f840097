-- The clingo side of a session (rox-clingo --session, pexa-clingo --session).
--
-- The evaluation program starts clingo with this script and keeps it for the
-- whole session: it writes commands to clingo's standard input and reads the
-- replies from its standard output, one line each unless said otherwise. It
-- writes these definitions before the script:
--   local minimal = "none" | "min" | "strict"
--   local limit = K            -- at most K answer sets per step, 0: all
--   local explain = true | false
--   local clingo_prints = true | false
--   local primed = {KEY = NAME, ...}  -- the auxiliary names by their role,
--                                      as primed_names.hpp lists them
-- clingo runs with --outf=3 (its own output off) and, for minimal answer
-- sets, with --heuristic=Domain; with clingo_prints, with --outf=0 and
-- --verbose=1 instead, and it prints the answer sets itself ("Answer: N",
-- then the atoms), before "done".
--
-- Commands:
--   add NAME BYTES         then BYTES bytes of clingo text: adds the program
--                          part NAME and grounds it; "ok" or "error TEXT"
--   contributions PRED     the atoms PRED(K,J,H), one a line as
--                          "K J NEG ARITY NAME H" (NEG 1 for a strongly
--                          negated H, NAME its predicate), then "end"
--   rejections PRED        takes the atoms PRED(K,J,V,C) as rejection atoms
--                          of level K+1 for the minimal answer sets; "ok"
--   assign BYTES           then BYTES bytes of lines "1 H" or "0 H": assigns
--                          the external atom H true or false; "ok"
--   levels M1,M2,... H     the levels of literal H (no answer)
--   solve LAST STEP        the answer sets of the program so far (LAST: the
--                          number of the newest update program; STEP names
--                          the step): per answer set "m ATOMS" (the shown
--                          atoms that are no rejection atoms) and, with
--                          explain, per rejection atom true in it
--                          "r K J BY N" and its N values of V a line each
--                          (BY: the newest program where C holds), or
--                          clingo's own lines for them; then
--                          "done COUNT EXHAUSTED" (1: no answer set is left)
--   alive                  "ok": clingo still answers
--   quit                   ends the script
-- Any failure of a command is answered "error TEXT" on one line.

local function reply(text)
  io.write(text, "\n")
  io.stdout:flush()
end

local function one_line(text)
  return (string.gsub(tostring(text), "[\r\n]+", " "))
end

-- The solver settings the minimal answer sets depend on
-- (minimal_search.lua).
local function check_minimal_configuration(conf)
  if minimal == "none" then return end
  local why = check_configuration(conf)
  if why then error(why, 0) end
end

local session = {
  rejections = {},       -- {lit, level}: every rejection atom registered so far
  rejection_levels = {}, -- the levels among them, lowest first
  levels = {},           -- by literal (its text): its levels, lowest first
  parts = 0,
}

local function add_part(prg, name, text)
  prg:add(name, {}, text)
  prg:ground({{name, {}}})
end

local function contributions(prg, pred)
  local out = {}
  for atom in prg.symbolic_atoms:by_signature(pred, 3) do
    local a = atom.symbol.arguments
    local h = a[3]
    out[#out + 1] = a[1].number .. " " .. a[2].number .. " " .. (h.negative and "1" or "0") ..
                    " " .. #h.arguments .. " " .. h.name .. " " .. tostring(h)
    if #out >= 4096 then
      io.write(table.concat(out, "\n"), "\n")
      out = {}
    end
  end
  if #out > 0 then io.write(table.concat(out, "\n"), "\n") end
  reply("end")
end

-- Every rejection atom is decided before any other atom, to false, the
-- newer levels first (strict) or all alike (min): the first answer set of a
-- search then rejects a set that no answer set left improves on.
local function register_rejections(prg, pred)
  local heuristics = {}
  local seen = {}
  for _, l in ipairs(session.rejection_levels) do seen[l] = true end
  for atom in prg.symbolic_atoms:by_signature(pred, 4) do
    if atom.literal ~= 0 then
      local level = minimal == "strict" and atom.symbol.arguments[1].number + 1 or 1
      session.rejections[#session.rejections + 1] = {lit = atom.literal, level = level}
      heuristics[#heuristics + 1] =
        "#heuristic " .. tostring(atom.symbol) .. ". [" .. level .. "@" .. level .. ",false]"
      if not seen[level] then
        seen[level] = true
        session.rejection_levels[#session.rejection_levels + 1] = level
      end
    end
  end
  table.sort(session.rejection_levels)
  if #heuristics > 0 then
    session.parts = session.parts + 1
    add_part(prg, primed.heuristics .. session.parts, table.concat(heuristics, "\n"))
  end
end

-- The newest program at which C holds, from the level of the rejected rule
-- on: the highest of C's levels where h'(M,C) holds (C has a level at each
-- of its contributions, and the levels are told with "levels").
local function rejecter(m, level, c)
  local list = session.levels[tostring(c)]
  if list then
    for i = #list, 1, -1 do
      local l = list[i]
      if l < level then break end
      if m:contains(clingo.Function(primed.holds, {clingo.Number(l), c})) then return l end
    end
  end
  return level
end

local function print_model(m, last)
  local atoms, rejected = {}, {}
  for _, s in ipairs(m:symbols{shown = true}) do
    if string.sub(s.name, 1, #primed.rejected) == primed.rejected then
      if explain then rejected[#rejected + 1] = s end
    else
      atoms[#atoms + 1] = tostring(s)
    end
  end
  local out = {"m " .. table.concat(atoms, " ")}
  for _, s in ipairs(rejected) do
    local a = s.arguments
    local k = a[1].number
    local values = a[3].arguments
    out[#out + 1] = "r " .. k .. " " .. a[2].number .. " " .. rejecter(m, k + 1, a[4]) ..
                    " " .. #values
    for _, v in ipairs(values) do out[#out + 1] = tostring(v) end
  end
  io.write(table.concat(out, "\n"), "\n")
end

local function solve_all(prg, last)
  local count = 0
  prg.configuration.solve.models = tostring(limit)
  local result = prg:solve{on_model = function(m)
    count = count + 1
    if not clingo_prints then print_model(m, last) end
  end}
  if result.interrupted then error("solving was interrupted", 0) end
  return count, result.exhausted
end

-- The minimal answer sets (minimal_search.lua); the constraints that block
-- rejection sets hold while the step's own atom does, so they go with the
-- step.
local function solve_minimal(prg, last, step)
  local name = clingo.Function(primed.step_guard, {clingo.Number(step)})
  add_part(prg, primed.step_guard_part .. step, "#external " .. tostring(name) .. ".")
  local guard = prg.symbolic_atoms:lookup(name)
  -- clingo adds no atom to a ground program it found inconsistent (a
  -- choice whose bounds no choice meets, stated as a fact): no answer set,
  -- now or in any later step.
  if guard == nil then return 0, true end
  local step_lit = guard.literal
  prg:assign_external(name, true)
  local count, ending = search_minimal(prg, {
    atoms = session.rejections, levels = session.rejection_levels,
    strict = minimal == "strict", guard = step_lit, limit = limit,
    on_model = function(m) print_model(m, last) end,
    fail = function(message) error(message, 0) end, flush = false})
  if ending == "interrupted" then error("solving was interrupted", 0) end
  prg:release_external(name)
  return count, ending == "exhausted"
end

local function run(prg, line)
  local list, literal = string.match(line, "^levels (%S+) (.*)$")
  if list then
    local levels = {}
    for l in string.gmatch(list, "%d+") do levels[#levels + 1] = tonumber(l) end
    session.levels[literal] = levels
    return
  end
  local command, a, b = string.match(line, "^(%S+) ?(%S*) ?(%S*)$")
  if command == "add" then
    local n = tonumber(b)
    local text = n > 0 and io.read(n) or ""
    if text == nil or #text ~= n then error("the text of " .. a .. " ended early", 0) end
    add_part(prg, a, text)
    reply("ok")
  elseif command == "assign" then
    local n = tonumber(a)
    local text = n > 0 and io.read(n) or ""
    if text == nil or #text ~= n then error("the assignments ended early", 0) end
    for value, atom in string.gmatch(text, "([01]) ([^\n]+)") do
      prg:assign_external(clingo.parse_term(atom), value == "1")
    end
    reply("ok")
  elseif command == "alive" then
    reply("ok")
  elseif command == "contributions" then
    contributions(prg, a)
  elseif command == "rejections" then
    if minimal ~= "none" then register_rejections(prg, a) end
    reply("ok")
  elseif command == "solve" then
    local count, exhausted
    if minimal == "none" then
      count, exhausted = solve_all(prg, tonumber(a))
    else
      count, exhausted = solve_minimal(prg, tonumber(a), tonumber(b))
    end
    reply("done " .. count .. " " .. (exhausted and "1" or "0"))
  else
    error("unknown command " .. line, 0)
  end
end

function main(prg)
  local ok, err = pcall(check_minimal_configuration, prg.configuration)
  reply(ok and "ready" or ("error " .. one_line(err)))
  if not ok then return end
  while true do
    local line = io.read("l")
    if line == nil or line == "quit" then return end
    ok, err = pcall(run, prg, line)
    if not ok then reply("error " .. one_line(err)) end
  end
end
