#include "script/runtime/script_slot.h"

#include <vector>

#include "core/cstr.h"
#include "core/custr.h"
#include "script/language/script_value.h"
#include "script/runtime/script_list.h"

namespace {

// Emptied strings and ustrings kept for reuse. The pools live for the whole process (never
// destroyed, so objects handed back while other statics are being destroyed still have
// somewhere to go).
template <class T>
std::vector<T*>& PoolOf() {
    static auto* pool = new std::vector<T*>();
    return *pool;
}

template <class T>
T* TakeFromPool() {
    auto& pool = PoolOf<T>();
    if (pool.empty()) return new T();
    T* object = pool.back();
    pool.pop_back();
    return object;
}

// Keeps the emptied object unless its buffer is large or the pool is full.
template <class T>
void GiveToPool(T* object) {
    constexpr int kMaxKeptBuffer = 4096;
    constexpr size_t kMaxPooled = 1024;
    auto& pool = PoolOf<T>();
    if (object->GetCapacity() > kMaxKeptBuffer || pool.size() >= kMaxPooled) {
        delete object;
    } else {
        object->Clear();
        pool.push_back(object);
    }
}

}  // namespace

void* NewScriptObjectOfType(u8 type) {
    switch (type) {
        case kTypeString:
            return TakeFromPool<CStr>();
        case kTypeUString:
            return TakeFromPool<CUStr>();
        case kTypeList:
            return new CScriptList();
        default:
            return nullptr;
    }
}

void FreeScriptObjectOfType(u8 type, void* object) {
    if (!object) return;
    switch (type) {
        case kTypeString:
            GiveToPool(static_cast<CStr*>(object));
            break;
        case kTypeUString:
            GiveToPool(static_cast<CUStr*>(object));
            break;
        case kTypeList:
            delete static_cast<CScriptList*>(object);
            break;
        default:
            break;
    }
}
