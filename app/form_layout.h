// Placement of the main window's button bar and details panel: the design
// values and the rules that creation and every resize apply to them.
#pragma once
#include "ui/box.h"

// Every size is in pixels at `dpi`; the defaults are the design at 96 DPI.
struct FormLayout {
  int dpi = 96;
  // Details panel (children of PL_Base), design values.
  Box BV_Icon{8, 16, 33, 33}, IM_Icon{8, 8, 32, 32};
  Box LL_idProcess{48, 12, 54, 12}, ED_idProcess{112, 8, 121, 20};
  Box LL_Priority{240, 12, 36, 12}, CB_Priority{360, 8, 89, 20};
  Box LL_DisplayName{48, 36, 54, 12}, ED_DisplayName{112, 32, 121, 20};
  Box LL_Company{48, 60, 36, 12}, ED_Company{112, 56, 121, 20};
  Box LL_Description{48, 84, 32, 12}, ED_Description{112, 80, 121, 20};
  Box LL_FileName{48, 109, 53, 12}, ED_FileName{112, 105, 121, 20};
  Box MM_Description{48, 128, 209, 41};
  Box ED_idProcess_hex{264, 96, 121, 20};
  Box BB_Update{536, 8, 88, 31}, BB_Stop{536, 56, 88, 31};
  Box IM_Link{536, 104, 88, 31}, BB_Close{536, 140, 88, 31};
  int PL_BaseHeight = 173;
  // Button bar (children of PL_Btn).
  Box BB_Reget{0, 4, 120, 25}, SB_ProcessID{128, 4, 120, 25}, SB_FileName{248, 3, 120, 25};
  int PL_BtnHeight = 28;
  // The list: tab size, and an entry's height (three lines beside its icon).
  int TabWidth = 180, TabHeight = 22, ItemHeight = 46;
  int PriorityItemHeight = 12;
  int PriorityDropHeight = 160;  // the open priority list: its six items without a scroll bar
  // The smallest outer size of the window.
  int MinOuterWidth = 640, MinOuterHeight = 480;
  // A gap of the design's `pixels`, at this layout's DPI.
  int Gap(int pixels) const;
};

// The design values scaled once for `dpi`; at 96 DPI the design itself.
FormLayout DesignLayout(int dpi);

// The placement done once at creation; label sizes must already be measured.
void LayoutOnCreate(FormLayout& f);

// The placement redone at every resize for a details panel `panelWidth` wide.
void LayoutOnResize(FormLayout& f, int panelWidth);
