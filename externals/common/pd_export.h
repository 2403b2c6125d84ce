// Pd's interface for externals, included once for both classes, and the one
// attribute that makes a set-up function the library's only export.
#pragma once

#include <m_pd.h>

#include <type_traits>

static_assert(std::is_same_v<t_sample, float>, "the channel carries 32-bit floats; build against 32-bit Pd");

#define KELBRA_PD_EXPORT extern "C" __attribute__((visibility("default")))

namespace externals {

// class_new takes every creator as the generic t_newmethod; the detour through
// void(*)() is the conversion the compiler accepts without a warning.
template <typename Creator>
t_newmethod asNewMethod(Creator creator) noexcept {
  return reinterpret_cast<t_newmethod>(reinterpret_cast<void (*)()>(creator));
}

template <typename Method>
t_method asMethod(Method method) noexcept {
  return reinterpret_cast<t_method>(reinterpret_cast<void (*)()>(method));
}

}  // namespace externals
