// The limits of the script language, seen from both sides: what the script compiler refuses
// (with file:line), what the server's parser refuses in a hand-made token file (with the
// class name), and that the largest form either accepts runs without harm.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "script/language/script_parser.h"
#include "script/language/statement_tree.h"
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
        EXPECT_EQ(Fire(in, kTriggerUse, {0}), 1);
        const std::string value =
            std::string(form.member) == "s" ? Str(in, "s") : std::to_string(Int(in, form.member));
        EXPECT_EQ(value, form.value);
    }
}

// The server's parser on hand-made token files: the same bound, with the class named.
struct LoadedClass {
    std::unique_ptr<CScriptClass> cls;
    CompileReport report;
};

LoadedClass Load(const TokenStreamBuilder& b) {
    LoadedClass out;
    const std::vector<u8> s = b.Terminated();
    out.cls = CompileScriptClass(s.data(), s.size(), b.table, "deep", nullptr, out.report);
    return out;
}

TEST(ScriptLimitsLoader, EveryExpressionFormIsBoundedInHandMadeTokenFiles) {
    // "function void f() { list l; barkint(<n levels>); }" for each form.
    struct Form {
        const char* what;
        std::function<void(TokenStreamBuilder&, int n)> expression;
    };
    const Form forms[] = {
        {"a chain of string joins",
         [](TokenStreamBuilder& b, int n) {
             b.Str("x");
             for (int i = 1; i < n; ++i)
                 b.Code(OP_ADD).Str("x");
         }},
        {"a chain of sums",
         [](TokenStreamBuilder& b, int n) {
             b.Byte(1);
             for (int i = 1; i < n; ++i)
                 b.Code(OP_ADD).Byte(1);
         }},
        {"a chain of subscripts",
         [](TokenStreamBuilder& b, int n) {
             b.Id("l");
             for (int i = 1; i < n; ++i)
                 b.Code(SM_LBRACKET).Byte(0).Code(SM_RBRACKET);
         }},
        {"a run of '!'",
         [](TokenStreamBuilder& b, int n) {
             for (int i = 1; i < n; ++i)
                 b.Code(OP_NOT);
             b.Byte(1);
         }},
        {"nested parentheses",
         [](TokenStreamBuilder& b, int n) {
             for (int i = 1; i < n; ++i)
                 b.L();
             b.Byte(1);
             for (int i = 1; i < n; ++i)
                 b.R();
         }},
    };
    for (const Form& form : forms) {
        SCOPED_TRACE(form.what);
        for (int n : {kDepth, kDepth + 1, 8000, 200000}) {
            TokenStreamBuilder b;
            b.VoidFunction("f").Code(TK_LIST).Id("l").Semi();
            b.Id(std::string(form.what) == std::string("a chain of string joins") ? "barkstr"
                                                                                  : "barkint");
            b.L();
            form.expression(b, n);
            b.R().Semi().Close();
            const LoadedClass c = Load(b);
            if (n == kDepth) {
                EXPECT_TRUE(c.cls) << c.report.error;
            } else {
                EXPECT_FALSE(c.cls) << n;
                EXPECT_NE(c.report.error.find(
                              "script class 'deep': expression nested too deeply (more than " +
                              std::to_string(kDepth) + " levels"),
                          std::string::npos)
                    << n << ": " << c.report.error;
            }
        }
    }
}

// The compiler's own recursion: blocks and runs of '!' are refused before they get deep.
TEST(ScriptLimitsCompiler, DeepBlocksAndRunsOfNotAreRefusedWithoutRecursing) {
    const auto nestedLoops = [](int n) {
        return "function void f() {\n" + Times(n, "while (1) {\n") + Times(n + 1, "}\n");
    };
    EXPECT_EQ(CompileErrors(nestedLoops(kMaxOpenControlNodes)), "");
    for (int n : {kMaxOpenControlNodes + 1, 50000}) {
        // The 129th block opens on line 130.
        EXPECT_EQ(CompileErrors(nestedLoops(n)),
                  "t.zqs:130: blocks nested too deeply (more than 128 open blocks)\n")
            << n;
    }
    const std::string nots = "function void f() {\n  int x = " + Times(1000000, "!") + "1;\n}\n";
    EXPECT_EQ(CompileErrors(nots), "t.zqs:2: " + ExpressionTooDeepMessage() + "\n");
}

// The loader counts each break of an open loop or switch with the open blocks; the compiler
// says so.
TEST(ScriptLimitsCompiler, BreaksCountWithTheOpenLoopsAndSwitches) {
    const auto flatSwitch = [](int cases) {
        std::string source = "function void f(int a) {\n  switch (a) {\n";
        for (int i = 0; i < cases; ++i)
            source += "    case " + std::to_string(i) + ": break;\n";
        return source + "  }\n}\n";
    };
    EXPECT_EQ(CompileErrors(flatSwitch(kMaxOpenControlNodes - 1)), "");
    const std::string errors = CompileErrors(flatSwitch(kMaxOpenControlNodes));
    // Line 131 closes the switch.
    EXPECT_NE(errors.find("t.zqs:131: script class 't': more than 128 loops, switches and break "
                          "statements open at once (a break inside a loop or switch counts "
                          "until that loop or switch ends)"),
              std::string::npos)
        << errors;
}

