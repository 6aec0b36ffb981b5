// The IDE's source file codec: any bytes, decoded and encoded again in the format they came in,
// give the same bytes back, and decoding them again gives the same text and format; under both
// rules for ASCII files, which differ in nothing but the encoding of such a file.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "model/core/TextCodec.h"

using namespace vexa::ide;

namespace {

TDecodedText CheckRoundTrip(const QByteArray& bytes, TTextEncoding ascii) {
  const TDecodedText decoded = DecodeText(bytes, ascii);
  if (decoded.Format.Bom && decoded.Format.Encoding != TTextEncoding::Utf8) std::abort();

  TTextFormat format = decoded.Format;
  const QByteArray written = EncodeText(decoded.Text, format);
  if (!(format == decoded.Format)) std::abort();
  if (written != bytes) std::abort();
  if (EncodeWithoutBom(decoded.Text, decoded.Format.Encoding) !=
      (decoded.Format.Bom ? bytes.sliced(3) : bytes))
    std::abort();

  const TDecodedText again = DecodeText(written, ascii);
  if (again.Text != decoded.Text || !(again.Format == decoded.Format)) std::abort();
  return decoded;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const TDecodedText plain = CheckRoundTrip(bytes, TTextEncoding::Utf8);
  const TDecodedText source = CheckRoundTrip(bytes, TTextEncoding::Windows1252);
  if (source.Text != plain.Text) std::abort();
  const bool ascii =
      std::all_of(bytes.begin(), bytes.end(), [](char b) { return (b & 0x80) == 0; });
  TTextFormat expected = plain.Format;
  if (ascii) expected.Encoding = TTextEncoding::Windows1252;
  if (!(source.Format == expected)) std::abort();
  return 0;
}
