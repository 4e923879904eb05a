#include "app/application.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QPrinter>
#include <QStatusBar>
#include <QTimer>
#include <cstdlib>

#include "app/app_paths.h"
#include "app/board_view.h"
#include "app/main_window.h"
#include "app/printing.h"
#include "app/qt_dib.h"
#include "app/qt_message_sink.h"
#include "app/qt_text.h"
#include "app/setup_window.h"
#include "app/single_instance.h"
#include "app/speed_dialog.h"
#include "app/title_window.h"
#include "platform/db_lock.h"
#include "platform/environment.h"
#include "platform/files.h"
#include "shogidb/sample_database.h"
#include "shogidb/schema.h"

namespace app {

namespace {

Application* the_app = nullptr;

const char kSettingSection[] = "SETTING";
const char kSpeedSection[] = "KSPEED_SECTION";
const char kStringSection[] = "STRING_LIST";
const char kWakeSection[] = "KF_Section";
const char kRecentSection[] = "Recent File List";

bool IsRecordFile(const QString& path) {
  return path.endsWith(QStringLiteral(".csa"), Qt::CaseInsensitive) ||
         path.endsWith(QStringLiteral(".pcl"), Qt::CaseInsensitive) ||
         path.endsWith(QStringLiteral(".skb"), Qt::CaseInsensitive) || IsKakinokiPath(path);
}

std::vector<std::string> ToCoreList(const QStringList& list) {
  std::vector<std::string> out;
  for (const QString& s : list) out.push_back(ToCore(s));
  return out;
}

QStringList FromCoreList(const std::vector<std::string>& list) {
  QStringList out;
  for (const std::string& s : list) out << FromCore(s);
  return out;
}

}  // namespace

Application::Application(AppOptions options)
    : options_(std::move(options)), own_messages_(std::make_unique<QtMessageSink>()), messages_(own_messages_.get()) {
  the_app = this;
  if (!options_.program_dir.endsWith('/')) options_.program_dir += '/';
  if (options_.folders.assets.empty()) options_.folders = AppFolders::Inside(options_.program_dir.toStdString());
  title_file_present_ = QFileInfo::exists(Asset("title.wb"));
  settings_ = std::make_unique<platform::SettingsFile>(ToCore(FolderText(options_.folders.SettingsFile())));
}

QString Application::Asset(const char* name) const { return FolderText(options_.folders.assets) + name; }

// An earlier run kept its settings beside the program: they are copied once into the configuration
// folder, and the old file stays for whoever still uses it.
void Application::CarryOverSettings() {
  const auto exists = [](const std::string& p) { return QFileInfo::exists(FolderText(p)); };
  const std::string old = SettingsToCarryOver(options_.program_dir.toStdString(), options_.folders, exists);
  if (old.empty()) return;
  QDir().mkpath(FolderText(options_.folders.config));
  QFile::copy(FolderText(old), FolderText(options_.folders.SettingsFile()));
}

Application::~Application() {
  delete main_window_;
  if (the_app == this) the_app = nullptr;
}

Application* Application::instance() { return the_app; }

void Application::SetMessageSink(platform::MessageSink* sink) { messages_ = sink ? sink : own_messages_.get(); }

// A second start hands its file to the first one and ends.
bool Application::HandOver() {
  instance_link_ = std::make_unique<SingleInstance>(settings_->path());
  if (!instance_link_->ConnectToRunning()) return false;
  instance_link_->Send(110);
  const QString file = options_.files.isEmpty() ? QString() : QFileInfo(options_.files.first()).absoluteFilePath();
  if (!file.isEmpty() && IsRecordFile(file)) {
    settings_->WriteString(kWakeSection, "KF_WakeUpFile", ToCore(file));
    instance_link_->Send(111);
  }
  return true;
}

int Application::Start() {
  CarryOverSettings();
  // The settings are written at the end and by a second start; their folder is made before either.
  QDir().mkpath(FolderText(options_.folders.config));
  if (HandOver()) return 0;
  QElapsedTimer since_title;
  since_title.start();
  TitleWindow* title = nullptr;
  if (options_.title) {
    title = new TitleWindow();
    title->show();
    QApplication::processEvents();
  }
  platform::DatabaseLock::Instance();  // the "SHGDB" lock exists from here on
  LoadRecentFiles();

  // Database directory: SHGDB, else "database" in the data folder; the setting overrides.
  const std::string default_dir = ToCore(QDir::cleanPath(FolderText(options_.folders.DefaultDatabase())));
  std::string fallback = platform::GetEnv("SHGDB").value_or(default_dir);
  std::string dir = settings_->GetString("SHGDB", "ShgdbDir", fallback);
  if (!platform::SetEnv("SHGDB", dir)) {
    messages_->Show(platform::Utf8ToCp932("環境変数 SHGDB が設定できません。"));
    delete title;
    return 1;
  }
  const QString first_run = MakeSampleDatabase(dir, default_dir);
  kif_window_ = settings_->GetInt(kSettingSection, "KifWindow", 0) != 0;
  sound_on_ = settings_->GetInt(kSettingSection, "KSound", 0) != 0;

  main_window_ = new MainWindow();
  instance_link_->Listen(this);

  if (!options_.files.isEmpty()) {
    const QString file = options_.files.first();
    if (!IsRecordFile(file)) {
      messages_->Show(platform::Utf8ToCp932("CSA または PCL ファイルではありません。"));
      delete title;
      return 1;
    }
    OpenByExtension(file);
  } else {
    NewDocument(DocKind::kGame);
  }
  if (!sound_.Load(ToCore(Asset("kmsound.wav")))) sound_on_ = false;
  ReadSettings();

  if (title) {
    // The title stays at least four whole seconds.
    const qint64 started = QDateTime::currentSecsSinceEpoch() - since_title.elapsed() / 1000;
    while (QDateTime::currentSecsSinceEpoch() - started < 4) {
      QEventLoop wait;
      QTimer::singleShot(100, &wait, &QEventLoop::quit);
      wait.exec();
    }
    delete title;
  }
  main_window_->ShowAsStored();
  if (!first_run.isEmpty()) main_window_->statusBar()->showMessage(first_run);
  if (QDir(FromCore(dir)).exists()) QDir::setCurrent(FromCore(dir));
  return -1;
}

// A first start at the default place finds no database there and gets one with the samples in it; a
// directory chosen by SHGDB or the settings is the user's and is never made for them. Failures never stop
// the start: the returned line (empty when nothing was done) goes to the status bar.
QString Application::MakeSampleDatabase(const std::string& dir, const std::string& default_dir) {
  if (shogidb::NormalizeDirectory(dir) != shogidb::NormalizeDirectory(default_dir)) return {};
  QDir().mkpath(FolderText(options_.folders.data));
  platform::RecordingMessageSink quiet;
  shogidb::DbJob job;
  job.messages = &quiet;
  const shogidb::SampleRecords samples = shogidb::ReadSampleRecords(ToCore(Asset("samples")));
  return FromCore(shogidb::SampleDatabaseReport(shogidb::CreateSampleDatabase(dir, samples, job), dir));
}

void Application::ReadSettings() {
  opening_types_ = FromCoreList(settings_->ReadStringList(kStringSection, "Senkei"));
  database_dirs_ = FromCoreList(settings_->ReadStringList(kStringSection, "Shgdb"));
  slider_forward_ = std::clamp(settings_->GetInt(kSpeedSection, "ValueOfSlider1", 5), 1, 10);
  slider_backward_ = std::clamp(settings_->GetInt(kSpeedSection, "ValueOfSlider2", 9), 1, 10);
  speed_pos_ = QPoint(settings_->GetInt(kSpeedSection, "WindowOffsetX", -1000),
                      settings_->GetInt(kSpeedSection, "WindowOffsetY", -1000));
}

void Application::End() {
  if (auto dir = platform::GetEnv("SHGDB")) settings_->WriteString("SHGDB", "ShgdbDir", *dir);
  settings_->WriteInt(kSettingSection, "KifWindow", kif_window_ ? 1 : 0);
  settings_->WriteInt(kSettingSection, "KSound", sound_on_ ? 1 : 0);
  settings_->WriteStringList(kStringSection, "Senkei", ToCoreList(opening_types_));
  settings_->WriteStringList(kStringSection, "Shgdb", ToCoreList(database_dirs_));
  settings_->WriteInt(kSpeedSection, "ValueOfSlider1", slider_forward_);
  settings_->WriteInt(kSpeedSection, "ValueOfSlider2", slider_backward_);
  settings_->WriteInt(kSpeedSection, "WindowOffsetX", speed_pos_.x());
  settings_->WriteInt(kSpeedSection, "WindowOffsetY", speed_pos_.y());
  WriteRecentFiles();
}

QString Application::database_dir() const { return FromCore(platform::GetEnv("SHGDB").value_or("")); }

BoardImages& Application::images() {
  if (!images_) {
    images_ = std::make_unique<BoardImages>();
    std::string failed;
    switch (LoadBoardImages(ToCore(Asset("")), *images_, &failed)) {
      case ImageLoad::kOk:
        break;
      case ImageLoad::kNoBackground:
        messages_->Show(platform::Utf8ToCp932("背景フォント ") + failed + platform::Utf8ToCp932(" がオープンできません。"));
        std::exit(1);
      case ImageLoad::kNoPieces:
        messages_->Show(platform::Utf8ToCp932("将棋駒画像 ") + failed + platform::Utf8ToCp932(" のオープンに失敗しました。"));
        std::exit(1);
    }
    // Labels drawn by an earlier run, when the assets lack them.
    LoadMissingLabels(ToCore(FolderText(options_.folders.cache)), *images_);
  }
  return *images_;
}

void Application::EnsureLabel(int index) {
  BoardImages& all = images();
  if (index < 0 || index >= kLabelCount || !all.labels[index].empty()) return;
  all.labels[index] = DrawStandLabel(all.backgrounds, index % 2, QString::fromUtf8(kLabelTexts[index]));
  // Saved where regenerable files go: the asset folder may be read-only, and is never written.
  QDir().mkpath(FolderText(options_.folders.cache));
  platform::WriteWholeFile(ToCore(FolderText(options_.folders.cache) + kLabelFiles[index]), WriteDib(all.labels[index]));
}

void Application::PlayPieceSound() {
  if (sound_on()) sound_.Play();
}

int Application::SliderPosition(int direction) const {
  if (speed_dialog_) return speed_dialog_->Position(direction);
  return direction == 1 ? slider_forward_ : slider_backward_;
}

void Application::SetSliderPositions(int forward, int backward) {
  slider_forward_ = std::clamp(forward, 1, 10);
  slider_backward_ = std::clamp(backward, 1, 10);
}

void Application::OpenSpeedDialog() {
  if (!speed_dialog_) speed_dialog_ = new SpeedDialog(main_window_);
  speed_dialog_->show();
  speed_dialog_->raise();
  speed_dialog_->activateWindow();
}

QString Application::NextTitle(DocKind kind) {
  return QString::fromUtf8(TemplateOf(kind).doc_name) + QString::number(++untitled_[static_cast<int>(kind)]);
}

BoardView* Application::NewDocument(DocKind kind) {
  auto* doc = new BoardDocument(kind, messages_);
  doc->OnNewDocument();
  doc->SetTitle(NextTitle(kind));
  BoardView* view = main_window_->AddDocument(doc);
  if (kind == DocKind::kTsume) {
    view->controller().TsumeLayout();
    view->controller().Refresh();
    view->RecordChanged();
    doc->SetModified(false);
  }
  return view;
}

BoardView* Application::OpenDocument(const QString& path, DocKind kind) {
  const QString full = QFileInfo(path).absoluteFilePath();
  // A file already open comes to the front instead of opening twice.
  if (BoardView* open = main_window_->FindDocument(full)) {
    main_window_->Activate(open);
    return open;
  }
  auto* doc = new BoardDocument(kind, messages_);
  doc->OnNewDocument();
  if (!doc->OnOpenDocument(full)) {
    delete doc;
    return nullptr;
  }
  AddRecentFile(full);
  return main_window_->AddDocument(doc);
}

BoardView* Application::OpenByExtension(const QString& path) {
  if (path.endsWith(QStringLiteral(".csa"), Qt::CaseInsensitive)) return OpenDocument(path, DocKind::kGame);
  if (path.endsWith(QStringLiteral(".pcl"), Qt::CaseInsensitive)) return OpenDocument(path, DocKind::kTsume);
  if (IsKakinokiPath(path)) return OpenDocument(path, DocKind::kGame);
  if (path.endsWith(QStringLiteral(".skb"), Qt::CaseInsensitive)) return OpenPositionFile(path);
  return nullptr;
}

void Application::LoadRecentFiles() {
  recent_.clear();
  for (int i = 1; i <= kRecentFiles; ++i) {
    const std::string f = settings_->GetString(kRecentSection, "File" + std::to_string(i), "");
    if (!f.empty()) recent_ << FromCore(f);
  }
}

void Application::WriteRecentFiles() {
  for (int i = 1; i <= kRecentFiles; ++i) {
    const std::string key = "File" + std::to_string(i);
    if (i <= recent_.size()) {
      settings_->WriteString(kRecentSection, key, ToCore(recent_[i - 1]));
    } else {
      settings_->DeleteKey(kRecentSection, key);
    }
  }
}

void Application::AddRecentFile(const QString& path) {
  recent_.removeAll(path);
  recent_.prepend(path);
  while (recent_.size() > kRecentFiles) recent_.removeLast();
}

// A position file has no window of its own: it opens in the set-up window over a new game, whose start
// position it becomes when the set-up ends.
BoardView* Application::OpenPositionFile(const QString& path) {
  BoardView* game = setup_window_ ? nullptr : NewDocument(DocKind::kGame);
  if (game) OpenSetupWindow(game);
  if (!setup_window_) return nullptr;
  setup_window_->raise();
  setup_window_->activateWindow();
  return setup_window_->OpenPath(path) ? (game ? game : main_window_->ActiveView()) : nullptr;
}

void Application::OpenSetupWindow(BoardView* source) {
  if (setup_window_) return;
  setup_window_ = new SetupWindow(source);
  setup_window_->show();
  setup_window_->activateWindow();
}

void Application::HandleInstanceCommand(int command) {
  if (!main_window_) return;
  if (command == 110) {
    if (main_window_->isMinimized()) main_window_->showNormal();
    main_window_->raise();
    main_window_->activateWindow();
  } else if (command == 111) {
    const QString file = FromCore(settings_->GetString(kWakeSection, "KF_WakeUpFile", ""));
    if (IsRecordFile(file)) OpenByExtension(file);
  }
}

void Application::ShowTitleWindow() {
  TitleWindow title;
  title.show();
  QApplication::processEvents();
}

SpeedDialog* Application::speed_dialog() const { return speed_dialog_; }

QPrinter& Application::printer() {
  if (!printer_) printer_ = NewPrinter();
  return *printer_;
}

bool Application::setup_active() const { return setup_window_ != nullptr; }
SetupWindow* Application::setup_window() const { return setup_window_; }
void Application::SetupClosed() { setup_window_ = nullptr; }

}  // namespace app
