#include "script/language/statement_tree.h"

#include <cstring>

#include "platform/hex_digit.h"
#include "script/language/builtin_table.h"
#include "script/language/token_codes.h"

ScriptNode* StatementArena::NewNode(NodeKind kind) {
    ScriptNode* node;
    if (free_) {
        node = free_;
        free_ = free_->next;
    } else {
        if (usedInLastBlock_ == kBlockNodes) {
            blocks_.push_back(std::make_unique<ScriptNode[]>(kBlockNodes));
            usedInLastBlock_ = 0;
        }
        node = &blocks_.back()[usedInLastBlock_++];
    }
    *node = ScriptNode{};
    node->kind = kind;
    return node;
}

void StatementArena::FreeNode(ScriptNode* node) {
    if (!node) return;
    *node = ScriptNode{};
    node->next = free_;
    free_ = node;
}

void StatementArena::FreeChain(ScriptNode* head) {
    while (head) {
        ScriptNode* next = head->next;
        FreeChain(head->child);
        FreeNode(head);
        head = next;
    }
}

SwitchCase* StatementArena::NewCase(s32 value, ScriptNode* target) {
    cases_.push_back(SwitchCase{value, target, nullptr});
    return &cases_.back();
}

const std::string* StatementArena::NewText(std::string text) {
    texts_.push_back(std::move(text));
    return &texts_.back();
}

CStr* StatementArena::NewString(const char* text) {
    strings_.emplace_back(text);
    return &strings_.back();
}

CUStr* StatementArena::NewUString(const WChar* text) {
    ustrings_.emplace_back(text);
    return &ustrings_.back();
}

ScriptNode* AppendNode(ScriptNode*& head, ScriptNode* node) {
    if (!head) {
        head = node;
    } else {
        ScriptNode* last = head;
        while (last->next)
            last = last->next;
        last->next = node;
    }
    return node;
}

namespace {

ScriptNode* AppendVariable(StatementArena& a, ScriptNode*& head, NodeKind kind, s32 index, u8 type,
                           u32 offset) {
    ScriptNode* node = a.NewNode(kind);
    node->value = index;
    node->varType = type;
    node->varOffset = offset;
    return AppendNode(head, node);
}

}  // namespace

ScriptNode* AppendLocal(StatementArena& a, ScriptNode*& head, s32 index, u8 type, u32 offset) {
    return AppendVariable(a, head, NodeKind::Local, index, type, offset);
}
ScriptNode* AppendLocalTarget(StatementArena& a, ScriptNode*& head, s32 index, u8 type,
                              u32 offset) {
    return AppendVariable(a, head, NodeKind::LocalTarget, index, type, offset);
}
ScriptNode* AppendMember(StatementArena& a, ScriptNode*& head, s32 index, u8 type, u32 offset) {
    return AppendVariable(a, head, NodeKind::Member, index, type, offset);
}
ScriptNode* AppendMemberTarget(StatementArena& a, ScriptNode*& head, s32 index, u8 type,
                               u32 offset) {
    return AppendVariable(a, head, NodeKind::MemberTarget, index, type, offset);
}

ScriptNode* AppendIntConstant(StatementArena& a, ScriptNode*& head, s32 value) {
    ScriptNode* node = a.NewNode(NodeKind::IntConstant);
    node->value = value;
    return AppendNode(head, node);
}

ScriptNode* AppendStringConstant(StatementArena& a, ScriptNode*& head, const std::string& text) {
    std::string body = text;
    if (!body.empty() && body.front() == '"') body.erase(0, 1);
    if (!body.empty() && body.back() == '"') body.pop_back();
    ScriptNode* node = a.NewNode(NodeKind::StringConstant);
    node->str = a.NewString(body.c_str());
    return AppendNode(head, node);
}

std::u16string DecodeHexUnits(const std::string& text) {
    std::u16string out;
    for (size_t i = 0; i + 4 <= text.size() && text[i] != ' '; i += 4) {
        int unit = 0;
        for (size_t k = 0; k < 4; ++k) {
            const int d = HexDigit(text[i + k]);
            if (d < 0) return out;
            unit = unit * 16 + d;
        }
        out.push_back(static_cast<char16_t>(unit));
    }
    return out;
}

