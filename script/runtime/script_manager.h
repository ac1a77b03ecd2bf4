#pragma once
// The script class registry: classes load on demand the first time anything names them and
// stay loaded for the life of the process; the interned names of object variables and
// scripts; the registry of script instances with its deferred free.
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "platform/types.h"
#include "script/language/script_class.h"
#include "script/language/string_table.h"

class CScriptInstance;

// Where class files come from: by default the data archive's "scripts/" directory (the
// string table "sdb.txt" and one token file "<class>.m" per class).
class ScriptClassSource {
public:
    virtual ~ScriptClassSource() = default;
    virtual bool LoadStringTable(ScriptStringTable& table, std::string& error);
    // The whole token file of a class; false when there is none.
    virtual bool LoadTokens(const std::string& className, std::vector<u8>& out, std::string& error);
};

class CScriptManager {
public:
    CScriptManager();
    ~CScriptManager();
    CScriptManager(const CScriptManager&) = delete;
    CScriptManager& operator=(const CScriptManager&) = delete;

    // The loaded class of that name (exact, case-sensitive), loading it when needed; null
    // when it cannot be loaded (tried again at the next call).
    const CScriptClass* FindClass(const std::string& name);
    // Loads a class: on the first load reads the string table, then compiles the class's
    // token file (its parent first). Null when the file is missing or does not compile.
    const CScriptClass* LoadScriptClass(const std::string& name);
    // The stored copy of a text, added when absent; the same text gives the same pointer.
    const char* InternString(std::string_view text);

    // Puts a class source in place (the caller keeps it alive); null puts back the archive.
    void SetClassSource(ScriptClassSource* source);
    // Forgets every loaded class, the string table and every instance (tests: no script may
    // run and no object may hold an instance).
    void UnloadAll();
    int LoadCount() const { return loads_; }
    const std::string& LastError() const { return lastError_; }

    // Instances: new ones belong to the registry. Release tears an instance down and queues
    // it; FreeReleasedInstances deletes the queued ones when no script runs.
    CScriptInstance* NewScriptInstance(const CScriptClass* cls);
    void ReleaseInstance(CScriptInstance* instance);
    void FreeReleasedInstances();
    // Whether the pointer is an instance of the registry that has not been freed yet.
    bool IsLive(const CScriptInstance* instance) const {
        return live_.count(const_cast<CScriptInstance*>(instance)) != 0;
    }
    int LiveInstanceCount() const { return static_cast<int>(live_.size()); }
    int ReleasedInstanceCount() const { return static_cast<int>(released_.size()); }

private:
    const CScriptClass* LoadWithStack(const std::string& name, std::vector<std::string>& loading);

    CScriptClass* head_ = nullptr;  // most recently loaded first
    std::vector<std::unique_ptr<CScriptClass>> classes_;
    ScriptStringTable strings_;
    bool stringsLoaded_ = false;
    int loads_ = 0;
    std::string lastError_;
    ScriptClassSource archiveSource_;
    ScriptClassSource* source_ = &archiveSource_;
    std::unordered_set<std::string> interned_;
    std::unordered_set<CScriptInstance*> live_;
    std::vector<CScriptInstance*> released_;
};

// The one registry of the server.
CScriptManager& GetScriptManager();
