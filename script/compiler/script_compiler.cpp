#include "script/compiler/script_compiler.h"

#include "platform/bounded_file_read.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <memory>
#include <set>

#include "core/byte_order.h"
#include "platform/bounded_file_read.h"
#include "platform/hex_digit.h"
#include "script/language/builtin_table.h"
#include "script/language/script_parser.h"
#include "script/language/statement_tree.h"
#include "script/language/token_codes.h"
#include "script/language/trigger_table.h"

namespace {

// ---------------------------------------------------------------- lexer

enum class Lex { End, Name, Number, String, WString, Punct };

struct SrcToken {
    Lex kind = Lex::End;
    std::string text;  // name, punctuation, or the decoded string bytes
    std::u16string wide;
    s64 number = 0;
    bool hex = false;  // a number written in hexadecimal
    int line = 0;
};

const char* const kDecimalTooLarge = "number literal too large: an int goes up to 2147483647";

bool Lexer(const std::string& src, const std::string& file, std::vector<SrcToken>& out,
           std::string& errors) {
    int line = 1;
    size_t i = 0;
    auto error = [&](const std::string& what) {
        errors += file + ":" + std::to_string(line) + ": " + what + "\n";
        return false;
    };
    static const char* const kPuncts[] = {"==", "!=", "<=", ">=", "&&", "||", "++", "--", "(",
                                          ")",  ",",  ";",  "{",  "}",  "[",  "]",  "!",  "+",
                                          "-",  "*",  "/",  "%",  "<",  ">",  "=",  "^",  ":"};
    while (i < src.size()) {
        const char c = src[i];
        if (c == '\n') {
            ++line;
            ++i;
            continue;
        }
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
            continue;
        }
        if (c == '/' && i + 1 < src.size() && src[i + 1] == '/') {
            while (i < src.size() && src[i] != '\n')
                ++i;
            continue;
        }
        if (c == '/' && i + 1 < src.size() && src[i + 1] == '*') {
            const int start = line;
            i += 2;
            while (i + 1 < src.size() && !(src[i] == '*' && src[i + 1] == '/')) {
                if (src[i] == '\n') ++line;
                ++i;
            }
            if (i + 1 >= src.size()) {
                line = start;
                return error("unterminated comment");
            }
            i += 2;
            continue;
        }
        SrcToken t;
        t.line = line;
        const bool wide = c == 'L' && i + 1 < src.size() && src[i + 1] == '"';
        if (c == '"' || wide) {
            i += wide ? 2 : 1;
            std::string bytes;
            for (;;) {
                if (i >= src.size() || src[i] == '\n') return error("unterminated string literal");
                char ch = src[i++];
                if (ch == '"') break;
                if (ch == '\\') {
                    if (i >= src.size()) return error("unterminated string literal");
                    const char e = src[i++];
                    if (e == '"' || e == '\\') {
                        ch = e;
                    } else if (e == 't') {
                        ch = '\t';
                    } else {
                        return error(std::string("unsupported escape \\") + e +
                                     " (a string cannot hold a line break)");
                    }
                }
                if (ch == '\r') return error("a string cannot hold a line break");
                bytes += ch;
            }
            if (wide) {
                // UTF-8 to UTF-16 units.
                t.kind = Lex::WString;
                for (size_t k = 0; k < bytes.size();) {
                    const unsigned char b = static_cast<unsigned char>(bytes[k]);
                    u32 cp;
                    size_t n;
                    if (b < 0x80) {
                        cp = b, n = 1;
                    } else if ((b & 0xE0) == 0xC0) {
                        cp = b & 0x1F, n = 2;
                    } else if ((b & 0xF0) == 0xE0) {
                        cp = b & 0x0F, n = 3;
                    } else if ((b & 0xF8) == 0xF0) {
                        cp = b & 0x07, n = 4;
                    } else {
                        return error("a wide string literal is not valid UTF-8");
                    }
                    if (k + n > bytes.size())
                        return error("a wide string literal is not valid UTF-8");
                    for (size_t m = 1; m < n; ++m) {
                        const unsigned char cb = static_cast<unsigned char>(bytes[k + m]);
                        if ((cb & 0xC0) != 0x80) {
                            return error("a wide string literal is not valid UTF-8");
                        }
                        cp = (cp << 6) | (cb & 0x3F);
                    }
                    k += n;
                    if (cp >= 0x10000) {
                        cp -= 0x10000;
                        t.wide.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
                        t.wide.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
                    } else {
                        t.wide.push_back(static_cast<char16_t>(cp));
                    }
                }
            } else {
                t.kind = Lex::String;
                t.text = bytes;
            }
            out.push_back(std::move(t));
            continue;
        }
        if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            size_t j = i;
            while (j < src.size() &&
                   (std::isalnum(static_cast<unsigned char>(src[j])) || src[j] == '_')) {
                ++j;
            }
            t.kind = Lex::Name;
            t.text = src.substr(i, j - i);
            i = j;
            out.push_back(std::move(t));
            continue;
        }
        if (std::isdigit(static_cast<unsigned char>(c))) {
            size_t j = i;
            int base = 10;
            if (c == '0' && i + 1 < src.size() && (src[i + 1] == 'x' || src[i + 1] == 'X')) {
                base = 16;
                j += 2;
            }
            const size_t digits = j;
            s64 value = 0;
            while (j < src.size()) {
                const int v = HexDigit(src[j]);
                if (v < 0 || v >= base) break;
                value = value * base + v;
                if (value > 0xFFFFFFFFLL) {
                    return error(base == 10
                                     ? kDecimalTooLarge
                                     : "number literal too large: a hex int has at most 32 bits");
                }
                ++j;
            }
            if (j == digits ||
                (j < src.size() &&
                 (std::isalnum(static_cast<unsigned char>(src[j])) || src[j] == '_'))) {
                return error("malformed number literal");
            }
            // 2147483648 stays for a minus sign before it (see IntLiteral).
            if (base == 10 && value > 0x7FFFFFFFLL + 1) return error(kDecimalTooLarge);
            t.kind = Lex::Number;
            t.number = value;
            t.hex = base == 16;
            i = j;
            out.push_back(std::move(t));
            continue;
        }
        bool matched = false;
        for (const char* p : kPuncts) {
            const size_t n = std::char_traits<char>::length(p);
            if (src.compare(i, n, p) == 0) {
                t.kind = Lex::Punct;
                t.text = p;
                i += n;
                matched = true;
                break;
            }
        }
        if (!matched) return error(std::string("unexpected character '") + c + "'");
        out.push_back(std::move(t));
    }
    SrcToken end;
    end.line = line;
    out.push_back(end);
    return true;
}

