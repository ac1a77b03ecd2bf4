#include "script/runtime/script_manager.h"

#include <algorithm>

#include "script/language/script_parser.h"
#include "script/language/token_file.h"
#include "script/runtime/script_instance.h"
#include "script/runtime/script_thread.h"

bool ScriptClassSource::LoadStringTable(ScriptStringTable& table, std::string& error) {
    return table.LoadFromArchive(error);
}

bool ScriptClassSource::LoadTokens(const std::string& className, std::vector<u8>& out,
                                   std::string& error) {
    return LoadTokenFile(className, out, error);
}

CScriptManager::CScriptManager() = default;

CScriptManager::~CScriptManager() {
    for (CScriptInstance* i : live_)
        delete i;
}

const CScriptClass* CScriptManager::FindClass(const std::string& name) {
    for (const CScriptClass* c = head_; c; c = c->next)
        if (c->name == name) return c;
    return LoadScriptClass(name);
}

const CScriptClass* CScriptManager::LoadScriptClass(const std::string& name) {
    std::vector<std::string> loading;
    return LoadWithStack(name, loading);
}

const CScriptClass* CScriptManager::LoadWithStack(const std::string& name,
                                                  std::vector<std::string>& loading) {
    ++loads_;
    if (!stringsLoaded_) {
        std::string error;
        if (!source_->LoadStringTable(strings_, error)) {
            lastError_ = error;
            return nullptr;
        }
        stringsLoaded_ = true;
    }
    // A class that (through its parents) inherits from itself cannot load.
    if (std::find(loading.begin(), loading.end(), name) != loading.end()) {
        lastError_ = "class '" + name + "' inherits from itself";
        return nullptr;
    }
    std::vector<u8> tokens;
    std::string error;
    if (!source_->LoadTokens(name, tokens, error)) {
        lastError_ = error;
        return nullptr;
    }
    loading.push_back(name);
    auto resolve = [&](const std::string& parent, std::string& err) -> const CScriptClass* {
        for (const CScriptClass* c = head_; c; c = c->next)
            if (c->name == parent) return c;
        const CScriptClass* p = LoadWithStack(parent, loading);
        if (!p) err = "cannot load parent class '" + parent + "'";
        return p;
    };
    CompileReport report;
    std::unique_ptr<CScriptClass> cls =
        CompileScriptClass(tokens.data(), tokens.size(), strings_, name, resolve, report);
    loading.pop_back();
    if (!cls) {
        lastError_ = name + ": " + report.error;
        return nullptr;
    }
    cls->next = head_;
    head_ = cls.get();
    classes_.push_back(std::move(cls));
    return head_;
}

const char* CScriptManager::InternString(std::string_view text) {
    return interned_.emplace(text).first->c_str();
}

void CScriptManager::SetClassSource(ScriptClassSource* source) {
    source_ = source ? source : &archiveSource_;
}

void CScriptManager::UnloadAll() {
    for (CScriptInstance* i : live_)
        delete i;
    live_.clear();
    released_.clear();
    head_ = nullptr;
    classes_.clear();
    strings_.Clear();
    stringsLoaded_ = false;
    loads_ = 0;
}

CScriptInstance* CScriptManager::NewScriptInstance(const CScriptClass* cls) {
    if (!cls) return nullptr;
    auto* instance = new CScriptInstance(cls);
    live_.insert(instance);
    return instance;
}

void CScriptManager::ReleaseInstance(CScriptInstance* instance) {
    if (!instance || instance->IsTornDown()) return;
    instance->TearDown();
    released_.push_back(instance);
}

void CScriptManager::FreeReleasedInstances() {
    // A running thread or a dispatch in progress may still hold a released instance.
    if (ScriptActivity()) return;
    for (CScriptInstance* i : released_) {
        live_.erase(i);
        delete i;
    }
    released_.clear();
}

CScriptManager& GetScriptManager() {
    static CScriptManager manager;
    return manager;
}