ScriptNode* AppendUStringConstant(StatementArena& a, ScriptNode*& head, const std::string& text) {
    std::string body = text;
    if (body.size() >= 2 && body[0] == 'L' && body[1] == '"') {
        body.erase(0, 2);
    } else if (!body.empty() && body.front() == '"') {
        body.erase(0, 1);
    }
    if (!body.empty() && body.back() == '"') body.pop_back();
    ScriptNode* node = a.NewNode(NodeKind::UStringConstant);
    const std::u16string units = DecodeHexUnits(body);
    node->ustr = a.NewUString(units.c_str());
    return AppendNode(head, node);
}

ScriptNode* AppendScriptCall(StatementArena& a, ScriptNode*& head, s32 function, ScriptNode* args) {
    ScriptNode* node = a.NewNode(NodeKind::ScriptCall);
    node->value = function;
    node->child = args;
    return AppendNode(head, node);
}

ScriptNode* AppendLabel(StatementArena& a, ScriptNode*& head, const std::string& text) {
    ScriptNode* node = a.NewNode(NodeKind::Label);
    node->text = a.NewText(text);
    return AppendNode(head, node);
}

ScriptNode* AppendJumpTarget(StatementArena& a, ScriptNode*& head) {
    return AppendNode(head, a.NewNode(NodeKind::JumpTarget));
}

ScriptNode* AppendJumpTableAnchor(StatementArena& a, ScriptNode*& head) {
    return AppendNode(head, a.NewNode(NodeKind::JumpTable));
}

int ExpressionDepth(const ScriptNode* node) {
    int deepest = 0;
    for (const ScriptNode* c = node->child; c; c = c->next) {
        const int d = ExpressionDepth(c);
        if (d > deepest) deepest = d;
    }
    return deepest + 1;
}

std::string ExpressionTooDeepMessage() {
    return "expression nested too deeply (more than " + std::to_string(kMaxExpressionDepth) +
           " levels; each operator of a chain counts)";
}

std::string BlocksTooDeepMessage() {
    return "blocks nested too deeply (more than " + std::to_string(kMaxOpenControlNodes) +
           " open blocks)";
}

const BuiltinRecord* KeywordRecord(const char* name) {
    for (const BuiltinRecord& record : BuiltinTable()) {
        if (std::strcmp(record.name, name) == 0) return &record;
    }
    return nullptr;
}

ScriptNode* HiddenTarget(const ScriptNode* call) {
    ScriptNode* found = nullptr;
    for (ScriptNode* c = call ? call->child : nullptr; c; c = c->next) {
        if (c->kind == NodeKind::JumpTarget) found = c;
    }
    return found;
}

namespace {

// The control-flow keyword a call node stands for (TK_IF ... TK_RETURN), or 0.
int ControlClass(const ScriptNode* node) {
    if (!node || node->kind != NodeKind::BuiltinCall || !node->builtin) return 0;
    const int index = BuiltinIndex(*node->builtin);
    if (index < 0 || index > TK_RETURN - TK_IF + 4) return 0;
    const int cls = TK_IF + index;
    return cls > TK_RETURN ? TK_RETURN : cls;
}

ScriptNode* JumpTableOf(ScriptNode* switchNode) {
    for (ScriptNode* c = switchNode->child; c; c = c->next) {
        if (c->kind == NodeKind::JumpTable) return c;
    }
    return nullptr;
}

void SetTarget(ScriptNode* call, ScriptNode* target) {
    if (ScriptNode* t = HiddenTarget(call)) t->target = target;
}

// The scan stack of LinkCall, bounded.
struct ScanStack {
    ScriptNode* items[kMaxOpenControlNodes];
    int count = 0;
    bool overflow = false;
    void Push(ScriptNode* n) {
        if (count == kMaxOpenControlNodes) {
            overflow = true;
            return;
        }
        items[count++] = n;
    }
    ScriptNode* Top(int below = 0) const {
        return count - 1 - below >= 0 ? items[count - 1 - below] : nullptr;
    }
    void Pop() {
        if (count > 0) --count;
    }
};

// Pops a closed loop or switch: the break nodes on top, then its opening node.
void PopClosed(ScanStack& s) {
    while (s.count > 0 && ControlClass(s.Top()) == TK_BREAK)
        s.Pop();
    s.Pop();
}

// Scans the chain up to (not including) the new node for loops and switches.
void ScanLoops(ScriptNode* head, ScriptNode* end, bool withSwitches, bool withBreaks,
               ScanStack& s) {
    for (ScriptNode* n = head; n && n != end; n = n->next) {
        const int c = ControlClass(n);
        if (c == TK_WHILE || (withSwitches && c == TK_SWITCH)) {
            s.Push(n);
        } else if (c == TK_BREAK && withBreaks) {
            s.Push(n);
        } else if (c == TK_ENDWHILE || (withSwitches && c == TK_ENDSWITCH)) {
            PopClosed(s);
        }
    }
}

// What the scan stacks count, for the messages when one overflows.
static_assert(kMaxOpenControlNodes == 128, "the messages below name the limit");
const char* kTooManyOpenLoops =
    "more than 128 loops, switches and break statements open at once (a break inside a loop "
    "or switch counts until that loop or switch ends)";
const char* kTooManyNestedLoops = "loops and switches nested more than 128 deep";
const char* kTooManyOpenIfs =
    "more than 128 if and else blocks open at once (an else counts with its if)";

// The innermost loop or switch still open before a closing node, with the break statements
// inside it (on the scan stack above it).
struct OpenBlock {
    ScanStack stack;
    int breaks = 0;
    ScriptNode* node = nullptr;  // null when nothing is open