// ---------------------------------------------------------------- emitter

int TypeKeyword(const std::string& word) {
    if (word == "int") return TK_INT;
    if (word == "string") return TK_STRING;
    if (word == "ustring") return TK_USTRING;
    if (word == "loc" || word == "location") return TK_LOC;
    if (word == "obj" || word == "object") return TK_OBJ;
    if (word == "list") return TK_LIST;
    if (word == "void") return TK_VOID;
    return -1;
}

int BinaryOperator(const std::string& p) {
    static const std::pair<const char*, int> kOps[] = {
        {"+", OP_ADD},   {"-", OP_SUB},     {"*", OP_MUL},    {"/", OP_DIV}, {"%", OP_MOD},
        {"==", OP_ISEQ}, {"!=", OP_ISNEQ},  {"<", OP_LT},     {">", OP_GT},  {"<=", OP_LTEQ},
        {">=", OP_GTEQ}, {"&&", OP_LOGAND}, {"||", OP_LOGOR}, {"^", OP_XOR},
    };
    for (const auto& [text, cls] : kOps) {
        if (p == text) return cls;
    }
    return -1;
}

const std::set<std::string>& ReservedWords() {
    static const std::set<std::string> words = {
        "if",       "else",     "while",  "for",    "switch",   "case",    "default",
        "break",    "continue", "return", "goto",   "function", "trigger", "member",
        "inherits", "forward",  "int",    "string", "ustring",  "loc",     "location",
        "obj",      "object",   "list",   "void"};
    return words;
}

class Emitter {
public:
    Emitter(const std::vector<SrcToken>& toks, const std::string& file, ScriptStringTable& strings,
            std::vector<u8>& out, std::vector<std::pair<size_t, int>>& lines, std::string& errors)
        : t_(toks), file_(file), strings_(strings), out_(out), lines_(lines), errors_(errors) {}

