#include "app/form_layout.h"

#include <initializer_list>

#include "app/detail_rows.h"
#include "ui/dpi_scale.h"

namespace {

void CentreLabelOn(Box& label, const Box& edit) {
  label.top = edit.top + (edit.height - label.height) / 2;
}

void ScaleBox(Box& b, int dpi) {
  using ui::ScaleForDpi;
  b = {ScaleForDpi(b.left, dpi), ScaleForDpi(b.top, dpi), ScaleForDpi(b.width, dpi),
       ScaleForDpi(b.height, dpi)};
}

}  // namespace

int FormLayout::Gap(int pixels) const { return ui::ScaleForDpi(pixels, dpi); }

FormLayout DesignLayout(int dpi) {
  FormLayout f;
  f.dpi = dpi;
  for (const DetailRow& row : kDetailRows) {
    if (row.labelBox) ScaleBox(f.*row.labelBox, dpi);
    ScaleBox(f.*row.editBox, dpi);
  }
  for (Box* b : {&f.BV_Icon, &f.IM_Icon, &f.LL_Priority, &f.CB_Priority, &f.ED_idProcess_hex,
                 &f.BB_Update, &f.BB_Stop, &f.IM_Link, &f.BB_Close, &f.BB_Reget, &f.SB_ProcessID,
                 &f.SB_FileName})
    ScaleBox(*b, dpi);
  for (int* v : {&f.PL_BaseHeight, &f.PL_BtnHeight, &f.TabWidth, &f.TabHeight, &f.ItemHeight,
                 &f.PriorityItemHeight, &f.PriorityDropHeight, &f.MinOuterWidth, &f.MinOuterHeight})
    *v = ui::ScaleForDpi(*v, dpi);
  return f;
}

void LayoutOnCreate(FormLayout& f) {
  const int g4 = f.Gap(4), g8 = f.Gap(8);
  f.PL_BaseHeight = 7 * (f.ED_idProcess.height + g4) + g4;
  f.BV_Icon = {g4, g4, f.IM_Icon.width + 2, f.IM_Icon.height + 2};
  f.IM_Icon.left = f.BV_Icon.left + 1;
  f.IM_Icon.top = f.BV_Icon.top + 1;
  f.LL_idProcess.left = f.BV_Icon.right() + g4;
  f.ED_idProcess.left = f.LL_idProcess.right() + g4;
  f.ED_idProcess.top = g4;
  CentreLabelOn(f.LL_idProcess, f.ED_idProcess);
  f.LL_Priority.top = f.LL_idProcess.top;
  f.CB_Priority.top = f.ED_idProcess.top;
  f.BB_Update.top = g4;
  f.BB_Stop.top = f.BB_Update.bottom() + g8;

  // The rows below the first stack under it; the memo takes the rest of the panel.
  const Box* prev = &f.ED_idProcess;
  for (const DetailRow& row : kDetailRows) {
    Box& edit = f.*row.editBox;
    if (&edit == &f.ED_idProcess) continue;
    edit.left = f.ED_idProcess.left;
    edit.top = prev->bottom() + g4;
    if (row.memo) edit.height = f.PL_BaseHeight - edit.top - g4;
    if (row.labelBox) {
      Box& label = f.*row.labelBox;
      label.left = f.LL_idProcess.left;
      CentreLabelOn(label, edit);
    }
    prev = &edit;
  }

  f.PL_BtnHeight = f.BB_Reget.height + g8;
  f.BB_Reget.left = g4;
  f.BB_Reget.top = g4;
  f.SB_ProcessID.left = f.BB_Reget.right() + g8;
  f.SB_ProcessID.top = g4;
  f.SB_FileName.left = f.SB_ProcessID.right() + g4;
  f.SB_FileName.top = g4;
}

void LayoutOnResize(FormLayout& f, int panelWidth) {
  const int g4 = f.Gap(4);
  f.BB_Close.left = panelWidth - f.BB_Close.width - g4;
  f.BB_Close.top = f.PL_BaseHeight - f.BB_Close.height - g4;
  f.IM_Link.left = f.BB_Close.left;
  f.IM_Link.top = f.BB_Close.top - f.IM_Link.height - g4;
  f.BB_Stop.left = f.BB_Close.left;
  f.BB_Update.left = f.BB_Close.left;
  int half = (f.BB_Close.left - f.LL_idProcess.left) / 2;
  f.ED_idProcess.left = f.LL_idProcess.right() + g4;
  f.ED_idProcess.width = half - g4 - f.LL_idProcess.width;
  f.CB_Priority.left = f.BB_Close.left - f.CB_Priority.width - g4;
  f.LL_Priority.left = f.CB_Priority.left - f.LL_Priority.width - g4;
  const int width = f.BB_Close.left - f.ED_idProcess.left - g4;
  for (const DetailRow& row : kDetailRows)
    if (row.editBox != &FormLayout::ED_idProcess) (f.*row.editBox).width = width;
}
