// What each field of the details window shows, read from the system: the
// image facts once, the figures every second, the modules on 再読込. On the
// NT family the figures come from the whole-system process list (under Wine
// the per-process calls give nothing true for another process); on the 9x
// family only what ToolHelp gives, and nothing estimated.
#include <cstdio>

#include "app/details/details_window.h"
#include "app/texts.h"
#include "base/shown_text.h"
#include "procinfo/module_list.h"
#include "procinfo/priority_class.h"
#include "procinfo/process_api.h"
#include "procinfo/process_counters.h"
#include "procinfo/process_image.h"
#include "procinfo/toolhelp_processes.h"
#include "productinfo/qorfunc.h"

namespace {

using namespace detail_text;

std::wstring ParamsValue(const ParamsText& t) {
  switch (t.state) {
    case ParamsText::State::Read: return Visible(std::wstring(t.text.begin(), t.text.end()));
    case ParamsText::State::Malformed: return kForged;
    default: return kUnread;
  }
}

std::wstring PriorityValue(uint32_t cls) {
  for (int i = 0; i < 6; ++i)
    if (kPriorityClasses[i] == cls) return WideText(texts::kPriorityItems[i]);
  return kUnread;
}

std::wstring LocalTimeText(uint64_t created) {
  FILETIME utc{static_cast<DWORD>(created), static_cast<DWORD>(created >> 32)}, local;
  SYSTEMTIME t;
  if (created == 0 || !FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &t))
    return kUnread;
  return DateTimeText(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
}

std::wstring Hex(uint64_t v, int digits) {
  wchar_t buf[24];
  std::swprintf(buf, 24, L"0x%0*llX", digits, static_cast<unsigned long long>(v));
  return buf;
}

// The system's records carry I/O counters from Windows 2000 (NT 5) on.
bool ListHasIo() { return Windows2000OrLater(); }

}  // namespace

ImageFacts ReadImageFacts(const DetailsSubject& subject, bool nt) {
  ImageFacts facts;
  // A file without a version resource has none of its texts: they stay empty.
  if (!subject.path.empty()) ReadProductInfo(subject.path, facts.info);
  facts.image = ReadProcessImage(subject.pid);
  facts.processes = ReadToolhelpProcesses();
  if (nt) facts.listRead = facts.reader.Read(facts.sampler);
  return facts;
}

void DetailsWindow::ReadImage() {
  SetValue(kDfImageName, subject_.name);
  SetValue(kDfPath, subject_.path.empty() ? kUnread : subject_.path);
  const DetailsSubject subject = subject_;
  const bool nt = nt_;
  imageReading_.Start(hwnd(), kWmImageRead,
                      [subject, nt](const volatile LONG*) { return ReadImageFacts(subject, nt); });
}

void DetailsWindow::ShowImage(ImageFacts facts) {
  const bool known = !subject_.path.empty();
  const TQorProductInfo& info = facts.info;
  SetValue(kDfCompany, known ? WideText(info.CompanyName) : kUnread);
  SetValue(kDfDescription, known ? WideText(info.FileDescription) : kUnread);
  SetValue(kDfVersion, known ? WideText(info.FileVersion) : kUnread);
  const ProcessImage& image = facts.image;
  bits_ = image.bits;
  const wchar_t* cannot = image.access == ProcessImage::Access::Ended ? kEnded : kDenied;
  const bool open = image.access == ProcessImage::Access::Open;
  SetValue(kDfPriority, open ? PriorityValue(image.priorityClass) : cannot);
  const auto& processes = facts.processes;
  reader_ = std::move(facts.reader);
  sampler_ = std::move(facts.sampler);
  if (!nt_) {
    for (int f : {kDfCommandLine, kDfFolder, kDfStarted, kDfUser}) SetValue(f, kNotOnThisSystem);
    SetValue(kDfBits, L"32 ビット");
    auto self = processes.find(subject_.pid);
    if (self == processes.end()) return SetValue(kDfParent, kEnded);
    SetValue(kDfPriority, shown_[kDfPriority] + L" (基本優先度 " +
                              std::to_wstring(self->second.basePriority) + L")");
    auto parent = processes.find(self->second.parentPid);
    SetValue(kDfParent, ParentText(parent == processes.end() ? L"" : parent->second.name,
                                   self->second.parentPid, parent == processes.end()));
    return;
  }
  SetValue(kDfCommandLine, open ? ParamsValue(image.params.commandLine) : cannot);
  SetValue(kDfFolder, open ? ParamsValue(image.params.currentFolder) : cannot);
  SetValue(kDfUser, !open ? cannot : image.user.empty() ? kUnread : image.user);
  SetValue(kDfBits, image.bits == 64 ? L"64 ビット" : image.bits == 32 ? L"32 ビット" : cannot);
  // Start and parent from the system's list: the parent has ended when its
  // identifier is gone, or now names a process started after this one.
  ProcessCounters self;
  if (!facts.listRead ||
      !FindProcessCounters(kOwnProcessList, reader_.Data(), reader_.Size(), subject_.pid, false, self)) {
    for (int f : {kDfStarted, kDfParent}) SetValue(f, reader_.Size() ? kEnded : kUnread);
    return;
  }
  created_ = self.created;
  SetValue(kDfStarted, LocalTimeText(self.created));
  auto named = processes.find(self.parentPid);
  SetValue(kDfParent, ParentText(named == processes.end() ? L"" : named->second.name, self.parentPid,
                                 ParentEnded(kOwnProcessList, reader_.Data(), reader_.Size(), self.parentPid, self.created)));
}

