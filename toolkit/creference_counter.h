// Base of every shared toolkit object: whoever creates one holds its first
// reference, and the last release destroys it.
#pragma once

#include <cstdint>

namespace toolkit {

class CReferenceCounter {
 public:
  CReferenceCounter() = default;
  virtual ~CReferenceCounter() = default;
  CReferenceCounter(const CReferenceCounter&) = delete;
  CReferenceCounter& operator=(const CReferenceCounter&) = delete;

  virtual void release() {
    if (referenceCount-- == 1) delete this;
  }
  virtual void retain() { ++referenceCount; }

  std::int32_t getNbReference() const { return referenceCount; }

 protected:
  std::int32_t referenceCount = 1;
};

}  // namespace toolkit
