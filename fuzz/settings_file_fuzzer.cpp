// The settings file as a person may have left it, then writes as the station makes them: a written
// value reads back (on one line, trimmed, at most 2047 characters), every other key keeps its
// value, and the same writes in one Batch leave the same file as one at a time.
#include <fuzzer/FuzzedDataProvider.h>

#include <vector>

#include "core/storage/ini_file.h"
#include "fuzz_support.h"

using namespace tarvok;
using tarvok::fuzz::Check;

namespace {

struct TKey {
  QString Section;
  QString Key;
};

// Names as the station's, a few of them so that writes meet; case does not count.
const std::vector<TKey>& Keys() {
  static const std::vector<TKey> keys = [] {
    std::vector<TKey> all;
    for (const char* section : {"Audio", "BeaconEvent0", "BeaconEvent10", "Filter"}) {
      for (const char* key : {"Count", "Name", "WAVFile3", "Min"})
        all.push_back({QString::fromLatin1(section), QString::fromLatin1(key)});
    }
    return all;
  }();
  return keys;
}

QString Expected(const QString& written) {
  QString text = written;
  text.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
  return QString::fromUtf8(text.toUtf8().trimmed()).left(TIniFile::kMaxStringLength);
}

std::vector<QString> ReadAll(const TIniFile& ini) {
  std::vector<QString> values;
  for (const TKey& k : Keys())
    values.push_back(ini.ReadString(k.Section, k.Key, QStringLiteral("\x01missing")));
  return values;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string content = input.ConsumeRandomLengthString(4096);
  const QByteArray bytes(content.data(), static_cast<qsizetype>(content.size()));
  TIniFile single(fuzz::WriteScratchFile(QStringLiteral("single.ini"), bytes));
  TIniFile batched(fuzz::WriteScratchFile(QStringLiteral("batched.ini"), bytes));

  struct TWrite {
    std::size_t Key;
    QString Value;
    bool Number;
    std::int64_t Integer;
  };
  std::vector<TWrite> writes;
  while (writes.size() < 8 && input.remaining_bytes() > 0) {
    TWrite w;
    w.Key = input.ConsumeIntegralInRange<std::size_t>(0, Keys().size() - 1);
    w.Number = input.ConsumeBool();
    w.Integer = input.ConsumeIntegral<std::int64_t>();
    w.Value = QString::fromUtf8(input.ConsumeRandomLengthString(64));
    writes.push_back(std::move(w));
  }

  for (const TWrite& w : writes) {
    const TKey& key = Keys()[w.Key];
    std::vector<QString> before = ReadAll(single);
    if (w.Number) {
      Check(single.WriteInt64(key.Section, key.Key, w.Integer), "a number is written");
      Check(single.ReadInt64(key.Section, key.Key, ~w.Integer) == w.Integer,
            "a written number reads back");
      before[w.Key] = QString::number(w.Integer);
    } else {
      Check(single.WriteString(key.Section, key.Key, w.Value), "a text is written");
      Check(single.ReadString(key.Section, key.Key, QString()) == Expected(w.Value),
            "a written text reads back");
      before[w.Key] = Expected(w.Value);
    }
    Check(ReadAll(single) == before, "a write changes its own key only");
  }

  const bool saved = batched.Batch([&] {
    for (const TWrite& w : writes) {
      const TKey& key = Keys()[w.Key];
      if (w.Number)
        batched.WriteInt64(key.Section, key.Key, w.Integer);
      else
        batched.WriteString(key.Section, key.Key, w.Value);
    }
  });
  Check(saved, "a batch is written");
  Check(fuzz::ReadScratchFile(QStringLiteral("single.ini")) ==
            fuzz::ReadScratchFile(QStringLiteral("batched.ini")),
        "a batch leaves the file the same writes one at a time leave");
  return 0;
}
