// The main window: tab lists of processes and applications, the button bar
// and the details panel. TForm1 is written across seven files:
//   unit1.cpp            creation, window events, reload, sorting, the details panel
//   live_figures.cpp     the live figures, the orderings by them
//   form_reload.cpp      the reload, by the worker or on the window's thread
//   form_components.cpp  its components: creation, event hooks, measuring, placing
//   form_dpi.cpp         drawn for its DPI and a change of it, the system's colours
//   form_keys.cpp        keys from the message loop, type to find
//   entry_menu.cpp       the entry's context menu
//   entry_actions.cpp    copy, open folder, properties, switch to a window, close it,
//                        find a window's entry by pointing
//   tree_stop.cpp        stopping a process tree
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/detail_rows.h"
#include "app/details/details_window.h"
#include "model/entry_model.h"
#include "app/form_layout.h"
#include "model/reload_worker.h"
#include "app/type_to_find.h"
#include "app/tools/window_pointer.h"
#include "base/handles.h"
#include "controls/graphic_list_box.h"
#include "procinfo/details.h"
#include "procinfo/figure_reader.h"
#include "procinfo/figures.h"
#include "ui/bitmap_button.h"
#include "ui/combo_box.h"
#include "ui/control_host.h"
#include "ui/edit.h"
#include "ui/image.h"
#include "ui/label.h"
#include "ui/panel.h"
#include "ui/speed_button.h"
#include "ui/status_bar.h"
#include "ui/tab_control.h"
#include "ui/window.h"

class DdeSession;

class TForm1 : public ui::Window {
 public:
  // `appWindow` carries the application title; `dde` lives as long as the program.
  TForm1(HWND appWindow, DdeSession* dde);
  // False when the window or any of its components could not be made.
  bool Create();

  // Window events.
  bool FormCreate();
  void FormResize();
  void FormActivate();
  void FormDestroy();
  // Component events.
  void TC_MainChange();
  void BB_RegetClick() { Reload(); }
  void SB_ProcessIDClick();
  void SB_FileNameClick();
  void GLB_ListClick();
  void CB_PriorityChange();
  void BB_UpdateClick();
  void BB_StopClick();
  void IM_LinkClick();
  // Operations.
  void Reload();  // on the NT family it ends later: Reloading() says when
  // A reload, then `then` once its lists (and any reload asked for meanwhile)
  // are in: what needs the new entries.
  void ReloadThen(std::function<void()> then);
  bool Reloading();
  // The reload on the window's thread: the 9x family's, where no worker
  // runs, and what the worker's must equal.
  void ReloadHere();
  static constexpr UINT_PTR kFigureTimer = 1;  // the live figures' refresh
  void ClearDetails();
  void ShowDetails(const TQorSvc& entry, HICON icon, const LiveDetails& live);
  // Keys, the entry's context menu and what they do.
  bool PreTranslateKey(const MSG& msg);  // from the message loop; true when used
  bool ListTextTyped(WPARAM c);  // a character as the list's window takes it
  // Focus to the list when it is on nothing or on a disabled or hidden
  // control; after every message the loop handles.
  void KeepFocus();
  // Keeps the focus on deactivation, gives it back (or to the list) on activation.
  void FocusOnActivate(bool active);
  void ShowEntryMenu(LPARAM where);
  void CopyEntry();
  void OpenEntryFolder();
  void ShowEntryProperties();
  void ShowEntryDetails();  // the process's details window
  void SwitchToEntryWindow();
  // Asks the selected application entry's window to close (WM_CLOSE, as its
  // close box would), then watches: gone, the lists reload; still there
  // after kCloseWaitMs, the status bar says so and the list stays.
  void CloseEntryWindow();
  void WatchClosingWindow();
  // The selected process and its descendants, confirmed, then stopped (tree_stop.cpp).
  void StopEntryTree();
  // Pointing at a window (Ctrl+F, the window menu): a click selects its
  // entry, on the application tab where it is listed there, else its
  // process's; reloaded first where neither is listed.
  void StartPointing();
  void PointerClicked(POINT at);
  bool SelectWindowEntry(HWND w, DWORD pid);
  // Shows `tab` with the first entry that `is` holds for selected; false when none does.
  bool SelectEntryWhere(ListTab tab, const std::function<bool(const EntryModel&, size_t)>& is);
  // The orderings (values of SortByName) and the home page from the
  // keyboard: the entry menu and the window menu, whose items are added once
  // and checked as it opens.
  static constexpr int kByProcessId = 0, kByImageName = 1, kByCpu = 2, kByMemory = 3, kSortCount = 4;
  void OrderBy(int sort);
  void AddWindowMenuItems();
  void WindowMenuOpening(HMENU m);
  bool WindowMenuCommand(WPARAM command);  // true when it was one of ours
  // Called when closing begins, before the window goes.
  std::function<void()> OnClosing;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  bool CreateComponents();
  bool CreateListArea();
  bool CreateDetailsPanel();
  bool CreateButtonBar();
  void SetFontsAndGlyphs();
  void SetControlFonts(HFONT f);  // the controls that take the form's font as it is
  void HookEvents();
  void MeasureLabels();
  void ApplyLayout();
  // The layout's smallest outer size, never more than the monitor's work area.
  SIZE MinOuterSize() const;
  // Sizes for `dpi` (form_dpi.cpp): the layout, the font on every control,
  // glyphs and icons; the DPI a move to another screen brings; the system's
  // colours and high-contrast setting.
  void ScaleLayout(int dpi);
  void ApplyDpi(int dpi);
  void DpiChanged(int dpi, const RECT& suggested);
  void RescaleImages();
  void LoadOwnIcons();  // the idle and system icons at the entry icon size
  void FollowSystemLook();
  // The list's selected and hot looks in the system's colours: with the
  // high-contrast setting, or where the scheme's text is unreadable on its own.
  bool ListNeedsSystemColours() const;
  void OrderProcesses();
  // The reload (form_reload.cpp).
  static constexpr UINT kWmWorkerPosted = WM_APP + 1;
  FixedEntries Fixed() const;
  void StartWorker();
  void StopWorker();
  void ShowReloadedTab();
  void WorkerPosted();
  // One part of a reading, from the worker or from the job run here.
  void TakePart(std::unique_ptr<ReloadPart> part);
  void ReloadEnded();  // its last part is in and no other reload waits
  void OrderModel(EntryModel& model) const;  // by SortByName
  void SortBy(int sort);  // a new ordering: the current tab shown anew
  // The live figures (live_figures.cpp): a reading every 2 seconds while the
  // window shows, each entry's figures from it.
  void StartFigures();
  void MakeLinkHint();
  void FigureTick();
  void ApplyFigures();
  // The current tab's entries in its order, the selected process kept
  // selected where the view showed it; false when the order stayed.
  bool ReorderKeepingSelection();
  // Every button and the priority box from the selected entry: one place.
  void UpdateCommands();
  bool CanStopEntry();
  // 停止 and ツリーを停止, wherever they are asked: the selected entry can be
  // stopped and the panel shows it.
  bool StopAllowed();
  bool CanSetEntryPriority();
  bool SelectedEnded();
  // When the selected entry's process started, as its reading saw it.
  const FILETIME* SelectedCreated();
  // True, with the lists reloaded and the reason in the status bar, when
  // another process now holds the entry's ID.
  bool RefuseReplaced(const TQorSvc& entry);
  std::vector<std::wstring> ShownTexts(const EntryModel& model) const;
  // The selected entry of the current tab; null when none.
  const TQorSvc* SelectedEntry();
  // The entry's file by its real (wide) path; null where only its shown path is known.
  const std::wstring* RealFileOf(const TQorSvc& entry);
  bool EntryHasFile(const TQorSvc& entry);
  const std::wstring& EntryFile(const TQorSvc& entry);
  bool HandleKey(const MSG& msg);
  void F5Pressed(const MSG& msg);
  bool AfterLastF5Reload(const MSG& msg) const;
  void SwitchTab(bool forward);
  bool TabAroundTheTabs(bool back);

