// Round trips: script source -> our compiler -> token file and string table -> the server's
// loader and parser -> statement chains, with the control-flow links checked.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "script/compiler/script_compiler.h"
#include "script/language/builtin_table.h"
#include "script/language/script_class.h"
#include "script/language/script_parser.h"
#include "script/language/string_table.h"

namespace {

// Compiles sources (class name -> text) and loads them back as the server does.
class RoundTrip {
public:
    bool Compile(const std::map<std::string, std::string>& sources) {
        ScriptCompiler compiler;
        for (const auto& [name, text] : sources) {
            if (!compiler.AddSource({name + ".zqs", name, text}, errors)) return false;
        }
        if (!compiler.Validate(errors)) return false;
        // What the archive carries: the table as text and the token bytes.
        std::string tableError;
        if (!table.LoadFromText(compiler.Strings().ToText(), tableError)) {
            errors = tableError;
            return false;
        }
        files = compiler.TokenFiles();
        return true;
    }

    const CScriptClass* Load(const std::string& name) {
        auto done = classes.find(name);
        if (done != classes.end()) return done->second.get();
        std::vector<u8> bytes = files.at(name);
        bytes.push_back(0);  // the loader appends a zero byte
        CompileReport report;
        auto cls = CompileScriptClass(
            bytes.data(), bytes.size(), table, name,
            [this](const std::string& parent, std::string&) { return Load(parent); }, report);
        EXPECT_TRUE(cls) << report.error;
        EXPECT_TRUE(report.notes.empty());
        if (!cls) return nullptr;
        const CScriptClass* raw = cls.get();
        classes[name] = std::move(cls);
        return raw;
    }

