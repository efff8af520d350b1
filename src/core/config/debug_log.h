// The debug log: status messages appended with a time stamp, one flushed line each, so that the
// lines before a crash are on disk.
#pragma once

#include <QString>
#include <mutex>

namespace tarvok {

class TClock;

class TDebugLog {
 public:
  TDebugLog(QString fileName, const TClock& clock);
  ~TDebugLog();
  TDebugLog(const TDebugLog&) = delete;
  TDebugLog& operator=(const TDebugLog&) = delete;

  // A log that cannot be opened stays closed, without a message.
  void Open();
  void Close();
  bool IsOpen() const;
  void Write(const QString& message);

 private:
  QString fileName_;
  const TClock& clock_;
  mutable std::mutex mutex_;
  int fd_ = -1;
};

}  // namespace tarvok
