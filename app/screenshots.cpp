// komaraku_screenshots OUTDIR: renders the windows of the program without a display (offscreen) into PNG
// files, so a person can look at them: a game in progress, a tsume problem, a reversed board and the
// position set-up window.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QTreeWidget>
#include <QPageSetupDialog>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "app/application.h"
#include "app/batch_solve_dialog.h"
#include "app/annotation_editor.h"
#include "app/board_view.h"
#include "app/branch_dialog.h"
#include "app/convert_dialog.h"
#include "app/core/command_ids.h"
#include "app/core/record_navigation.h"
#include "app/diagram_save.h"
#include "app/db_delete_dialog.h"
#include "app/db_export_dialog.h"
#include "app/db_register_buffer_dialog.h"
#include "app/db_register_file_dialog.h"
#include "app/db_search_dialog.h"
#include "app/search_stop_window.h"
#include "app/db_selection_list.h"
#include "app/header_dialog.h"
#include "app/joseki_annotation_editor.h"
#include "app/joseki_boxes.h"
#include "app/joseki_browser.h"
#include "app/joseki_dialogs.h"
#include "app/main_window.h"
#include "app/printing.h"
#include "app/progress_window.h"
#include "app/qt_text.h"
#include "app/record_window.h"
#include "app/select_read_dialog.h"
#include "app/setup_window.h"
#include "app/solver_window.h"
#include "app/tsume_check_command.h"
#include "platform/environment.h"
#include "platform/files.h"
#include "platform/text_codec.h"
#include "rules/piece_code.h"
#include "shogidb/joseki_lines.h"
#include "shogidb/game_database.h"
#include "shogidb/problem_database.h"
#include "shogidb/sample_database.h"
#include "shogidb/schema.h"

using namespace app;

namespace {

bool Save(QWidget* w, const QDir& dir, const char* name) {
  QApplication::processEvents();
  const QString path = dir.filePath(QString::fromLatin1(name));
  if (!w->grab().save(path)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
  }
  std::printf("%s\n", qPrintable(path));
  return true;
}

// The sample game at ply 5 with its record window beside it (the tree open down to the board's move,
// through the branch at ply 2), and the branch selection dialog at that branch.
bool RecordWindowShots(MainWindow* frame, BoardView* game, const QDir& out) {
  frame->resize(1120, 720);
  for (QMdiSubWindow* w : frame->mdi()->subWindowList()) {
    if (w->widget() && !w->widget()->isAncestorOf(game)) w->showMinimized();
  }
  frame->Activate(game);
  frame->ActiveChild()->move(0, 0);
  frame->ActiveChild()->Fit();
  game->Execute(cmd::kOpenRecordWindow);
  QApplication::processEvents();
  MovePath ply5 = LineFollowed(game->document()->board()).path;
  ply5.resize(5);
  StepBoardTo(game->controller(), *game, ply5);
  frame->UpdateCommandUi();
  bool ok = Save(frame, out, "record-window.png");
  StepBoardTo(game->controller(), *game, {ply5[0], ply5[1]});
  const AlternativeList alternatives = AlternativesOfCurrentMove(game->document()->board());
  BranchDialog dialog(BranchDialog::kSelect, alternatives.lines, alternatives.current, frame);
  dialog.show();
  ok = ok && Save(&dialog, out, "branch-dialog.png");
  dialog.close();
  return ok;
}

}  // namespace

// The move-annotation editor on the sample's first move (shown by the automatic display as the board steps
// onto it), and the text editor with a short text.
static bool EditorShots(MainWindow* frame, BoardView* game, const QDir& out) {
  frame->Activate(game);
  game->Execute(cmd::kFirst);
  game->Execute(cmd::kForward);
  AnnotationEditor* note = game->annotation().editor();
  if (!note) return false;
  note->SetText(note->Text() + platform::Utf8ToCp932("先手は角道を開け、後手の出方を見ます。\r\n"));
  bool ok = Save(note, out, "annotation-editor.png");
  note->CloseQuietly();
  TextEditor* text = OpenTextEditor(frame);
  text->view()->setPlainText(QString::fromUtf8(
      "矢倉の駒組み\n\n▲７六歩 △８四歩 ▲６八銀 △３四歩 ▲７七銀 △６二銀\n"
      "先手は銀を７七へ上がり、矢倉囲いを目指します。\n後手は角道を開けて様子を見ます。"));
  ok = ok && Save(text, out, "text-editor.png");
  text->view()->document()->setModified(false);
  text->close();
  return ok;
}