    void TargetBreaks(ScriptNode* end) const {
        for (int k = 0; k < breaks; ++k)
            SetTarget(stack.Top(k), end);
    }
};

// False with kTooManyOpenLoops when the scan stack overflows.
bool ScanOpenBlock(ScriptNode* head, ScriptNode* end, OpenBlock& block, std::string& error) {
    ScanLoops(head, end, true, true, block.stack);
    if (block.stack.overflow) {
        error = kTooManyOpenLoops;
        return false;
    }
    while (ControlClass(block.stack.Top(block.breaks)) == TK_BREAK)
        ++block.breaks;
    block.node = block.stack.Top(block.breaks);
    return true;
}

}  // namespace

bool LinkCall(StatementArena& a, ScriptNode*& head, ScriptNode*& tail, const BuiltinRecord* record,
              ScriptNode* args, std::string& error) {
    ScriptNode* call = a.NewNode(NodeKind::BuiltinCall);
    call->builtin = record;
    AppendNode(tail ? tail : head, call);
    tail = call;
    const int cls = ControlClass(call);

    switch (cls) {
        case TK_CASE: {
            ScanStack s;
            for (ScriptNode* n = head; n != call; n = n->next) {
                const int c = ControlClass(n);
                if (c == TK_SWITCH) s.Push(n);
                if (c == TK_ENDSWITCH) s.Pop();
            }
            if (s.overflow) {
                error = kTooManyNestedLoops;
                return false;
            }
            ScriptNode* sw = s.Top();
            ScriptNode* table = sw ? JumpTableOf(sw) : nullptr;
            if (!table) {
                error = "case outside a switch";
                a.FreeChain(args);
                return false;
            }
            const s32 value = args && args->kind == NodeKind::IntConstant ? args->value : 0;
            SwitchCase* entry = a.NewCase(value, call);
            entry->next = table->cases;
            table->cases = entry;
            a.FreeChain(args);
            return true;
        }
        case TK_IF:
        case TK_WHILE:
        case TK_BREAK:
            AppendJumpTarget(a, args);
            break;
        case TK_SWITCH:
            AppendJumpTableAnchor(a, args);
            break;
        case TK_ENDFOR:
        case TK_ENDWHILE: {
            if (cls == TK_ENDFOR) {
                call->builtin = KeywordRecord("TK_ENDWHILE");
                ScanStack loops;
                ScanLoops(head, call, false, false, loops);
                ScriptNode* loop = loops.Top();
                if (loop && loop->next && loop->next->forStep && loop->next != call) {
                    // Move the step statements from after the loop head to before its end.
                    ScriptNode* first = loop->next;
                    ScriptNode* last = first;
                    while (last->next && last->next->forStep && last->next != call) {
                        last = last->next;
                    }
                    if (last->next != call) {
                        loop->next = last->next;
                        ScriptNode* before = loop;
                        while (before->next != call)
                            before = before->next;
                        before->next = first;
                        last->next = call;
                    }
                }
            }
            OpenBlock block;
            if (!ScanOpenBlock(head, call, block, error)) return false;
            if (ControlClass(block.node) != TK_WHILE) {
                error = "end of loop without its loop";
                return false;
            }
            AppendJumpTarget(a, args)->target = block.node;
            SetTarget(block.node, call);
            block.TargetBreaks(call);
            break;
        }
        case TK_CONTINUE: {
            ScanStack s;
            ScanLoops(head, call, true, false, s);
            if (s.overflow) {
                error = kTooManyNestedLoops;
                return false;
            }
            ScriptNode* loop = nullptr;
            for (int i = 0; i < s.count; ++i) {
                if (ControlClass(s.Top(i)) == TK_WHILE) {
                    loop = s.Top(i);
                    break;
                }
            }
            // A continue outside every loop keeps a null target: it ends the function.
            AppendJumpTarget(a, args)->target = loop;
            break;
        }
        case TK_ENDSWITCH: {
            OpenBlock block;
            if (!ScanOpenBlock(head, call, block, error)) return false;
            ScriptNode* table =
                ControlClass(block.node) == TK_SWITCH ? JumpTableOf(block.node) : nullptr;
            if (!table) {
                error = "end of switch without its switch";
                return false;
            }
            block.TargetBreaks(call);
            bool hasDefault = false;
            for (SwitchCase* e = table->cases; e; e = e->next) {
                if (e->value == kDefaultCaseValue) hasDefault = true;
            }
            if (!hasDefault) {
                SwitchCase* entry = a.NewCase(kDefaultCaseValue, call);
                entry->next = table->cases;
                table->cases = entry;
            }
            break;
        }
        case TK_ELSE:
        case TK_ENDIF: {
            ScanStack s;
            for (ScriptNode* n = head; n != call; n = n->next) {
                const int c = ControlClass(n);
                if (c == TK_IF || c == TK_ELSE) s.Push(n);
                if (c == TK_ENDIF) {
                    if (ControlClass(s.Top()) == TK_ELSE) s.Pop();
                    s.Pop();
                }
            }
            if (s.overflow) {
                error = kTooManyOpenIfs;
                return false;
            }
            ScriptNode* open = s.Top();
            if (!open) {
                error = cls == TK_ELSE ? "else without an if" : "end of if without an if";
                a.FreeChain(args);
                return false;
            }
            if (cls == TK_ELSE) {
                AppendJumpTarget(a, args);
                SetTarget(open, call);
            } else {
                SetTarget(open, call);
            }
            break;
        }
        default:
            break;
    }
    call->child = args;
    return true;
}

