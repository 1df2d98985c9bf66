// The application window: a top-level window titled "Vorlane" that owns the
// main window. A second start finds it by its class and title (and its
// process's image name) and restores the program through it.
#pragma once
#include "base/handles.h"
#include "ui/window.h"

inline constexpr char kAppWindowClass[] = "TApplication";

class AppWindow : public ui::Window {
 public:
  bool Create();
  void SetMainWindow(HWND form) { form_ = base::Borrowed<HWND>(form); }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  base::Borrowed<HWND> form_;  // the main window
};