// The CSA select-read over a file of twelve games (the samples four times), and the conversion dialog after
// converting two short Kakinoki records one per input.
static bool FileDialogShots(MainWindow* frame, BoardView* game, const QDir& out, const QTemporaryDir& home) {
  std::string games, sample;
  platform::ReadWholeFile(ToCore(QCoreApplication::applicationDirPath() + "/samples/sample-games.csa"), sample);
  for (int i = 0; i < 4; ++i) games += (i > 0 ? "/\r\n" : "") + sample;
  const QString many = home.filePath(QStringLiteral("kzbkif.csa"));
  platform::WriteWholeFile(ToCore(many), games);
  frame->Activate(game);
  SelectReadDialog select(*game, frame);
  select.file_field()->setText(many);
  select.ListFile();
  while (select.scanning()) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  select.list()->setCurrentRow(4);
  select.show();
  bool ok = Save(&select, out, "select-read.png");
  select.close();

  const QString kif = home.filePath(QStringLiteral("yagura.kif")), ki2 = home.filePath(QStringLiteral("furibisha.ki2"));
  platform::WriteWholeFile(ToCore(kif), platform::Utf8ToCp932("先手：佐藤\r\n後手：鈴木\r\n手数----\r\n   1 ７六歩(77)\r\n"
                                                             "   2 ８四歩(83)\r\n   3 投了\r\n"));
  platform::WriteWholeFile(ToCore(ki2), platform::Utf8ToCp932("先手：高橋\r\n後手：田中\r\n▲７六歩 △３四歩 ▲２六歩\r\n"));
  QDir(home.path()).mkpath(QStringLiteral("csa"));
  ConvertDialog convert(frame);
  convert.AddInputs({kif, ki2});
  convert.each()->setChecked(true);
  convert.event_field()->setText(QString::fromUtf8("研究会"));
  convert.date_field()->setText(QStringLiteral("20261207"));
  convert.out_dir_field()->setText(home.filePath(QStringLiteral("csa")));
  convert.Run();
  while (convert.running()) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  convert.show();
  ok = ok && Save(&convert, out, "convert-dialog.png");
  convert.close();
  return ok;
}

// The print preview of the sample game and of the tsume problem (their first pages, large enough to
// read), and the print and printer setup dialogs as a user without a printer sees them.
static bool PrintShots(MainWindow* frame, BoardView* game, const QDir& out) {
  QPrinter& printer = Application::instance()->printer();
  auto shoot_preview = [&](BoardView* view, const char* name) {
    auto preview = NewPrintPreview(frame, printer, RecordPrintJob(*view->document()));
    preview->resize(900, 1240);
    preview->show();
    const bool saved = Save(preview.get(), out, name);
    preview->close();
    return saved;
  };
  bool ok = shoot_preview(game, "print-preview.png");
  for (BoardView* view : frame->Views()) {
    if (view->document()->kind() == DocKind::kTsume) ok = ok && shoot_preview(view, "print-preview-tsume.png");
  }
  NamePdfAfter(printer, game->document()->title());
  QPrintDialog print(&printer, frame);
  print.show();
  ok = ok && Save(&print, out, "print-dialog.png");
  print.close();
  QPageSetupDialog setup(&printer, frame);
  setup.show();
  ok = ok && Save(&setup, out, "printer-setup.png");
  setup.close();
  return ok;
}

