-- wrk script: every request asks for the given path with a query of its own, so that no answer a
-- web host made before can serve it.
local n = 0
request = function()
  n = n + 1
  return wrk.format("GET", wrk.path .. "?n=" .. math.random(1, 1000000000) .. "-" .. n)
end