    bool Run();

private:
    enum class Block { Body, If, Else, Loop, ForLoop, Switch };

    const SrcToken& Peek(size_t ahead = 0) const { return t_[std::min(p_ + ahead, t_.size() - 1)]; }
    const SrcToken& Take() {
        const SrcToken& t = Peek();
        if (p_ < t_.size() - 1) ++p_;
        return t;
    }
    bool Is(const char* punct, size_t ahead = 0) const {
        return Peek(ahead).kind == Lex::Punct && Peek(ahead).text == punct;
    }
    bool IsWord(const char* word, size_t ahead = 0) const {
        return Peek(ahead).kind == Lex::Name && Peek(ahead).text == word;
    }
    bool Error(const std::string& what, int line = 0) {
        errors_ += file_ + ":" + std::to_string(line ? line : Peek().line) + ": " + what + "\n";
        return false;
    }
    bool TooDeep() { return Error(ExpressionTooDeepMessage()); }
    bool Expect(const char* punct) {
        if (!Is(punct)) {
            return Error(std::string("expected '") + punct + "'" + Describe(Peek()));
        }
        EmitPunct(Take());
        return true;
    }
    static std::string Describe(const SrcToken& t) {
        switch (t.kind) {
            case Lex::End:
                return " before the end of the file";
            case Lex::Name:
            case Lex::Punct:
                return " before '" + t.text + "'";
            case Lex::Number:
                return " before " + std::to_string(t.number);
            default:
                return " before a string";
        }
    }

    void Mark(int line) { lines_.emplace_back(out_.size(), line); }
    void EmitCode(int cls, int line) {
        Mark(line);
        const u16 code = TokenCode(cls);
        AppendLe16(out_, code);
    }
    bool EmitIndexed(int cls, const std::string& text, int line) {
        // The server refuses the whole string table when one line is longer.
        if (text.size() > ScriptStringTable::kMaxLineLength) {
            return Error("name too long: " + std::to_string(text.size()) +
                             " characters where a string table line holds at most " +
                             std::to_string(ScriptStringTable::kMaxLineLength) +
                             " (a label's ':' counts)",
                         line);
        }
        const s32 index = strings_.Intern(text);
        if (index < 0) {
            return Error("string table overflow: more than " +
                             std::to_string(ScriptStringTable::kMaxLines) + " strings",
                         line);
        }
        EmitCode(cls, line);
        AppendLe16(out_, static_cast<u16>(index));
        return true;
    }
    bool EmitId(const std::string& text, int line) { return EmitIndexed(T_ID, text, line); }
    void EmitNumber(s64 value, int line) {
        const u32 v = static_cast<u32>(value);
        if (value >= 0 && value <= 255) {
            EmitCode(T_BYTE, line);
            out_.push_back(static_cast<u8>(v));
        } else if (value >= 0 && value <= 65535) {
            EmitCode(T_WORD, line);
            AppendLe16(out_, static_cast<u16>(v));
        } else {
            EmitCode(T_DWORD, line);
            AppendLe32(out_, v);
        }
    }
    bool EmitString(const SrcToken& t) {
        // Pieces short enough for one table line each; the loader joins adjacent pieces.
        constexpr size_t kPiece = ScriptStringTable::kMaxLineLength - 2;
        size_t at = 0;
        do {
            const std::string piece = t.text.substr(at, kPiece);
            if (!EmitIndexed(T_STR, "\"" + piece + "\"", t.line)) return false;
            at += kPiece;
        } while (at < t.text.size());
        return true;
    }
    bool EmitWide(const SrcToken& t) {
        static const char* const kHex = "0123456789abcdef";
        std::string line = "L\"";
        for (char16_t u : t.wide) {
            for (int shift = 12; shift >= 0; shift -= 4)
                line += kHex[(u >> shift) & 0xF];
        }
        line += '"';
        if (line.size() > ScriptStringTable::kMaxLineLength) {
            return Error("wide string literal longer than 255 UTF-16 units", t.line);
        }
        return EmitId(line, t.line);
    }
    // The int a number literal stands for. A decimal literal must fit (2147483648 only comes
    // with its minus sign, which Operand folds); a hex literal above 0x7fffffff stands for
    // its 32-bit pattern.
    bool IntLiteral(const SrcToken& t, s32& out) {
        if (!t.hex && t.number > 0x7FFFFFFFLL) {
            return Error(kDecimalTooLarge, t.line);
        }
        out = static_cast<s32>(static_cast<u32>(t.number));
        return true;
    }
    void EmitPunct(const SrcToken& t) {
        static const std::pair<const char*, int> kMap[] = {
            {"(", SM_LPAREN}, {")", SM_RPAREN}, {",", SM_COMMA},    {";", SM_SEMI},
            {"{", SM_LBRACE}, {"}", SM_RBRACE}, {"[", SM_LBRACKET}, {"]", SM_RBRACKET},
            {"!", OP_NOT},    {"=", OP_ASSIGN}, {"++", OP_INC},     {"--", OP_DEC},
        };
        for (const auto& [text, cls] : kMap) {
            if (t.text == text) {
                EmitCode(cls, t.line);
                return;
            }
        }
        EmitCode(BinaryOperator(t.text), t.line);
    }