// The sample problem solved in a new window: the board on the mating move with the record window beside
// it, and the solver window at the top right with the lines of the solve.
static bool SolverShots(MainWindow* frame, BoardView* tsume, const QDir& out) {
  frame->resize(1440, 720);
  for (QMdiSubWindow* w : frame->mdi()->subWindowList()) w->showMinimized();
  BoardView* view = SolveInNewWindow(*tsume);
  if (!view) return false;
  while (view->solver_window() && view->solver_window()->solving()) {
    QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  }
  frame->ActiveChild()->move(0, 0);
  view->Execute(cmd::kOpenRecordWindow);
  QApplication::processEvents();
  view->Execute(cmd::kForward);
  frame->UpdateCommandUi();
  bool ok = Save(frame, out, "solver-window.png");
  // 余詰検討 of the solved problem, and the 詰思考 menu with the engine choice.
  if (!CheckTsumeHere(*view)) return false;
  while (view->solver_window() && view->solver_window()->solving()) {
    QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  }
  frame->UpdateCommandUi();
  ok = ok && Save(frame, out, "tsume-check.png");
  for (QAction* action : frame->menuBar()->actions()) {
    if (!action->menu() || !action->text().startsWith(QStringLiteral("詰思考"))) continue;
    action->menu()->popup(frame->mapToGlobal(QPoint(200, 40)));
    ok = ok && Save(action->menu(), out, "solve-menu.png");
    action->menu()->hide();
  }
  return ok;
}

// The joseki browser on the start position of the sample game, whose opening is registered as joseki in a
// database of its own (the shared one is left alone), the tree open three levels deep beside the board;
// then the joseki-annotation editor on a move of it.
static bool JosekiShots(MainWindow* frame, BoardView* game, const QDir& out, const QTemporaryDir& home) {
  const std::optional<std::string> shared = platform::GetEnv("SHGDB");
  const std::string dir = ToCore(home.filePath(QStringLiteral("joseki-db")));
  platform::RecordingProgressSink progress;
  platform::RecordingMessageSink quiet;
  if (!shogidb::CreateDatabase(dir, progress, quiet) || !platform::SetEnv("SHGDB", dir)) return false;
  shogidb::JosekiDatabase db;
  db.SetDatabase(dir);
  shogidb::JosekiOptions options;
  options.depth = 8;
  shogidb::RegisterJosekiFromRecord(db, game->document()->board(), options);
  frame->Activate(game);
  game->Execute(cmd::kFirst);
  JosekiBrowser* browser = OpenJosekiBrowser(game);
  QTreeWidgetItem* item = browser->tree()->topLevelItem(0);
  for (int level = 0; level < 3 && item && item->childCount() > 0; ++level) {
    item->setExpanded(true);
    item = item->child(0);
  }
  browser->tree()->setCurrentItem(item);
  QApplication::processEvents();
  // The browser is a window of its own: drawn beside a picture of its board.
  const QPixmap board = game->grab(), tree = browser->grab();
  QPixmap both(board.width() + tree.width() + 8, std::max(board.height(), tree.height()));
  both.fill(QColor(0xc0, 0xc0, 0xc0));
  QPainter painter(&both);
  painter.drawPixmap(0, 0, board);
  painter.drawPixmap(board.width() + 8, 0, tree);
  painter.end();
  const QString path = out.filePath(QStringLiteral("joseki-browser.png"));
  bool ok = both.save(path);
  std::printf("%s\n", qPrintable(path));
  browser->Execute(cmd::kJosekiMoveProps);
  if (JosekiPropertiesBox* box = browser->properties_box()) ok = ok && Save(box, out, "joseki-move-properties.png");
  browser->Execute(cmd::kJosekiEval);
  if (JosekiEvaluationBox* box = browser->evaluation_box()) ok = ok && Save(box, out, "joseki-evaluation.png");
  browser->Execute(cmd::kJosekiMoveNote);
  if (JosekiAnnotationEditor* note = browser->note_editor()) {
    note->SetText(platform::Utf8ToCp932("居飛車の基本形。\r\n後手は角道を止めずに駒組みを進めます。\r\n"));
    ok = ok && Save(note, out, "joseki-annotation.png");
    note->CloseQuietly();
  } else {
    ok = false;
  }
  browser->close();
  if (shared) platform::SetEnv("SHGDB", *shared);
  return ok;
}

