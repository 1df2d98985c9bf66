// The details window of one process: a modeless window of our own, owned by
// the main window, with the process's image facts, its performance figures
// (read again every second) and its modules. Every value is a read-only
// field; Ctrl+C copies them all as "label：value" lines, Esc and 閉じる
// close it. Written across two files:
//   details_window.cpp   creation, layout, keys, copy, close
//   details_reading.cpp  what each field shows, from the system
#pragma once
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/details/details_fields.h"
#include "app/details/background_read.h"
#include "procinfo/figure_reader.h"
#include "procinfo/figures.h"
#include "procinfo/process_image.h"
#include "procinfo/toolhelp_processes.h"
#include "productinfo/qorfunc.h"
#include "ui/bitmap_button.h"
#include "ui/edit.h"
#include "ui/gdi.h"
#include "ui/label.h"
#include "ui/window.h"

// What the main window knows of the process when it asks for its details.
struct DetailsSubject {
  DWORD pid = 0;
  std::wstring name, path;  // true forms; the path may be empty
};

// What the window reads once, off its thread, as it opens: the file's
// version texts, the process's image, ToolHelp's list and the first reading
// of the system's list (on the NT family).
struct ImageFacts {
  TQorProductInfo info;
  ProcessImage image;
  std::unordered_map<uint32_t, ToolhelpProcess> processes;
  FigureReader reader;
  FigureSampler sampler;
  bool listRead = false;
};

class DetailsWindow : public ui::Window {
 public:
  explicit DetailsWindow(const DetailsSubject& subject) : subject_(subject) {}
  // Makes, fills and shows the window; false when it could not be made.
  bool Open(HWND owner);
  DWORD Pid() const { return subject_.pid; }
  // From the message loop: the window's keys (Tab, Esc, Ctrl+C) for a
  // message to any details window; true when used.
  static bool PreTranslate(MSG& msg);

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void Build();           // a part of the fields, or the rest and the layout
  void BuildNow();        // every part left, and shown
  void Show();            // starts the reads and shows the window
  static constexpr UINT kWmBuild = WM_APP + 24, kWmShow = WM_APP + 25;
  bool CreateFields();    // the module list and the buttons
  void SetFonts();  // font_ on every component, labels sized to their text in it
  void DpiChanged(int dpi, const RECT& suggested);
  Box Layout(int dpi);  // places every field; returns the client area's size
  void ReadImage();     // the image facts, once: started here, they come with kWmImageRead
  void ShowImage(ImageFacts facts);
  static constexpr UINT kWmImageRead = WM_APP + 22;
  void ReadLive();      // the figures, every second
  void ShowLive();      // the figures of the last reading
  void ReadModuleList();  // started here, its rows come with kWmModulesRead
  void ShowModuleRows(std::wstring rows);
  void ShowMoreModuleRows();
  static constexpr UINT kWmModulesMore = WM_APP + 23;
  static constexpr UINT kWmModulesRead = WM_APP + 21;
  void ShowEnded();     // every live field says the process has ended
  void SetValue(int field, const std::wstring& text);
  void CopyAll();
  bool ShowsSelection() const;  // the focused field has text selected

  DetailsSubject subject_;
  ui::UniqueFont font_;  // owned; every field draws with it
  ui::Label labels_[kDfCount], headings_[3];
  ui::Edit values_[kDfCount], modules_;
  ui::BitmapButton reload_, close_;
  std::wstring shown_[kDfCount];  // each field's text, as set
  std::wstring moduleText_;
  size_t moduleShown_ = 0;  // the units of moduleText_ in its field so far
  // Stopped as the window goes.
  BackgroundRead<ImageFacts> imageReading_;
  BackgroundRead<std::wstring> moduleReading_;
  FigureReader reader_;
  FigureSampler sampler_;
  uint64_t created_ = 0;  // from the system's list; 0 where it is not known
  int bits_ = 0;
  HWND lastFocus_ = nullptr;  // borrowed: a child; checked before use
  bool nt_ = true, ended_ = false;
  int nextField_ = 0;     // the first field not yet made
  bool laidOut_ = false;  // every field made and laid out
  bool built_ = false;    // and shown, its reads started
};

// The open details windows, one a process; owned by the main window, so
// that they go when it does.
class DetailsWindows {
 public:
  // Brings the process's window forward, or opens one.
  void Show(HWND owner, const DetailsSubject& subject);

 private:
  std::vector<std::unique_ptr<DetailsWindow>> open_;
};
