#include "script/language/script_class.h"

#include <map>

#include "script/language/builtin_table.h"
#include "script/language/script_value.h"

int ScriptVarTable::Find(std::string_view name) const {
    const auto found = index_.find(name);
    return found == index_.end() ? -1 : found->second;
}

int ScriptVarTable::Add(const std::string& name, u8 type) {
    const int index = static_cast<int>(entries.size());
    if (!index_.emplace(name, index).second) return -1;
    entries.push_back(ScriptVarEntry{name, type, frameSize});
    frameSize += SlotSizeOfType(type);
    return index;
}

void ScriptVarTable::ReplaceEntries(const ScriptVarTable& from) {
    entries = from.entries;
    frameSize = from.frameSize;
    index_ = from.index_;
}

int CScriptClass::FindFunction(std::string_view functionName) const {
    for (size_t i = 0; i < functions.size(); ++i) {
        if (functions[i].name == functionName) return static_cast<int>(i);
    }
    return -1;
}

ScriptVarTable* CScriptClass::NewVarTable() {
    ownedTables_.push_back(std::make_unique<ScriptVarTable>());
    return ownedTables_.back().get();
}

TriggerHandler* CScriptClass::NewHandler() {
    ownedHandlers_.push_back(std::make_unique<TriggerHandler>());
    return ownedHandlers_.back().get();
}

namespace {

struct ChainDescriber {
    const CScriptClass& cls;
    const ScriptVarTable& locals;
    std::map<const ScriptNode*, int> index;

    std::string Target(const ScriptNode* t) const {
        if (!t) return "->null";
        auto found = index.find(t);
        return found == index.end() ? "->?" : "->" + std::to_string(found->second);
    }

    static std::string Prefixed(const char* prefix, const std::string& text) {
        std::string out(prefix);
        out.append(text);
        return out;
    }

    static std::string VarName(const ScriptVarTable& table, s32 i) {
        if (i < 0 || static_cast<size_t>(i) >= table.entries.size()) return "?";
        return table.entries[static_cast<size_t>(i)].name;
    }

    std::string Node(const ScriptNode* n) const {
        switch (n->kind) {
            case NodeKind::BuiltinCall:
                return std::string(n->builtin ? n->builtin->name : "?") + Args(n->child);
            case NodeKind::ScriptCall: {
                const bool ok =
                    n->value >= 0 && static_cast<size_t>(n->value) < cls.functions.size();
                return (ok ? cls.functions[static_cast<size_t>(n->value)].name : "?") +
                       Args(n->child);
            }
            case NodeKind::Local:
                return VarName(locals, n->value);
            case NodeKind::LocalTarget:
                return Prefixed("&", VarName(locals, n->value));
            case NodeKind::Member:
                return Prefixed("m.", VarName(cls.members, n->value));
            case NodeKind::MemberTarget:
                return Prefixed("&m.", VarName(cls.members, n->value));
            case NodeKind::IntConstant:
                return std::to_string(n->value);
            case NodeKind::StringConstant:
                return std::string("\"") + (n->str ? n->str->CText() : "") + "\"";
            case NodeKind::UStringConstant: {
                std::string out = "L\"";
                if (n->ustr) {
                    for (const WChar* p = n->ustr->CText(); *p; ++p) {
                        out += *p < 0x80 ? static_cast<char>(*p) : '?';
                    }
                }
                return out + "\"";
            }
            case NodeKind::Label:
                return n->text ? "label " + *n->text : "label";
            case NodeKind::JumpTable: {
                std::string out = "{";
                for (const SwitchCase* e = n->cases; e; e = e->next) {
                    if (out.size() > 1) out += ",";
                    out += std::to_string(e->value) + Target(e->target);
                }
                return out + "}";
            }
            case NodeKind::JumpTarget:
                return Target(n->target);
        }
        return "?";
    }

    std::string Args(const ScriptNode* first) const {
        if (!first) return "";
        std::string out = "(";
        for (const ScriptNode* a = first; a; a = a->next) {
            if (a != first) out += ",";
            out += Node(a);
        }
        return out + ")";
    }
};

}  // namespace

std::string DescribeChain(const CScriptClass& cls, const ScriptVarTable& locals,
                          const ScriptNode* head) {
    ChainDescriber d{cls, locals, {}};
    int i = 0;
    for (const ScriptNode* n = head; n; n = n->next)
        d.index[n] = i++;
    std::string out;
    i = 0;
    for (const ScriptNode* n = head; n; n = n->next) {
        out += std::to_string(i++) + ": " + d.Node(n) + "\n";
    }
    return out;
}
