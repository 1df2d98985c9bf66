// Child-window and command identifiers of the program's windows: the one
// list, shared with the tests that find controls and send commands from
// outside the process.
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

// The entry menu's commands.
enum MenuCommand : unsigned {
  kCmdSwitch = 1, kCmdCopy, kCmdOpenFolder, kCmdStop, kCmdProperties, kCmdCloseWindow, kCmdStopTree,
  kCmdDetails,
  kCmdOrderings  // then one a sort order, in their order
};
// The window menu's own commands: below the system's (0xF000 and up), the
// low four bits left clear as the system uses them.
enum WindowMenuCommand : unsigned {
  kSysHomePage = 0x0120,
  kSysFindWindow = 0x0130,
  kSysOrderings = 0x0200  // then one a sort order, kSysOrderingStep apart
};
inline constexpr unsigned kSysOrderingStep = 0x10;

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
