#include "platform/pulse/pulse_stream.h"

namespace tarvok {

void DropStream(pa_stream*& stream) {
  if (stream == nullptr)
    return;
  // Every callback that a stream of the back end sets; clearing one that was not set is harmless.
  pa_stream_set_read_callback(stream, nullptr, nullptr);
  pa_stream_set_state_callback(stream, nullptr, nullptr);
  pa_stream_set_underflow_callback(stream, nullptr, nullptr);
  pa_stream_disconnect(stream);
  pa_stream_unref(stream);
  stream = nullptr;
}

}  // namespace tarvok