    bool Top();
    bool Type(bool allowVoid);
    bool Name(const char* what);
    bool Body(Block kind);
    bool Statement();
    bool Declaration();
    bool AfterName();
    bool ExprList(const char* end);
    bool Expr(const char* end1, const char* end2 = nullptr);
    bool Operand();
    bool CallArgs();

    const std::vector<SrcToken>& t_;
    size_t p_ = 0;
    const std::string& file_;
    ScriptStringTable& strings_;
    std::vector<u8>& out_;
    std::vector<std::pair<size_t, int>>& lines_;
    std::string& errors_;
    std::vector<Block> blocks_;
    int exprDepth_ = 0;
};

bool Emitter::Type(bool allowVoid) {
    const SrcToken& t = Peek();
    const int cls = t.kind == Lex::Name ? TypeKeyword(t.text) : -1;
    if (cls < 0 || (!allowVoid && cls == TK_VOID)) return Error("expected a type" + Describe(t));
    EmitCode(cls, Take().line);
    return true;
}

bool Emitter::Name(const char* what) {
    const SrcToken& t = Peek();
    if (t.kind != Lex::Name || ReservedWords().count(t.text)) {
        return Error(std::string("expected ") + what + Describe(t));
    }
    return EmitId(Take().text, t.line);
}

bool Emitter::Top() {
    while (Peek().kind != Lex::End) {
        const SrcToken& t = Peek();
        if (IsWord("inherits")) {
            EmitCode(TK_INHERITS, Take().line);
            if (!Name("a class name") || !Expect(";")) return false;
        } else if (IsWord("member")) {
            EmitCode(TK_MEMBER, Take().line);
            if (!Type(false) || !Name("a member name")) return false;
            if (Is("=")) return Error("a member cannot have an initial value here");
            if (!Expect(";")) return false;
        } else if (IsWord("forward")) {
            EmitCode(TK_FORWARD, Take().line);
            if (!Type(true) || !Name("a function name") || !Expect("(")) return false;
            while (!Is(")")) {
                if (!Type(false)) return false;
                if (Peek().kind == Lex::Name && !ReservedWords().count(Peek().text)) {
                    if (!Name("a parameter name")) return false;
                }
                if (Is(",")) {
                    EmitPunct(Take());
                } else if (!Is(")")) {
                    return Error("expected ',' or ')'" + Describe(Peek()));
                }
            }
            if (!Expect(")") || !Expect(";")) return false;
        } else if (IsWord("function")) {
            EmitCode(TK_FUNCTION, Take().line);
            if (!Type(true) || !Name("a function name") || !Expect("(")) return false;
            while (!Is(")")) {
                if (!Type(false) || !Name("a parameter name")) return false;
                if (Is(",")) {
                    EmitPunct(Take());
                } else if (!Is(")")) {
                    return Error("expected ',' or ')'" + Describe(Peek()));
                }
            }
            if (!Expect(")") || !Body(Block::Body)) return false;
        } else if (IsWord("trigger")) {
            EmitCode(TK_TRIGGER, Take().line);
            if (Peek().kind == Lex::Number) {
                s32 priority;
                if (!IntLiteral(Peek(), priority)) return false;
                EmitNumber(priority, Peek().line);
                Take();
            }
            const SrcToken& name = Peek();
            if (name.kind != Lex::Name) return Error("expected a trigger name" + Describe(name));
            if (FindTriggerNumber(name.text) == kNoTrigger) {
                return Error("unknown trigger '" + name.text + "'");
            }
            const TriggerArgKind argKind = GetTriggerInfo(FindTriggerNumber(name.text)).arg;
            if (argKind == TriggerArgKind::Text && !Is("(", 1)) {
                return Error("trigger '" + name.text + "' needs its argument in parentheses");
            }
            if (argKind == TriggerArgKind::None && Is("(", 1)) {
                return Error("trigger '" + name.text + "' takes no argument");
            }
            if (!EmitId(Take().text, name.line)) return false;
            if (Is("(")) {
                EmitPunct(Take());
                const SrcToken& arg = Peek();
                if (arg.kind == Lex::Number) {
                    s32 value;
                    if (!IntLiteral(arg, value)) return false;
                    EmitNumber(value, arg.line);
                } else if (arg.kind == Lex::String) {
                    if (!EmitString(arg)) return false;
                } else if (arg.kind == Lex::Name) {
                    if (!EmitId(arg.text, arg.line)) return false;
                } else {
                    return Error("expected a trigger argument" + Describe(arg));
                }
                Take();
                if (!Expect(")")) return false;
            }
            if (!Body(Block::Body)) return false;
        } else {
            return Error("expected inherits, member, forward, function or trigger" + Describe(t));
        }
    }
    return true;
}

