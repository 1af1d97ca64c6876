#pragma once
// CacheTemplate: a keyed, reference-counted cache of expensive resources, such as the
// object and meshes a 3D component builds from an object file (the key is the file name).
//
//   CacheTemplate<Meshes> cache([](const std::string& file) { return buildMeshes(file); });
//   Meshes& meshes = cache.get("objects/ship.lwo");   // builds on the first get only
//   ...
//   cache.remove("objects/ship.lwo");                 // destroys at the last remove
//
// `Resources` is the entry's contents, made by the factory and destroyed (its destructor
// runs) when the last holder removes the key. The reference `get` returns stays valid
// until then. A remove without a get is fatal.
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>

#include "io/console.h"

namespace mirva {

template <typename Resources>
class CacheTemplate {
public:
    using Factory = std::function<Resources(const std::string& key)>;

    struct CacheTemplateEntry {
        Resources resources;
        int referenceCount = 0;
    };

    explicit CacheTemplate(Factory factory) : factory_(std::move(factory)) {}

    // The entry's resources; the factory runs only when the key is not present.
    Resources& get(const std::string& key)
    {
        auto found = entries_.find(key);
        if (found == entries_.end())
            found = entries_.emplace(key, CacheTemplateEntry{factory_(key), 0}).first;
        ++found->second.referenceCount;
        return found->second.resources;
    }

    void remove(const std::string& key)
    {
        const auto found = entries_.find(key);
        if (found == entries_.end())
            Console::error("CacheTemplate::remove - CacheTemplateEntry '%s' not found", key.c_str());
        if (--found->second.referenceCount == 0)
            entries_.erase(found);
    }

    // The key's reference count; 0 when it is not cached.
    int count(const std::string& key) const
    {
        const auto found = entries_.find(key);
        return found == entries_.end() ? 0 : found->second.referenceCount;
    }

private:
    Factory factory_;
    std::map<std::string, CacheTemplateEntry> entries_;
};

// One instance's hold on a cache entry. Releasing gives the entry back once, however
// often it is called: the player destructs every instance at a restart and at its end,
// whether it was constructed or not, and an instance must not remove what it never got.
template <typename Resources>
class CacheHold {
public:
    explicit CacheHold(CacheTemplate<Resources>& cache) : cache_(cache) {}
    ~CacheHold() { release(); }
    CacheHold(const CacheHold&) = delete;
    CacheHold& operator=(const CacheHold&) = delete;

    // The entry of `key`, after giving back any entry held before.
    Resources& acquire(const std::string& key)
    {
        release();
        Resources& resources = cache_.get(key);
        key_ = key;
        return resources;
    }

    void release()
    {
        if (!key_)
            return;
        const std::string key = std::move(*key_);
        key_.reset();
        cache_.remove(key);
    }

private:
    CacheTemplate<Resources>& cache_;
    std::optional<std::string> key_;
};

}  // namespace mirva
