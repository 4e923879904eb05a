// Application: the application object, alive for the whole run. It carries out start-up (hand-over to a
// running instance, title window, database lock, settings, database directory, main window, command line,
// sound, string lists, speeds) and the writes at the end, and owns what every window shares: the images,
// the piece sound, the settings and the message sink.
#pragma once
#include <QElapsedTimer>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QStringList>
#include <memory>

#include "app/board_document.h"
#include "app/core/app_folders.h"
#include "app/core/board_images.h"
#include "app/database_state.h"
#include "app/piece_sound.h"
#include "platform/message_sink.h"
#include "platform/settings_file.h"

class QPrinter;

namespace app {

class BoardView;
class MainWindow;
class SetupWindow;
class SingleInstance;
class SpeedDialog;
class TitleWindow;

struct AppOptions {
  QString program_dir;         // the executable's directory, ending in '/' (an old settings file may be there)
  AppFolders folders;          // where files are read and written; unset: all of them in program_dir
  bool title = true;           // --no-title skips the title window and its wait
  QStringList files;           // the command line's file name, if any
};

class Application : public QObject {
  Q_OBJECT

 public:
  static constexpr int kRecentFiles = 4;

  explicit Application(AppOptions options);
  ~Application() override;
  static Application* instance();

  // The start-up steps in order: -1 when the program goes on into the event loop, else its exit code.
  int Start();
  // The writes at the end of the program.
  void End();

  const QString& program_dir() const { return options_.program_dir; }
  const AppFolders& folders() const { return options_.folders; }
  platform::SettingsFile& settings() { return *settings_; }
  platform::MessageSink& messages() { return *messages_; }
  void SetMessageSink(platform::MessageSink* sink);
  MainWindow* main_window() const { return main_window_; }
  QString database_dir() const;
  DatabaseState& database_state() { return database_state_; }

  // Images (loaded with the first board view; a missing background or piece file ends the program).
  BoardImages& images();
  void EnsureLabel(int index);

  // Settings the windows share.
  bool sound_on() const { return sound_on_ && sound_.loaded(); }
  void SetSoundOn(bool on) { sound_on_ = on; }
  void PlayPieceSound();
  bool kif_window() const { return kif_window_; }
  void SetKifWindow(bool on) { kif_window_ = on; }
  int SliderPosition(int direction) const;
  void SetSliderPositions(int forward, int backward);
  QPoint speed_dialog_pos() const { return speed_pos_; }
  void SetSpeedDialogPos(QPoint p) { speed_pos_ = p; }
  void OpenSpeedDialog();
  SpeedDialog* speed_dialog() const;
  QStringList& opening_types() { return opening_types_; }
  QStringList& database_dirs() { return database_dirs_; }
  bool title_file_present() const { return title_file_present_; }
  // The one printer of print, preview and printer setup (its choice, paper and orientation).
  QPrinter& printer();

  // Documents and their windows.
  BoardView* NewDocument(DocKind kind);
  BoardView* OpenDocument(const QString& path, DocKind kind);
  // By the extension (".csa" and Kakinoki games, ".pcl" problems, ".skb" positions in the set-up window);
  // nullptr for any other file.
  BoardView* OpenByExtension(const QString& path);
  BoardView* OpenPositionFile(const QString& path);
  const QStringList& recent_files() const { return recent_; }
  void AddRecentFile(const QString& path);
  QString NextTitle(DocKind kind);

  // The position set-up window.
  bool setup_active() const;
  SetupWindow* setup_window() const;
  void OpenSetupWindow(BoardView* source);
  void SetupClosed();

  // The internal commands a second start sends: 110 (come to the front), 111 (open KF_WakeUpFile).
  void HandleInstanceCommand(int command);
  void ShowTitleWindow();

 private:
  bool HandOver();
  QString MakeSampleDatabase(const std::string& dir, const std::string& default_dir);
  QString Asset(const char* name) const;  // a file of the asset folder
  void CarryOverSettings();
  void ReadSettings();
  void LoadRecentFiles();
  void WriteRecentFiles();

  AppOptions options_;
  std::unique_ptr<platform::SettingsFile> settings_;
  std::unique_ptr<platform::MessageSink> own_messages_;
  platform::MessageSink* messages_;
  std::unique_ptr<SingleInstance> instance_link_;
  std::unique_ptr<BoardImages> images_;
  PieceSound sound_;
  MainWindow* main_window_ = nullptr;
  QPointer<SetupWindow> setup_window_;
  QPointer<SpeedDialog> speed_dialog_;
  std::unique_ptr<QPrinter> printer_;
  bool sound_on_ = false, kif_window_ = false, title_file_present_ = false;
  int slider_forward_ = 5, slider_backward_ = 9;
  QPoint speed_pos_{-1000, -1000};
  QStringList opening_types_, database_dirs_, recent_;
  DatabaseState database_state_;
  int untitled_[3] = {0, 0, 0};
};

}  // namespace app
