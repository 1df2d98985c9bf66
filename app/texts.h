// Every text the program shows, but the details panel's row labels, which
// are in its table (detail_rows.cpp). Sources are UTF-8; the compiler turns
// these literals into code page 932 bytes (-fexec-charset=CP932).
#pragma once

namespace texts {
inline constexpr char kAppTitle[] = "Vorlane";
inline constexpr char kStartError[] = "起動できません";
inline constexpr char kErrorCaption[] = "エラー";
inline constexpr char kTabProcess[] = "プロセス";
inline constexpr char kTabApplication[] = "アプリケーション";
inline constexpr char kReget[] = "再読込(&R)";
inline constexpr char kByProcessId[] = "プロセスID";
inline constexpr char kByImageName[] = "イメージ名";
inline constexpr char kLabelPriority[] = "優先度";
inline constexpr char kUpdate[] = "更新(&U)";
inline constexpr char kStop[] = "停止(E)";
inline constexpr char kClose[] = "閉じる(&C)";
inline constexpr char kIconName[] = "アイコン";
inline constexpr char kLinkHint[] = "Kestraneへアクセスします";
inline constexpr char kStatusNotice[] =
    "Vorlane - プロセスとアプリケーションの一覧　Copyright (C) Kestrane";
inline constexpr char kLoading[] = "読み込み中";
inline constexpr char kPriorityItems[6][16] = {"リアルタイム", "高",       "通常以上",
                                               "通常",         "通常以下", "低"};
inline constexpr char kIdleName[] = "System Idle Process";
inline constexpr char kSystemName[] = "System";
inline constexpr char kMicrosoft[] = "Microsoft Corporation";
inline constexpr char kIdleDescription[] = "CPUの空き時間を表しています";
inline constexpr char kSystemDescription[] = "Windows自体の制御用プロセスです";
inline constexpr char kCompanyLine[] = "\r\n　　会社：";
inline constexpr char kDescriptionLine[] = "\r\n　　説明：";
inline constexpr char kConfirmText[] = "Kestraneへアクセスしますか？";
inline constexpr char kConfirmCaption[] = "確認";
inline constexpr char kYes[] = "はい(&Y)";
inline constexpr char kNo[] = "いいえ(&N)";
inline constexpr char kHomePage[] = "http://www.example.com/kestrane/";
// Copied entries and the entry's context menu.
inline constexpr char kCopySeparator[] = "：";
inline constexpr char kMenuSwitch[] = "切り替え(&S)";
inline constexpr char kMenuCopy[] = "コピー(&C)\tCtrl+C";
inline constexpr char kMenuOpenFolder[] = "ファイルの場所を開く(&I)";
inline constexpr char kMenuStop[] = "停止(&E)";
inline constexpr char kMenuProperties[] = "プロパティ(&R)";
// Windows as a user meets them: closing one, stopping a process tree.
inline constexpr char kMenuCloseWindow[] = "ウィンドウを閉じる(&W)";
inline constexpr char kStatusNotClosed[] = "5秒たってもウィンドウが閉じません：";
inline constexpr char kMenuStopTree[] = "ツリーを停止(&T)";
inline constexpr char kTreeConfirm[] = "次のプロセスとその子孫をすべて停止しますか？\r\n";
inline constexpr char kTreeIndent[] = "　　";
inline constexpr char kTreeCannotStop[] = "　（停止できません）";
inline constexpr char kStatusNotStopped[] = "停止できなかったプロセス：";
// The selected entry's process has ended and another now holds its ID.
inline constexpr char kStatusReplaced[] = "プロセスは終了しています（その ID は別のプロセスが使用中）：";
inline constexpr char kMenuFindWindow[] = "ウィンドウから探す(&W)\tCtrl+F";
inline constexpr char kStatusNoPointing[] = "このシステムではウィンドウを指して探せません";
inline constexpr char kMenuDetails[] = "詳細(&D)\tAlt+Enter";
// The details window (its fields' labels are in details_fields.cpp).
inline constexpr char kDetailsTitle[] = "詳細";
inline constexpr char kDetailsImage[] = "イメージ";
inline constexpr char kDetailsPerformance[] = "パフォーマンス";
inline constexpr char kDetailsModules[] = "モジュール";
inline constexpr char kModulesOf64Bit[] =
    "64 ビットのプロセスです。32 ビットの Vorlane には、そのモジュールの一覧は読めません。";
// Before the modules read, where the process's list went on past what is
// taken, looped or led nowhere.
inline constexpr char kModulesCut[] = "（一覧はここで打ち切りました：長すぎるか、壊れています）";
// Orderings and the home page, for the keyboard: the entry menu and the window menu.
inline constexpr char kMenuByProcessId[] = "プロセスID順(&P)";
inline constexpr char kMenuByImageName[] = "イメージ名順(&F)";
inline constexpr char kMenuByCpu[] = "CPU使用率順(&U)";
inline constexpr char kMenuByMemory[] = "メモリ順(&O)";
inline constexpr char kMenuHomePage[] = "Kestraneへアクセス(&K)";
}  // namespace texts
