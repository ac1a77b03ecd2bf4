-- Nested loops; the same program as nested in script_vs_lua.cpp.
local function nested(n)
    local s = 0
    for i = 0, n - 1 do
        for j = 0, n - 1 do
            s = (s + i * j) % 1000003
        end
    end
    return s
end
local n = tonumber(arg[1])
local t = os.clock()
local r = nested(n)
print(string.format("%.6f %d", os.clock() - t, r))
