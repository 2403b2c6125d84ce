// keltap~: brings the send ring of a channel that a kelbra plug-in holds into
// a Pd patch as two signal outlets.
#include <cstddef>

#include "channel/channel_layout.h"
#include "externals/common/channel_hold.h"
#include "externals/common/identifier.h"
#include "externals/common/pd_export.h"
#include "externals/common/ring_blocks.h"

namespace {

struct t_keltap_tilde {
  t_object x_obj;
  char x_id[externals::kIdentifierChars + 1];
  platform::SharedMemory* x_mapping;  // the opened channel, or null
  void* x_base;                       // where the channel is mapped, or null
  channel::RingHeader* x_header;      // the send ring's header inside the mapping
};

t_class* keltap_class = nullptr;

bool keltap_connect(t_keltap_tilde* x) noexcept {
  if (x->x_id[0] == '\0') {
    post("keltap: error! invalid id");
    return false;
  }
  void* base = nullptr;
  switch (externals::openChannel(x->x_id, x->x_mapping, base)) {
    case externals::OpenResult::noChannel:
      post("keltap %s: error! invalid id or fatal error", x->x_id);
      return false;
    case externals::OpenResult::cannotMap:
      post("keltap %s: can't map view", x->x_id);
      return false;
    case externals::OpenResult::opened:
      break;
  }
  x->x_base = base;
  x->x_header = &channel::layoutAt(base)->sendHeader;
  channel::storeWord(x->x_header->readCount, 0);
  post("keltap %s: SUCCESS CONNECT VST", x->x_id);
  return true;
}

t_int* keltap_tilde_perform(t_int* w) noexcept {
  auto* x = reinterpret_cast<t_keltap_tilde*>(w[1]);
  auto* left = reinterpret_cast<t_sample*>(w[2]);
  auto* right = reinterpret_cast<t_sample*>(w[3]);
  const int n = static_cast<int>(w[4]);
  externals::tapBlock(channel::layoutAt(x->x_base)->sendRing, *x->x_header, left, right, n);
  return w + 5;
}

void keltap_tilde_dsp(t_keltap_tilde* x, t_signal** sp) noexcept {
  if (!x->x_base) {
    // Pd hands out recycled signal vectors: without a routine the outlets
    // would repeat whatever another object last left in them.
    dsp_add_zero(sp[0]->s_vec, sp[0]->s_n);
    dsp_add_zero(sp[1]->s_vec, sp[1]->s_n);
    return;
  }
  channel::resetCounters(*x->x_header);
  dsp_add(keltap_tilde_perform, 4, x, sp[0]->s_vec, sp[1]->s_vec, static_cast<t_int>(sp[0]->s_n));
}

void keltap_tilde_free(t_keltap_tilde* x) noexcept {
  externals::releaseChannel(x->x_mapping, x->x_base);
  x->x_header = nullptr;
}

void* keltap_tilde_new(t_symbol* s) noexcept {
  auto* x = reinterpret_cast<t_keltap_tilde*>(pd_new(keltap_class));
  externals::copyIdentifier(x->x_id, s ? s->s_name : nullptr);
  x->x_mapping = nullptr;
  x->x_base = nullptr;
  x->x_header = nullptr;
  outlet_new(&x->x_obj, &s_signal);
  outlet_new(&x->x_obj, &s_signal);
  keltap_connect(x);
  return x;
}

}  // namespace

KELBRA_PD_EXPORT void keltap_tilde_setup(void) noexcept {
  keltap_class = class_new(gensym("keltap~"), externals::asNewMethod(keltap_tilde_new),
                           externals::asMethod(keltap_tilde_free), sizeof(t_keltap_tilde),
                           CLASS_NOINLET, A_DEFSYM, A_NULL);
  // A_CANT: only Pd's graph builder may call "dsp".
  class_addmethod(keltap_class, externals::asMethod(keltap_tilde_dsp), gensym("dsp"), A_CANT, A_NULL);
}
