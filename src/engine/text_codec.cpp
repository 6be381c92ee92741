#include "engine/text_codec.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace eng {

namespace {

// Converts with iconv, skipping every character the target cannot hold
// (and any malformed input byte), so nothing aborts the whole text.
std::string Convert(const char* to, const char* from, std::string_view in) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string();
  std::string out;
  std::vector<char> buf(in.size() * 4 + 16);
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  while (srcLeft > 0) {
    char* dst = buf.data();
    size_t dstLeft = buf.size();
    const size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    out.append(buf.data(), dst);
    if (r != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) continue;
    // EILSEQ or EINVAL: drop one input character and go on.
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    // From UTF-8, a whole character goes: its lead byte and what follows it.
    size_t skip = 1;
    if (std::string_view(from) == "UTF-8")
      while (skip < srcLeft && (static_cast<unsigned char>(src[skip]) & 0xC0) == 0x80) ++skip;
    src += skip;
    srcLeft -= skip;
  }
  iconv_close(cd);
  return out;
}

}  // namespace

std::string Utf8ToCp1251(std::string_view utf8) {
  bool ascii = true;
  for (char c : utf8) ascii &= static_cast<unsigned char>(c) < 0x80;
  if (ascii) return std::string(utf8);
  return Convert("CP1251", "UTF-8", utf8);
}

std::string Cp1251ToUtf8(std::string_view cp1251) {
  bool ascii = true;
  for (char c : cp1251) ascii &= static_cast<unsigned char>(c) < 0x80;
  if (ascii) return std::string(cp1251);
  return Convert("UTF-8", "CP1251", cp1251);
}

}  // namespace eng
