#pragma once

// Every command of the program by its numeric id: menus, toolbars, context
// menus and the pages' own buttons. The values never change, because saved
// toolbars store them. Texts, prompts and tooltips: command_texts.h.

// Not a command: a separator in a list of menu commands.
inline constexpr int kMenuSeparator = 0;

// Standard commands.
inline constexpr int kCmdAppExit = 57665;
inline constexpr int kCmdAppAbout = 57664;
inline constexpr int kCmdEditCopy = 57634;
inline constexpr int kCmdEditCut = 57635;
inline constexpr int kCmdEditPaste = 57637;
inline constexpr int kCmdEditUndo = 57643;
inline constexpr int kCmdNextPane = 57680;
inline constexpr int kCmdPrevPane = 57681;
inline constexpr int kCmdViewStatusBar = 59393;

// View.
inline constexpr int kCmdViewCustomize = 32773;
// The application looks; each look is known by the id of its command.
inline constexpr int kCmdLookPlain = 32775;
inline constexpr int kCmdLookOfficeXP = 32776;
inline constexpr int kCmdLookWindowsNative = 32777;
inline constexpr int kCmdLookOffice2003 = 32778;
inline constexpr int kCmdLookVisualStudio2005 = 32779;
inline constexpr int kCmdLookVisualStudio2008 = 32780;
inline constexpr int kCmdLookOffice2007Blue = 32781;
inline constexpr int kCmdLookOffice2007Black = 32782;
inline constexpr int kCmdLookOffice2007Silver = 32783;
inline constexpr int kCmdLookOffice2007Aqua = 32784;
inline constexpr int kCmdLookWindows7 = 32785;

// Tools.
inline constexpr int kCmdConnect = 32788;
inline constexpr int kCmdRecord = 32791;
inline constexpr int kCmdPlayBack = 32793;
inline constexpr int kCmdStop = 32794;
inline constexpr int kCmdSetDopThreshold = 32824;
inline constexpr int kCmdSetUserPosition = 32826;
inline constexpr int kCmdPrecision = 32831;  // dual mode filter
inline constexpr int kCmdIntegrity = 32832;

// The pages' commands.
inline constexpr int kCmdClearScatterPlot = 32796;
inline constexpr int kCmdClearTransmitScreen = 32797;
inline constexpr int kCmdClearReceiveScreen = 32798;
inline constexpr int kCmdClearSatelliteTrails = 32809;
inline constexpr int kCmdClearAzElMask = 32811;
inline constexpr int kCmdClearPositionPlots = 32813;
inline constexpr int kCmdCenterOnAverage = 32818;
inline constexpr int kCmdCenterNextSample = 32820;
inline constexpr int kCmdCenterUserPosition = 32821;
inline constexpr int kCmdZoomIn = 32829;  // the scatter plot's buttons
inline constexpr int kCmdZoomOut = 32830;

// Ranges kept for the commands of features added beside the above, so that
// work on each can pick ids without meeting another's:
//   33100-33149  GNSS constellations and signals
//   33150-33199  sources (network and other receivers)
//   33200-33249  recording and replay
//   33250-33299  accuracy and integrity
//   33300-33349  usability
inline constexpr int kCmdGnssFirst = 33100;
inline constexpr int kCmdSourcesFirst = 33150;
inline constexpr int kCmdReplayFirst = 33200;
inline constexpr int kCmdAccuracyFirst = 33250;
inline constexpr int kCmdUsabilityFirst = 33300;
inline constexpr int kCmdReservedEnd = 33350;  // one past the last reserved id

// Accuracy and integrity.
inline constexpr int kCmdResetAccuracy = 33250;
inline constexpr int kCmdExportAccuracyReport = 33251;
inline constexpr int kCmdSetAlertLimit = 33252;
// Sources.
inline constexpr int kCmdReconnectAutomatically = 33150;
inline constexpr int kCmdLinkHealth = 33151;
inline constexpr int kCmdFindBaudRate = 33152;
