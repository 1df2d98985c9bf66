// Child-window identifiers of the main window, for tests that find controls
// from outside the process.
#pragma once

enum ControlId {
  kIdStatusBar = 100,
  kIdTabMain,
  kIdList,
  kIdReget,
  kIdByProcessId,
  kIdByFileName,
  kIdIdProcess,
  kIdDisplayName,
  kIdCompany,
  kIdDescription,
  kIdFileName,
  kIdMemo,
  kIdPriority,
  kIdUpdate,
  kIdStop,
  kIdClose,
  kIdIdProcessHex,
  kIdLink,
  kIdIcon,
  kIdLabelIdProcess,
  kIdLabelPriority,
  kIdLabelDisplayName,
  kIdLabelCompany,
  kIdLabelDescription,
  kIdLabelFileName,
};

// The details window's child windows: field f (a DetailField) is
// kIdDetailsField + f.
enum DetailsControlId { kIdDetailsReload = 97, kIdDetailsModules = 99, kIdDetailsField = 100 };

// Resource identifiers.
enum ResourceId {
  kResProgramIcon = 1,
  kResGlyphReget = 101,
  kResGlyphByProcessId,
  kResGlyphByFileName,
  kResGlyphUpdate,
  kResGlyphStop,
  kResGlyphClose,
  kResBanner,
  kResIdleIcon = 201,
  kResSystemIcon = 202,
};