bool Emitter::Body(Block kind) {
    if (!Is("{")) return Error("expected '{'" + Describe(Peek()));
    const int open = Peek().line;
    // blocks_ holds the function or trigger body too. Refused before recursing: thousands
    // of nested blocks would overflow the stack.
    if (blocks_.size() > static_cast<size_t>(kMaxOpenControlNodes)) {
        return Error(BlocksTooDeepMessage());
    }
    EmitPunct(Take());
    blocks_.push_back(kind);
    while (!Is("}")) {
        if (Peek().kind == Lex::End) {
            return Error("unterminated block opened at line " + std::to_string(open));
        }
        if (!Statement()) return false;
    }
    EmitPunct(Take());
    blocks_.pop_back();
    return true;
}

bool Emitter::Declaration() {
    if (IsWord("member")) EmitCode(TK_MEMBER, Take().line);
    if (!Type(false) || !Name("a variable name")) return false;
    if (Is(";")) {
        EmitPunct(Take());
        return true;
    }
    if (!Expect("=")) return false;
    return ExprList(";") && Expect(";");
}

// After a variable name at the start of a statement: = values; ++; --.
bool Emitter::AfterName() {
    if (Is("++") || Is("--")) {
        EmitPunct(Take());
        return true;
    }
    if (!Is("=")) return Error("expected '=', '++', '--' or '('" + Describe(Peek()));
    EmitPunct(Take());
    return ExprList(";");
}

