-- Integer loop with arithmetic; the same program as intloop in script_vs_lua.cpp.
local function intloop(n)
    local s = 0
    local i = 0
    while i < n do
        s = (s + ((i * 3) % 7)) % 1000003
        i = i + 1
    end
    return s
end
local n = tonumber(arg[1])
local t = os.clock()
local r = intloop(n)
print(string.format("%.6f %d", os.clock() - t, r))
