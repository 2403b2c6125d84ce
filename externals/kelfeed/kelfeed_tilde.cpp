// kelfeed~: writes a stereo signal from a Pd patch into the receive ring of a
// channel that a kelbra plug-in holds.
#include <cstddef>
#include <set>
#include <string>

#include "channel/channel_layout.h"
#include "externals/common/channel_hold.h"
#include "externals/common/identifier.h"
#include "externals/common/pd_export.h"
#include "externals/common/ring_blocks.h"

namespace {

struct t_kelfeed_tilde {
  t_object x_obj;
  char x_id[externals::kIdentifierChars + 1];
  platform::SharedMemory* x_mapping;  // the opened channel, or null
  void* x_base;                       // where the channel is mapped, or null
  channel::RingHeader* x_header;      // the receive ring's header inside the mapping
  t_float x_f;                        // the left inlet's value when no signal is connected
};

t_class* kelfeed_class = nullptr;

// Identifiers held by live objects of this Pd process: two writers on one
// receive ring would interleave their blocks into noise.
std::set<std::string>& identifierSet() {
  static std::set<std::string> ids;
  return ids;
}

bool kelfeed_connect(t_kelfeed_tilde* x) noexcept {
  void* base = nullptr;
  switch (externals::openChannel(x->x_id, x->x_mapping, base)) {
    case externals::OpenResult::noChannel:
      post("kelfeed %s: error! invalid id or fatal error", x->x_id);
      return false;
    case externals::OpenResult::cannotMap:
      post("kelfeed %s: can't map view", x->x_id);
      return false;
    case externals::OpenResult::opened:
      break;
  }
  x->x_base = base;
  x->x_header = &channel::layoutAt(base)->receiveHeader;
  channel::storeWord(x->x_header->writeCount, 0);
  post("kelfeed : CONNECTED -> VST[%s]", x->x_id);
  return true;
}

t_int* kelfeed_tilde_perform(t_int* w) noexcept {
  auto* x = reinterpret_cast<t_kelfeed_tilde*>(w[1]);
  const auto* left = reinterpret_cast<const t_sample*>(w[2]);
  const auto* right = reinterpret_cast<const t_sample*>(w[3]);
  const int n = static_cast<int>(w[4]);
  externals::feedBlock(channel::layoutAt(x->x_base)->receiveRing, *x->x_header, left, right, n);
  return w + 5;
}

void kelfeed_tilde_dsp(t_kelfeed_tilde* x, t_signal** sp) noexcept {
  if (!x->x_base) return;
  channel::resetCounters(*x->x_header);
  dsp_add(kelfeed_tilde_perform, 4, x, sp[0]->s_vec, sp[1]->s_vec, static_cast<t_int>(sp[0]->s_n));
}

void kelfeed_tilde_free(t_kelfeed_tilde* x) noexcept {
  if (x->x_id[0] != '\0') identifierSet().erase(x->x_id);
  externals::releaseChannel(x->x_mapping, x->x_base);
  x->x_header = nullptr;
}

// Refusal keeps x_id empty so that the free routine leaves the set alone: the
// identifier belongs to the object that already holds it.
void* refuse(t_kelfeed_tilde* x) noexcept {
  post("kelfeed: error! invalid id");
  x->x_id[0] = '\0';
  pd_free(&x->x_obj.ob_pd);
  return nullptr;
}

void* kelfeed_tilde_new(t_symbol* s) noexcept {
  auto* x = reinterpret_cast<t_kelfeed_tilde*>(pd_new(kelfeed_class));
  externals::copyIdentifier(x->x_id, s ? s->s_name : nullptr);
  x->x_mapping = nullptr;
  x->x_base = nullptr;
  x->x_header = nullptr;
  x->x_f = 0;
  inlet_new(&x->x_obj, &x->x_obj.ob_pd, &s_signal, &s_signal);
  try {
    if (x->x_id[0] == '\0' || identifierSet().count(x->x_id) != 0) return refuse(x);
    kelfeed_connect(x);
    identifierSet().insert(x->x_id);
  } catch (...) {
    externals::releaseChannel(x->x_mapping, x->x_base);
    return refuse(x);
  }
  return x;
}

}  // namespace

KELBRA_PD_EXPORT void kelfeed_tilde_setup(void) noexcept {
  kelfeed_class = class_new(gensym("kelfeed~"), externals::asNewMethod(kelfeed_tilde_new),
                            externals::asMethod(kelfeed_tilde_free), sizeof(t_kelfeed_tilde),
                            CLASS_DEFAULT, A_DEFSYM, A_NULL);
  class_domainsignalin(kelfeed_class, static_cast<int>(offsetof(t_kelfeed_tilde, x_f)));
  // A_CANT: only Pd's graph builder may call "dsp"; a "dsp" message typed into
  // the inlet would otherwise run it without a signal array.
  class_addmethod(kelfeed_class, externals::asMethod(kelfeed_tilde_dsp), gensym("dsp"), A_CANT, A_NULL);
  identifierSet().clear();
}
