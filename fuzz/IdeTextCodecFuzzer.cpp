// The IDE's source file codec: any bytes, decoded and encoded again in the format they came in,
// give the same bytes back, and decoding them again gives the same text and format.
#include <cstdint>
#include <cstdlib>

#include "model/files/TextCodec.h"

using namespace vexa::ide;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const TDecodedText decoded = DecodeText(bytes);
  if (decoded.Format.Bom && decoded.Format.Encoding != TTextEncoding::Utf8) std::abort();

  TTextFormat format = decoded.Format;
  const QByteArray written = EncodeText(decoded.Text, format);
  if (!(format == decoded.Format)) std::abort();
  if (written != bytes) std::abort();

  const TDecodedText again = DecodeText(written);
  if (again.Text != decoded.Text || !(again.Format == decoded.Format)) std::abort();
  return 0;
}
