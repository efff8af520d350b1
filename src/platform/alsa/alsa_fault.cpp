#include "platform/alsa/alsa_fault.h"

#include <alsa/asoundlib.h>

#include <cerrno>

namespace tarvok {

namespace {
void Silent(const char*, int, const char*, int, const char*, ...) {}
}  // namespace

void QuietAlsaErrors() {
  static const bool quiet = snd_lib_error_set_handler(&Silent) == 0;
  (void)quiet;
}

TAlsaFault AlsaFaultOf(int error) {
  switch (-error) {
    case 0:
      return TAlsaFault::None;
    case EAGAIN:
      return TAlsaFault::Wait;
    case EPIPE:
      return TAlsaFault::Xrun;
    case EBUSY:
      return TAlsaFault::Busy;
    // ESTRPIPE is a suspend, which a USB card also reports when it is pulled out; EIO comes from
    // the PulseAudio plugin when its server is gone.
    case ENODEV:
    case EBADFD:
    case ESTRPIPE:
    case EIO:
      return TAlsaFault::Gone;
    case ENOENT:
    case ENXIO:
      return TAlsaFault::Missing;
    default:
      return error < 0 ? TAlsaFault::Failed : TAlsaFault::None;
  }
}

QString AlsaOpenFailure(const QString& device, int error) {
  const TAlsaFault fault = AlsaFaultOf(error);
  if (fault == TAlsaFault::Busy)
    return QStringLiteral("The sound device %1 is in use by another program").arg(device);
  // A card id that is not there gives ENODEV when the device is opened.
  if (fault == TAlsaFault::Missing || error == -ENODEV)
    return QStringLiteral(
               "There is no sound device %1 (tarvok --list-audio --audio alsa lists them)")
        .arg(device);
  return QStringLiteral("Cannot open the sound device %1: %2")
      .arg(device, QString::fromLocal8Bit(snd_strerror(error)));
}

}  // namespace tarvok