// The game and tsume search dialogs over a database of the sample records made for them (the shared one
// is left alone), each after a search with the condition offered first, its hits listed.
static bool DbSearchShots(MainWindow* frame, BoardView* game, BoardView* tsume, const QDir& out,
                          const QTemporaryDir& home) {
  const std::optional<std::string> shared = platform::GetEnv("SHGDB");
  const std::string dir = ToCore(home.filePath(QStringLiteral("search-db")));
  const shogidb::SampleRecords samples =
      shogidb::ReadSampleRecords(ToCore(QCoreApplication::applicationDirPath() + "/samples"));
  platform::RecordingMessageSink quiet;
  shogidb::DbJob job;
  job.messages = &quiet;
  if (shogidb::CreateSampleDatabase(dir, samples, job).status != shogidb::SampleDatabaseResult::kCreated ||
      !platform::SetEnv("SHGDB", dir)) {
    return false;
  }
  bool ok = true;
  for (BoardView* view : {game, tsume}) {
    frame->Activate(view);
    auto* dialog = new DbSearchDialog(view, view == tsume, frame);
    dialog->show();
    dialog->Search();
    while (dialog->searching()) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    QApplication::processEvents();
    dialog->list()->setCurrentRow(1);
    ok = ok && Save(dialog, out, view == tsume ? "db-tsume-search.png" : "db-search.png");
    if (view == game) {
      // The stop window as a long duplicate search shows it, over the dialog.
      dialog->stop_window()->progress().Line(platform::Utf8ToCp932("全 4000 件を照合中、 残り 1200 件"));
      dialog->stop_window()->show();
      QEventLoop wait;  // the window takes the worker's line on its timer
      QTimer::singleShot(150, &wait, &QEventLoop::quit);
      wait.exec();
      ok = ok && Save(dialog->stop_window(), out, "db-search-stop.png");
      dialog->stop_window()->hide();
    }
    dialog->close();
  }
  if (shared) platform::SetEnv("SHGDB", *shared);
  return ok;
}

// The registration, progress, export and deletion dialogs over a database of the sample records made for
// them (the shared one and the last search are left as they were): the progress window after the sample
// games were registered once more, the export and deletion dialogs with the database's games listed.
static bool DbFileShots(MainWindow* frame, BoardView* game, const QDir& out, const QTemporaryDir& home) {
  const std::optional<std::string> shared = platform::GetEnv("SHGDB");
  const std::string dir = ToCore(home.filePath(QStringLiteral("files-db")));
  const QString samples = QCoreApplication::applicationDirPath() + "/samples";
  platform::RecordingMessageSink quiet;
  shogidb::DbJob job;
  job.messages = &quiet;
  if (shogidb::CreateSampleDatabase(dir, shogidb::ReadSampleRecords(ToCore(samples)), job).status !=
          shogidb::SampleDatabaseResult::kCreated ||
      !platform::SetEnv("SHGDB", dir)) {
    return false;
  }
  RegisterFileDialog import(DbItemKind::kGame, frame);
  import.file_field()->setText(samples + "/sample-games.csa");
  import.show();
  bool ok = Save(&import, out, "db-register.png");
  import.close();
  RegisterBufferDialog current(*game, frame);
  current.show();
  ok = ok && Save(&current, out, "db-register-current.png");
  current.close();

  std::string text;
  platform::ReadWholeFile(ToCore(samples + "/sample-games.csa"), text);
  ProgressWindow progress([&](const shogidb::DbJob& j) {
    shogidb::GameDatabase db;
    db.SetDatabase(dir);
    db.SetJob(j);
    db.RegisterFromCsa(text, true);
  }, frame, &quiet);
  progress.Start();
  while (progress.running()) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  ok = ok && Save(&progress, out, "db-progress.png");
  progress.close();

  DatabaseState& state = Application::instance()->database_state();
  const std::vector<shogidb::ListEntry> kept = state.last_games;
  shogidb::GameDatabase db;
  db.SetDatabase(dir);
  db.Search("", {}, state.last_games);
  ExportDialog exporter(DbItemKind::kGame, frame);
  exporter.file_field()->setText(home.filePath(QStringLiteral("games.csa")));
  exporter.selection()->list()->item(0)->setSelected(true);
  exporter.selection()->list()->item(2)->setSelected(true);
  exporter.show();
  ok = ok && Save(&exporter, out, "db-export.png");
  exporter.close();
  DeleteDialog deleter(DbItemKind::kGame, frame);
  for (int row : {1, 3, 4}) deleter.selection()->list()->item(row)->setSelected(true);
  deleter.gather_box()->setChecked(true);
  deleter.show();
  ok = ok && Save(&deleter, out, "db-delete.png");
  deleter.close();
  state.last_games = kept;
  if (shared) platform::SetEnv("SHGDB", *shared);
  return ok;
}

