-- String concatenation in a loop; the same program as strcat in script_vs_lua.cpp.
local function strcat(n)
    local s = ""
    local i = 0
    while i < n do
        s = s .. "x"
        i = i + 1
    end
    return #s
end
local n = tonumber(arg[1])
local t = os.clock()
local r = strcat(n)
print(string.format("%.6f %d", os.clock() - t, r))
