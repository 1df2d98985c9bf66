#include "productinfo/home_page.h"


#include <cstring>
#include <vector>

#include "productinfo/qorfunc.h"
#include "productinfo/version_text.h"

namespace {

constexpr char kService[] = "IExplore";
constexpr char kTopic[] = "WWW_openUrl";
constexpr char kBrowserPath[] = "\\Internet Explorer\\IEXPLORE.EXE";
constexpr char kVersionKey[] = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

HDDEDATA CALLBACK DdeCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
  return nullptr;
}

// A DDE string handle, freed with the instance it belongs to.
class DdeString {
 public:
  DdeString(DWORD inst, const char* text)
      : inst_(inst), hsz_(DdeCreateStringHandleA(inst, text, CP_WINANSI)) {}
  ~DdeString() {
    if (hsz_) DdeFreeStringHandle(inst_, hsz_);
  }
  DdeString(const DdeString&) = delete;
  DdeString& operator=(const DdeString&) = delete;
  HSZ get() const { return hsz_; }

 private:
  DWORD inst_;
  HSZ hsz_;  // owned
};

}  // namespace

DWORD DdeSession::Instance() {
  DWORD inst = 0;
  if (!instance_ && DdeInitializeA(&inst, DdeCallback, APPCMD_CLIENTONLY, 0) == DMLERR_NO_ERROR)
    instance_.reset(inst);
  return instance_.get();
}

int OpenUrlInBrowser(DdeSession* dde, const std::string& url) {
  if (!dde || !dde->Instance()) return -1;
  const DWORD inst = dde->Instance();
  std::string browser;
  GetProgramFilesDir(browser);
  browser += kBrowserPath;
  ExpandEnvVar(browser);
  DdeString service(inst, kService), topic(inst, kTopic);
  CONVCONTEXT context{};
  context.cb = sizeof context;
  context.iCodePage = CP_WINANSI;
  HCONV conv = DdeConnect(inst, service.get(), topic.get(), &context);
  if (!conv) {
    // Quoted, so that a blank in the path cannot start another program.
    const std::string command = "\"" + browser + "\"";
    if (WinExec(command.c_str(), SW_SHOWMINNOACTIVE) > 31)
      conv = DdeConnect(inst, service.get(), topic.get(), &context);
  }
  if (!conv) return -1;
  int result = -1;
  const std::string command = OpenUrlCommand(url);
  HDDEDATA data = DdeCreateDataHandle(inst, reinterpret_cast<LPBYTE>(const_cast<char*>(command.c_str())),
                                      static_cast<DWORD>(command.size() + 1), 0, nullptr, CF_TEXT, 0);
  DWORD transaction = 0;
  if (data && DdeClientTransaction(reinterpret_cast<LPBYTE>(data), static_cast<DWORD>(-1), conv,
                                   nullptr, CF_TEXT, XTYP_EXECUTE, TIMEOUT_ASYNC, &transaction))
    result = 0;
  DdeDisconnect(conv);
  return result;
}

void GetProgramFilesDir(std::string& dir) {
  ReadRegString(HKEY_LOCAL_MACHINE, kVersionKey, "ProgramFilesDir", dir);
}

int ReadRegString(HKEY root, const std::string& keyPath, const std::string& valueName,
                  std::string& value) {
  value.clear();
  std::string path = (!keyPath.empty() && keyPath[0] == '\\') ? keyPath.substr(1) : keyPath;
  HKEY key = nullptr;
  const REGSAM rights[] = {KEY_READ, STANDARD_RIGHTS_READ | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS,
                           KEY_QUERY_VALUE};
  // Opened is what the call says: a failed call may leave anything in `key`.
  bool opened = false;
  for (REGSAM access : rights)
    if ((opened = RegOpenKeyExA(root, path.c_str(), 0, access, &key) == ERROR_SUCCESS)) break;
  if (!opened) return -1;
  base::UniqueKey owned(key);
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(key, valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
    return -1;
  if ((type == REG_SZ || type == REG_EXPAND_SZ) && size > 0) {
    std::vector<char> buf(size + 1, '\0');
    DWORD got = size;
    if (RegQueryValueExA(key, valueName.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(buf.data()), &got) == ERROR_SUCCESS)
      value = std::string(buf.data(), strnlen(buf.data(), std::min<size_t>(got, size)));
  }
  return 0;
}
