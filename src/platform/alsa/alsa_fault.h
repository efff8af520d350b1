// What the station does about an error code that alsa-lib returned (a negative errno).
#pragma once

#include <QString>

namespace tarvok {

enum class TAlsaFault {
  None,     // not an error
  Wait,     // nothing to read or write yet (EAGAIN)
  Xrun,     // an overrun or underrun: prepare the device again and go on (EPIPE)
  Busy,     // another program holds the device (EBUSY)
  Gone,     // the device went away, or the server behind a plugin died: reopen it by name
  Missing,  // no device of that name (ENOENT, ENXIO): tried again too, it may be plugged in
  Failed,   // anything else: the device is closed and tried again later
};

TAlsaFault AlsaFaultOf(int error);

// Keeps alsa-lib from printing its errors to standard error: the station reports them itself, once.
void QuietAlsaErrors();

// The message for a device that cannot be opened, naming it.
QString AlsaOpenFailure(const QString& device, int error);

}  // namespace tarvok
