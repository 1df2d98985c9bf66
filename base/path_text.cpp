#include "base/path_text.h"

#include <vector>

namespace {

constexpr size_t kEnvValueLimit = 260;

// Byte offsets of the characters of `text`, stepping over trail bytes.
template <typename F>
void ForEachChar(std::string_view text, F&& f) {
  for (size_t i = 0; i < text.size();) {
    bool lead = IsCp932LeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size();
    f(i, lead);
    i += lead ? 2 : 1;
  }
}

size_t CountOf(std::string_view text, char c) {
  size_t n = 0;
  for (char x : text) n += (x == c);
  return n;
}

bool IsSeparator(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  return c == ',' || (u >= 1 && u <= 32);
}

// First token of `text` split as comma/blank-delimited text with `quote`.
std::string FirstToken(std::string_view text, char quote) {
  size_t p = 0;
  while (p < text.size() && static_cast<unsigned char>(text[p]) >= 1 &&
         static_cast<unsigned char>(text[p]) <= 32)
    ++p;
  std::string token;
  if (p < text.size() && text[p] == quote) {
    for (++p; p < text.size(); ++p) {
      if (text[p] == quote) {
        if (p + 1 < text.size() && text[p + 1] == quote) {
          token += quote;
          ++p;
        } else {
          break;
        }
      } else {
        token += text[p];
      }
    }
    return token;
  }
  while (p < text.size() && !IsSeparator(text[p])) token += text[p++];
  return token;
}

// One quote-removal pass; false when the text holds no usable quotes.
bool UnquoteOnce(std::string& t) {
  size_t apos = t.find('\'');
  size_t colon = t.find(':');
  bool aCounts = apos != std::string::npos && colon != std::string::npos && colon > apos &&
                 CountOf(t, '\'') >= 2;
  size_t dq = t.find('"');
  bool dCounts = dq != std::string::npos && CountOf(t, '"') >= 2;
  if (!aCounts && !dCounts) return false;
  char quote = (aCounts && (!dCounts || apos < dq)) ? '\'' : '"';
  t = FirstToken(t, quote);
  return true;
}

void CutAt(std::string& t, size_t pos) {
  if (pos != std::string::npos && pos < t.size()) t.resize(pos);
}

}  // namespace

std::string LowerAscii(std::string_view text) {
  std::string out(text);
  ForEachChar(text, [&](size_t i, bool lead) {
    if (!lead && out[i] >= 'A' && out[i] <= 'Z') out[i] = static_cast<char>(out[i] - 'A' + 'a');
  });
  return out;
}

size_t FileNameStart(std::string_view path) {
  size_t start = 0;
  ForEachChar(path, [&](size_t i, bool lead) {
    if (!lead && (path[i] == '\\' || path[i] == ':')) start = i + 1;
  });
  return start;
}

void ExpandEnvVar(std::string& path, const TextEnv& env) {
  size_t open = path.find('%');
  if (open == std::string::npos) return;
  size_t close = path.find('%', open + 1);
  if (close == std::string::npos) return;
  std::string name = path.substr(open + 1, close - open - 1);
  std::string value;
  if (!env.getenv || !env.getenv(name, value) || value.size() >= kEnvValueLimit) value.clear();
  path = path.substr(0, open) + value + path.substr(close + 1);
}

void NormalizeExePath(std::string& path, const TextEnv& env) {
  std::string t = path;
  CutText(t, kMaxPathText);
  for (int pass = 0; pass < 4 && UnquoteOnce(t); ++pass) {
  }
  CutAt(t, t.find(','));
  if (t.find('%') != std::string::npos) {
    ExpandEnvVar(t, env);
    CutText(t, kMaxPathText);
  }
  size_t dot = t.find('.');
  if (dot != std::string::npos) CutAt(t, t.find(' ', dot));
  CutAt(t, t.find(' ', FileNameStart(t)));
  path = t;
}

std::wstring DrivePathOfMapped(std::wstring_view mapped,
                               const std::vector<std::pair<std::wstring, std::wstring>>& devices) {
  const std::wstring plain = WithoutNtPrefix(std::wstring(mapped));
  if (plain.size() != mapped.size()) return plain.size() > 2 && plain[1] == L':' ? plain : L"";
  for (const auto& [drive, device] : devices)
    if (!device.empty() && mapped.size() > device.size() && mapped.substr(0, device.size()) == device &&
        mapped[device.size()] == L'\\')
      return drive + std::wstring(mapped.substr(device.size()));
  return {};
}
