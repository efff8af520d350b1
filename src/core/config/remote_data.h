// The exchange with another program through the remote folder: the station publishes its status
// in "tarvok.rmt" and takes commands from "tarvok.cmd", which it reads once and deletes.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

namespace tarvok {

// One status snapshot, compared to decide whether the status file needs writing.
struct TRemoteRecord {
  std::uint8_t RepeaterMode = 0;
  std::uint8_t RepeaterState = 0;
  std::uint8_t ModeState = 0;
  std::uint8_t PinValue = 0;

  void Assign(const TRemoteRecord& other) { *this = other; }
  bool Equals(const TRemoteRecord& other) const { return *this == other; }
  friend bool operator==(const TRemoteRecord&, const TRemoteRecord&) = default;
};

// Reads a command value: decimal with an optional sign, or hexadecimal after "$", "x" or "0x";
// reading stops at the first character that does not fit. Empty text is 0.
int RemoteIntValue(const QString& text);

class TRemoteData {
 public:
  virtual ~TRemoteData() = default;

  // Returns the command code, the low 8 bits of "command"; 0 when there is no command.
  virtual std::uint8_t ReadCommand() = 0;
  virtual bool CommandExists() const = 0;
  virtual void WriteStatus() = 0;
  // The status file written before is gone, with its folder or by hand; it is written again.
  virtual bool StatusMissing() const { return false; }

  // True, once per change, when Status differs from what was last taken for writing.
  bool StatusChanged();
  QString GetValue(const QString& name) const;
  int GetIntValue(const QString& name) const { return RemoteIntValue(GetValue(name)); }

  TRemoteRecord Status;
  TRemoteRecord LastStatus;
  bool Written = false;
  QString LastError;
  QStringList Names;
  QStringList Values;
};

class TRemoteDataFile final : public TRemoteData {
 public:
  // versionMajor and versionMinor are the first two lines of every status file.
  TRemoteDataFile(int versionMajor, int versionMinor);
  // The station's status file is removed when it stops; a command file left behind stays.
  ~TRemoteDataFile() override;
  TRemoteDataFile(const TRemoteDataFile&) = delete;
  TRemoteDataFile& operator=(const TRemoteDataFile&) = delete;

  void SetPath(const QString& folder);
  std::uint8_t ReadCommand() override;
  bool CommandExists() const override;
  // Replaces the file atomically, so a reader never sees half a status; a removed folder is made
  // again.
  void WriteStatus() override;
  bool StatusMissing() const override;

  QString StatusFileName;
  QString CommandFileName;

 private:
  bool ReadLines();
  void SplitLines();

  int versionMajor_;
  int versionMinor_;
};

}  // namespace tarvok