TEST(ScriptLimitsCompiler, NamesLongerThanAStringTableLineAreRefused) {
    const std::string longest(ScriptStringTable::kMaxLineLength, 'n');
    const std::string tooLong = longest + "n";
    const std::string message =
        "name too long: 1024 characters where a string table line holds "
        "at most 1023 (a label's ':' counts)";
    struct Case {
        std::string source;
        std::string error;  // empty: compiles
    };
    const Case cases[] = {
        {"function int f() {\n  int " + longest + " = 3;\n  return " + longest + ";\n}\n", ""},
        {"function int f() {\n  int " + tooLong + " = 3;\n  return 1;\n}\n", "t.zqs:2: " + message},
        {"member int a;\nmember int " + tooLong + ";\n", "t.zqs:2: " + message},
        {"function void a() {\n}\nfunction void " + tooLong + "() {\n}\n", "t.zqs:3: " + message},
        {"function void f() {\n  goto " + longest + ";\n  " + longest + ":\n}\n",
         "t.zqs:3: " + message},
    };
    for (const Case& c : cases) {
        const std::string errors = CompileErrors(c.source);
        if (c.error.empty()) {
            EXPECT_EQ(errors, "");
        } else {
            EXPECT_EQ(errors, c.error + "\n");
        }
    }
}

TEST_F(ScriptLimits, TheLongestNameLoadsAndRuns) {
    const std::string longest(ScriptStringTable::kMaxLineLength, 'n');
    Compile({{"longname", "member int " + longest + ";\ntrigger use {\n  " + longest +
                              " = 41;\n  " + longest + "++;\n  return 1;\n}\n"}});
    CScriptInstance* in = Instance("longname");
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(Fire(in, kTriggerUse, {0}), 1);
    EXPECT_EQ(Int(in, longest.c_str()), 42);
}

TEST(ScriptLimitsCompiler, IntLiteralsOutsideTheIntRangeAreRefused) {
    const std::string tooLarge = "number literal too large: an int goes up to 2147483647";
    const std::pair<const char*, const char*> cases[] = {
        {"function void f(int a) {\n  a = 2147483648;\n}\n", "t.zqs:2: "},
        {"function void f(int a) {\n  a = 2147483649;\n}\n", "t.zqs:2: "},
        {"function void f(int a) {\n  a = 1 + 2147483648;\n}\n", "t.zqs:2: "},
        {"function void f(int a) {\n  a = 0 -2147483648;\n}\n", "t.zqs:2: "},
        {"trigger\n2147483648 use {\n  return 1;\n}\n", "t.zqs:2: "},
        {"trigger callback(\n2147483648) {\n  return 1;\n}\n", "t.zqs:2: "},
    };
    for (const auto& [source, where] : cases) {
        EXPECT_EQ(CompileErrors(source), where + tooLarge + "\n") << source;
    }
}

TEST_F(ScriptLimits, IntLiteralsAtTheEdgesKeepTheirValues) {
    Compile({{"edges",
              "member int lowest;\nmember int highest;\nmember int pattern;\n"
              "trigger use {\n  lowest = -2147483648;\n  highest = 2147483647;\n"
              "  pattern = 0xFFFFFFFF;\n  return 1;\n}\n"}});
    CScriptInstance* in = Instance("edges");
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(Fire(in, kTriggerUse, {0}), 1);
    EXPECT_EQ(Int(in, "lowest"), INT32_MIN);
    EXPECT_EQ(Int(in, "highest"), INT32_MAX);
    EXPECT_EQ(Int(in, "pattern"), -1);
}

// Declaring and using tens of thousands of locals takes linear time: quadratic lookups took
// seconds for 20,000. The bound is generous (a loaded sanitizer build needs well under one).
TEST(ScriptLimitsCompiler, ManyLocalsCompileQuickly) {
    constexpr int kLocals = 40000;
    std::string source = "function int f() {\n";
    for (int i = 0; i < kLocals; ++i)
        source += "  int v" + std::to_string(i) + " = " + std::to_string(i % 100) + ";\n";
    for (int i = 0; i < kLocals; i += 1000)
        source += "  v" + std::to_string(i) + "++;\n";
    source += "  return v" + std::to_string(kLocals - 1) + ";\n}\n";
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(CompileErrors(source), "");
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_LT(elapsed, std::chrono::seconds(10));
}

}  // namespace