bool ResolveLabels(StatementArena& a, ScriptNode* head, std::string& error, ScriptNode** badJump) {
    std::vector<ScriptNode*> labels;
    for (ScriptNode* n = head; n; n = n->next) {
        if (n->kind == NodeKind::Label && n->text) labels.push_back(n);
    }
    if (labels.size() > static_cast<size_t>(kMaxLabels)) {
        error = "more than " + std::to_string(kMaxLabels) + " labels in one body";
        return false;
    }
    std::vector<const std::string*> texts;
    for (ScriptNode* n : labels)
        texts.push_back(n->text);
    const BuiltinRecord* gotoRecord = FindBuiltin("TK_GOTO", "vi");
    bool ok = true;
    for (size_t i = 0; i < labels.size() && ok; ++i) {
        const std::string& text = *texts[i];
        if (!text.empty() && text.back() == ':') {
            labels[i]->text = nullptr;
            continue;
        }
        ScriptNode* target = nullptr;
        for (size_t k = 0; k < labels.size(); ++k) {
            if (*texts[k] == text + ":") {
                target = labels[k];
                break;
            }
        }
        if (!target) {
            error = "bad label '" + text + "'";
            if (badJump) *badJump = labels[i];
            ok = false;
            break;
        }
        ScriptNode* node = labels[i];
        node->kind = NodeKind::BuiltinCall;
        node->text = nullptr;
        node->builtin = gotoRecord;
        ScriptNode* operand = a.NewNode(NodeKind::JumpTarget);
        operand->target = target;
        node->child = operand;
    }
    if (!ok) {
        // The remaining labels that mark targets still lose their texts.
        for (size_t i = 0; i < labels.size(); ++i) {
            if (labels[i]->kind == NodeKind::Label && labels[i]->text &&
                !labels[i]->text->empty() && labels[i]->text->back() == ':') {
                labels[i]->text = nullptr;
            }
        }
    }
    return ok;
}