bool Emitter::Statement() {
    const SrcToken& t = Peek();
    const int line = t.line;
    if (Is("{")) return Error("a block needs if, else, while, for or switch before it");
    if (Is(";")) {
        Take();
        return true;
    }
    if (t.kind != Lex::Name) return Error("expected a statement" + Describe(t));
    const std::string word = t.text;
    if (word == "member" || TypeKeyword(word) >= 0) return Declaration();
    if (word == "if") {
        EmitCode(TK_IF, Take().line);
        if (!Expect("(") || !Expr(")") || !Expect(")") || !Body(Block::If)) return false;
        if (IsWord("else")) {
            EmitCode(TK_ELSE, Take().line);
            if (IsWord("if")) {
                return Error("'else if' is not supported: write else { if (...) { ... } }");
            }
            return Body(Block::Else);
        }
        return true;
    }
    if (word == "while") {
        EmitCode(TK_WHILE, Take().line);
        return Expect("(") && Expr(")") && Expect(")") && Body(Block::Loop);
    }
    if (word == "for") {
        EmitCode(TK_FOR, Take().line);
        if (!Expect("(")) return false;
        if (Is(";")) {
            EmitPunct(Take());
        } else if (Peek().kind == Lex::Name && TypeKeyword(Peek().text) >= 0) {
            if (!Type(false) || !Name("a variable name") || !Expect("=") || !ExprList(";") ||
                !Expect(";")) {
                return false;
            }
        } else {
            if (!Name("a variable") || !AfterName() || !Expect(";")) return false;
        }
        if (!Is(";") && !Expr(";")) return false;
        if (!Expect(";")) return false;
        if (!Is(")")) {
            if (!Name("a variable") || !AfterName()) return false;
        }
        return Expect(")") && Body(Block::ForLoop);
    }
    if (word == "switch") {
        EmitCode(TK_SWITCH, Take().line);
        return Expect("(") && Expr(")") && Expect(")") && Body(Block::Switch);
    }
    if (word == "case" || word == "default") {
        if (blocks_.empty() || blocks_.back() != Block::Switch) {
            return Error("'" + word + "' outside a switch");
        }
        Take();
        if (word == "case") {
            EmitCode(TK_CASE, line);
            s64 sign = 1;
            if (Is("-")) {
                Take();
                sign = -1;
            }
            if (Peek().kind != Lex::Number) return Error("expected a number after case");
            const s64 value = sign * Take().number;
            if (value < -2147483648LL || value > 0x7FFFFFFFLL) {
                return Error("case value out of range");
            }
            EmitNumber(value, line);
        } else {
            EmitCode(TK_DEFAULT, line);
        }
        if (!Is(":")) return Error("expected ':'" + Describe(Peek()));
        Take();
        return true;
    }
    if (word == "break" || word == "continue") {
        bool inLoop = false, inSwitch = false, innermostIsFor = false;
        for (Block b : blocks_) {
            if (b == Block::Loop || b == Block::ForLoop) {
                inLoop = true;
                innermostIsFor = b == Block::ForLoop;
            }
            if (b == Block::Switch) inSwitch = true;
        }
        if (word == "continue" && !inLoop) return Error("'continue' outside a loop");
        // The server's continue goes back to the loop's test, past a for loop's step, which
        // would then never run again: the loop would not end.
        if (word == "continue" && innermostIsFor)
            return Error("'continue' in a for loop would skip its step (use a while loop)");
        if (word == "break" && !inLoop && !inSwitch)
            return Error("'break' outside a loop or switch");
        EmitCode(word == "break" ? TK_BREAK : TK_CONTINUE, Take().line);
        return Expect(";");
    }
    if (word == "return") {
        EmitCode(TK_RETURN, Take().line);
        if (Is(";")) {
            EmitPunct(Take());
            return true;
        }
        // The value goes in parentheses; one already around the whole value is kept.
        size_t depth = 0, k = 0;
        bool wrapped = Is("(");
        for (; wrapped; ++k) {
            const SrcToken& a = Peek(k);
            if (a.kind == Lex::End) break;
            if (a.kind == Lex::Punct && a.text == "(") ++depth;
            if (a.kind == Lex::Punct && a.text == ")" && --depth == 0) {
                wrapped = Peek(k + 1).kind == Lex::Punct && Peek(k + 1).text == ";";
                break;
            }
        }
        if (wrapped) {
            EmitPunct(Take());
            if (!Expr(")") || !Expect(")")) return false;
        } else {
            EmitCode(SM_LPAREN, line);
            if (!Expr(";")) return false;
            EmitCode(SM_RPAREN, line);
        }
        return Expect(";");
    }
    if (word == "goto") {
        EmitCode(TK_GOTO, Take().line);
        if (!Name("a label name")) return false;
        return Expect(";");
    }
    if (ReservedWords().count(word)) return Error("unexpected '" + word + "'");
    Take();
    if (Is(":")) {
        // A label: the parser reads it as a goto whose name ends in ':'.
        Take();
        EmitCode(TK_GOTO, line);
        if (!EmitId(word + ":", line)) return false;
        EmitCode(SM_SEMI, line);
        return true;
    }
    if (!EmitId(word, line)) return false;
    if (Is("(")) {
        if (!CallArgs()) return false;
        return Expect(";");
    }
    if (!AfterName()) return false;
    return Expect(";");
}

bool Emitter::CallArgs() {
    EmitPunct(Take());  // (
    if (Is(")")) {
        EmitPunct(Take());
        return true;
    }
    if (!ExprList(")")) return false;
    return Expect(")");
}

