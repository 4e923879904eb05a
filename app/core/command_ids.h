// Command numbers: the identities of every menu, toolbar and accelerator command, and of the internal
// commands windows send each other. They stay the same across the whole program.
#pragma once

namespace app {

namespace cmd {

// Files and documents.
constexpr int kNewGame = 32885, kNewTsume = 32867, kOpenGame = 32869, kOpenTsume = 32868;
constexpr int kFileOpen = 57601, kFileClose = 57602, kFileSave = 57603, kFileSaveAs = 57604;
constexpr int kSelectReadGame = 32825, kSelectReadTsume = 32857, kReadKakinoki = 32856;
constexpr int kSaveDiagram = 32905;  // 局面図の保存 (SVG or PNG)
constexpr int kPrint = 57607, kPrintPreview = 57609, kPrintSetup = 57606, kRecentFile = 57616;
constexpr int kAppExit = 57665;
constexpr int kSetupNew = 32784, kSetupOpen = 32785, kSetupEnd = 32797, kJosekiClose = 32900;
// Record and editing.
constexpr int kGameHeader = 32821, kTsumeHeader = 32858, kInitialPosition = 32782, kProblemDiagram = 32859;
constexpr int kCopyRecord = 32886, kPasteRecord = 32887, kRecordEditing = 32783, kEditAtEnd = 32833;
constexpr int kCopySfen = 32931;  // 局面のコピー(SFEN)
constexpr int kBranchInput = 32870, kDeleteMoves = 32899, kJosekiEditing = 32849, kJosekiDefaults = 32850;
constexpr int kMoveAnnotation = 32827, kMailPosition = 32828, kClipRecordText = 32852, kClipRecordCsa = 32853;
constexpr int kClipTsumeText = 32860, kClipTsumePcl = 32861;
constexpr int kJosekiPositionNote = 32840, kJosekiMoveNote = 32841, kJosekiMoveProps = 32843;
constexpr int kJosekiEval = 32844, kJosekiDelete = 32851;
// View and windows.
constexpr int kToolbarDialog = 32807, kStatusBar = 59393, kEditorToolbar = 59392, kAutoAnnotation = 32836;
constexpr int kFlip = 32815, kOpenAux = 32779, kCloseAux = 32781, kOpenRecordWindow = 32873;
constexpr int kCloseRecordWindow = 32874, kJosekiAutoNote = 32839, kEditorFont = 32772;
constexpr int kCascade = 57650, kTile = 57651, kArrange = 57649;
// Board zoom: the three steps (checked items) and one step up or down.
constexpr int kZoom100 = 32910, kZoom150 = 32911, kZoom200 = 32912, kZoomIn = 32913, kZoomOut = 32914;
// The last move marked on the board (a checked item).
constexpr int kLastMoveMark = 32930;
// Solver.
constexpr int kSolveNew = 32877, kSolveHere = 32875, kSolveDatabase = 32876, kSolveStop = 32892;
// The engine the solving commands use (a checked pair) and the alternative-mate check of a problem.
constexpr int kSolverIterative = 32932, kSolverProofNumber = 32933, kCheckTsume = 32934;
// Database.
constexpr int kDbSearch = 32812, kJosekiBrowser = 32830, kDbRegister = 32820;
constexpr int kDbImportGames = 32816, kDbExportGames = 32818, kDbDeleteGames = 32823;
constexpr int kDbImportTsume = 32864, kDbExportTsume = 32865, kDbDeleteTsume = 32866;
constexpr int kJosekiRegister = 32845, kJosekiImport = 32846, kJosekiExport = 32847, kJosekiBulkDelete = 32848;
constexpr int kDbStatus = 32835, kDbCreate = 32834, kDbSettings = 32813;
// Settings and tools.
constexpr int kSound = 32855, kRecordWindowAlways = 32893;
constexpr int kBitmapBack = 32775, kBitmapBox = 32773, kBitmapPieces = 32776, kBitmapTitle = 32854;
constexpr int kEditor = 32889, kConvertFiles = 32896, kHelpTopics = 57667, kAbout = 57664;
// Playback.
constexpr int kFirst = 32832, kLast = 32831, kSelectBranch = 32871, kForward = 32786, kBack = 32787;
constexpr int kAutoForward = 32808, kAutoBack = 32809, kStop = 32810, kSpeed = 32901;
// Setup window.
constexpr int kLayoutEven = 32788, kLayoutRightLance = 32789, kLayoutLeftLance = 32790, kLayoutRook = 32791;
constexpr int kLayoutBishop = 32792, kLayoutTwo = 32793, kLayoutFour = 32794, kLayoutSix = 32795;
constexpr int kLayoutBox = 32796, kLayoutRookLance = 32897, kLayoutBishopLance = 32898, kLayoutTsume = 32811;
constexpr int kSideSente = 32799, kSideGote = 32800, kSideUnset = 32801;
// Editors.
constexpr int kEdNew = 32878, kEdOpen = 32879, kEdSave = 32880, kEdSaveAs = 32881, kEdClose = 32888;
constexpr int kEdUndo = 57643, kEdCut = 57635, kEdCopy = 57634, kEdPaste = 57637, kEdReflow = 32774;
constexpr int kNoteStore = 32780, kNoteDelete = 32778;

// Internal commands between windows.
constexpr int kAnnotationClosed = 101, kRedrawHeader = 102, kJosekiRefresh = 103, kCloseAnnotation = 104;
constexpr int kShowMessage = 109, kBringToFront = 110, kOpenWakeUpFile = 111, kRecordWindowClosed = 112;
constexpr int kSelectCurrentMove = 113, kRebuildRecord = 114, kUpdateDbPane = 120, kTabFocus = 121;
constexpr int kSetupReceived = 32798, kProgressLine = 32817;

}  // namespace cmd

}  // namespace app
