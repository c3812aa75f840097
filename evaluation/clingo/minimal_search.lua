-- The search for the answer sets whose rejection sets are minimal, which
-- the one-run script (one_run.lua) and a session's (session/session.lua)
-- share; both begin with this text.

-- Why the solver settings would break the search, or nil when they keep
-- it: the search relies on the Domain heuristic deciding the rejection
-- atoms first, to false, and on an enumeration that lists every answer set
-- under assumptions; anything else could list answer sets that are not
-- minimal without any sign of it.
local function check_configuration(conf)
  for i = 0, #conf.solver - 1 do
    local s = conf.solver[i]
    if not string.find(s.heuristic, "^domain") then
      return "needs --heuristic=Domain, but solver " .. i .. " uses " .. s.heuristic
    end
    if s.dom_mod ~= "no" then return "cannot work with --dom-mod=" .. s.dom_mod end
    if s.rand_freq ~= "0" then return "cannot work with --rand-freq=" .. s.rand_freq end
  end
  local mode = conf.solve.enum_mode
  if mode ~= "auto" and mode ~= "bt" and mode ~= "record" then
    return "cannot work with --enum-mode=" .. mode
  end
  if conf.solve.project ~= "no" then return "cannot work with --project" end
  return nil
end

-- One answer set whose rejection set no answer set left improves on: in_r
-- (in_r[i]: atom i of atoms is rejected), or nil when none is left; and the
-- result of the solve call.
local function find_rejection_set(prg, atoms)
  prg.configuration.solve.models = "1"
  local in_r = nil
  local result = prg:solve{on_model = function(m)
    in_r = {}
    for i, a in ipairs(atoms) do in_r[i] = m:is_true(a.lit) end
  end}
  return in_r, result
end

-- Appends to assumptions those that make the rejection set exactly in_r.
local function exactly(assumptions, atoms, in_r)
  for i, a in ipairs(atoms) do assumptions[#assumptions + 1] = in_r[i] and a.lit or -a.lit end
  return assumptions
end

-- Blocks a rejection set and every one worse than it. in_r[i]: atom i of
-- atoms is rejected; levels: the atoms' levels, ascending; guard: nil, or a
-- literal that every constraint also needs (a session's step).
--   plain:  :- R.
--   strict: for each level L, with R>=L the atoms of R of level L or above
--   and A>L \ R the atoms above L outside R:
--     lowest level:  :- R>=L, not (A>L \ R).
--     other levels:  :- R>=L, not (A>L \ R), more_L.
--     with more_L :- a. for every atom a of level L outside R
--   (the same rejections above L, and at level L a proper superset of R's).
local function block_rejections(backend, atoms, levels, in_r, strict, guard)
  local function body_start()
    if guard then return {guard} end
    return {}
  end
  if not strict then
    local body = body_start()
    for i, a in ipairs(atoms) do
      if in_r[i] then body[#body + 1] = a.lit end
    end
    backend:add_rule{head = {}, body = body}
    return
  end
  for k, level in ipairs(levels) do
    local body, outside = body_start(), {}
    for i, a in ipairs(atoms) do
      if a.level >= level and in_r[i] then
        body[#body + 1] = a.lit
      elseif a.level > level then
        body[#body + 1] = -a.lit
      elseif a.level == level then
        outside[#outside + 1] = a.lit
      end
    end
    if k == 1 then
      backend:add_rule{head = {}, body = body}
    elseif #outside > 0 then
      local more = backend:add_atom()
      for _, lit in ipairs(outside) do
        backend:add_rule{head = {more}, body = {lit}}
      end
      body[#body + 1] = more
      backend:add_rule{head = {}, body = body}
    end
  end
end


-- Lists the answer sets with minimal rejection sets: a search finds one
-- with a minimal rejection set R, every answer set with exactly R is
-- enumerated under assumptions, then R and every rejection set worse than
-- it are blocked, until none is left or limit answer sets were listed.
-- search: atoms, levels, strict and guard as block_rejections takes them
-- (guard is assumed too); limit (0: all); on_model(m) for each answer set
-- listed; fail(message), which raises the error of a solve call that
-- stopped short without being interrupted; flush: standard output flushed
-- after each enumeration. Returns the number of answer sets listed and how
-- the search ended: "exhausted" (none is left), "limit" or "interrupted".
local function search_minimal(prg, search)
  local conf = prg.configuration
  local atoms = search.atoms
  local count = 0
  while true do
    local in_r, result = find_rejection_set(prg, atoms)
    if result.interrupted then return count, "interrupted" end
    if in_r == nil and not result.unsatisfiable then
      search.fail("a search for a minimal answer set ended before it finished")
    end
    if in_r == nil then return count, "exhausted" end

    conf.solve.models = tostring(search.limit == 0 and 0 or search.limit - count)
    local assumptions = search.guard and {search.guard} or {}
    result = prg:solve{assumptions = exactly(assumptions, atoms, in_r), on_model = function(m)
      count = count + 1
      search.on_model(m)
    end}
    if search.flush then io.stdout:flush() end
    if result.interrupted then return count, "interrupted" end
    local full = search.limit > 0 and count >= search.limit
    if not result.exhausted and not full then
      search.fail("the answer sets of a minimal rejection set were not all enumerated")
    end
    -- Nothing more wanted, or nothing to block. Stopping before the backend
    -- adds rules keeps the result of the last solve call, which becomes
    -- clingo's exit status (new rules would make it "unknown", status 0).
    if full then return count, "limit" end
    if #atoms == 0 then return count, "exhausted" end
    local backend = prg:backend()
    block_rejections(backend, atoms, search.levels, in_r, search.strict, search.guard)
    backend:close()
  end
end