  base::Borrowed<HWND> appWindow_;  // the entry sequence owns it
  DdeSession* dde_;                 // borrowed
  ui::UniqueFont font_;             // owned; every control draws with it
  // The entries and their image lists: before the list that borrows them,
  // so that they go after it.
  EntryLists lists_;
  ui::UniqueIcon IdleIcon, SystemIcon, DefaultIcon;  // owned

  // Components; their windows are children that this window destroys.
  // Each is declared before what borrows it (the host borrows the list).
  ui::StatusBar StatusBar1;
  ui::Panel PL_Base, PL_Btn;
  ui::TabControl TC_Main;
  TGraphicListBox GLB_List;
  ui::ControlHost PL_List;  // between the tab control and the list
  ui::BitmapButton BB_Reget, BB_Update, BB_Stop, BB_Close;
  ui::SpeedButton SB_ProcessID, SB_FileName;
  std::vector<ui::SpeedButton*> sortGroup_;
  ui::Image IM_Icon, IM_Link;
  // Row i of kDetailRows: its label (none for the memo) and its edit.
  ui::Label detailLabels_[kDetailRowCount];
  ui::Edit detailEdits_[kDetailRowCount];
  ui::Label LL_Priority;
  ui::Edit ED_idProcess_hex;  // hidden: the selected process ID in hexadecimal
  ui::ComboBox CB_Priority;
  FormLayout layout_;  // for the window's DPI
  SIZE laidOut_{};     // the client size the components are placed for

  // State.
  int SortByName = 0;  // kByProcessId and the like
  FigureSampler sampler_;       // the last reading, the worker's copy
  ReloadJob hereJob_;           // where no worker runs
  std::unique_ptr<ReloadWorker> worker_;  // NT family; its thread ends before the window
  int Activated = 0;
  int SelectedIndex = -1;
  ListTab CurrentTab = ListTab::Processes;
  bool ntFamily_ = true;       // priority classes can be changed
  bool detailsClear_ = false;  // the panel shows no entry: ClearDetails has nothing to do
  bool priorityChosen_ = false;  // another class chosen in the box since the entry was shown
  // Icons replaced (by a change of DPI) while a reload that borrows them ran.
  struct RetiredIcon {
    ui::UniqueIcon old;  // owned until that reload's parts are in
    HICON now;           // borrowed: what an entry takes instead
  };
  std::vector<RetiredIcon> retiredIcons_;
  void RenewRetired(std::vector<ListedEntry>& listed) const;
  TypeToFind finder_;
  bool closing_ = false;  // the close has begun
  std::function<void()> afterReload_;  // ReloadThen's, until the lists are in
  bool f5Reloaded_ = false;
  DWORD f5ReloadStart_ = 0;          // tick when the last reload by F5 began
  base::Borrowed<HWND> savedFocus_;  // a child; checked before use
  // The window asked to close, while it is watched (kTimerClosingWindow).
  static constexpr UINT_PTR kTimerClosingWindow = 0x3301;
  static constexpr DWORD kCloseWaitMs = 5000;
  struct ClosingWindow {
    base::Borrowed<HWND> window;  // another process's; checked before use
    DWORD pid = 0;
    DWORD asked = 0;  // tick when WM_CLOSE was posted
    std::string title;
  } closingWindow_;
  WindowPointer pointer_;
  DetailsWindows details_;  // last: its windows go before this one
};
