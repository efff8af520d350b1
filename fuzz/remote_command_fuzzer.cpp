// The command file another program writes: it is deleted once read, its names and values are
// trimmed, its code is the low byte of "command", and line ends of "\r\n" read as "\n" do.
#include "core/config/remote_data.h"
#include "fuzz_support.h"

using namespace tarvok;
using tarvok::fuzz::Check;

namespace {

struct TCommand {
  std::uint8_t Code = 0;
  TRemoteDataFile Remote{1, 0};
};

void Read(const QByteArray& content, TCommand& command) {
  const QString file = fuzz::WriteScratchFile(QStringLiteral("tarvok.cmd"), content);
  command.Remote.SetPath(fuzz::ScratchPath(QString()));
  command.Code = command.Remote.ReadCommand();
  Check(!QFile::exists(file), "the command file is deleted once read");
}

bool IsTrimmed(const QString& text) {
  return text.isEmpty() || (text.front().unicode() > ' ' && text.back().unicode() > ' ');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray content = fuzz::Bytes(data, size);
  TCommand plain;
  Read(content, plain);
  const TRemoteData& remote = plain.Remote;
  Check(remote.Names.isEmpty() || remote.Names.size() == remote.Values.size(),
        "every name has a value");
  for (qsizetype i = 0; i < remote.Values.size(); ++i) {
    Check(IsTrimmed(remote.Names[i]) && IsTrimmed(remote.Values[i]),
          "names and values are trimmed");
    Check(!remote.Names[i].contains(QLatin1Char('=')), "a name ends at the first \"=\"");
  }
  Check(plain.Code == (remote.GetIntValue(QStringLiteral("command")) & 0xFF),
        "the code is the low byte of \"command\"");
  // A zero byte ends its piece of the file, and pieces move when the file grows.
  if (content.contains('\0'))
    return 0;
  TCommand crlf;
  Read(QByteArray(content).replace("\n", "\r\n"), crlf);
  Check(crlf.Code == plain.Code, "\"\\r\\n\" line ends give the same code");
  for (const QString& name : remote.Names) {
    // A line of "\r" alone is a line of its own, which only a name "" could tell.
    if (name.isEmpty())
      continue;
    Check(crlf.Remote.GetValue(name) == remote.GetValue(name),
          "\"\\r\\n\" line ends give the same values");
  }
  return 0;
}
