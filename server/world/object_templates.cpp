#include "server/world/object_templates.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/file_layer.h"
#include "core/log_sink.h"
#include "core/next_word.h"
#include "core/random_numbers.h"
#include "server/server_config.h"
#include "server/world/resource_entry.h"
#include "server/world/resource_type.h"

CTemplateTable g_templateTable;

namespace {

constexpr int kBankDataFile = 50;
constexpr int kDescriptionPeek = 78;

struct KeyRow {
    const char* key;
    int code;
};
// Compared in this order; the first match wins.
constexpr KeyRow kKeyTable[] = {
    {"type", kKeyType},
    {"frequency", kKeyLoadOnly},
    {"movetype", kKeyLoadOnly},
    {"attitude", kKeyAttitude},
    {"alignment", kKeyLoadOnly},
    {"convfrag", kKeyConvFrag},
    {"dexterity", kKeyDexterity},
    {"eq", kKeyEq},
    {"req", kKeyReq},
    {"sk", kKeySkill},
    {"skill", kKeySkill},
    {"hp", kKeyHp},
    {"hue", kKeyHue},
    {"partialhue", kKeyPartialHue},
    {"intelligence", kKeyIntelligence},
    {"mana", kKeyMana},
    {"notoriety", kKeyNotoriety},
    {"fame", kKeyFame},
    {"karma", kKeyKarma},
    {"name", kKeyName},
    {"realname", kKeyRealName},
    {"resource", kKeyResource},
    {"corpsename", kKeyCorpseName},
    {"createsnpcs", kKeyCreatesNpcs},
    {"fleeval", kKeyFleeVal},
    {"strength", kKeyStrength},
    {"sex", kKeySex},
    {"stamina", kKeyStamina},
    {"script", kKeyScript},
    {"region", kKeyRegion},
    {"sfxnotice", kKeySfxNotice},
    {"sfxidle", kKeySfxIdle},
    {"sfxhit", kKeySfxHit},
    {"sfxwashit", kKeySfxWasHit},
    {"sfxdie", kKeySfxDie},
    {"objvar", kKeyObjVar},
    {"multi", kKeyMulti},
    {"movetype", kKeyMoveTypeUnused},
    {"quality", kKeyQuality},
    {"quantity", kKeyQuantity},
    {"height", kKeyHeight},
    {"weight", kKeyWeight},
    {"naturalwc", kKeyNaturalWc},
    {"naturalac", kKeyNaturalAc},
    {"resistances", kKeyResistances},
    {"immunities", kKeyImmunities},
    {"job", kKeyJob},
    {"regionlimit", kKeyRegionLimit},
    {"friends", kKeyFriends},
};

const char* SkipBlanks(const char* p) {
    return SkipTemplateBlanks(p);
}

int DecimalValue(const char* text) {
    return TemplateDecimal(text);
}

std::string Lower(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

void LogTemplate(const std::string& text) {
    GetLogSink().Log(0, 0, 0, "", "templates", "error", text.c_str());
}

}  // namespace

int TemplateDecimal(const char* text) {
    if (!text) return 0;
    const long long v = std::strtoll(text, nullptr, 10);
    if (v > 2147483647LL) return 2147483647;
    if (v < -2147483647LL - 1) return -2147483647 - 1;
    return static_cast<int>(v);
}

const char* SkipTemplateBlanks(const char* p) {
    while (p && (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n' || *p == '\v' || *p == '\f'))
        ++p;
    return p;
}

int TemplateKeyCodeOf(const char* key) {
    for (const KeyRow& row : kKeyTable) {
        if (StrCompareNoCase(key, row.key) == 0) return row.code;
    }
    return -1;
}

ObjectTemplate::~ObjectTemplate() {
    while (resources) {
        ResourceEntry* next = resources->next;
        FreeResourceEntry(resources);
        resources = next;
    }
}

CTemplateTable::CTemplateTable()
    : descriptions_(kTemplateDescriptionSlots), hasDescription_(kTemplateDescriptionSlots) {}

CTemplateTable::~CTemplateTable() {
    Unload();
}

void CTemplateTable::Load() {
    LoadNames();
    LoadDefines();
    LoadTemplates();
}

void CTemplateTable::Unload() {
    UnloadNames();
    UnloadDefines();
    UnloadTemplates();
}

void CTemplateTable::UnloadDefines() {
    defines_.clear();
}

void CTemplateTable::UnloadTemplates() {
    templates_.clear();
}

// ---------------------------------------------------------------- defines

void CTemplateTable::LoadDefines() {
    ArchiveHandle file = net_openfile(kBankDataFile, "defines", "r");
    if (!file) return;
    LoadDefinesFrom(file);
    ArchiveClose(file);
}

void CTemplateTable::LoadDefinesFrom(ArchiveHandle file) {
    if (!file) return;
    char line[1024];
    while (ArchiveGets(line, sizeof line, file)) {
        char name[1024];
        const char* rest = NextWord(line, name);
        if (name[0] == '\0') continue;
        // NextWord answers the position after the word and the one separator after it.
        std::string text = rest ? rest : "";
        if (!text.empty() && text.back() == '\n') text.pop_back();
        defines_.emplace(name, text);  // a name already defined keeps its first text
    }
}

const std::string* CTemplateTable::FindDefine(const char* name) const {
    auto it = defines_.find(Lower(name ? name : ""));
    return it == defines_.end() ? nullptr : &it->second;
}

int CTemplateTable::ExpandDefines(const char* value, std::string& out) const {
    out.clear();
    int substituted = 0;
    const CStr text(value ? value : "");
    int position = 0;
    int lines = 0;
    bool first = true;
    CStr token;
    while (text.NextToken(position, lines, token, " \t\n", "")) {
        if (!first) out += ' ';
        first = false;
        if (const std::string* replacement = FindDefine(token.CText())) {
            out += *replacement;
            substituted = 1;
        } else {
            out += token.CText();
        }
    }
    return substituted;
}

// ---------------------------------------------------------------- templates

void CTemplateTable::LoadTemplates() {
    ArchiveHandle table = net_openfile(kBankDataFile, "templatestable.dat", "r");
    if (table) {
        LoadTemplatesFrom(table);
        ArchiveClose(table);
        return;
    }
    // Without the table, one file per template number.
    int running = 0;
    for (int n = 0; n <= kLastTemplateNumber; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "template.%d", n);
        ArchiveHandle file = net_openfile(kBankDataFile, name, "r");
        if (!file) continue;
        ReadDescription(file, n);
        ReadTemplateBody(file, n, running, false);
        ArchiveClose(file);
    }
}

void CTemplateTable::LoadTemplatesFrom(ArchiveHandle file) {
    if (!file) return;
    int running = 0;  // the creates-creatures value runs over the whole load
    for (;;) {
        const char* entry = ReadBracketEntry(file);
        if (!entry) break;
        const int n = DecimalValue(entry);
        ReadDescription(file, n);
        ReadTemplateBody(file, n, running, true);
        if (n >= kLastTemplateNumber) break;
    }
}

void CTemplateTable::ReadDescription(ArchiveHandle file, int number) {
    const long start = ArchiveTell(file);
    char peek[kDescriptionPeek + 1];
    int length = 0;
    while (length < kDescriptionPeek) {
        const int c = ArchiveGetc(file);
        if (c == -1) break;
        peek[length++] = static_cast<char>(c);
        if (c == '\n') break;
    }
    peek[length] = '\0';
    ArchiveSeek(file, start, SEEK_SET);
    if (peek[0] != '#') return;
    std::string text;
    for (int i = 1; i < length && peek[i] != '\r' && peek[i] != '\n' && peek[i] != '<'; ++i)
        text += peek[i];
    if (number < 0 || number >= kTemplateDescriptionSlots) return;
    descriptions_[number] = text;
    hasDescription_[number] = true;
}

void CTemplateTable::ReadTemplateBody(ArchiveHandle file, int number, int& running,
                                      bool tableFile) {
    auto t = std::make_unique<ObjectTemplate>();
    bool ended = false;
    while (static_cast<int>(t->entries.size()) < kMaxTemplateEntries) {
        const char* entry = ReadBracketEntry(file);
        if (!entry) {
            ended = true;
            break;
        }
        char key[1024];
        const char* rest = NextWord(entry, key);
        const int code = TemplateKeyCodeOf(key);
        if (code < 0) continue;
        TemplateEntry e;
        e.code = code;
        e.value = SkipBlanks(rest ? rest : "");
        std::string expanded;
        if (ExpandDefines(e.value.c_str(), expanded) == 1) e.value = expanded;
        ApplyLoadEffect(*t, key, e, running);
        t->entries.push_back(std::move(e));
    }
    if (!ended && tableFile) {
        // The entries past the limit are not part of the template; skipping them to its end
        // keeps them from being read as the next templates.
        int skipped = 0;
        while (ReadBracketEntry(file))
            ++skipped;
        LogTemplate("Template " + std::to_string(number) + " holds more than " +
                    std::to_string(kMaxTemplateEntries) + " entries; " + std::to_string(skipped) +
                    " skipped");
    }
    t->createsCreatures = running;
    templates_.emplace(number, std::move(t));  // a number already loaded keeps its template
}

void CTemplateTable::ApplyLoadEffect(ObjectTemplate& t, const char* key, const TemplateEntry& e,
                                     int& running) {
    const char* value = e.value.c_str();
    char word[1024];
    switch (e.code) {
        case kKeyType: {
            NextWord(value, word);
            if (std::strcmp(word, "normal") == 0) {
                t.kind = TemplateKind::Normal;
                running = 1;
            } else if (std::strcmp(word, "guard") == 0) {
                t.kind = TemplateKind::Guard;
                running = 1;
            } else if (std::strcmp(word, "shopkeeper") == 0) {
                t.kind = TemplateKind::ShopKeeper;
                running = 1;
            } else if (std::strcmp(word, "item") == 0) {
                t.kind = TemplateKind::Item;
            }
            break;
        }
        case kKeyLoadOnly: {
            // frequency, movetype and alignment share the code; the entry's own key decides.
            NextWord(value, word);
            if (StrCompareNoCase(key, "frequency") == 0) t.frequency = DecimalValue(word);
            if (StrCompareNoCase(key, "movetype") == 0) t.moveType = DecimalValue(word);
            if (StrCompareNoCase(key, "alignment") == 0) t.alignment = ParseAlignmentWord(value);
            break;
        }
        case kKeyCorpseName: {
            NextQuotedWord(value, word);
            t.corpseName = word;
            break;
        }
        case kKeyCreatesNpcs:
            running = DecimalValue(value);
            break;
        case kKeyFleeVal:
            NextWord(value, word);
            t.fleeValue = static_cast<u8>(DecimalValue(word) & 0xFF);
            break;
        case kKeyRegion:
            ParseWeightedWords(value, t.regions);
            break;
        case kKeyRegionLimit:
            ParseWeightedWords(value, t.regionLimits);
            break;
        case kKeyFriends:
            ParseWeightedWords(value, t.friends);
            break;
        case kKeyResource: {
            static const char* const kKinds[] = {"food", "shelter", "desire", "production"};
            const char* p = NextWord(value, word);
            int kind = -1;
            for (int k = 0; k < 4; ++k) {
                if (std::strcmp(word, kKinds[k]) == 0) kind = k;
            }
            if (kind < 0) break;
            char a[64], b[64];
            p = NextWord(p, a);
            p = NextWord(p, b);
            p = SkipBlanks(p);
            const CResourceType* type = GetResourceTypes().FindByName(p ? p : "");
            if (!type) break;
            ResourceEntry* r = AllocResourceEntry();
            r->kind = static_cast<u8>(kind);
            r->type = static_cast<u16>(type->GetNumber());
            r->amounts[0] = DecimalValue(a);
            r->amounts[1] = DecimalValue(b);
            r->amounts[2] = DecimalValue(a);
            r->next = t.resources;
            if (t.resources) t.resources->prev = r;
            t.resources = r;
            break;
        }
        default:
            break;
    }
}

ObjectTemplate* CTemplateTable::Find(int number) const {
    auto it = templates_.find(number);
    return it == templates_.end() ? nullptr : it->second.get();
}

int CTemplateTable::CreatesCreatures(int number) const {
    if (number >= 0 && number < 1500) return 1;
    const ObjectTemplate* t = Find(number);
    return t ? t->createsCreatures : 0;
}

int CTemplateTable::IsShopKeeperTemplate(int number) const {
    const ObjectTemplate* t = Find(number);
    return t && t->kind == TemplateKind::ShopKeeper ? 1 : 0;
}

std::vector<int> CTemplateTable::TemplateNumbers() const {
    std::vector<int> out;
    for (const auto& [n, t] : templates_)
        out.push_back(n);
    return out;
}

const char* CTemplateTable::GetDescription(int number) const {
    if (number < 0 || number >= kTemplateDescriptionSlots || !hasDescription_[number])
        return nullptr;
    return descriptions_[number].c_str();
}

int CTemplateTable::ParseAlignmentWord(const char* text) {
    char word[64];
    NextWord(text, word);
    if (std::strcmp(word, "good") == 0) return 1;
    if (std::strcmp(word, "evil") == 0) return 2;
    if (std::strcmp(word, "chaotic") == 0) return 3;
    return 0;
}

std::string TemplateDescription(int number) {
    if (const char* d = g_templateTable.GetDescription(number)) return d;
    return "Template #" + std::to_string(number);
}

void ParseWeightedWords(const char* value, CWeightedList<CStr>& list) {
    char word[1024];
    const char* p = NextWord(value, word);
    if (std::strcmp(word, "{") != 0) {
        if (word[0] != '\0') list.Add(CStr(word), 1, 0);
        return;
    }
    ParseWeightedWordsFrom(p, list);
}

void ParseWeightedWordsFrom(const char*& p, CWeightedList<CStr>& list) {
    for (;;) {
        char name[1024], weight[64];
        p = NextWord(p, name);
        if (name[0] == '\0' || std::strcmp(name, "}") == 0) return;
        p = NextWord(p, weight);
        // A pair counts only when more text follows its weight (normally the closing brace).
        const char* after = SkipBlanks(p);
        if (!after || *after == '\0') return;
        list.Add(CStr(name), DecimalValue(weight), 1);
    }
}

int RollTemplateDice(const char* text, int templateNumber) {
    if (!text) return 0;
    const char* p = SkipBlanks(text);
    if (*p == '+' || *p == '-' || *p == '!') ++p;
    long long count = 0;
    bool big = false;
    while (*p >= '0' && *p <= '9') {
        count = count * 10 + (*p - '0');
        if (count > kMaxTemplateDiceCount) big = true;
        if (count > 1000000000LL) count = 1000000000LL;
        ++p;
    }
    if (big && (*p == 'd' || *p == 'D')) {
        LogTemplate("Template " + std::to_string(templateNumber) + ": dice \"" + text +
                    "\" roll more than " + std::to_string(kMaxTemplateDiceCount) +
                    " dice; refused");
        return 0;
    }
    return RollDice(text);
}

void WithTextHandle(std::string_view text, void (*read)(void* context, ArchiveHandle file),
                    void* context) {
    if (text.empty()) return;
    std::string copy(text);
    std::FILE* file = fmemopen(copy.data(), copy.size(), "r");
    if (!file) return;
    read(context, file);
    std::fclose(file);
}

void CTemplateTable::LoadTemplatesText(std::string_view text) {
    WithTextHandle(
        text,
        [](void* self, ArchiveHandle f) {
            static_cast<CTemplateTable*>(self)->LoadTemplatesFrom(f);
        },
        this);
}

void CTemplateTable::LoadDefinesText(std::string_view text) {
    WithTextHandle(
        text,
        [](void* self, ArchiveHandle f) { static_cast<CTemplateTable*>(self)->LoadDefinesFrom(f); },
        this);
}

void CTemplateTable::LoadNamesText(std::string_view text) {
    WithTextHandle(
        text,
        [](void* self, ArchiveHandle f) { static_cast<CTemplateTable*>(self)->LoadNamesFrom(f); },
        this);
}
