#include "script/runtime/builtin_binding.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// By row index; empty until the first binding.
std::vector<BuiltinHandler> g_handlers;

// The row of exactly this name and signature, or -1.
int RowOf(const char* name, const char* signature) {
    if (!name || !signature) return -1;
    const std::span<const BuiltinRecord> table = BuiltinTable();
    for (size_t i = 0; i < table.size(); ++i) {
        if (std::strcmp(table[i].name, name) == 0 &&
            std::strcmp(table[i].signature, signature) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

void AddFault(std::string& error, const BuiltinBinding& b, const char* what) {
    error += std::string("builtin '") + (b.name ? b.name : "(null)") + "' (" +
             (b.signature ? b.signature : "(null)") + ") " + what + "\n";
}

}  // namespace

bool BindBuiltins(std::span<const BuiltinBinding> bindings, std::string& error) {
    const size_t rows = BuiltinTable().size();
    std::vector<int> found(bindings.size(), -1);
    std::vector<bool> named(rows, false);
    bool ok = true;
    for (size_t k = 0; k < bindings.size(); ++k) {
        const BuiltinBinding& b = bindings[k];
        const int row = RowOf(b.name, b.signature);
        if (row < 0) {
            AddFault(error, b, "has no row in the builtin table");
            ok = false;
            continue;
        }
        if (!b.handler) {
            AddFault(error, b, "is bound to no handler");
            ok = false;
            continue;
        }
        const size_t r = static_cast<size_t>(row);
        const BuiltinHandler bound = r < g_handlers.size() ? g_handlers[r] : nullptr;
        if (named[r] || (bound && bound != b.handler)) {
            AddFault(error, b, "is bound twice");
            ok = false;
            continue;
        }
        named[r] = true;
        found[k] = row;
    }
    if (!ok) return false;
    g_handlers.resize(rows, nullptr);
    for (size_t k = 0; k < bindings.size(); ++k)
        g_handlers[static_cast<size_t>(found[k])] = bindings[k].handler;
    return true;
}

BuiltinHandler BoundHandler(const BuiltinRecord& record) {
    const std::span<const BuiltinRecord> table = BuiltinTable();
    // Compared as addresses: a row made elsewhere (a test's) is none of the table's.
    const auto at = reinterpret_cast<std::uintptr_t>(&record);
    const auto first = reinterpret_cast<std::uintptr_t>(table.data());
    if (at < first || at >= first + table.size() * sizeof(BuiltinRecord)) return nullptr;
    const size_t row = (at - first) / sizeof(BuiltinRecord);
    return row < g_handlers.size() ? g_handlers[row] : nullptr;
}
