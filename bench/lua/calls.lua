-- Calls of a function with three arguments; the same program as calls in script_vs_lua.cpp.
local function mix(a, b, c)
    return (a * 31 + b % c) % 1000003
end
local function calls(n)
    local s = 0
    local i = 0
    while i < n do
        s = mix(s, i, 7)
        i = i + 1
    end
    return s
end
local n = tonumber(arg[1])
local t = os.clock()
local r = calls(n)
print(string.format("%.6f %d", os.clock() - t, r))
