// The parser on hand-built token streams: its compile errors, silent cases and limits.
#include "script/language/script_parser.h"

#include <gtest/gtest.h>

#include "script/language/builtin_table.h"
#include "script/token_stream_builder.h"

namespace {

struct Compiled {
    std::unique_ptr<CScriptClass> cls;
    CompileReport report;
};

Compiled Compile(const TokenStreamBuilder& b, const ParentClassResolver& resolve = nullptr) {
    Compiled out;
    const std::vector<u8> s = b.Terminated();
    out.cls = CompileScriptClass(s.data(), s.size(), b.table, "k", resolve, out.report);
    return out;
}

std::string Chain(const Compiled& c, const char* function = "f") {
    const ScriptFunction& f = c.cls->functions[static_cast<size_t>(c.cls->FindFunction(function))];
    return DescribeChain(*c.cls, *f.vars, f.vars->body);
}

TEST(ScriptParser, CompileErrorsOfMalformedStreams) {
    struct Case {
        const char* what;
        TokenStreamBuilder stream;
        const char* error;
    };
    std::vector<Case> cases;
    {
        Case c{"unknown builtin signature", {}, ""};
        c.stream.VoidFunction("f").Id("barkint").L().Str("x").R().Semi().Close();
        c.error = "script class 'k': Could not find function with name 'barkint' and args 'us'";
        cases.push_back(std::move(c));
    }
    {
        Case c{"overload", {}, ""};
        c.stream.Code(TK_FORWARD).Code(TK_INT).Id("g").L().R().Semi();
        c.stream.Code(TK_FUNCTION).Code(TK_INT).Id("g").L().Code(TK_INT).Id("a").R().Open().Close();
        c.error = "overloaded function 'g' first seen as 'i', now seen as 'ii'.";
        cases.push_back(std::move(c));
    }
    {
        Case c{"case outside switch", {}, ""};
        c.stream.VoidFunction("f").Code(TK_CASE).Byte(1).Close();
        c.error = "case outside a switch";
        cases.push_back(std::move(c));
    }
    {
        Case c{"else without if", {}, ""};
        c.stream.VoidFunction("f").Code(TK_ELSE).Semi().Close();
        c.error = "else without an if";
        cases.push_back(std::move(c));
    }
    {
        Case c{"stream ends in a body", {}, ""};
        c.stream.VoidFunction("f").Code(TK_WHILE).L().Byte(1).R().Open();
        c.error = "the token stream ends inside a body";
        cases.push_back(std::move(c));
    }
    {
        Case c{"return of a list", {}, ""};
        c.stream.Code(TK_FUNCTION).Code(TK_LIST).Id("f").L().R().Open().Code(TK_RETURN).Semi();
        c.stream.Close();
        c.error = "Could not find function with name 'TK_RETURN' and args 'vl'";
        cases.push_back(std::move(c));
    }
    {
        Case c{"script call with too few arguments", {}, ""};
        c.stream.Code(TK_FUNCTION).Code(TK_VOID).Id("g").L().Code(TK_INT).Id("a").R().Open();
        c.stream.Close().VoidFunction("f").Id("g").L().R().Semi().Close();
        c.error = "too few arguments for 'g'";
        cases.push_back(std::move(c));
    }
    {
        Case c{"void value as an argument", {}, ""};
        c.stream.VoidFunction("f").Id("barkint").L().Id("barkint").L().Byte(1).R().R().Semi();
        c.stream.Close();
        c.error = "Could not find function with name 'barkint' and args 'uv'";
        cases.push_back(std::move(c));
    }
    {
        Case c{"location from two ints", {}, ""};
        c.stream.VoidFunction("f").Code(TK_LOC).Id("p").Code(OP_ASSIGN).Byte(1).Code(SM_COMMA);
        c.stream.Byte(2).Semi().Close();
        c.error = "a location 'p' takes one location or three ints";
        cases.push_back(std::move(c));
    }
    {
        Case c{"unknown parent", {}, ""};
        c.stream.Code(TK_INHERITS).Id("nothere").Semi();
        c.error = "unknown parent class 'nothere'";
        cases.push_back(std::move(c));
    }
    {
        Case c{"truncated token", {}, ""};
        c.stream.VoidFunction("f").Code(T_DWORD);
        c.stream.bytes.push_back(1);
        c.error = "token operand cut short";
        cases.push_back(std::move(c));
    }
    for (Case& c : cases) {
        Compiled out = Compile(c.stream);
        EXPECT_FALSE(out.cls) << c.what;
        EXPECT_NE(out.report.error.find(c.error), std::string::npos)
            << c.what << ": " << out.report.error;
    }
}

TEST(ScriptParser, DeclarationsAndSilentAssignments) {
    TokenStreamBuilder b;
    b.VoidFunction("f");
    b.Code(TK_INT).Id("x").Code(OP_ASSIGN).Byte(5).Semi();        // declared with a value
    b.Code(TK_INT).Id("y").Semi();                                // declared alone: nothing emitted
    b.Code(TK_STRING).Id("s").Code(OP_ASSIGN).Id("this").Semi();  // object into string
    b.Code(TK_OBJ).Id("x").Semi();  // declared twice: the first declaration stays
    b.Id("x").Code(OP_ASSIGN).Byte(7).Semi();
    b.Close();
    Compiled c = Compile(b);
    ASSERT_TRUE(c.cls) << c.report.error;
    EXPECT_EQ(Chain(c), "0: assignint(&x,5)\n1: assignint(&x,7)\n");
    const ScriptVarTable& vars = *c.cls->functions[0].vars;
    EXPECT_EQ(vars.entries[static_cast<size_t>(vars.Find("x"))].type, 0);
    ASSERT_EQ(c.report.notes.size(), 2u);
    EXPECT_NE(c.report.notes[0].text.find("has no effect"), std::string::npos);
    EXPECT_NE(c.report.notes[1].text.find("'x' is declared twice"), std::string::npos);
}

TEST(ScriptParser, TriggerPriorityAndUnknownTriggerName) {
    TokenStreamBuilder b;
    b.Code(TK_TRIGGER).Dword(250).Id("use").Open().Close();
    b.Code(TK_TRIGGER).Id("nosuchtrigger").Open().Id("barkint").L().Byte(1).R().Semi().Close();
    Compiled c = Compile(b);
    ASSERT_TRUE(c.cls) << c.report.error;
    EXPECT_EQ(c.cls->handlers[kTriggerUse]->priority, 250);
    // The unknown trigger's body is compiled but attached to no list.
    for (const TriggerHandler* h : c.cls->handlers) {
        for (; h; h = h->next)
            EXPECT_NE(h->trigger, kNoTrigger);
    }
    ASSERT_EQ(c.report.notes.size(), 1u);
    EXPECT_EQ(c.report.notes[0].text, "unknown trigger 'nosuchtrigger'");
}

TEST(ScriptParser, AJumpToAMissingLabelStopsResolutionWithoutFailing) {
    TokenStreamBuilder b;
    b.VoidFunction("f");
    b.Code(TK_GOTO).Id("here:").Semi();
    b.Code(TK_GOTO).Id("nowhere").Semi();
    b.Code(TK_GOTO).Id("here").Semi();
    b.Close();
    Compiled c = Compile(b);
    ASSERT_TRUE(c.cls) << c.report.error;
    // The bad jump and the one after it stay labels that do nothing.
    EXPECT_EQ(Chain(c), "0: label\n1: label nowhere\n2: label here\n");
    ASSERT_EQ(c.report.notes.size(), 1u);
    EXPECT_EQ(c.report.notes[0].text, "bad label 'nowhere'");
}

TEST(ScriptParser, BreakAndContinueOutsideLoopsKeepANullTarget) {
    TokenStreamBuilder b;
    b.VoidFunction("f").Code(TK_BREAK).Semi().Code(TK_CONTINUE).Semi().Close();
    Compiled c = Compile(b);
    ASSERT_TRUE(c.cls) << c.report.error;
    // Run time: jumping to null ends the function as if its body had run out.
    EXPECT_EQ(Chain(c), "0: TK_BREAK(->null)\n1: TK_CONTINUE(->null)\n");
}

TEST(ScriptParser, ForwardDeclarationTakesTheLaterBody) {
    TokenStreamBuilder b;
    b.Code(TK_FORWARD).Code(TK_INT).Id("g").L().Code(TK_INT).Code(SM_COMMA).Code(TK_STRING);
    b.Id("named").R().Semi();
    b.Code(TK_FUNCTION).Code(TK_INT).Id("g").L().Code(TK_INT).Id("a").Code(SM_COMMA);
    b.Code(TK_STRING).Id("s").R().Open().Code(TK_RETURN).L().Id("a").R().Semi().Close();
    Compiled c = Compile(b);
    ASSERT_TRUE(c.cls) << c.report.error;
    ASSERT_EQ(c.cls->functions.size(), 1u);
    EXPECT_EQ(c.cls->functions[0].signature, "iis");
    EXPECT_EQ(Chain(c, "g"), "0: TK_RETURN(a)\n");
}

TEST(ScriptParser, BlockAndLabelLimitsAreEnforced) {
    TokenStreamBuilder deep;
    deep.VoidFunction("f");
    for (int i = 0; i < 130; ++i)
        deep.Code(TK_WHILE).L().Byte(1).R().Open();
    for (int i = 0; i < 130; ++i)
        deep.Close();
    deep.Close();
    Compiled c = Compile(deep);
    EXPECT_FALSE(c.cls);
    EXPECT_NE(c.report.error.find("nested too deeply"), std::string::npos) << c.report.error;

    TokenStreamBuilder labels;
    labels.VoidFunction("f");
    for (int i = 0; i < 129; ++i)
        labels.Code(TK_GOTO).Id("l" + std::to_string(i) + ":").Semi();
    labels.Close();
    c = Compile(labels);
    EXPECT_FALSE(c.cls);
    EXPECT_NE(c.report.error.find("more than 128 labels"), std::string::npos) << c.report.error;

    TokenStreamBuilder parens;
    parens.VoidFunction("f").Id("barkint").L();
    for (int i = 0; i < 200; ++i)
        parens.L();
    parens.Byte(1);
    for (int i = 0; i < 201; ++i)
        parens.R();
    parens.Semi().Close();
    c = Compile(parens);
    EXPECT_FALSE(c.cls);
    EXPECT_NE(c.report.error.find("expression nested too deeply"), std::string::npos);
}

TEST(ScriptParser, InheritingFromAClassBeingCompiledIsRefused) {
    TokenStreamBuilder b;
    b.Code(TK_INHERITS).Id("k").Semi();
    int calls = 0;
    Compiled c = Compile(b, [&](const std::string&, std::string&) -> const CScriptClass* {
        ++calls;
        return nullptr;
    });
    EXPECT_FALSE(c.cls);
    EXPECT_EQ(calls, 0);
    EXPECT_NE(c.report.error.find("inherits from itself"), std::string::npos);
}

}  // namespace