    std::string errors;
    ScriptStringTable table;
    std::map<std::string, std::vector<u8>> files;
    std::map<std::string, std::unique_ptr<CScriptClass>> classes;
};

std::string FunctionChain(const CScriptClass& cls, const std::string& name) {
    const int i = cls.FindFunction(name);
    if (i < 0 || !cls.functions[static_cast<size_t>(i)].vars) return "(no body)";
    const ScriptVarTable& vars = *cls.functions[static_cast<size_t>(i)].vars;
    return DescribeChain(cls, vars, vars.body);
}

[[maybe_unused]] std::string TriggerChain(const CScriptClass& cls, int trigger) {
    const TriggerHandler* h = cls.handlers[static_cast<size_t>(trigger)];
    if (!h) return "(no handler)";
    return DescribeChain(cls, *h->vars, h->vars->body);
}

// Compiles a class "t" whose function f is the body given, and lists f's chain.
std::string Body(const std::string& resultType, const std::string& body,
                 const std::string& members = "") {
    RoundTrip rt;
    if (!rt.Compile({{"t", members + "function " + resultType + " f(int a, string s) {\n" + body +
                               "\n}\n"}})) {
        return "ERROR " + rt.errors;
    }
    const CScriptClass* cls = rt.Load("t");
    return cls ? FunctionChain(*cls, "f") : "LOAD FAILED";
}

TEST(ScriptRoundTrip, IfElseLinksThenAndElseBranches) {
    EXPECT_EQ(Body("int",
                   "int x;\n"
                   "if (a > 5) { x = 1; } else { x = 2; }\n"
                   "return x;"),
              "0: TK_IF(oprgt(a,5),->2)\n"
              "1: assignint(&x,1)\n"
              "2: TK_ELSE(->4)\n"
              "3: assignint(&x,2)\n"
              "4: TK_ENDIF\n"
              "5: TK_RETURN(x)\n");
}

TEST(ScriptRoundTrip, IfWithoutElseAndNestedIfs) {
    EXPECT_EQ(Body("void",
                   "if (a) { if (a == 2) { barkint(2); } barkint(1); }\n"
                   "barkint(0);"),
              "0: TK_IF(a,->5)\n"
              "1: TK_IF(oprequiv(a,2),->3)\n"
              "2: barkint(2)\n"
              "3: TK_ENDIF\n"
              "4: barkint(1)\n"
              "5: TK_ENDIF\n"
              "6: barkint(0)\n");
}

TEST(ScriptRoundTrip, WhileWithBreakAndContinue) {
    EXPECT_EQ(Body("void",
                   "while (a < 10) {\n"
                   "  a++;\n"
                   "  if (a == 3) { continue; }\n"
                   "  if (a == 7) { break; }\n"
                   "}"),
              "0: TK_WHILE(oprlt(a,10),->8)\n"
              "1: oprinc(&a)\n"
              "2: TK_IF(oprequiv(a,3),->4)\n"
              "3: TK_CONTINUE(->0)\n"
              "4: TK_ENDIF\n"
              "5: TK_IF(oprequiv(a,7),->7)\n"
              "6: TK_BREAK(->8)\n"
              "7: TK_ENDIF\n"
              "8: TK_ENDWHILE(->0)\n");
}

TEST(ScriptRoundTrip, ForLoopMovesItsStepBeforeTheLoopEnd) {
    EXPECT_EQ(Body("void",
                   "for (int i = 0; i < a; i++) {\n"
                   "  if (i == 2) { break; }\n"
                   "  barkint(i);\n"
                   "}"),
              "0: assignint(&i,0)\n"
              "1: TK_WHILE(oprlt(i,a),->7)\n"
              "2: TK_IF(oprequiv(i,2),->4)\n"
              "3: TK_BREAK(->7)\n"
              "4: TK_ENDIF\n"
              "5: barkint(i)\n"
              "6: oprinc(&i)\n"
              "7: TK_ENDWHILE(->1)\n");
}

TEST(ScriptRoundTrip, ForLoopWithoutStepOrCondition) {
    EXPECT_EQ(Body("void", "int i;\nfor (i = 0; ; ) { break; }\nbarkint(i);"),
              "0: assignint(&i,0)\n"
              "1: TK_WHILE(1,->3)\n"
              "2: TK_BREAK(->3)\n"
              "3: TK_ENDWHILE(->1)\n"
              "4: barkint(i)\n");
}

TEST(ScriptRoundTrip, NestedLoopsBreakOnlyTheInnerLoop) {
    EXPECT_EQ(Body("void",
                   "while (a) {\n"
                   "  while (1) { break; }\n"
                   "  break;\n"
                   "}"),
              "0: TK_WHILE(a,->5)\n"
              "1: TK_WHILE(1,->3)\n"
              "2: TK_BREAK(->3)\n"
              "3: TK_ENDWHILE(->1)\n"
              "4: TK_BREAK(->5)\n"
              "5: TK_ENDWHILE(->0)\n");
}

TEST(ScriptRoundTrip, SwitchWithDefaultAndDuplicateCases) {
    // Entries are put at the front: among equal values the later case comes first.
    EXPECT_EQ(Body("void",
                   "switch (a) {\n"
                   "  case 3: barkint(1); break;\n"
                   "  case -4: barkint(2);\n"
                   "  case 3: barkint(3); break;\n"
                   "  default: barkint(4);\n"
                   "}"),
              "0: TK_SWITCH(a,{-666->9,3->6,-4->4,3->1})\n"
              "1: TK_CASE\n"
              "2: barkint(1)\n"
              "3: TK_BREAK(->11)\n"
              "4: TK_CASE\n"
              "5: barkint(2)\n"
              "6: TK_CASE\n"
              "7: barkint(3)\n"
              "8: TK_BREAK(->11)\n"
              "9: TK_CASE\n"
              "10: barkint(4)\n"
              "11: TK_ENDSWITCH\n");
}

TEST(ScriptRoundTrip, SwitchWithoutDefaultFallsToItsEnd) {
    EXPECT_EQ(Body("void",
                   "while (a) {\n"
                   "  switch (a) { case 1: continue; }\n"
                   "}"),
              "0: TK_WHILE(a,->5)\n"
              "1: TK_SWITCH(a,{-666->4,1->2})\n"
              "2: TK_CASE\n"
              "3: TK_CONTINUE(->0)\n"
              "4: TK_ENDSWITCH\n"
              "5: TK_ENDWHILE(->0)\n");
}

TEST(ScriptRoundTrip, GotoAndLabels) {
    EXPECT_EQ(Body("void",
                   "top:\n"
                   "a++;\n"
                   "if (a < 3) { goto top; }\n"
                   "goto out;\n"
                   "barkint(1);\n"
                   "out:\n"
                   "barkint(2);"),
              "0: label\n"
              "1: oprinc(&a)\n"
              "2: TK_IF(oprlt(a,3),->4)\n"
              "3: TK_GOTO(->0)\n"
              "4: TK_ENDIF\n"
              "5: TK_GOTO(->7)\n"
              "6: barkint(1)\n"
              "7: label\n"
              "8: barkint(2)\n");
}

TEST(ScriptRoundTrip, ReturnForms) {
    EXPECT_EQ(Body("int", "return (a + 1);"), "0: TK_RETURN(oprplus(a,1))\n");
    EXPECT_EQ(Body("int", "return a + 1;"), "0: TK_RETURN(oprplus(a,1))\n");
    EXPECT_EQ(Body("string", "return s;"), "0: TK_RETURN(s)\n");
    EXPECT_EQ(Body("void", "return;"), "0: TK_RETURN\n");
    EXPECT_EQ(Body("obj", "return getObjVar(this, s);", "member int pad;\n"),
              "0: TK_RETURN(getObjVar(m.this,s))\n");
    EXPECT_EQ(Body("loc", "loc p = 1, 2, -3;\nreturn p;"),
              "0: assignlocint(&p,1,2,-3)\n"
              "1: TK_RETURN(p)\n");
}

TEST(ScriptRoundTrip, OperatorsApplyLeftToRightAndParenthesesGroupInts) {
    EXPECT_EQ(Body("int", "return (a + 2) * 3;"),
              "0: TK_RETURN(oprmult(oprnull(oprplus(a,2)),3))\n");
    EXPECT_EQ(Body("int", "return a + 2 + -70000;"),
              "0: TK_RETURN(oprplus(oprplus(a,2),-70000))\n");
    EXPECT_EQ(Body("int", "return !a && (a != 1);"),
              "0: TK_RETURN(oprand(oprnot(a),oprnull(oprnequiv(a,1))))\n");
}

TEST(ScriptRoundTrip, AssignmentsPickTheirBuiltinByTypes) {
    EXPECT_EQ(Body("void",
                   "int n = s;\n"
                   "string t = a;\n"
                   "t = s + a;\n"
                   "ustring w = L\"h\u00e9\";\n"
                   "w = 5;\n"
                   "list l = 1, \"x\", w;\n"
                   "list m = l;\n"
                   "int e = l[1];\n"
                   "string g = l[2];\n"
                   "obj o = this;"),
              "0: assignintstr(&n,s)\n"
              "1: assignstrint(&t,a)\n"
              "2: assignstr(&t,oprplus(s,a))\n"
              "3: assignust(&w,L\"h?\")\n"
              "4: assignustint(&w,5)\n"
              "5: clearlist(&l)\n"
              "6: append(&l,1)\n"
              "7: append(&l,\"x\")\n"
              "8: append(&l,w)\n"
              "9: assignlist(&m,l)\n"
              "10: assignint(&e,oprlist(l,1))\n"
              "11: assignstr(&g,oprlist(l,2))\n"
              "12: assignobj(&o,m.this)\n");
}

TEST(ScriptRoundTrip, PlaceholdersBecomeTypedVariants) {
    RoundTrip rt;
    ASSERT_TRUE(rt.Compile({{"t",
                             "function void f(list l) {\n"
                             "  string g = l[0];\n"
                             "  loc p = l[1];\n"
                             "  int n = getObjVar(this, \"count\");\n"
                             "}\n"}}))
        << rt.errors;
    const CScriptClass* cls = rt.Load("t");
    ASSERT_TRUE(cls);
    const ScriptNode* n = cls->functions[0].vars->body;
    EXPECT_STREQ(n->child->next->builtin->signature, "sli");
    EXPECT_STREQ(n->next->child->next->builtin->signature, "cli");
    EXPECT_STREQ(n->next->next->child->next->builtin->signature, "ios");
}

TEST(ScriptRoundTrip, LongStringsAreSplitAndJoinedBack) {
    const std::string text(2500, 'q');
    RoundTrip rt;
    ASSERT_TRUE(rt.Compile({{"t", "function string f() { return \"" + text + "\"; }\n"}}))
        << rt.errors;
    for (size_t i = 0; i < rt.table.Count(); ++i) {
        EXPECT_LE(rt.table.Line(i).size(), ScriptStringTable::kMaxLineLength);
    }
    const CScriptClass* cls = rt.Load("t");
    ASSERT_TRUE(cls);
    const ScriptNode* ret = cls->functions[0].vars->body;
    ASSERT_TRUE(ret && ret->child && ret->child->str);
    EXPECT_EQ(std::string(ret->child->str->CText()), text);
}

TEST(ScriptRoundTrip, MembersForwardsAndScriptCalls) {
    RoundTrip rt;
    ASSERT_TRUE(rt.Compile({{"t",
                             "member int count;\n"
                             "forward int twice(int);\n"
                             "function void f() { count = twice(count); }\n"
                             "function int twice(int n) { return n * 2; }\n"}}))
        << rt.errors;
    const CScriptClass* cls = rt.Load("t");
    ASSERT_TRUE(cls);
    EXPECT_EQ(FunctionChain(*cls, "f"), "0: assignint(&m.count,twice(m.count))\n");
    EXPECT_EQ(cls->functions[static_cast<size_t>(cls->FindFunction("twice"))].signature, "ii");
    EXPECT_EQ(cls->members.entries[0].name, "this");
    EXPECT_EQ(cls->members.entries[1].offset, 4u);
}

TEST(ScriptRoundTrip, InheritanceSharesTheParentsTablesAndHandlers) {
    RoundTrip rt;
    ASSERT_TRUE(rt.Compile({{"base",
                             "member loc home;\n"
                             "function int value() { return 1; }\n"
                             "function int useValue() { return value(); }\n"
                             "trigger use { return useValue(); }\n"},
                            {"child",
                             "inherits base;\n"
                             "member int extra;\n"
                             "function int value() { return 2; }\n"
                             "trigger use { return 0; }\n"}}))
        << rt.errors;
    const CScriptClass* child = rt.Load("child");
    const CScriptClass* base = rt.Load("base");
    ASSERT_TRUE(child && base);
    EXPECT_EQ(child->parent, base);
    // Same index for the overriding function; members after the parent's storage.
    EXPECT_EQ(child->FindFunction("value"), base->FindFunction("value"));
    EXPECT_EQ(child->members.Find("extra"), 2);
    EXPECT_EQ(child->members.entries[2].offset, 12u);  // this 4 + home 8
    // The child's handler first, then the parent's list.
    const TriggerHandler* h = child->handlers[kTriggerUse];
    ASSERT_TRUE(h && h->next);
    EXPECT_EQ(h->next, base->handlers[kTriggerUse]);
    EXPECT_EQ(TriggerChain(*child, kTriggerUse), "0: TK_RETURN(0)\n");
}

TEST(ScriptRoundTrip, TriggerPrioritiesArgumentsAndImplicitParameters) {
    RoundTrip rt;
    ASSERT_TRUE(rt.Compile({{"t",
                             "trigger use { return 1; }\n"
                             "trigger 250 speech(\"*hi*\") { bark(this, arg); return 1; }\n"
                             "trigger callback(12) { return 1; }\n"
                             "trigger targetloc { loc p = place; return objtype; }\n"}}))
        << rt.errors;
    const CScriptClass* cls = rt.Load("t");
    ASSERT_TRUE(cls);
    EXPECT_EQ(cls->handlers[kTriggerUse]->priority, 1000);
    const TriggerHandler* speech = cls->handlers[kTriggerSpeech];
    EXPECT_EQ(speech->priority, 250);
    EXPECT_EQ(speech->textArg, "*hi*");
    EXPECT_EQ(TriggerChain(*cls, kTriggerSpeech), "0: bark(m.this,arg)\n1: TK_RETURN(1)\n");
    EXPECT_EQ(cls->handlers[kTriggerCallback]->intArg, 12);
    // targetloc: user o, place c, objtype i, then the locals.
    const ScriptVarTable& vars = *cls->handlers[kTriggerTargetLoc]->vars;
    EXPECT_EQ(vars.entries[2].name, "objtype");
    EXPECT_EQ(vars.entries[2].offset, 12u);
    EXPECT_EQ(TriggerChain(*cls, kTriggerTargetLoc),
              "0: assignloc(&p,place)\n1: TK_RETURN(objtype)\n");
}

// Compile errors: each source is refused with the line and the message given.
TEST(ScriptCompilerErrors, RefusesWhatTheServerWouldMishandle) {
    struct Case {
        const char* source;
        const char* expected;  // "file:line: text" fragment
    };
    const Case cases[] = {
        {"function void f() {\n  nosuch(1);\n}\n", "t.zqs:2: unknown name 'nosuch'"},
        {"function void f() {\n  barkint(\"x\");\n}\n",
         "t.zqs:2: script class 't': Could not find function with name 'barkint' and args 'us'"},
        {"function void f() {\n  strlen();\n}\n",
         "t.zqs:2: script class 't': Could not find function with name 'strlen' and args 'u'"},
        {"trigger usage { return 1; }\n", "t.zqs:1: unknown trigger 'usage'"},
        {"trigger message { return 1; }\n", "t.zqs:1: trigger 'message' needs its argument"},
        {"trigger use(3) { return 1; }\n", "t.zqs:1: trigger 'use' takes no argument"},
        {"function int f(int a) {\n  return a + 1 * 2;\n}\n",
         "t.zqs:2: operators '+' and '*' mixed without parentheses"},
        {"function void f(int a) {\n  if (a) { }\n  else if (a) { }\n}\n",
         "t.zqs:3: 'else if' is not supported"},
        {"function void f(int a) {\n  while (a) {\n    a++;\n}\n",
         "t.zqs:5: unterminated block opened at line 1"},
        {"function void f() {\n  break;\n}\n", "t.zqs:2: 'break' outside a loop or switch"},
        {"function void f(int a) {\n  for (a = 0; a < 3; a++) {\n    while (a) {\n      "
         "continue;\n    }\n"
         "    continue;\n  }\n}\n",
         "t.zqs:6: 'continue' in a for loop would skip its step (use a while loop)"},
        {"function void f() {\n  goto nowhere;\n}\n", "t.zqs:2: bad label 'nowhere'"},
        {"function void f(int a) {\n  a = -a;\n}\n",
         "t.zqs:2: unary minus only works on number literals"},
        {"function void f(int a) {\n  obj o = a;\n}\n",
         "t.zqs:2: assignment of a int value to the obj variable 'o' has no effect"},
        {"function ustring f() {\n  return L\"x\";\n}\n",
         "Could not find function with name 'TK_RETURN' and args 'vq'"},
        {"function int f() { return 1; }\nfunction int f(int a) { return a; }\n",
         "t.zqs:2: script class 't': overloaded function 'f' first seen as 'i', now seen as 'ii'."},
        {"inherits missing;\n", "t.zqs:1: script class 't': unknown parent class 'missing'"},
        {"function void f() {\n  string s = \"a\nb\";\n}\n",
         "t.zqs:2: unterminated string literal"},
        {"function void f(list l, int a) {\n  int x = a + l[0];\n}\n",
         "t.zqs:2: a list subscript after an operator"},
        {"function void f() {\n  case 1:\n}\n", "t.zqs:2: 'case' outside a switch"},
        {"function int f() {\n  return barkint(1);\n}\n", "argument 1 of 'TK_RETURN'"},
    };
    for (const Case& c : cases) {
        RoundTrip rt;
        EXPECT_FALSE(rt.Compile({{"t", c.source}})) << c.source;
        EXPECT_NE(rt.errors.find(c.expected), std::string::npos) << "source:\n"
                                                                 << c.source << "errors:\n"
                                                                 << rt.errors;
    }
}

TEST(ScriptCompilerErrors, InheritanceCycleIsRefused) {
    RoundTrip rt;
    EXPECT_FALSE(rt.Compile({{"a", "inherits b;\n"}, {"b", "inherits a;\n"}}));
    EXPECT_NE(rt.errors.find("inherits from itself"), std::string::npos) << rt.errors;
}

TEST(ScriptCompilerErrors, StringTableOverflowIsReported) {
    std::string source = "function void f() {\n";
    for (int i = 0; i < 66000; ++i)
        source += "barkstr(\"s" + std::to_string(i) + "\");\n";
    source += "}\n";
    RoundTrip rt;
    EXPECT_FALSE(rt.Compile({{"t", source}}));
    EXPECT_NE(rt.errors.find("string table overflow"), std::string::npos)
        << rt.errors.substr(0, 200);
}

}  // namespace