void DetailsWindow::ShowLive() {
  if (ended_) return;
  if (!nt_) {
    const auto processes = ReadToolhelpProcesses();
    auto self = processes.find(subject_.pid);
    if (self == processes.end()) return ShowEnded();
    SetValue(kDfThreads, Grouped(self->second.threads));
    for (int f = kDfFirstLive; f < kDfCount; ++f)
      if (f != kDfThreads) SetValue(f, kNotOnThisSystem);
    return;
  }
  static const bool withIo = ListHasIo();
  ProcessCounters c;
  if (reader_.Size() == 0) {
    for (int f = kDfFirstLive; f < kDfCount; ++f) SetValue(f, kUnread);
    return;
  }
  if (!FindProcessCounters(kOwnProcessList, reader_.Data(), reader_.Size(), subject_.pid, withIo, c) ||
      (created_ != 0 && c.created != created_))
    return ShowEnded();
  SetValue(kDfCpuNow, ShareText(sampler_.Of(subject_.pid, created_).cpuTenths));
  SetValue(kDfCpuUser, DurationText(c.userTime));
  SetValue(kDfCpuKernel, DurationText(c.kernelTime));
  SetValue(kDfCpuTotal, DurationText(c.userTime + c.kernelTime));
  SetValue(kDfPrivate, KilobytesText(c.privateBytes));
  SetValue(kDfWorkingSet, KilobytesText(c.workingSet));
  SetValue(kDfPeakWorkingSet, KilobytesText(c.peakWorkingSet));
  SetValue(kDfPageFaults, Grouped(c.pageFaults));
  SetValue(kDfThreads, Grouped(c.threads));
  // The process list's own count: the system's handle table is never read
  // (its records keep a 16-bit owner, and Wine 8's server can fall over
  // walking it while a process starts).
  SetValue(kDfHandles, Grouped(c.handles));
  SetValue(kDfReads, withIo ? IoText(c.reads) : kNotOnThisSystem);
  SetValue(kDfWrites, withIo ? IoText(c.writes) : kNotOnThisSystem);
  SetValue(kDfOthers, withIo ? IoText(c.others) : kNotOnThisSystem);
}

void DetailsWindow::ReadLive() {
  if (nt_ && !reader_.Read(sampler_)) {
    for (int f = kDfFirstLive; f < kDfCount; ++f) SetValue(f, kUnread);
    return;
  }
  ShowLive();
}

static std::wstring ReadModuleRows(DWORD pid, int bits, const volatile LONG* stop) {
  const ModuleList list = ReadModules(pid, bits, [stop] { return *stop != 0; });
  switch (list.state) {
    case ModuleList::State::Denied: return kDenied;
    case ModuleList::State::Ended: return kEnded;
    case ModuleList::State::Wider: return WideText(texts::kModulesOf64Bit);
    case ModuleList::State::Read: break;
  }
  // Said first: a list cut short is as long as the window takes.
  std::wstring rows = list.cut ? WideText(texts::kModulesCut) + L"\r\n" : L"";
  for (const ModuleEntry& m : list.modules) {
    if (*stop) break;
    // The file the system mapped, where it says; never a share, a device or a pipe.
    const ShownVersionTexts v =
        OnLocalDrive(m.file) && IsRegularFile(m.file) ? ReadShownVersionTexts(m.file) : ShownVersionTexts{};
    rows += ModuleRow({m.name, Hex(m.base, 8), KilobytesText(m.size), m.path, WideText(v.Company),
                       WideText(v.Description)});
  }
  return rows;
}

void DetailsWindow::ReadModuleList() {
  moduleText_.clear();
  moduleShown_ = 0;
  modules_.SetText(std::string(texts::kLoading));
  const DWORD pid = subject_.pid;
  const int bits = bits_;
  moduleReading_.Start(hwnd(), kWmModulesRead,
                       [pid, bits](const volatile LONG* stop) { return ReadModuleRows(pid, bits, stop); });
}

void DetailsWindow::ShowModuleRows(std::wstring rows) {
  moduleText_ = std::move(rows);
  moduleShown_ = 0;
  modules_.SetText(std::string());
  ShowMoreModuleRows();
}

// A long list goes into its field a part at a time, each in a message of its
// own: laid out whole, 1,024 rows held every window of the thread ~200 ms.
void DetailsWindow::ShowMoreModuleRows() {
  constexpr int kRowsAtOnce = 64;
  if (moduleShown_ >= moduleText_.size()) return;
  size_t end = moduleShown_;
  for (int n = 0; n < kRowsAtOnce && end != std::wstring::npos; ++n) {
    end = moduleText_.find(L'\n', end);
    if (end != std::wstring::npos) ++end;
  }
  if (end == std::wstring::npos) end = moduleText_.size();
  modules_.Append(moduleText_.substr(moduleShown_, end - moduleShown_));
  moduleShown_ = end;
  if (moduleShown_ < moduleText_.size()) PostMessageA(hwnd(), kWmModulesMore, 0, 0);
}