// The joseki dialogs of a game window: registration from the record, export and bulk deletion.
static bool JosekiDialogShots(MainWindow* frame, BoardView* game, const QDir& out) {
  const struct {
    JosekiDialogKind kind;
    const char* file;
  } shots[] = {{JosekiDialogKind::kRegister, "joseki-register.png"},
               {JosekiDialogKind::kImport, "joseki-import.png"},
               {JosekiDialogKind::kExport, "joseki-export.png"},
               {JosekiDialogKind::kDelete, "joseki-delete.png"},
               {JosekiDialogKind::kDefaults, "joseki-defaults.png"}};
  bool ok = true;
  for (const auto& shot : shots) {
    JosekiDialog dialog(shot.kind, game->document()->joseki_defaults(), frame, QStringLiteral("5手目 ▲２五歩"));
    if (shot.kind == JosekiDialogKind::kExport) dialog.SetFile(QStringLiteral("/home/user/shgdb/Jsout.pcl"));
    if (shot.kind == JosekiDialogKind::kDelete) dialog.SetFile(QStringLiteral("/home/user/shgdb/JsBackup.pcl"));
    dialog.show();
    ok = ok && Save(&dialog, out, shot.file);
    dialog.close();
  }
  return ok;
}

// 詰将棋ＤＢの思考 over the sample problems of a database made for it (the shared one and the last search
// are left as they were): the dialog with the search listed and chosen after the batch has solved them,
// and the tsume window beside the solver window with every problem's lines.
static bool BatchShots(MainWindow* frame, const QDir& out, const QTemporaryDir& home) {
  Application* app = Application::instance();
  const std::optional<std::string> shared = platform::GetEnv("SHGDB");
  const std::string dir = ToCore(home.filePath(QStringLiteral("batch-db"))) + "/";
  platform::RecordingMessageSink quiet;
  quiet.default_answer = platform::Answer::kYes;
  shogidb::DbJob job;
  job.messages = &quiet;
  const QString samples = QCoreApplication::applicationDirPath() + "/samples";
  if (shogidb::CreateSampleDatabase(dir, shogidb::ReadSampleRecords(ToCore(samples)), job).status !=
      shogidb::SampleDatabaseResult::kCreated) {
    return false;
  }
  platform::SetEnv("SHGDB", dir);
  DatabaseState& state = app->database_state();
  const std::vector<shogidb::ListEntry> kept = state.last_problems;
  shogidb::ProblemDatabase db;
  db.SetDatabase(dir);
  db.Search("", {}, state.last_problems);
  platform::MessageSink& shown = app->messages();
  app->SetMessageSink(&quiet);

  frame->resize(1120, 720);
  for (QMdiSubWindow* w : frame->mdi()->subWindowList()) w->showMinimized();
  BoardView* view = app->NewDocument(DocKind::kTsume);
  frame->Activate(view);
  frame->ActiveChild()->move(0, 0);
  BatchSolveDialog* dialog = OpenBatchSolve(*view);
  bool ok = dialog != nullptr;
  if (dialog) {
    dialog->SelectAll();
    dialog->Solve();
    while (dialog->running()) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    frame->UpdateCommandUi();
    ok = Save(frame, out, "tsume-batch-solver.png") && Save(dialog, out, "tsume-batch.png");
    dialog->close();
  }
  app->SetMessageSink(&shown);
  state.last_problems = kept;
  if (shared) platform::SetEnv("SHGDB", *shared);
  return ok;
}

