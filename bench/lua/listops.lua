-- List append and index; the same program as listops in script_vs_lua.cpp.
local function listops(n)
    local l = {}
    local i = 0
    while i < n do
        l[#l + 1] = i
        i = i + 1
    end
    local s = 0
    i = 0
    while i < n do
        local v = l[i + 1]
        s = (s + v) % 1000003
        i = i + 1
    end
    return s
end
local n = tonumber(arg[1])
local t = os.clock()
local r = listops(n)
print(string.format("%.6f %d", os.clock() - t, r))
