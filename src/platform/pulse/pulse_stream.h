// Ending a libpulse stream that one of the back end's objects owns.
#pragma once

#include <pulse/stream.h>

namespace tarvok {

// With the main loop's lock held: clears the stream's callbacks first, so that none of them runs
// for an owner that is going away, then disconnects and releases the stream and sets it to null.
// A null stream is left alone.
void DropStream(pa_stream*& stream);

}  // namespace tarvok
