-- Sorting 10,000 strings; the same program as sort in script_vs_lua.cpp.
local function sortstrings(n)
    local l = {}
    local x = 1
    for i = 1, n do
        x = (x * 31 + 7) % 1000003
        l[i] = tostring(x)
    end
    table.sort(l)
    local s = 0
    for i = 0, n - 1 do
        local v = tonumber(l[i + 1])
        s = (s + v * (i % 7 + 1)) % 1000003
    end
    return s
end
local n = tonumber(arg[1])
local t = os.clock()
local r = sortstrings(n)
print(string.format("%.6f %d", os.clock() - t, r))
