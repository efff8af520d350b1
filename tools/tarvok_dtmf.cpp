// tarvok-dtmf: decodes the DTMF keys of a WAV file as the station does and prints each key with
// the time it began.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

#include "block_decoder.h"
#include "core/dtmf/digital_filter.h"
#include "core/dtmf/dtmf_key_reader.h"
#include "core/storage/ini_file.h"
#include "pcm_wav.h"

namespace {

int Fail(const QString& message) {
  std::fprintf(stderr, "tarvok-dtmf: %s\n", qPrintable(message));
  return 1;
}

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("tarvok-dtmf"));
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "Decodes the DTMF keys of a 16-bit PCM mono WAV file at 8000 samples per second, in "
      "blocks of 2048 samples as the station does, and prints one line per key: the time it "
      "began in seconds and the key. Samples after the last whole block are not analysed."));
  parser.addHelpOption();
  const QCommandLineOption levelOption(
      {QStringLiteral("l"), QStringLiteral("level")},
      QStringLiteral("Detection level in level units (default 10)."), QStringLiteral("N"),
      QStringLiteral("10"));
  const QCommandLineOption decoderOption(
      {QStringLiteral("d"), QStringLiteral("decoder")},
      QStringLiteral("standard (the default) or block: the station's decoders."),
      QStringLiteral("NAME"), tarvok::DtmfDecoderName(tarvok::TDtmfDecoderKind::Standard));
  const QCommandLineOption filterOption(
      {QStringLiteral("f"), QStringLiteral("filter")},
      QStringLiteral("Run every block through the equalizer with the steps of section [Filter] "
                     "of this settings file."),
      QStringLiteral("SETTINGS"));
  const QCommandLineOption outputOption(
      {QStringLiteral("o"), QStringLiteral("output")},
      QStringLiteral("With --filter: write the equalized audio to this WAV file."),
      QStringLiteral("WAV"));
  parser.addOptions({levelOption, decoderOption, filterOption, outputOption});
  parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("The WAV file to decode."));
  parser.process(app);

  if (parser.positionalArguments().size() != 1)
    return Fail(QStringLiteral("give one WAV file (see --help)"));
  bool levelOk = false;
  const int level = parser.value(levelOption).toInt(&levelOk);
  if (!levelOk)
    return Fail(
        QStringLiteral("the level must be an integer, not \"%1\"").arg(parser.value(levelOption)));
  const std::optional<tarvok::TDtmfDecoderKind> kind =
      tarvok::DtmfDecoderFromName(parser.value(decoderOption));
  if (!kind)
    return Fail(QStringLiteral("the decoder is standard or block, not \"%1\"")
                    .arg(parser.value(decoderOption)));
  const bool equalize = parser.isSet(filterOption);
  if (parser.isSet(outputOption) && !equalize)
    return Fail(QStringLiteral("--output needs --filter"));

  tarvok::TDigitalFilter detector;
  detector.SetLevel(level);
  if (equalize) {
    const QString settings = parser.value(filterOption);
    if (!QFileInfo(settings).isFile() || !QFileInfo(settings).isReadable())
      return Fail(QStringLiteral("cannot read the settings file %1").arg(settings));
    detector.Load(tarvok::TIniFile(settings));
  }

  QString error;
  std::vector<std::int16_t> samples;
  if (!tarvok::ReadPcmWav(parser.positionalArguments().front(), samples, error))
    return Fail(error);
  std::vector<std::int16_t> equalized;
  tarvok::TDtmfKeyReader reader(*kind);
  for (const tarvok::TDecodedKey& key :
       tarvok::DecodeBlocks(samples, detector, reader, equalize ? &equalized : nullptr))
    std::printf("%.3f %c\n", key.Seconds, key.Key);
  if (parser.isSet(outputOption) &&
      !tarvok::WritePcmWav(parser.value(outputOption), equalized, error))
    return Fail(error);
  return 0;
}
