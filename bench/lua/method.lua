-- Method calls that update their object's state; the same program as method in
-- script_vs_lua.cpp (a member function and a member variable there).
local Counter = {}
Counter.__index = Counter
function Counter:add(v)
    self.total = (self.total + v) % 1000003
end
local function method(n)
    local o = setmetatable({ total = 0 }, Counter)
    local i = 0
    while i < n do
        o:add(i)
        i = i + 1
    end
    return o.total
end
local n = tonumber(arg[1])
local t = os.clock()
local r = method(n)
print(string.format("%.6f %d", os.clock() - t, r))
