// Fuzz target: whatever our compiler accepts must run without crashing the server.
//
// Input: script source text for one class. When it compiles, the class is loaded from the
// compiler's output (string table and token file, as the server loads them), attached to an
// item of a small world beside a few other objects, and every trigger the class handles is
// sent to that item with a small step budget, so handlers that never end are stopped rather
// than hanging the run. Handlers may delete their item or anything else: the item is looked
// up again by serial before each trigger.
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "script/compiler/script_compiler.h"
#include "script/language/trigger_table.h"
#include "script/runtime/obj_attachments.h"
#include "script/runtime/script_manager.h"
#include "script/runtime/script_thread.h"
#include "script/runtime/triggers.h"
#include "server/frame/server_services.h"
#include "server/world/item.h"
#include "server/world/mobile_table.h"
#include "server/world/object_manager.h"
#include "server/world/sector_grid.h"
#include "server/world/timed_callbacks.h"
#include "tests/script/memory_class_source.h"
#include "tests/server/world/delete_all_objects.h"

namespace {

constexpr const char* kClassName = "fuzzed";
constexpr s64 kStepBudget = 20000;

// The server's real services over a 64 x 64 world at (0, 0), made once.
void MakeWorldOnce() {
    static bool made = false;
    if (made) return;
    made = true;
    InstallServerServices();
    g_sectorGrid.Build(0, 0, 64, 64);
    g_mobileTable.CreateGrid(0, 0, 64, 64);
    SetScriptStepBudget(kStepBudget);
}

const char* const kSeeds[] = {
    "member int n;\n"
    "member list l;\n"
    "function int sum(int k) { if (k <= 0) { return 0; } return k + sum(k - 1); }\n"
    "trigger use { n = sum(50); l = 1, \"two\", L\"three\"; append(l, n); return 1; }\n",

    "member string s;\n"
    "trigger use { int i; for (i = 0; i < 100; i++) { s = s + \"x\"; } return strlen(s); }\n"
    "trigger lookedat { while (1) { } return 1; }\n",

    "trigger use { deleteObjectNoFall(this); return 1; }\n"
    "trigger equip { deleteObjectNoFall(this); return 0; }\n",

    "member list l;\n"
    "function void fill(list out) { append(out, 1); append(out, 2); }\n"
    "trigger speech(\"*hi*\") { fill(l); insert(l, 0 - 1, 7); removeItem(l, 0 - 1);\n"
    "  sortList(l, 0); return 1; }\n",

    "member int depth;\n"
    "function int down(int k) { depth = k; return down(k + 1) + 1; }\n"
    "trigger use { return down(0); }\n",

    "trigger callback(4) { int a; a = 2147483647; a = a + 1; a = a / 0; return a; }\n"
    "trigger creation { callback(this, 1, 4); return 1; }\n",
};

// Compiles the bytes as the fuzzed class; true when they compile without an error.
bool Compile(const uint8_t* data, size_t size, ScriptCompiler& compiler) {
    std::string errors;
    if (!compiler.AddSource({"fuzzed.zqs", kClassName, std::string(data, data + size)}, errors))
        return false;
    compiler.Validate(errors);
    return errors.empty();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MakeWorldOnce();
    ScriptCompiler compiler;
    if (!Compile(data, size, compiler)) return 0;

    MemoryClassSource source;
    source.strings = compiler.Strings().ToText();
    source.files = compiler.TokenFiles();
    CScriptManager& manager = GetScriptManager();
    manager.SetClassSource(&source);

    CItem* item = g_objectManager.CreateItem(1);
    item->PlaceInWorld(Location(10, 10, 0));
    const u32 serial = item->GetSerial();
    g_objectManager.CreateItem(2)->PlaceInWorld(Location(11, 10, 0));
    g_objectManager.CreateItem(3)->PlaceInWorld(Location(40, 40, 0));

    if (AttachScript(item, kClassName, 1) == nullptr) {
        for (int trigger = 0; trigger < kTriggerCount; ++trigger) {
            CItem* target = g_objectManager.FindBySerial(serial);
            if (!target) break;
            ScriptTriggerArgs args;
            args.select = "hi there";
            args.params.resize(3);
            sendTrigger(target, trigger, args);
        }
        // Timed callbacks the handlers asked for come due at once.
        RunAllCallbacks();
    }

    DeleteAllObjects();
    manager.FreeReleasedInstances();
    FreeReleasedValues();
    manager.UnloadAll();
    manager.SetClassSource(nullptr);
    return 0;
}

// Seeds: small classes that exercise recursion, loops, lists, strings, deletion and a
// handler that never ends.
extern "C" void ZqFuzzSeeds(void (*emit)(const u8* data, size_t size)) {
    for (const char* seed : kSeeds)
        emit(reinterpret_cast<const u8*>(seed), std::strlen(seed));
}

// A seed that does not compile never reaches the interpreter.
extern "C" bool ZqFuzzSeedParses(const u8* data, size_t size) {
    ScriptCompiler compiler;
    return Compile(data, size, compiler);
}
