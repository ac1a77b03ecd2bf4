#pragma once
// Executed-script tests: classes compiled from sources by our compiler, served to a script
// manager from memory, run on instances without a world object, with the language's own
// builtins bound (BindLanguageBuiltins, as the server binds them at start-up).
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/cstr.h"
#include "script/builtins/language_builtins.h"
#include "script/compiler/script_compiler.h"
#include "script/language/script_class.h"
#include "script/memory_class_source.h"
#include "script/runtime/script_instance.h"
#include "script/runtime/script_list.h"
#include "script/runtime/script_manager.h"
#include "script/runtime/script_thread.h"

// Compiles {class name, source} pairs; empty on success, else the compiler's errors.
inline std::string CompileSources(const std::vector<std::pair<std::string, std::string>>& sources,
                                  MemoryClassSource& out) {
    ScriptCompiler compiler;
    std::string errors;
    for (const auto& [name, text] : sources)
        compiler.AddSource(ScriptSource{name + ".zqs", name, text}, errors);
    if (errors.empty()) compiler.Validate(errors);
    if (!errors.empty()) return errors;
    out.strings = compiler.Strings().ToText();
    out.files = compiler.TokenFiles();
    return {};
}

class ScriptRuntimeTest : public ::testing::Test {
protected:
    void SetUp() override {
        // A sanitizer build on a busy machine may spend seconds in one handler: the time
        // budget, which reads the real clock, is lifted here and tested on a manual clock.
        savedTimeBudget = SetScriptTimeBudget(600'000);
        std::string error;
        ASSERT_TRUE(BindLanguageBuiltins(error)) << error;
        manager.SetClassSource(&source);
    }
    void TearDown() override {
        manager.UnloadAll();
        manager.SetClassSource(nullptr);
        SetScriptTimeBudget(savedTimeBudget);
    }

    void Compile(const std::vector<std::pair<std::string, std::string>>& sources) {
        const std::string errors = CompileSources(sources, source);
        ASSERT_EQ(errors, "");
    }
    // A new instance of the class, bound to no object.
    CScriptInstance* Instance(const std::string& cls) {
        const CScriptClass* c = manager.FindClass(cls);
        EXPECT_NE(c, nullptr) << manager.LastError();
        return c ? manager.NewScriptInstance(c) : nullptr;
    }
    // Runs the instance's first handler for the trigger with int/object arguments.
    s32 Fire(CScriptInstance* instance, int trigger, std::vector<s32> args = {}) {
        const TriggerHandler* h = instance->GetClass()->handlers[static_cast<size_t>(trigger)];
        EXPECT_NE(h, nullptr);
        std::vector<ScriptSlot> slots(args.size());
        for (size_t k = 0; k < args.size(); ++k)
            slots[k].i = args[k];
        return RunScriptFunction(instance, h, slots.data(), static_cast<int>(slots.size()));
    }
    ScriptSlot& Member(CScriptInstance* instance, const char* name) {
        const int index = instance->GetClass()->members.Find(name);
        EXPECT_GE(index, 0) << name;
        return instance->Member(index < 0 ? 0 : index);
    }
    s32 Int(CScriptInstance* instance, const char* name) { return Member(instance, name).i; }
    std::string Str(CScriptInstance* instance, const char* name) {
        return Member(instance, name).s->CText();
    }
    // The list member as text: items separated by '|', strings as they are, ints in decimal.
    std::string List(CScriptInstance* instance, const char* name) {
        std::string out;
        for (CScriptListNode* n = Member(instance, name).l->Head(); n; n = n->next) {
            if (!out.empty()) out += '|';
            switch (n->tag) {
                case 0:
                case 4:
                    out += std::to_string(n->value.i);
                    break;
                case 1:
                    out += n->value.s->CText();
                    break;
                case 3:
                    out += std::to_string(n->value.c->x) + "," + std::to_string(n->value.c->y) +
                           "," + std::to_string(n->value.c->z);
                    break;
                default:
                    out += "<" + std::to_string(n->tag) + ">";
                    break;
            }
        }
        return out;
    }

    MemoryClassSource source;
    CScriptManager& manager = GetScriptManager();
    u32 savedTimeBudget = 0;
};
