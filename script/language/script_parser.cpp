#include "script/language/script_parser.h"

#include <cstdlib>
#include <cstring>
#include <map>

#include "script/language/builtin_table.h"
#include "script/language/script_value.h"
#include "script/language/token_codes.h"
#include "script/language/token_file.h"

namespace {

// The classes whose names are being compiled on this thread, innermost last: a parent that
// is already on it would compile forever.
thread_local std::vector<std::string> g_compiling;

struct OperatorRow {
    int cls;
    const char* builtin;
};

const OperatorRow kOperators[] = {
    {OP_INC, "oprinc"},  {OP_DEC, "oprdec"},     {OP_ADD, "oprplus"},      {OP_SUB, "oprminus"},
    {OP_MUL, "oprmult"}, {OP_DIV, "oprdiv"},     {OP_LOGAND, "oprand"},    {OP_LOGOR, "opror"},
    {OP_XOR, "oprxor"},  {OP_ISEQ, "oprequiv"},  {OP_ISNEQ, "oprnequiv"},  {OP_GT, "oprgt"},
    {OP_LT, "oprlt"},    {OP_MOD, "oprmod"},     {OP_GTEQ, "oprgteq"},     {OP_LTEQ, "oprlteq"},
    {OP_NOT, "oprnot"},  {SM_LPAREN, "oprnull"}, {SM_LBRACKET, "oprlist"},
};

const char* OperatorBuiltin(int cls) {
    for (const OperatorRow& row : kOperators) {
        if (row.cls == cls) return row.builtin;
    }
    return nullptr;
}

enum class Kind {
    Local,
    Member,
    Function,
    Keyword,
    Builtin,
    Semi,
    RBrace,
    Declaration,
    Number,
    String,
    UString,
    Goto,
    Operator,
    Other,
    End,
};

enum class Term { Paren, Semi, Bracket, Single };

class Parser {
public:
    Parser(const u8* data, size_t size, const ScriptStringTable& table, const std::string& name,
           const ParentClassResolver& resolve, CompileReport& report)
        : reader_(data, size, table), resolve_(resolve), report_(report) {
        cls_ = std::make_unique<CScriptClass>(name);
    }

    std::unique_ptr<CScriptClass> Run();

private:
    // --- tokens
    bool Next(ScriptToken& t) {
        lastOffset_ = pos_;
        if (!reader_.ReadToken(pos_, t)) return Fail(reader_.Error());
        return true;
    }
    bool Fail(const std::string& message) {
        if (report_.error.empty()) {
            report_.error = message;
            report_.errorOffset = lastOffset_;
        }
        return false;
    }
    void Note(const std::string& text) { report_.notes.push_back({lastOffset_, text}); }
    bool Expect(int cls, const char* what) {
        ScriptToken t;
        if (!Next(t)) return false;
        if (!MatchTokenClass(t, cls)) return Fail(std::string("expected ") + what);
        return true;
    }
    bool ReadName(std::string& name, const char* what) {
        ScriptToken t;
        if (!Next(t)) return false;
        if (t.form != ScriptToken::Form::Text) return Fail(std::string("expected ") + what);
        name = t.text;
        return true;
    }

    // --- declarations
    bool CompileMember();
    bool CompileInherits();
    bool CompileForward();
    bool CompileFunction();
    bool CompileTrigger();
    bool CompileParameterList(std::string& sig, std::vector<std::string>& names);
    bool CompileStatements(ScriptVarTable& vars, u8 resultType);
    bool CompileStatement(ScriptVarTable& vars, u8 resultType, const ScriptToken& t);
    bool CompileKeywordOrBuiltin(ScriptVarTable& vars, u8 resultType, const ScriptToken& t);
    bool CompileDeclaration(ScriptVarTable& vars, const ScriptToken& t);
    bool CompileAssignment(ScriptVarTable& vars, const std::string& target);
    bool CompileExpression(ScriptVarTable& vars, ScriptNode*& list, Term term, int depth = 0);
    bool CompileElement(ScriptVarTable& vars, ScriptNode*& list, const ScriptToken& t, int depth);
    bool CloseBlock();
    bool CheckArguments(const char* what, const std::string& sig, ScriptNode* args);
    // Appends to the body being compiled, linking the control-flow markers.
    bool AppendCall(const BuiltinRecord* record, ScriptNode* args);
    // The null link at the end of the body, found from the last node appended so that a
    // long body is built in linear time.
    ScriptNode*& BodyEnd() {
        ScriptNode** link = tail_ ? &tail_->next : chain_;
        while (*link)
            link = &(*link)->next;
        return *link;
    }
    bool AppendTargetNode(ScriptVarTable& vars, ScriptNode*& list, const std::string& name);

