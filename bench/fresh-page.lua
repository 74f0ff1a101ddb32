-- wrk script: every request asks for the given path with a new start position, a parameter every
-- page reads, so that neither the web host nor the library can answer from a page made before.
local n = 0
request = function()
  n = n + 1
  return wrk.format("GET", wrk.path .. "?STARTX=0," .. n .. "&r=" .. math.random(1, 1000000000))
end
