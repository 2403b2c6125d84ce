// The connection identifiers held by the instances of this process, and the
// count of live instances. Hosts create and delete instances from several
// threads, so both sit behind one mutex; audio processing never touches it.
#pragma once

#include <mutex>
#include <set>
#include <string>

class IdentifierRegistry {
 public:
  // Exclusive access for the duration of one check-open-insert sequence.
  class Access {
   public:
    bool contains(const std::string& id) const { return registry_.ids_.count(id) != 0; }
    void insert(const std::string& id) { registry_.ids_.insert(id); }
    void erase(const std::string& id) { registry_.ids_.erase(id); }

   private:
    friend class IdentifierRegistry;
    explicit Access(IdentifierRegistry& r) : registry_(r), lock_(r.mutex_) {}
    IdentifierRegistry& registry_;
    std::lock_guard<std::mutex> lock_;
  };

  static IdentifierRegistry& instance();
  Access access() { return Access(*this); }

  // The first instance of a process starts from an empty registry.
  void instanceCreated();
  void instanceDestroyed();
  int instanceCount();

 private:
  std::mutex mutex_;
  std::set<std::string> ids_;
  int instanceCount_ = 0;
};
