-- The search for minimal rejection sets that the one-run script
-- (one_run.lua) and a session's (session/session.lua) share; both begin
-- with this text.

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