bool Emitter::ExprList(const char* end) {
    for (;;) {
        if (!Expr(end, ",")) return false;
        if (!Is(",")) return true;
        EmitPunct(Take());
    }
}

// One expression: operands joined by binary operators, all the same operator (the server
// applies operators left to right without precedence, so mixing them needs parentheses).
bool Emitter::Expr(const char* end1, const char* end2) {
    if (++exprDepth_ > kMaxExpressionDepth) return TooDeep();
    std::string op;
    bool first = true;
    for (;;) {
        if (!Operand()) return false;
        // Subscripts bind to everything on their left, so only the first operand takes them.
        while (Is("[")) {
            if (!first) {
                return Error(
                    "a list subscript after an operator applies to the whole left "
                    "side; put it first or use a variable");
            }
            EmitPunct(Take());
            if (!Expr("]") || !Expect("]")) return false;
        }
        first = false;
        const SrcToken& t = Peek();
        if (t.kind != Lex::Punct || BinaryOperator(t.text) < 0) break;
        if (t.text == end1 || (end2 && t.text == end2)) break;
        if (!op.empty() && op != t.text) {
            return Error("operators '" + op + "' and '" + t.text +
                             "' mixed without parentheses (there is no precedence: "
                             "parenthesise)",
                         t.line);
        }
        op = t.text;
        EmitPunct(Take());
    }
    --exprDepth_;
    return true;
}

bool Emitter::Operand() {
    const SrcToken& t = Peek();
    switch (t.kind) {
        case Lex::Number: {
            s32 value;
            if (!IntLiteral(t, value)) return false;
            EmitNumber(value, t.line);
            Take();
            return true;
        }
        case Lex::String:
            if (!EmitString(t)) return false;
            Take();
            return true;
        case Lex::WString:
            if (!EmitWide(t)) return false;
            Take();
            return true;
        case Lex::Name: {
            if (ReservedWords().count(t.text)) return Error("unexpected '" + t.text + "'");
            if (!EmitId(t.text, t.line)) return false;
            Take();
            if (Is("(")) return CallArgs();
            return true;
        }
        case Lex::Punct:
            if (t.text == "-" && Peek(1).kind == Lex::Number) {
                const int line = t.line;
                Take();
                const s64 value = -Take().number;
                if (value < -2147483648LL)
                    return Error("number literal too small: an int goes down to -2147483648", line);
                EmitNumber(value, line);
                return true;
            }
            if (t.text == "-") {
                return Error("unary minus only works on number literals: write (0 - x)");
            }
            if (t.text == "!") {
                // Each '!' is a level of the expression; counting them bounds this recursion.
                if (++exprDepth_ > kMaxExpressionDepth) return TooDeep();
                EmitPunct(Take());
                if (!Operand()) return false;
                --exprDepth_;
                return true;
            }
            if (t.text == "(") {
                EmitPunct(Take());
                if (!Expr(")") || !Expect(")")) return false;
                return true;
            }
            return Error("expected a value" + Describe(t));
        default:
            return Error("expected a value" + Describe(t));
    }
}

bool Emitter::Run() {
    return Top();
}

bool ValidClassName(const std::string& name) {
    if (name.empty()) return false;
    for (char c : name) {
        if (!(std::islower(static_cast<unsigned char>(c)) ||
              std::isdigit(static_cast<unsigned char>(c)) || c == '_')) {
            return false;
        }
    }
    return true;
}

}  // namespace

int ScriptCompiler::LineMap::LineAt(size_t offset) const {
    int line = offsets.empty() ? 1 : offsets.front().second;
    for (const auto& [at, l] : offsets) {
        if (at > offset) break;
        line = l;
    }
    return line;
}

bool ScriptCompiler::AddSource(const ScriptSource& source, std::string& errors) {
    if (!ValidClassName(source.className)) {
        errors += source.fileName + ":1: class name '" + source.className +
                  "' must be lower-case letters, digits and '_'\n";
        return false;
    }
    if (tokens_.count(source.className)) {
        errors += source.fileName + ":1: class '" + source.className + "' defined twice\n";
        return false;
    }
    std::vector<SrcToken> toks;
    if (!Lexer(source.text, source.fileName, toks, errors)) return false;
    std::vector<u8> out;
    LineMap map;
    map.fileName = source.fileName;
    Emitter emitter(toks, source.fileName, strings_, out, map.offsets, errors);
    if (!emitter.Run()) return false;
    tokens_[source.className] = std::move(out);
    lines_[source.className] = std::move(map);
    return true;
}

