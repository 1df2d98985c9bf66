// Stopping a process tree from the process tab's entry menu: the process and
// its descendants, listed in a confirmation, then stopped the deepest first.
#include "app/message_dialog.h"
#include "app/texts.h"
#include "app/unit1.h"
#include "procinfo/process_ops.h"
#include "procinfo/process_tree.h"

namespace {

// Each process's end is awaited before the next is stopped, this long at most.
constexpr DWORD kEndWaitMs = 2000;

std::string NameAndId(const ProcessRecord& p) { return p.name + " (" + std::to_string(p.id) + ")"; }

// "name (ID)", indented by its depth; marked where it cannot be stopped.
std::string MemberLine(const TreeMember& m, bool stoppable) {
  std::string line;
  for (int i = 0; i < m.depth; ++i) line += texts::kTreeIndent;
  line += NameAndId(m.process);
  if (!stoppable) line += texts::kTreeCannotStop;
  return line;
}

uint64_t TimeOf(const FILETIME& t) {
  return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

}  // namespace

void TForm1::StopEntryTree() {
  const TQorSvc* entry = CurrentTab == ListTab::Processes ? SelectedEntry() : nullptr;
  if (!entry || !StopAllowed() || RefuseReplaced(*entry)) return;
  const std::vector<TreeMember> tree =
      ProcessTree(ReadProcessRecords(), entry->idProcess, GetCurrentProcessId());
  const FILETIME* listed = SelectedCreated();
  if (tree.empty() || (listed && tree.front().process.created &&
                       tree.front().process.created != TimeOf(*listed))) {
    Reload();  // the listed process has ended since: so has its entry
    return;
  }
  std::string text = texts::kTreeConfirm;
  for (const TreeMember& m : tree) {
    text += "\r\n";
    text += MemberLine(m, CanStop(m.process.id));
  }
  if (AlignedMessageDlg(hwnd(), text, DialogType::Confirmation) != IDYES) return;
  std::string failed;
  for (const TreeMember& m : DeepestFirst(tree)) {
    if (StopAndWait(m.process.id, m.process.created, kEndWaitMs)) continue;
    failed += ' ';
    failed += NameAndId(m.process);
  }
  if (failed.empty()) return Reload();
  // Said once the reload is in: its end puts back the usual status.
  ReloadThen([this, failed] { StatusBar1.SetStatus(texts::kStatusNotStopped + failed); });
}