    Kind Classify(const ScriptVarTable& vars, const ScriptToken& t, int& index) const;
    u8 ExpressionType(const ScriptNode* node) const;
    std::string ArgumentSignature(const ScriptNode* args) const;

    TokenReader reader_;
    const ParentClassResolver& resolve_;
    CompileReport& report_;
    std::unique_ptr<CScriptClass> cls_;
    size_t pos_ = 0;
    size_t lastOffset_ = 0;
    ScriptNode** chain_ = nullptr;                      // the body being compiled
    ScriptNode* tail_ = nullptr;                        // its last node (or one before)
    std::vector<int> blocks_;                           // the open blocks of the body
    std::map<const ScriptNode*, size_t> labelOffsets_;  // for messages
};

Kind Parser::Classify(const ScriptVarTable& vars, const ScriptToken& t, int& index) const {
    index = -1;
    if (t.IsEnd()) return Kind::End;
    if (t.form == ScriptToken::Form::Text) {
        if ((index = vars.Find(t.text)) >= 0 && &vars != &cls_->members) return Kind::Local;
        if ((index = cls_->members.Find(t.text)) >= 0) return Kind::Member;
        if ((index = cls_->FindFunction(t.text)) >= 0) return Kind::Function;
        index = -1;
        if (IsBuiltinName(t.text)) return Kind::Builtin;
        if (!t.text.empty() && t.text[0] == '"') return Kind::String;
        if (t.text.size() >= 2 && t.text[0] == 'L' && t.text[1] == '"') return Kind::UString;
        return Kind::Other;
    }
    const int c = t.Class();
    if (c == TK_GOTO) return Kind::Goto;
    if (c >= TK_IF && c <= TK_RETURN) return Kind::Keyword;
    if (c == SM_SEMI) return Kind::Semi;
    if (c == SM_RBRACE) return Kind::RBrace;
    if (c == TK_MEMBER || (c >= TK_INT && c <= TK_VOID)) return Kind::Declaration;
    if (IsNumberToken(t)) return Kind::Number;
    if (OperatorBuiltin(c)) return Kind::Operator;
    return Kind::Other;
}

u8 Parser::ExpressionType(const ScriptNode* node) const {
    return ExpressionTypeOf(
        node,
        [](const ScriptNode* call) {
            return ResultTypeFromSignature(BuiltinResultChar(*call->builtin));
        },
        [this](const ScriptNode* call) {
            return ResultTypeFromSignature(
                cls_->functions[static_cast<size_t>(call->value)].signature[0]);
        });
}

std::string Parser::ArgumentSignature(const ScriptNode* args) const {
    std::string sig = "u";
    for (const ScriptNode* a = args; a; a = a->next)
        sig += SignatureOfType(ExpressionType(a));
    return sig;
}

bool Parser::AppendCall(const BuiltinRecord* record, ScriptNode* args) {
    std::string error;
    if (!LinkCall(cls_->code, *chain_, tail_, record, args, error)) return Fail(error);
    return true;
}

// Tests the arguments against the signature and replaces the unknown-result placeholders
// by their typed variants.
bool Parser::CheckArguments(const char* what, const std::string& sig, ScriptNode* args) {
    ScriptNode* a = args;
    int n = 0;
    for (size_t i = 1; i < sig.size() && sig[i] != '|'; ++i, ++n) {
        const char want = static_cast<char>(std::tolower(static_cast<unsigned char>(sig[i])));
        if (!a) {
            return Fail("too few arguments for '" + std::string(what) + "' ('" + sig + "')");
        }
        // The interpreter recurses once per level: a deeper argument would overflow its stack.
        if (ExpressionDepth(a) > kMaxExpressionDepth) return Fail(ExpressionTooDeepMessage());
        const u8 type = ExpressionType(a);
        const bool placeholder = a->kind == NodeKind::BuiltinCall && type == kTypeUnknown;
        bool fits;
        if (want == 'v') {
            fits = false;
        } else if (want == 'u') {
            fits = !placeholder && type != kTypeVoid;
        } else if (placeholder) {
            // oprlist "uli" -> "ili" ..., getObjVar "uos" -> "ios" ...
            std::string typed = a->builtin->signature;
            typed[0] = want;
            const BuiltinRecord* variant = nullptr;
            for (const BuiltinRecord& r : BuiltinTable()) {
                if (std::strcmp(r.name, a->builtin->name) == 0 && typed == r.signature) {
                    variant = &r;
                    break;
                }
            }
            fits = variant != nullptr;
            if (variant) a->builtin = variant;
        } else {
            fits = SignatureOfType(type) == want;
        }
        if (!fits) {
            return Fail("argument " + std::to_string(n + 1) + " of '" + what +
                        "' does not fit its signature '" + sig + "'");
        }
        a = a->next;
    }
    // Hidden operands are added by the linker, never written in the script.
    if (a) return Fail("too many arguments for '" + std::string(what) + "' ('" + sig + "')");
    return true;
}

bool Parser::CompileElement(ScriptVarTable& vars, ScriptNode*& list, const ScriptToken& t,
                            int depth) {
    StatementArena& code = cls_->code;
    int index;
    const Kind kind = Classify(vars, t, index);
    switch (kind) {
        case Kind::Local: {
            const ScriptVarEntry& e = vars.entries[static_cast<size_t>(index)];
            AppendLocal(code, list, index, e.type, e.offset);
            return true;
        }
        case Kind::Member: {
            const ScriptVarEntry& e = cls_->members.entries[static_cast<size_t>(index)];
            AppendMember(code, list, index, e.type, e.offset);
            return true;
        }
        case Kind::Number:
            AppendIntConstant(code, list, DecodeNumberToken(t));
            return true;
        case Kind::String:
            AppendStringConstant(code, list, t.text);
            return true;
        case Kind::UString:
            AppendUStringConstant(code, list, t.text);
            return true;
        case Kind::Builtin: {
            ScriptNode* args = nullptr;
            if (!CompileExpression(vars, args, Term::Paren, depth + 1)) return false;
            const std::string sig = ArgumentSignature(args);
            const BuiltinRecord* record = FindBuiltin(t.text, sig);
            if (!record) return Fail(FormatBuiltinNotFound(t.text.c_str(), sig.c_str()));
            if (!CheckArguments(record->name, record->signature, args)) return false;
            ScriptNode* call = code.NewNode(NodeKind::BuiltinCall);
            call->builtin = record;
            call->child = args;
            AppendNode(list, call);
            return true;
        }
        case Kind::Function: {
            ScriptNode* args = nullptr;
            if (!CompileExpression(vars, args, Term::Paren, depth + 1)) return false;
            const ScriptFunction& f = cls_->functions[static_cast<size_t>(index)];
            if (!CheckArguments(f.name.c_str(), f.signature, args)) return false;
            AppendScriptCall(code, list, index, args);
            return true;
        }
        case Kind::Operator: {
            const int c = t.Class();
            const char* name = OperatorBuiltin(c);
            ScriptNode* operands = nullptr;
            if (c == OP_NOT || c == SM_LPAREN) {
                const Term term = c == OP_NOT ? Term::Single : Term::Paren;
                if (c == SM_LPAREN) {
                    // The group: the '(' is already read, the elements follow.
                    if (!CompileExpression(vars, operands, Term::Paren, -(depth + 1))) {
                        return false;
                    }
                } else if (!CompileExpression(vars, operands, term, depth + 1)) {
                    return false;
                }
            } else {
                // Binary: the last value so far is the left operand.
                if (!list) return Fail(std::string("operator without a left operand"));
                ScriptNode* left = list;
                ScriptNode* before = nullptr;
                while (left->next) {
                    before = left;
                    left = left->next;
                }
                if (before) {
                    before->next = nullptr;
                } else {
                    list = nullptr;
                }
                operands = left;
                ScriptNode* right = nullptr;
                const Term term = c == SM_LBRACKET ? Term::Bracket : Term::Single;
                if (!CompileExpression(vars, right, term, depth + 1)) return false;
                left->next = right;
            }
            const std::string sig = ArgumentSignature(operands);
            const BuiltinRecord* record = FindBuiltin(name, sig);
            if (!record) return Fail(FormatBuiltinNotFound(name, sig.c_str()));
            if (!CheckArguments(name, record->signature, operands)) return false;
            ScriptNode* call = code.NewNode(NodeKind::BuiltinCall);
            call->builtin = record;
            call->child = operands;
            AppendNode(list, call);
            return true;
        }
        case Kind::End:
            return Fail("unexpected end of the token stream in an expression");
        default:
            if (t.form == ScriptToken::Form::Text) return Fail("unknown name '" + t.text + "'");
            return Fail(std::string("unexpected ") + TokenClassName(t.Class()) +
                        " in an expression");
    }
}

// Reads values into the list up to the terminator (or ')'). A negative depth means the
// opening '(' of a Paren expression has been read already.
bool Parser::CompileExpression(ScriptVarTable& vars, ScriptNode*& list, Term term, int depth) {
    bool opened = depth < 0;
    if (depth < 0) depth = -depth;
    if (depth > kMaxExpressionDepth) return Fail(ExpressionTooDeepMessage());
    ScriptToken t;
    if (!opened) {
        if (!Next(t)) return false;
        if (MatchTokenClass(t, SM_SEMI)) return true;
        if (term == Term::Paren) {
            if (!MatchTokenClass(t, SM_LPAREN)) return Fail("expected ( after a name");
        } else {
            // The token read is the first element.
            if (MatchTokenClass(t, SM_RPAREN) ||
                (term == Term::Bracket && MatchTokenClass(t, SM_RBRACKET))) {
                return true;
            }
            if (!CompileElement(vars, list, t, depth)) return false;
            if (term == Term::Single) return true;
        }
    }
    for (;;) {
        if (!Next(t)) return false;
        if (MatchTokenClass(t, SM_COMMA)) continue;
        if (MatchTokenClass(t, SM_RPAREN)) return true;
        if (term == Term::Semi && MatchTokenClass(t, SM_SEMI)) return true;
        if (term == Term::Bracket && MatchTokenClass(t, SM_RBRACKET)) return true;
        if (MatchTokenClass(t, SM_SEMI)) return Fail("unexpected ; in an expression");
        if (!CompileElement(vars, list, t, depth)) return false;
        if (term == Term::Single) return true;
    }
}

bool Parser::AppendTargetNode(ScriptVarTable& vars, ScriptNode*& list, const std::string& name) {
    const int local = &vars != &cls_->members ? vars.Find(name) : -1;
    if (local >= 0) {
        const ScriptVarEntry& e = vars.entries[static_cast<size_t>(local)];
        AppendLocalTarget(cls_->code, list, local, e.type, e.offset);
        return true;
    }
    const int member = cls_->members.Find(name);
    if (member < 0) return Fail("unknown variable '" + name + "'");
    const ScriptVarEntry& e = cls_->members.entries[static_cast<size_t>(member)];
    AppendMemberTarget(cls_->code, list, member, e.type, e.offset);
    return true;
}

bool Parser::CompileAssignment(ScriptVarTable& vars, const std::string& target) {
    ScriptToken op;
    if (!Next(op)) return false;
    if (MatchTokenClass(op, SM_SEMI) || MatchTokenClass(op, SM_RPAREN)) return true;
    ScriptNode* args = nullptr;
    if (!AppendTargetNode(vars, args, target)) return false;
    if (MatchTokenClass(op, OP_INC) || MatchTokenClass(op, OP_DEC)) {
        const BuiltinRecord* record =
            FindBuiltin(MatchTokenClass(op, OP_INC) ? "oprinc" : "oprdec", "vI");
        ScriptToken after;
        if (!Next(after)) return false;
        if (!CheckArguments(record->name, record->signature, args)) return false;
        return AppendCall(record, args);
    }
    if (!MatchTokenClass(op, OP_ASSIGN)) return Fail("expected = after '" + target + "'");
    ScriptNode* values = nullptr;
    if (!CompileExpression(vars, values, Term::Semi)) return false;
    if (!values) return Fail("assignment to '" + target + "' without a value");
    int count = 0;
    bool allInt = true;
    for (ScriptNode* v = values; v; v = v->next) {
        ++count;
        if (ExpressionType(v) != kTypeInt) allInt = false;
    }
    const u8 tt = args->varType;
    const u8 rt = ExpressionType(values);
    const bool unk = rt == kTypeUnknown;
    const char* name = nullptr;
    const char* sig = nullptr;
    switch (tt) {
        case kTypeInt:
            if (rt == kTypeInt || unk)
                name = "assignint", sig = "vIi";
            else if (rt == kTypeString)
                name = "assignintstr", sig = "vIs";
            break;
        case kTypeString:
            if (rt == kTypeString || unk)
                name = "assignstr", sig = "vSs";
            else if (rt == kTypeInt)
                name = "assignstrint", sig = "vSi";
            break;
        case kTypeUString:
            if (rt == kTypeUString || unk)
                name = "assignust", sig = "vQq";
            else if (rt == kTypeInt)
                name = "assignustint", sig = "vQi";
            break;
        case kTypeObject:
            if (rt == kTypeObject || unk) name = "assignobj", sig = "vOo";
            break;
        case kTypeLocation:
            if (count == 1 && (rt == kTypeLocation || unk)) {
                name = "assignloc", sig = "vCc";
            } else if (count == 3 && allInt) {
                name = "assignlocint", sig = "vCiii";
            } else {
                cls_->code.FreeChain(values);
                cls_->code.FreeChain(args);
                return Fail("a location '" + target + "' takes one location or three ints");
            }
            break;
        case kTypeList:
            if (count == 1 && rt == kTypeList) {
                name = "assignlist", sig = "vll";
            } else {
                // clearlist, then append each value in order.
                const BuiltinRecord* clear = FindBuiltin("clearlist", "vl");
                const BuiltinRecord* append = FindBuiltin("append", "vlu");
                if (!CheckArguments("clearlist", clear->signature, args)) return false;
                if (!AppendCall(clear, args)) return false;
                while (values) {
                    ScriptNode* value = values;
                    values = values->next;
                    value->next = nullptr;
                    ScriptNode* pair = nullptr;
                    if (!AppendTargetNode(vars, pair, target)) return false;
                    pair->next = value;
                    if (!CheckArguments("append", append->signature, pair)) return false;
                    if (!AppendCall(append, pair)) return false;
                }
                return true;
            }
            break;
        default:
            break;
    }
    if (!name) {
        Note("assignment of a " + std::string(GetTypeInfo(rt).name) + " value to the " +
             GetTypeInfo(tt).name + " variable '" + target + "' has no effect");
        cls_->code.FreeChain(values);
        cls_->code.FreeChain(args);
        return true;
    }
    const BuiltinRecord* record = FindBuiltin(name, sig);
    args->next = values;
    if (!CheckArguments(name, record->signature, args)) return false;
    return AppendCall(record, args);
}

bool Parser::CompileDeclaration(ScriptVarTable& vars, const ScriptToken& first) {
    ScriptVarTable* table = &vars;
    ScriptToken t = first;
    if (MatchTokenClass(t, TK_MEMBER)) {
        table = &cls_->members;
        if (!Next(t)) return false;
    }
    u8 type = TypeFromKeywordClass(t.Class());
    if (type == kTypeNone) type = kTypeUnknown;
    std::string name;
    if (!ReadName(name, "a variable name")) return false;
    if (table->Add(name, type) < 0) Note("'" + name + "' is declared twice");
    return CompileAssignment(vars, name);
}

bool Parser::CloseBlock() {
    const int open = blocks_.back();
    blocks_.pop_back();
    const char* closing = nullptr;
    switch (open) {
        case TK_FOR:
            closing = "TK_ENDFOR";
            break;
        case TK_WHILE:
            closing = "TK_ENDWHILE";
            break;
        case TK_ELSE:
            closing = "TK_ENDIF";
            break;
        case TK_SWITCH:
            closing = "TK_ENDSWITCH";
            break;
        case TK_IF: {
            const size_t saved = pos_;
            ScriptToken t;
            if (!Next(t)) return false;
            if (MatchTokenClass(t, TK_ELSE)) {
                if (!AppendCall(KeywordRecord("TK_ELSE"), nullptr)) return false;
                if (!Expect(SM_LBRACE, "{ after else")) return false;
                blocks_.push_back(TK_ELSE);
                return true;
            }
            pos_ = saved;
            closing = "TK_ENDIF";
            break;
        }
        default:
            return Fail("unbalanced block");
    }
    return AppendCall(KeywordRecord(closing), nullptr);
}

bool Parser::CompileKeywordOrBuiltin(ScriptVarTable& vars, u8 resultType, const ScriptToken& t) {
    StatementArena& code = cls_->code;
    const int c = t.Class();
    const std::string name = t.form == ScriptToken::Form::Text ? t.text : TokenClassName(c);
    const BuiltinRecord* record = nullptr;
    ScriptNode* args = nullptr;

    if (c == TK_FOR) {
        if (!Expect(SM_LPAREN, "( after for")) return false;
        ScriptToken init;
        if (!Next(init)) return false;
        int index;
        const Kind k = Classify(vars, init, index);
        if (k == Kind::Declaration) {
            if (!CompileDeclaration(vars, init)) return false;
        } else if (k == Kind::Local || k == Kind::Member) {
            if (!CompileAssignment(vars, init.text)) return false;
        } else if (k != Kind::Semi) {
            return Fail("the start of a for loop must be an assignment");
        }
        ScriptNode* cond = nullptr;
        if (!CompileExpression(vars, cond, Term::Semi)) return false;
        if (!cond) AppendIntConstant(code, cond, 1);
        const BuiltinRecord* loop = KeywordRecord("TK_WHILE");
        if (!CheckArguments("TK_WHILE", loop->signature, cond)) return false;
        if (!AppendCall(loop, cond)) return false;
        ScriptNode* whileNode = tail_;
        ScriptToken step;
        const size_t saved = pos_;
        if (!Next(step)) return false;
        if (!MatchTokenClass(step, SM_RPAREN)) {
            pos_ = saved;
            ScriptToken target;
            if (!Next(target)) return false;
            const Kind sk = Classify(vars, target, index);
            if (sk != Kind::Local && sk != Kind::Member) {
                return Fail("the step of a for loop must be an assignment");
            }
            if (!CompileAssignment(vars, target.text)) return false;
            for (ScriptNode* n = whileNode->next; n; n = n->next)
                n->forStep = true;
        }
        if (!Expect(SM_LBRACE, "{ after for (...)")) return false;
        blocks_.push_back(TK_FOR);
        return true;
    }
    if (c == TK_RETURN) {
        const std::string sig = std::string("v") + SignatureOfType(resultType);
        record = FindBuiltin("TK_RETURN", sig);
        if (!record) return Fail(FormatBuiltinNotFound("TK_RETURN", sig.c_str()));
        if (!CompileExpression(vars, args, Term::Paren)) return false;
    } else if (c == TK_CASE || c == TK_DEFAULT) {
        s32 value = kDefaultCaseValue;
        if (c == TK_CASE) {
            ScriptToken number;
            if (!Next(number)) return false;
            if (!IsNumberToken(number)) return Fail("expected a number after case");
            value = DecodeNumberToken(number);
        }
        AppendIntConstant(code, args, value);
        return AppendCall(KeywordRecord("TK_CASE"), args);
    } else {
        if (!CompileExpression(vars, args, Term::Paren)) return false;
        const std::string sig = ArgumentSignature(args);
        record = FindBuiltin(name, sig);
        if (!record) return Fail(FormatBuiltinNotFound(name.c_str(), sig.c_str()));
    }
    if (!CheckArguments(name.c_str(), record->signature, args)) return false;
    if (!AppendCall(record, args)) return false;
    if (c == TK_WHILE || c == TK_IF || c == TK_ELSE || c == TK_SWITCH) {
        if (!Expect(SM_LBRACE, "{ to open the block")) return false;
        if (blocks_.size() >= static_cast<size_t>(kMaxOpenControlNodes)) {
            return Fail(BlocksTooDeepMessage());
        }
        blocks_.push_back(c);
    }
    return true;
}

bool Parser::CompileStatement(ScriptVarTable& vars, u8 resultType, const ScriptToken& t) {
    int index;
    switch (Classify(vars, t, index)) {
        case Kind::Declaration:
            return CompileDeclaration(vars, t);
        case Kind::Local:
        case Kind::Member:
            return CompileAssignment(vars, t.text);
        case Kind::Keyword:
        case Kind::Builtin:
            return CompileKeywordOrBuiltin(vars, resultType, t);
        case Kind::Function: {
            ScriptNode* args = nullptr;
            if (!CompileExpression(vars, args, Term::Paren)) return false;
            const ScriptFunction& f = cls_->functions[static_cast<size_t>(index)];
            if (!CheckArguments(f.name.c_str(), f.signature, args)) return false;
            tail_ = AppendScriptCall(cls_->code, BodyEnd(), index, args);
            return true;
        }
        case Kind::Goto: {
            std::string label;
            if (!ReadName(label, "a label name")) return false;
            ScriptToken after;
            if (!Next(after)) return false;
            tail_ = AppendLabel(cls_->code, BodyEnd(), label);
            labelOffsets_[tail_] = t.offset;
            return true;
        }
        case Kind::RBrace:
            return CloseBlock();
        case Kind::Other:
            if (t.form == ScriptToken::Form::Text) Note("unknown name '" + t.text + "' skipped");
            return true;
        default:
            return true;  // numbers, literals, operators and ';' are skipped
    }
}

bool Parser::CompileStatements(ScriptVarTable& vars, u8 resultType) {
    chain_ = &vars.body;
    tail_ = nullptr;
    blocks_.clear();
    ScriptToken t;
    if (!Next(t)) return false;
    while (!blocks_.empty() || !MatchTokenClass(t, SM_RBRACE)) {
        if (t.IsEnd()) return Fail("the token stream ends inside a body");
        if (!CompileStatement(vars, resultType, t)) return false;
        if (!Next(t)) return false;
    }
    std::string error;
    ScriptNode* bad = nullptr;
    if (!ResolveLabels(cls_->code, vars.body, error, &bad)) {
        if (bad) {
            report_.notes.push_back({labelOffsets_[bad], error});
        } else {
            return Fail(error);
        }
    }
    chain_ = nullptr;
    tail_ = nullptr;
    return true;
}

bool Parser::CompileMember() {
    ScriptToken type;
    if (!Next(type)) return false;
    u8 t = TypeFromKeywordClass(type.Class());
    if (t == kTypeNone) t = kTypeUnknown;
    std::string name;
    if (!ReadName(name, "a member name")) return false;
    ScriptToken after;
    if (!Next(after)) return false;
    if (cls_->members.Add(name, t) < 0) Note("member '" + name + "' is declared twice");
    return true;
}

bool Parser::CompileInherits() {
    std::string name;
    if (!ReadName(name, "a parent class name")) return false;
    if (!Expect(SM_SEMI, "; after inherits")) return false;
    for (const std::string& open : g_compiling) {
        if (open == name) return Fail("class '" + name + "' inherits from itself");
    }
    std::string error;
    const CScriptClass* parent = resolve_ ? resolve_(name, error) : nullptr;
    if (!parent) {
        return Fail("unknown parent class '" + name + "'" + (error.empty() ? "" : ": " + error));
    }
    cls_->functions = parent->functions;
    cls_->members.ReplaceEntries(parent->members);
    cls_->handlers = parent->handlers;
    cls_->parent = parent;
    return true;
}

bool Parser::CompileParameterList(std::string& sig, std::vector<std::string>& names) {
    if (!Expect(SM_LPAREN, "( after the function name")) return false;
    for (;;) {
        ScriptToken t;
        if (!Next(t)) return false;
        if (MatchTokenClass(t, SM_RPAREN)) return true;
        const u8 type = TypeFromKeywordClass(t.Class());
        if (type == kTypeNone || type == kTypeVoid) return Fail("expected a parameter type");
        std::string name;
        if (!ReadName(name, "a parameter name")) return false;
        sig += SignatureOfType(type);
        names.push_back(name);
        ScriptToken sep;
        if (!Next(sep)) return false;
        if (MatchTokenClass(sep, SM_RPAREN)) return true;
        if (!MatchTokenClass(sep, SM_COMMA)) return Fail("expected , or ) after a parameter");
    }
}

bool Parser::CompileForward() {
    ScriptToken type;
    if (!Next(type)) return false;
    const u8 rt = TypeFromKeywordClass(type.Class());
    if (rt == kTypeNone) return Fail("expected a result type after forward");
    std::string name;
    if (!ReadName(name, "a function name")) return false;
    std::string sig(1, SignatureOfType(rt));
    if (!Expect(SM_LPAREN, "( after the function name")) return false;
    for (;;) {
        ScriptToken t;
        if (!Next(t)) return false;
        if (MatchTokenClass(t, SM_RPAREN)) break;
        if (MatchTokenClass(t, SM_COMMA) || t.form == ScriptToken::Form::Text) continue;
        const u8 pt = TypeFromKeywordClass(t.Class());
        if (pt == kTypeNone || pt == kTypeVoid) return Fail("expected a parameter type");
        sig += SignatureOfType(pt);
    }
    if (!Expect(SM_SEMI, "; after forward")) return false;
    const int existing = cls_->FindFunction(name);
    if (existing >= 0) {
        const std::string& old = cls_->functions[static_cast<size_t>(existing)].signature;
        if (old != sig) {
            return Fail("overloaded function '" + name + "' first seen as '" + old +
                        "', now seen as '" + sig + "'.");
        }
        return true;
    }
    cls_->functions.push_back(ScriptFunction{nullptr, name, sig});
    return true;
}

bool Parser::CompileFunction() {
    ScriptToken type;
    if (!Next(type)) return false;
    const u8 rt = TypeFromKeywordClass(type.Class());
    if (rt == kTypeNone) return Fail("expected a result type after function");
    std::string name;
    if (!ReadName(name, "a function name")) return false;
    std::string sig(1, SignatureOfType(rt));
    std::vector<std::string> names;
    if (!CompileParameterList(sig, names)) return false;
    if (!Expect(SM_LBRACE, "{ to open the function body")) return false;
    int index = cls_->FindFunction(name);
    if (index >= 0) {
        const std::string& old = cls_->functions[static_cast<size_t>(index)].signature;
        if (old != sig) {
            return Fail("overloaded function '" + name + "' first seen as '" + old +
                        "', now seen as '" + sig + "'.");
        }
    } else {
        cls_->functions.push_back(ScriptFunction{nullptr, name, sig});
        index = static_cast<int>(cls_->functions.size() - 1);
    }
    ScriptVarTable* vars = cls_->NewVarTable();
    cls_->functions[static_cast<size_t>(index)].vars = vars;
    for (size_t i = 0; i < names.size(); ++i) {
        if (vars->Add(names[i], TypeFromSignature(sig[i + 1])) < 0) {
            Note("parameter '" + names[i] + "' is declared twice");
        }
    }
    return CompileStatements(*vars, rt);
}

bool Parser::CompileTrigger() {
    ScriptToken t;
    if (!Next(t)) return false;
    s32 priority = 1000;
    if (IsNumberToken(t)) {
        priority = DecodeNumberToken(t);
        if (!Next(t)) return false;
    }
    if (t.form != ScriptToken::Form::Text) return Fail("expected a trigger name");
    const std::string triggerName = t.text;
    const int number = FindTriggerNumber(triggerName);
    if (number == kNoTrigger) Note("unknown trigger '" + triggerName + "'");
    std::string arg;
    bool hasArg = false;
    ScriptToken next;
    if (!Next(next)) return false;
    if (MatchTokenClass(next, SM_LPAREN)) {
        ScriptToken a;
        if (!Next(a)) return false;
        if (IsNumberToken(a)) {
            arg = std::to_string(DecodeNumberToken(a));
        } else if (a.form == ScriptToken::Form::Text) {
            arg = a.text;
            if (!arg.empty() && arg[0] == '"') {
                arg = arg.size() >= 2 ? arg.substr(1, arg.size() - 2) : std::string();
            }
        } else {
            return Fail("expected a trigger argument");
        }
        hasArg = true;
        if (!Expect(SM_RPAREN, ") after the trigger argument")) return false;
        if (!Next(next)) return false;
    }
    if (!MatchTokenClass(next, SM_LBRACE)) return Fail("expected { to open the trigger body");

    TriggerHandler* handler = cls_->NewHandler();
    handler->priority = priority;
    handler->trigger = number;
    ScriptVarTable* vars = cls_->NewVarTable();
    handler->vars = vars;
    if (number != kNoTrigger) {
        const TriggerInfo& info = GetTriggerInfo(number);
        if (info.arg == TriggerArgKind::Text) {
            handler->hasArg = true;
            handler->textArg = arg;
        } else if (info.arg == TriggerArgKind::Int) {
            handler->hasArg = true;
            handler->intArg = static_cast<s32>(std::strtol(arg.c_str(), nullptr, 10));
        } else if (hasArg) {
            Note("trigger '" + triggerName + "' takes no argument");
        }
        for (int i = 0; i < info.paramCount; ++i) {
            vars->Add(info.params[i].name, TypeFromSignature(info.params[i].type));
        }
        handler->next = cls_->handlers[static_cast<size_t>(number)];
        cls_->handlers[static_cast<size_t>(number)] = handler;
    }
    return CompileStatements(*vars, kTypeInt);
}

std::unique_ptr<CScriptClass> Parser::Run() {
    cls_->members.Add("this", kTypeObject);
    for (;;) {
        ScriptToken t;
        if (!Next(t)) return nullptr;
        if (t.IsEnd()) break;
        bool ok = true;
        switch (t.Class()) {
            case TK_FUNCTION:
                ok = CompileFunction();
                break;
            case TK_TRIGGER:
                ok = CompileTrigger();
                break;
            case TK_MEMBER:
                ok = CompileMember();
                break;
            case TK_INHERITS:
                ok = CompileInherits();
                break;
            case TK_FORWARD:
                ok = CompileForward();
                break;
            default:
                break;
        }
        if (!ok) return nullptr;
    }
    return std::move(cls_);
}

}  // namespace

std::unique_ptr<CScriptClass> CompileScriptClass(const u8* tokens, size_t size,
                                                 const ScriptStringTable& table,
                                                 const std::string& className,
                                                 const ParentClassResolver& resolveParent,
                                                 CompileReport& report) {
    report = CompileReport{};
    g_compiling.push_back(className);
    Parser parser(tokens, size, table, className, resolveParent, report);
    std::unique_ptr<CScriptClass> cls = parser.Run();
    g_compiling.pop_back();
    if (cls) return cls;
    if (report.error.empty()) report.error = "compile failed";
    report.error = "script class '" + className + "': " + report.error;
    return nullptr;
}
