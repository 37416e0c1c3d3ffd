// Subtitle bytes to Unicode code points by a Windows font charset, through glibc iconv.
#include "render/charset_decoder.h"

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "base/ascii_text.h"
#include "base/utf8_text.h"
#include "render/name_tables.h"

namespace quillet {
namespace {

const iconv_t kNoDescriptor = reinterpret_cast<iconv_t>(-1);

bool IsUtf8Name(std::string_view codeset) {
  return EqualsIgnoringAsciiCase(codeset, "UTF-8") || EqualsIgnoringAsciiCase(codeset, "UTF8");
}

bool IsAsciiName(std::string_view codeset) {
  return codeset.empty() || codeset == "ANSI_X3.4-1968" || codeset == "ASCII" || codeset == "US-ASCII";
}

// Appends the UTF-32LE bytes in out[0, used) to text.
void AppendUtf32(const std::vector<char>& out, std::size_t used, std::u32string& text) {
  for (std::size_t i = 0; i + 3 < used; i += 4) {
    const auto* b = reinterpret_cast<const unsigned char*>(out.data() + i);
    text.push_back(static_cast<char32_t>(b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24)));
  }
}

// Whether every byte below 0x80 is the ASCII character in the code page the charset reads with.
bool AsciiTransparent(uint8_t charset, const std::string& defaultCodeset);

}  // namespace

std::string_view CodePageOfCharset(uint8_t charset) {
  const CharsetInfo* row = FindCharset(charset);
  return row != nullptr ? row->codePage : std::string_view();
}

TextCharacters CharactersOfCharset(uint8_t charset, const std::string& defaultCodeset) {
  if (charset == kCharsetSymbol) return TextCharacters();
  const std::string_view codePage = CodePageOfCharset(charset);
  if (!codePage.empty()) return TextCharacters(std::string(codePage));
  return TextCharacters(IsAsciiName(defaultCodeset) ? UserCodeset() : defaultCodeset);
}

bool FindsCodePageFromText(uint8_t charset, const std::string& defaultCodeset) {
  if (charset != kCharsetDefault && FindCharset(charset) != nullptr) return false;
  return IsUtf8Name(IsAsciiName(defaultCodeset) ? UserCodeset() : defaultCodeset);
}

std::string UserCodeset() {
  locale_t user = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0));
  if (user == static_cast<locale_t>(0)) return "UTF-8";
  std::string codeset = nl_langinfo_l(CODESET, user);
  freelocale(user);
  return IsAsciiName(codeset) ? "UTF-8" : codeset;
}

namespace {

bool AsciiTransparent(uint8_t charset, const std::string& defaultCodeset) {
  const CharsetInfo* row = FindCharset(charset);
  if (row == nullptr || charset == kCharsetDefault) return IsUtf8Name(defaultCodeset);
  return row->asciiBelow80;
}

}  // namespace

CharsetDecoder::CharsetDecoder(std::string defaultCodeset)
    : m_defaultCodeset(IsAsciiName(defaultCodeset) ? UserCodeset() : std::move(defaultCodeset)) {}

CharsetDecoder::~CharsetDecoder() {
  for (auto& [name, cd] : m_descriptors) {
    if (cd != nullptr) iconv_close(static_cast<iconv_t>(cd));
  }
}

void* CharsetDecoder::Descriptor(const std::string& codePage) {
  auto found = m_descriptors.find(codePage);
  if (found != m_descriptors.end()) return found->second;
  iconv_t cd = iconv_open("UTF-32LE", codePage.c_str());
  void* stored = cd == kNoDescriptor ? nullptr : static_cast<void*>(cd);
  m_descriptors.emplace(codePage, stored);
  return stored;
}