// A USI line pasted into a new game window (its last position shown), and the 編集 menu with
// 局面のコピー(SFEN).
bool SfenShots(MainWindow* frame, const QDir& out) {
  frame->Execute(cmd::kNewGame);
  BoardView* view = frame->ActiveView();
  if (!view) return false;
  QGuiApplication::clipboard()->setText(QStringLiteral(
      "position sfen lnsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL b - 1 moves 7g7f 3c3d 2g2f 4c4d"));
  view->Execute(cmd::kPasteRecord);
  view->Execute(cmd::kLast);
  bool ok = Save(view, out, "board-sfen-paste.png");
  for (QAction* action : frame->menuBar()->actions()) {
    if (!action->menu() || !action->text().startsWith(QStringLiteral("編集"))) continue;
    action->menu()->popup(frame->mapToGlobal(QPoint(40, 40)));
    ok = ok && Save(action->menu(), out, "edit-menu.png");
    action->menu()->hide();
  }
  return ok;
}

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qunsetenv("SHGDB");  // a caller's database is never touched: the shots make their own in `home`
  QApplication qt(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: komaraku_screenshots OUTDIR\n");
    return 2;
  }
  const QDir out(QString::fromLocal8Bit(argv[1]));
  QDir().mkpath(out.path());
  // The images, sound and samples come from the build; the settings, database and drawn labels go to a
  // temporary folder, so nothing is written anywhere else.
  QTemporaryDir home;
  AppOptions options;
  options.program_dir = home.path() + '/';
  options.folders = AppFolders::Inside(home.path().toStdString());
  options.folders.assets = (QCoreApplication::applicationDirPath() + '/').toStdString();
  options.title = false;
  options.files << QCoreApplication::applicationDirPath() + "/samples/sample-game.csa";
  Application app(options);
  if (app.Start() >= 0) return 1;
  MainWindow* frame = app.main_window();

  // The main window as a first start sizes it, the game's board window whole in it, the last move marked.
  BoardView* game = frame->ActiveView();
  if (!game) return 1;
  game->Execute(cmd::kLast);
  for (int i = 0; i < 4; ++i) game->Execute(cmd::kBack);
  game->controller().SetRecordEditing(true);
  frame->UpdateCommandUi();
  bool ok = Save(frame, out, "main-game.png") && Save(game, out, "board-game.png");
  frame->resize(1000, 720);

  BoardView* tsume = app.OpenDocument(QCoreApplication::applicationDirPath() + "/samples/sample-tsume.pcl", DocKind::kTsume);
  if (!tsume) return 1;
  frame->mdi()->cascadeSubWindows();
  frame->UpdateCommandUi();
  ok = ok && Save(frame, out, "main-tsume.png") && Save(tsume, out, "board-tsume.png");

  frame->Activate(game);
  game->Execute(cmd::kFlip);
  ok = ok && Save(game, out, "board-reversed.png");
  game->Execute(cmd::kFlip);
  // The game at 150 % in its frame, with the header and guide panes grown along.
  game->Execute(cmd::kZoom150);
  game->Execute(cmd::kOpenAux);
  ok = ok && Save(frame->ActiveChild(), out, "board-zoom-150.png");
  game->Execute(cmd::kCloseAux);
  game->Execute(cmd::kZoom100);

  app.OpenSetupWindow(tsume);
  SetupWindow* setup = app.setup_window();
  setup->view()->Execute(cmd::kLayoutBox);
  setup->view()->Execute(cmd::kLayoutRookLance);
  ok = ok && Save(setup, out, "setup-window.png");
  // The header and guide panes on a game in progress, and the header dialog over it.
  frame->Activate(game);
  game->Execute(cmd::kOpenAux);
  ok = ok && Save(game, out, "guide-header.png");
  HeaderDialog header(true, GameFormValues(game->document()->game()->header()), &app.opening_types(), frame);
  header.show();
  ok = ok && Save(&header, out, "header-dialog.png");
  header.close();
  game->Execute(cmd::kCloseAux);
  ok = ok && RecordWindowShots(frame, game, out);
  ok = ok && EditorShots(frame, game, out);
  ok = ok && FileDialogShots(frame, game, out, home);
  ok = ok && PrintShots(frame, game, out);
  ok = ok && SolverShots(frame, tsume, out);
  ok = ok && JosekiShots(frame, game, out, home);
  ok = ok && DbSearchShots(frame, game, tsume, out, home);
  ok = ok && DbFileShots(frame, game, out, home);
  ok = ok && BatchShots(frame, out, home);
  ok = ok && JosekiDialogShots(frame, game, out);
  // 局面図の保存 through its PNG path: the picture itself, for a game at ply 20 and a tsume problem.
  game->Execute(cmd::kFirst);
  for (int i = 0; i < 20; ++i) game->Execute(cmd::kForward);
  ok = ok && WriteBoardDiagram(*game, out.filePath(QStringLiteral("diagram.png")));
  tsume->Execute(cmd::kFirst);
  ok = ok && WriteBoardDiagram(*tsume, out.filePath(QStringLiteral("diagram-tsume.png")));
  ok = ok && SfenShots(frame, out);
  return ok ? 0 : 1;
}
