// The limits of the script language, seen from both sides: what the script compiler refuses
// (with file:line), what the server's parser refuses in a hand-made token file (with the
// class name), and that the largest form either accepts runs without harm.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>

#include "script/compiler/script_parser.h"
#include "script/compiler/statement_tree.h"
#include "script/script_runtime_fixture.h"
#include "script/token_stream_builder.h"

namespace {

constexpr int kDepth = kMaxExpressionDepth;

// Repeats a text n times.
std::string Times(int n, const std::string& text) {
    std::string out;
    for (int i = 0; i < n; ++i)
        out += text;
    return out;
}

// A class whose use handler runs the statement on line 8, after the setup on line 7.
// build(m) makes l a list nested m deep around the int 7: [[...[7]..., 0], 0].
std::string UseHandler(const std::string& statement, const std::string& setup = "") {
    return "member string s;\n"
           "member int x;\n"
           "member list l;\n"
           "function int g(int a) { return a; }\n"
           "function void build(int m) { l = 7; while (m > 0) { list outer = l, 0; l = outer; m--; "
           "} }\n"
           "trigger use {\n" +
           setup + "\n" + statement +
           "\n"
           "    return 1;\n"
           "}\n";
}

std::string CompileErrors(const std::string& source) {
    MemoryClassSource unused;
    return CompileSources({{"t", source}}, unused);
}

// Each expression form, n levels deep as the interpreter recurses on it.
struct DepthForm {
    const char* what;
    std::function<std::string(int n)> statement;
    std::string setup;  // for the deepest form
    const char* member;
    std::string value;  // of the member after the deepest form ran
};

std::vector<DepthForm> DepthForms() {
    return {
        {"a chain of string joins",
         [](int n) { return "s = \"x\"" + Times(n - 1, " + \"x\"") + ";"; }, "", "s",
         std::string(kDepth, 'x')},
        {"a chain of subtractions", [](int n) { return "x = 1" + Times(n - 1, " - 1") + ";"; }, "",
         "x", std::to_string(2 - kDepth)},
        {"a chain of subscripts", [](int n) { return "x = l" + Times(n - 1, "[0]") + ";"; },
         "build(" + std::to_string(kDepth - 2) + ");", "x", "7"},
        {"nested parentheses",
         [](int n) { return "x = " + Times(n - 1, "(") + "5" + Times(n - 1, ")") + ";"; }, "", "x",
         "5"},
        {"a run of '!'", [](int n) { return "x = " + Times(n - 1, "!") + "0;"; }, "", "x",
         (kDepth - 1) % 2 ? "1" : "0"},
        {"nested calls",
         [](int n) { return "x = " + Times(n - 1, "g(") + "6" + Times(n - 1, ")") + ";"; }, "", "x",
         "6"},
        {"a chain inside parentheses", [](int n) { return "x = (1" + Times(n - 2, " + 1") + ");"; },
         "", "x", std::to_string(kDepth - 1)},
        {"a call of a chain of subscripts",
         [](int n) { return "x = g(l" + Times(n - 2, "[0]") + ");"; },
         "build(" + std::to_string(kDepth - 3) + ");", "x", "7"},
    };
}

using ScriptLimits = ScriptRuntimeTest;

TEST_F(ScriptLimits, EveryExpressionFormIsBoundedAndTheDeepestAllowedRuns) {
    int serial = 0;
    for (const DepthForm& form : DepthForms()) {
        SCOPED_TRACE(form.what);
        // One level too deep, and far too deep (the evaluator would overflow its stack).
        for (int n : {kDepth + 1, 8000}) {
            const std::string errors = CompileErrors(UseHandler(form.statement(n)));
            EXPECT_NE(errors.find("t.zqs:8: "), std::string::npos) << n << ": " << errors;
            EXPECT_NE(errors.find("expression nested too deeply"), std::string::npos)
                << n << ": " << errors;
        }
        const std::string name = "deep" + std::to_string(serial++);
        Compile({{name, UseHandler(form.statement(kDepth), form.setup)}});
        CScriptInstance* in = Instance(name);
        ASSERT_NE(in, nullptr);
        EXPECT_EQ(Fire(in, kUse, {0}), 1);
        const std::string value =
            std::string(form.member) == "s" ? Str(in, "s") : std::to_string(Int(in, form.member));
        EXPECT_EQ(value, form.value);
    }
}

}  // namespace