std::optional<std::u32string> CharsetDecoder::DecodeWith(const std::string& codePage, std::string_view bytes,
                                                         bool strict) {
  void* handle = Descriptor(codePage);
  if (handle == nullptr) return std::nullopt;
  auto cd = static_cast<iconv_t>(handle);
  iconv(cd, nullptr, nullptr, nullptr, nullptr);  // back to the initial shift state

  std::u32string text;
  text.reserve(bytes.size());
  // Some converters (CP1255, CP1258) hold a base letter back until they see whether a combining mark follows;
  // the output buffer therefore gets room for a few code points more than the input has bytes.
  std::vector<char> out(4 * (bytes.size() + 8));
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();

  auto drain = [&](bool flush) {
    while (true) {
      char* outPtr = out.data();
      std::size_t outLeft = out.size();
      std::size_t result =
          flush ? iconv(cd, nullptr, nullptr, &outPtr, &outLeft) : iconv(cd, &in, &inLeft, &outPtr, &outLeft);
      const int error = result == static_cast<std::size_t>(-1) ? errno : 0;
      AppendUtf32(out, out.size() - outLeft, text);
      if (error != E2BIG) return error;
      // The buffer was full: what was converted is appended; go on with the rest.
    }
  };

  while (true) {
    const int error = drain(false);
    if (error == 0) break;
    if (strict) return std::nullopt;
    // EILSEQ (undefined byte) or EINVAL (sequence cut off at the end): what came before goes out first, then the
    // byte itself as a code point.
    drain(true);
    text.push_back(static_cast<char32_t>(static_cast<unsigned char>(*in)));
    ++in;
    --inLeft;
    if (inLeft == 0) break;
  }
  if (drain(true) != 0 && strict) return std::nullopt;
  return text;
}

std::u32string CharsetDecoder::DecodeUtf8(std::string_view bytes) {
  if (auto text = DecodeWith("UTF-8", bytes, false)) return *text;
  std::u32string text;  // iconv lacks UTF-8: bytes as code points
  for (char c : bytes) text.push_back(static_cast<char32_t>(static_cast<unsigned char>(c)));
  return text;
}

std::string EncodeInCodeset(std::u32string_view text, const std::string& codeset) {
  std::string out;
  if (IsUtf8Name(codeset)) {
    for (char32_t c : text) AppendUtf8(out, c);
    return out;
  }
  iconv_t cd = iconv_open(codeset.c_str(), "UTF-32LE");
  if (cd == kNoDescriptor) {
    for (char32_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
  }
  for (char32_t c : text) {
    char in[4] = {static_cast<char>(c & 0xFF), static_cast<char>((c >> 8) & 0xFF), static_cast<char>((c >> 16) & 0xFF),
                  static_cast<char>((c >> 24) & 0xFF)};
    char buffer[16];
    char* inPtr = in;
    char* outPtr = buffer;
    std::size_t inLeft = sizeof in, outLeft = sizeof buffer;
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
      out += '?';
    } else {
      out.append(buffer, sizeof buffer - outLeft);
    }
  }
  iconv_close(cd);
  return out;
}

std::u32string CharsetDecoder::Decode(std::string_view bytes, uint8_t charset) {
  // Plain ASCII reads the same in UTF-8 and in the single-byte code pages; it needs no converter.
  const bool ascii = std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; });
  if (ascii && (charset == kCharsetSymbol || AsciiTransparent(charset, m_defaultCodeset))) {
    return std::u32string(bytes.begin(), bytes.end());
  }
  if (charset == kCharsetSymbol) {
    std::u32string text;
    text.reserve(bytes.size());
    for (char c : bytes) text.push_back(static_cast<char32_t>(static_cast<unsigned char>(c)));
    return text;
  }
  std::string_view codePage = CodePageOfCharset(charset);
  if (!codePage.empty()) {
    if (auto text = DecodeWith(std::string(codePage), bytes, false)) return *text;
  } else if (auto text = DecodeWith(m_defaultCodeset, bytes, true)) {
    return *text;
  }
  if (auto text = DecodeWith("CP1252", bytes, false)) return *text;
  // iconv lacks even CP1252: bytes as code points.
  std::u32string text;
  for (char c : bytes) text.push_back(static_cast<char32_t>(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace quillet