bool ScriptCompiler::Validate(std::string& errors) {
    std::map<std::string, std::unique_ptr<CScriptClass>> compiled;
    std::set<std::string> failed;
    bool ok = true;
    std::function<const CScriptClass*(const std::string&, std::string&)> load;
    load = [&](const std::string& name, std::string& error) -> const CScriptClass* {
        auto done = compiled.find(name);
        if (done != compiled.end()) return done->second.get();
        auto src = tokens_.find(name);
        if (src == tokens_.end()) {
            error = "no script class named '" + name + "'";
            return nullptr;
        }
        if (failed.count(name)) {
            error = "class '" + name + "' does not compile";
            return nullptr;
        }
        CompileReport report;
        std::vector<u8> stream = src->second;
        stream.push_back(0);
        auto cls = CompileScriptClass(stream.data(), stream.size(), strings_, name, load, report);
        const LineMap& map = lines_[name];
        for (const CompileNote& note : report.notes) {
            errors += map.fileName + ":" + std::to_string(map.LineAt(note.offset)) + ": " +
                      note.text + "\n";
            ok = false;
        }
        if (!cls) {
            errors += map.fileName + ":" + std::to_string(map.LineAt(report.errorOffset)) + ": " +
                      report.error + "\n";
            ok = false;
            failed.insert(name);
            error = "class '" + name + "' does not compile";
            return nullptr;
        }
        const CScriptClass* raw = cls.get();
        compiled[name] = std::move(cls);
        return raw;
    };
    for (const auto& entry : tokens_) {
        if (compiled.count(entry.first) || failed.count(entry.first)) continue;
        std::string error;
        load(entry.first, error);
    }
    return ok;
}

namespace {
// A script source is text a person writes; anything larger is not one (a device or a
// runaway file must not be read until memory runs out).
constexpr size_t kMaxScriptSourceBytes = 16u << 20;

std::string ScriptSourceReadFailure(const platform::FileReadResult& read) {
    switch (read.status) {
        case platform::FileReadStatus::kMissing: return "cannot open (no such file)";
        case platform::FileReadStatus::kTooLarge: return "larger than 16 MB, not a script source";
        default: return "cannot open (" + read.reason + ")";
    }
}
}  // namespace

bool CompileScriptFiles(const std::vector<std::string>& files,
                        std::vector<std::pair<std::string, std::vector<u8>>>& outMembers,
                        std::string& errors) {
    namespace fs = std::filesystem;
    outMembers.clear();
    ScriptCompiler compiler;
    bool ok = true;
    for (const std::string& file : files) {
        std::string text;
        const platform::FileReadResult read = platform::ReadBoundedFile(
            file, kMaxScriptSourceBytes, platform::Oversize::kWholeOnly, text);
        if (!read.Read()) {
            errors += file + ": " + ScriptSourceReadFailure(read) + "\n";
            ok = false;
            continue;
        }
        ScriptSource source{file, fs::path(file).stem().string(), std::move(text)};
        if (!compiler.AddSource(source, errors)) ok = false;
    }
    if (!ok || !compiler.Validate(errors)) return false;
    const std::string table = compiler.Strings().ToText();
    outMembers.emplace_back("sdb.txt", std::vector<u8>(table.begin(), table.end()));
    for (const auto& [name, tokens] : compiler.TokenFiles()) {
        outMembers.emplace_back(name + ".m", tokens);
    }
    return true;
}

bool CompileScriptDirectory(const std::string& dir,
                            std::vector<std::pair<std::string, std::vector<u8>>>& outMembers,
                            std::string& errors) {
    namespace fs = std::filesystem;
    outMembers.clear();
    std::error_code ec;
    std::vector<fs::path> paths;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_regular_file() && it->path().extension() == ".zqs") paths.push_back(it->path());
    }
    if (ec) {
        errors += dir + ": cannot read the script directory: " + ec.message() + "\n";
        return false;
    }
    std::sort(paths.begin(), paths.end());
    std::vector<std::string> files;
    for (const fs::path& path : paths)
        files.push_back(path.string());
    return CompileScriptFiles(files, outMembers, errors);
}
