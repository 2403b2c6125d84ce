#include "plugin/identifier_registry.h"

IdentifierRegistry& IdentifierRegistry::instance() {
  static IdentifierRegistry registry;
  return registry;
}

void IdentifierRegistry::instanceCreated() {
  std::lock_guard lock(mutex_);
  if (instanceCount_ == 0) ids_.clear();
  ++instanceCount_;
}

void IdentifierRegistry::instanceDestroyed() {
  std::lock_guard lock(mutex_);
  --instanceCount_;
}

int IdentifierRegistry::instanceCount() {
  std::lock_guard lock(mutex_);
  return instanceCount_;
}
