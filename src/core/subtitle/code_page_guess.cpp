// The code page of 8-bit subtitle text found from the text itself (uchardet), and text in a code page as UTF-8.
#include "subtitle/code_page_guess.h"

#include <iconv.h>
#include <uchardet.h>

#include <cerrno>
#include <memory>
#include <type_traits>
#include <vector>

#include "base/ascii_text.h"
#include "base/utf8_text.h"

namespace quillet {
namespace {

// uchardet's names of the code pages the charset list offers, with the code page each is read in: a superset
// where uchardet names the smaller set (UHC holds EUC-KR, GBK holds GB2312, CP932 and CP950 hold the vendors'
// additions), so that every character the judged file holds decodes. uchardet names the ISO 8859 sibling of a
// Western, Greek, Turkish or Hebrew Windows file (a French CP1252 file is "ISO-8859-1"): those are read in the
// Windows code page of the list, which holds the same letters at the same bytes.
constexpr struct {
  std::string_view uchardetName;
  std::string_view codePage;
  std::string_view name;
} kFound[] = {
    {"SHIFT_JIS", "CP932", "Shift-JIS"},
    {"BIG5", "CP950", "Big5"},
    {"GB18030", "CP936", "GBK"},
    {"GB2312", "CP936", "GBK"},
    {"EUC-KR", "CP949", "EUC-KR"},
    {"UHC", "CP949", "EUC-KR"},
    {"WINDOWS-1250", "CP1250", "Windows-1250"},
    {"WINDOWS-1251", "CP1251", "Windows-1251"},
    {"WINDOWS-1252", "CP1252", "Windows-1252"},
    {"WINDOWS-1253", "CP1253", "Windows-1253"},
    {"WINDOWS-1254", "CP1254", "Windows-1254"},
    {"WINDOWS-1255", "CP1255", "Windows-1255"},
    {"WINDOWS-1256", "CP1256", "Windows-1256"},
    {"WINDOWS-1257", "CP1257", "Windows-1257"},
    {"WINDOWS-1258", "CP1258", "Windows-1258"},
    {"TIS-620", "CP874", "Thai (Windows-874)"},
    {"ISO-8859-1", "CP1252", "Windows-1252"},
    {"ISO-8859-7", "CP1253", "Windows-1253"},
    {"ISO-8859-8", "CP1255", "Windows-1255"},
    {"ISO-8859-9", "CP1254", "Windows-1254"},
};

struct DetectorFree {
  void operator()(uchardet_t detector) const { uchardet_delete(detector); }
};

}  // namespace

std::optional<FoundCodePage> FindCodePage(std::string_view text) {
  std::unique_ptr<std::remove_pointer_t<uchardet_t>, DetectorFree> detector(uchardet_new());
  if (!detector) return std::nullopt;
  if (uchardet_handle_data(detector.get(), text.data(), text.size()) != 0) return std::nullopt;
  uchardet_data_end(detector.get());
  const std::string_view judged = uchardet_get_charset(detector.get());
  for (const auto& row : kFound) {
    if (EqualsIgnoringAsciiCase(judged, row.uchardetName))
      return FoundCodePage{std::string(row.codePage), std::string(row.name)};
  }
  return std::nullopt;
}

std::string CodePageToUtf8(std::string_view text, const std::string& codePage) {
  std::string utf8;
  utf8.reserve(text.size() * 3 / 2);
  iconv_t cd = iconv_open("UTF-8", codePage.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    for (char c : text) AppendUtf8(utf8, static_cast<unsigned char>(c));
    return utf8;
  }
  std::vector<char> buffer(4096);
  // Converts what it can (all of it, or up to an undefined byte); the error that stopped it, 0 for none.
  auto convert = [&](char** in, std::size_t* inLeft) {
    while (true) {
      char* out = buffer.data();
      std::size_t outLeft = buffer.size();
      const bool failed = iconv(cd, in, inLeft, &out, &outLeft) == static_cast<std::size_t>(-1);
      const int error = failed ? errno : 0;
      utf8.append(buffer.data(), buffer.size() - outLeft);
      if (error != E2BIG) return error;
    }
  };
  char* in = const_cast<char*>(text.data());
  std::size_t inLeft = text.size();
  while (inLeft > 0 && convert(&in, &inLeft) != 0 && inLeft > 0) {
    // An undefined byte, or a sequence cut off at the end: what came before it first (CP1255 and CP1258 hold a
    // letter back for a mark that may follow), then the byte itself, then on after it.
    convert(nullptr, nullptr);
    AppendUtf8(utf8, static_cast<unsigned char>(*in));
    ++in;
    --inLeft;
  }
  convert(nullptr, nullptr);
  iconv_close(cd);
  return utf8;
}

}  // namespace quillet
