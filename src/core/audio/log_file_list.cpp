#include "core/audio/log_file_list.h"

#include <QDir>
#include <algorithm>

#include "core/audio/wav_reader.h"
#include "core/audio/wav_recording_file.h"

namespace tarvok {

void TLogFileList::AddFile(const QFileInfo& file, bool readProperties) {
  if (file.size() <= TWavRecordingFile::kHeaderBytes)
    return;
  TLogFile entry;
  entry.FileName = file.fileName();
  const TRecordingName name = ParseRecordingName(entry.FileName);
  entry.DateText = name.DateText;
  entry.TimeText = name.TimeText;
  entry.Size = file.size();
  entry.SizeText = QStringLiteral("%1 Kb").arg(entry.Size / 1024);
  entry.FileTime = file.lastModified();
  if (readProperties) {
    const TWavLayout layout = ReadWavLayout(file.filePath());
    if (layout.IsValid()) {
      entry.Format = layout.Format;
      entry.HasFormat = true;
      const std::int64_t bytesPerSec = layout.Format.BitsPerSample / 8 *
                                       static_cast<std::int64_t>(layout.Format.SamplesPerSec) *
                                       layout.Format.Channels;
      entry.Seconds = bytesPerSec > 0 ? entry.Size / bytesPerSec : 0;
      entry.LengthText = QStringLiteral("%1 secs").arg(entry.Seconds);
      entry.PropertiesText =
          QStringLiteral("%1KHz, %2Bit, %3")
              .arg(layout.Format.SamplesPerSec / 1000)
              .arg(layout.Format.BitsPerSample)
              .arg(layout.Format.Channels == 1 ? QStringLiteral("Mono") : QStringLiteral("Stereo"));
    }
  }
  items_.push_back(std::move(entry));
}

QFileInfoList RecordingFiles(const QString& folder) {
  return QDir(folder).entryInfoList({QStringLiteral("*.wav")},
                                    QDir::Files | QDir::Hidden | QDir::System);
}

bool IsFileInUse(const QString& path, const QStringList& inUse) {
  const QString file = QFileInfo(path).absoluteFilePath();
  return std::any_of(inUse.begin(), inUse.end(), [&](const QString& used) {
    return QFileInfo(used).absoluteFilePath() == file;
  });
}

void TLogFileList::Sort() {
  std::stable_sort(items_.begin(), items_.end(),
                   [](const TLogFile& a, const TLogFile& b) { return a.FileTime < b.FileTime; });
}

}  // namespace tarvok
