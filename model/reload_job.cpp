#include "model/reload_job.h"

#include <utility>

#include "model/entry_model.h"
#include "procinfo/process_api.h"

ReloadJob::ReloadJob() : ntFamily_(PlatformId() == VER_PLATFORM_WIN32_NT) {}

bool ReloadJob::ReadFigures() { return ntFamily_ && reader_.Read(sampler_); }

void ReloadJob::Reload(const FixedEntries& fixed, const volatile LONG* stop, const Deliver& deliver) {
  // One reading of the system's process list names the processes to list
  // and gives their figures: under Wine, EnumProcesses reads that whole list
  // again, and more than once while it grows its room.
  const bool first = !sampler_.HasReading();
  std::vector<DWORD> ids;
  const bool read = ReadFigures();
  if (read)
    for (uint32_t id : reader_.ProcessIds()) ids.push_back(id);
  facts_.NextReload();
  const FileResolver cached = CachedResolver(facts_);
  // Once stopping, no more files are read.
  const FileResolver resolve = [&](const ReportedPath& path) {
    return stop && *stop ? FileFacts{} : cached(path);
  };
  Snapshot s = TakeProcesses(fixed, resolve, &paths_, stop, read ? &ids : nullptr);
  // The first shares then cover the snapshot's time, not nothing.
  if (first) ReadFigures();
  auto processes = std::make_unique<ReloadPart>();
  processes->kind = ReloadPart::Kind::Processes;
  processes->snapshot.Processes = s.Processes;  // the applications part is made from them
  processes->snapshot.CreationTimes = std::move(s.CreationTimes);
  processes->snapshot.Files = std::move(s.Files);
  processes->figures = sampler_;
  deliver(std::move(processes));
  AddApplications(s, stop);
  auto applications = std::make_unique<ReloadPart>();
  applications->kind = ReloadPart::Kind::Applications;
  applications->snapshot.Applications = std::move(s.Applications);
  deliver(std::move(applications));
}

void ReloadJob::Figures(const Deliver& deliver) {
  ReadFigures();
  auto r = std::make_unique<ReloadPart>();
  r->kind = ReloadPart::Kind::Figures;
  r->figures = sampler_;
  deliver(std::move(r));
}
