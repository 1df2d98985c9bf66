#include "app/form_layout.h"

#include <initializer_list>
#include <utility>

namespace {

void CentreLabelOn(Box& label, const Box& edit) {
  label.top = edit.top + (edit.height - label.height) / 2;
}

}  // namespace

void LayoutOnCreate(FormLayout& f) {
  f.PL_BaseHeight = 7 * (f.ED_idProcess.height + 4) + 4;
  f.BV_Icon = {4, 4, f.IM_Icon.width + 2, f.IM_Icon.height + 2};
  f.IM_Icon.left = f.BV_Icon.left + 1;
  f.IM_Icon.top = f.BV_Icon.top + 1;
  f.LL_idProcess.left = f.BV_Icon.right() + 4;
  f.ED_idProcess.left = f.LL_idProcess.right() + 4;
  f.ED_idProcess.top = 4;
  CentreLabelOn(f.LL_idProcess, f.ED_idProcess);
  f.LL_Priority.top = f.LL_idProcess.top;
  f.CB_Priority.top = f.ED_idProcess.top;
  f.BB_Update.top = 4;
  f.BB_Stop.top = f.BB_Update.bottom() + 8;

  const Box* prev = &f.ED_idProcess;
  std::pair<Box*, Box*> rows[] = {{&f.LL_DisplayName, &f.ED_DisplayName},
                                  {&f.LL_Company, &f.ED_Company},
                                  {&f.LL_Description, &f.ED_Description},
                                  {&f.LL_FileName, &f.ED_FileName}};
  for (auto& [label, edit] : rows) {
    label->left = f.LL_idProcess.left;
    edit->left = f.ED_idProcess.left;
    edit->top = prev->bottom() + 4;
    CentreLabelOn(*label, *edit);
    prev = edit;
  }
  f.MM_Description.left = f.ED_idProcess.left;
  f.MM_Description.top = f.ED_FileName.bottom() + 4;
  f.MM_Description.height = f.PL_BaseHeight - f.MM_Description.top - 4;

  f.PL_BtnHeight = f.BB_Reget.height + 8;
  f.BB_Reget.left = 4;
  f.BB_Reget.top = 4;
  f.SB_ProcessID.left = f.BB_Reget.right() + 8;
  f.SB_ProcessID.top = 4;
  f.SB_FileName.left = f.SB_ProcessID.right() + 4;
  f.SB_FileName.top = 4;
}

void LayoutOnResize(FormLayout& f, int panelWidth) {
  f.BB_Close.left = panelWidth - f.BB_Close.width - 4;
  f.BB_Close.top = f.PL_BaseHeight - f.BB_Close.height - 4;
  f.IM_Link.left = f.BB_Close.left;
  f.IM_Link.top = f.BB_Close.top - f.IM_Link.height - 4;
  f.BB_Stop.left = f.BB_Close.left;
  f.BB_Update.left = f.BB_Close.left;
  int half = (f.BB_Close.left - f.LL_idProcess.left) / 2;
  f.ED_idProcess.left = f.LL_idProcess.right() + 4;
  f.ED_idProcess.width = half - 4 - f.LL_idProcess.width;
  f.CB_Priority.left = f.BB_Close.left - f.CB_Priority.width - 4;
  f.LL_Priority.left = f.CB_Priority.left - f.LL_Priority.width - 4;
  int width = f.BB_Close.left - f.ED_DisplayName.left - 4;
  for (Box* b : {&f.ED_DisplayName, &f.ED_Company, &f.ED_Description, &f.ED_FileName,
                 &f.MM_Description})
    b->width = width;
}
