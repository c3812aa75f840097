-- Minimal answer sets in one clingo run.
--
-- The evaluation program appends this script to the program it hands to
-- clingo, after three definitions that it writes itself:
--   local rejections = [==[
--   NAME ARITY LEVEL        one line per rejection predicate, NAME in
--   ...                     clingo's form (as the translation writes it);
--   FAMILY ARITY LEVEL ID   or one written as data: g'F(ID, args...)
--   ]==]
--   local strict = true | false
--   local limit = K          -- print at most K answer sets, 0: all
-- clingo must run with --heuristic=Domain, --outf=0 and --verbose=0: clingo
-- prints every model it finds on a line of its own and nothing else before
-- its result line. The script marks each answer set to be printed with a
-- line "Answer: N" just before clingo prints it (on_model runs first), so
-- that a reader takes only the models after such a line, and ends with the
-- line "One run: complete" once every answer set has been printed (or the
-- limit was reached); clingo's result line and summary follow it. clingo's
-- exit status only reflects the last solve call, so the closing line is the
-- sign of success. A search that was interrupted (a time limit, a signal)
-- ends the script with the line "One run: interrupted" instead, and one
-- that stopped short otherwise (a limit among clingo's options) with an
-- error. (clingo writes a model much faster, and with far less
-- memory, than the script could through the symbols of a large model.)
--
-- Method. The Domain heuristic decides the rejection atoms before any other
-- atom, higher levels first, and always to false. Every rejection atom that
-- is true at the moment all of them are decided was then forced by
-- propagation, so the first answer set found has a rejection set R that no
-- remaining answer set improves on: none has a subset of R (plain), none
-- agrees with R on the levels above some level and has a subset there
-- (strict). All answer sets with exactly R are enumerated under
-- assumptions, then R and every rejection set worse than R are blocked,
-- and the next solve call finds the next minimal R, until none is left.

local done_line = "One run: complete"
local interrupted_line = "One run: interrupted"

local function fail(message)
  error("one run: " .. message, 0)
end

-- The rejection atoms that grounding kept: {lit, level, symbol}. An atom
-- without a solver literal (0) takes no part in solving and cannot be
-- assumed, so it is left out. A line "NAME ARITY LEVEL" names a predicate;
-- a line "FAMILY ARITY LEVEL ID" one written as data (the compact text of a
-- large program), whose atoms are those of FAMILY with ID as their first
-- argument.
local function collect_atoms(prg)
  local atoms = {}
  local function add(a, level)
    if a.literal ~= 0 then
      atoms[#atoms + 1] = {lit = a.literal, level = level, symbol = a.symbol}
    end
  end
  local families, order = {}, {}
  for name, arity, level, id in string.gmatch(rejections, "(%S+) (%d+) (%d+) ?(%d*)\n") do
    level = strict and tonumber(level) or 1
    if id == "" then
      for a in prg.symbolic_atoms:by_signature(name, tonumber(arity), true) do add(a, level) end
    else
      local key = name .. "/" .. arity
      if not families[key] then
        families[key] = {name = name, arity = tonumber(arity), levels = {}}
        order[#order + 1] = key
      end
      families[key].levels[tonumber(id)] = level
    end
  end
  -- Each family once, however many of its members are rejection predicates.
  for _, key in ipairs(order) do
    local f = families[key]
    for a in prg.symbolic_atoms:by_signature(f.name, f.arity, true) do
      local level = f.levels[a.symbol.arguments[1].number]
      if level then add(a, level) end
    end
  end
  return atoms
end

-- Ground "#heuristic a. [L@L,false]" for every rejection atom a, in a
-- program part of its own: the Lua API cannot add heuristic modifiers, and
-- a modifier with a condition that is not a fact stays off until the
-- condition is true, too late to decide first.
local function add_heuristics(prg, atoms)
  local parts = {}
  for i, a in ipairs(atoms) do
    parts[i] = "#heuristic " .. tostring(a.symbol) .. ". [" .. a.level .. "@" .. a.level .. ",false]"
  end
  prg:add("one_run_heuristic", {}, table.concat(parts, "\n"))
  prg:ground({{"one_run_heuristic", {}}})
end

-- The levels that hold rejection atoms, lowest first.
local function levels_of(atoms)
  local seen, levels = {}, {}
  for _, a in ipairs(atoms) do
    if not seen[a.level] then
      seen[a.level] = true
      levels[#levels + 1] = a.level
    end
  end
  table.sort(levels)
  return levels
end

local function run(prg)
  local why = check_configuration(prg.configuration)
  if why then fail(why) end
  prg:ground({{"base", {}}})
  local atoms = collect_atoms(prg)
  add_heuristics(prg, atoms)

  -- The models of the enumeration under assumptions are marked; the one
  -- model of the first call of a round, which clingo prints as well, is
  -- not, and is passed over by the reader.
  local printed = 0
  local _, ending = search_minimal(prg, {
    atoms = atoms, levels = levels_of(atoms), strict = strict, guard = nil, limit = limit,
    on_model = function(m)
      printed = printed + 1
      io.write("Answer: ", printed, "\n")
    end,
    fail = fail, flush = true})
  -- An interrupted search (a time limit, a signal) is said, and ends the
  -- script.
  io.write(ending == "interrupted" and interrupted_line or done_line, "\n")
  io.stdout:flush()
end

-- A time limit or a signal stops a solve (or ground) call of clingo with
-- this error, or a solve call with an interrupted result (above).
local function is_interruption(err)
  return type(err) == "string" and string.find(err, "stopped by signal", 1, true) ~= nil
end

function main(prg)
  local ok, err = pcall(run, prg)
  if ok then return end
  if not is_interruption(err) then error(err, 0) end
  io.write(interrupted_line, "\n")
  io.stdout:flush()
end
