// One reading of the system, in parts: the process entries (with the
// reading of the figures that named them), then the application entries;
// or a reading of the figures alone. The same job runs on the worker's
// thread (NT family) and on the window's (9x family, or where no thread can
// be made); either way each part goes to one handler, TForm1::TakePart.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>

#include "procinfo/figure_reader.h"
#include "procinfo/figures.h"
#include "model/snapshot.h"
#include "productinfo/resolve.h"

struct ReloadPart {
  enum class Kind { Processes, Applications, Figures };
  Kind kind = Kind::Figures;
  // Processes: the process lines, icons, names, times and files;
  // Applications: the application lines.
  Snapshot snapshot;
  FigureSampler figures;  // the reading taken with it (not with Applications)
};

class ReloadJob {
 public:
  using Deliver = std::function<void(std::unique_ptr<ReloadPart>)>;
  ReloadJob();
  ReloadJob(const ReloadJob&) = delete;
  ReloadJob& operator=(const ReloadJob&) = delete;

  // Both parts of a reload. Once `*stop` is set (by another thread), no
  // more files or processes are read and titles come from the text the
  // system keeps. The icons a part holds are the job's, valid until the
  // next reload.
  void Reload(const FixedEntries& fixed, const volatile LONG* stop, const Deliver& deliver);
  // A reading of the figures (none on the 9x family, which keeps no times).
  void Figures(const Deliver& deliver);

 private:
  bool ReadFigures();

  ResolveCache facts_;
  ImagePathMemory paths_;
  FigureSampler sampler_;
  FigureReader reader_;
  const bool ntFamily_;
};
