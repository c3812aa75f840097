-- Blocks a rejection set and every one worse than it, for the one-run
-- script (one_run.lua) and a session's (session/session.lua), which both
-- begin with this text. in_r[i]: atom i of atoms is rejected; levels: the
-- atoms' levels, ascending; guard: nil, or a literal that every constraint
-- also needs (a session's step).
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

