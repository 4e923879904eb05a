#include "app/command_ui.h"

#include <QMenuBar>

#include "app/core/command_ids.h"

namespace app {

namespace {

bool Checkable(int id) {
  switch (id) {
    case cmd::kSound:
    case cmd::kRecordWindowAlways:
    case cmd::kAutoAnnotation:
    case cmd::kStatusBar:
    case cmd::kEditorToolbar:
    case cmd::kSideSente:
    case cmd::kSideGote:
    case cmd::kSideUnset:
    case cmd::kZoom100:
    case cmd::kZoom150:
    case cmd::kZoom200:
    case cmd::kLastMoveMark:
    case cmd::kSolverIterative:
    case cmd::kSolverProofNumber:
      return true;
    default:
      return false;
  }
}

}  // namespace

CommandUi::CommandUi(QMainWindow* window, Query query, Execute execute)
    : QObject(window), window_(window), query_(std::move(query)), execute_(std::move(execute)) {}

QAction* CommandUi::Action(int id) {
  auto it = actions_.find(id);
  if (it != actions_.end()) return it->second;
  auto* a = new QAction(window_);
  a->setObjectName(QStringLiteral("cmd%1").arg(id));
  a->setData(id);
  a->setCheckable(Checkable(id));
  a->setStatusTip(QString::fromStdString(CommandPrompt(id)));
  a->setToolTip(QString::fromStdString(CommandToolTip(id)));
  a->setText(QString::fromStdString(CommandText(id, kind_)));
  const QIcon icon = ToolbarIcon(id);
  if (!icon.isNull()) a->setIcon(icon);
  a->setIconVisibleInMenu(false);
  a->setShortcutContext(Qt::WindowShortcut);
  connect(a, &QAction::triggered, this, [this, id] { execute_(id); });
  window_->addAction(a);
  actions_[id] = a;
  return a;
}

void CommandUi::SetKind(WindowKind kind, const FillMenu& recent, const FillMenu& windows) {
  kind_ = kind;
  for (auto& [id, a] : actions_) {
    a->setShortcut(QKeySequence());
    a->setText(QString::fromStdString(CommandText(id, kind)));
  }
  for (const Accelerator& acc : AcceleratorsOf(kind)) {
    QAction* a = Action(acc.id);
    QList<QKeySequence> keys = a->shortcuts();
    keys << QKeySequence(QString::fromLatin1(acc.keys));
    a->setShortcuts(keys);
  }
  QMenuBar* bar = window_->menuBar();
  bar->clear();
  for (const MenuSpec& spec : MenusOf(kind)) {
    QMenu* menu = bar->addMenu(QString::fromUtf8(spec.title));
    QMenu* target = menu;
    for (const MenuEntry& e : spec.entries) {
      if (e.id == kSeparator) {
        target->addSeparator();
      } else if (e.id == kSubmenuBegin) {
        target = menu->addMenu(QString::fromUtf8(e.title));
      } else if (e.id == kSubmenuEnd) {
        target = menu;
      } else if (e.id == cmd::kRecentFile || e.id == kWindowList) {
        const FillMenu& fill = e.id == cmd::kRecentFile ? recent : windows;
        if (!fill) continue;
        QAction* placeholder = target->addSeparator();
        placeholder->setVisible(false);
        QMenu* m = target;
        connect(menu, &QMenu::aboutToShow, this, [m, placeholder, fill] {
          for (QAction* old : m->actions()) {
            if (old->property("dynamic").toBool()) delete old;
          }
          fill(m, placeholder);
        });
      } else {
        target->addAction(Action(e.id));
      }
    }
    connect(menu, &QMenu::aboutToShow, this, [this] { Update(); });
  }
  Update();
}

void CommandUi::Update() {
  for (auto& [id, a] : actions_) {
    CommandState s = query_(id);
    a->setEnabled(s.handled && s.enabled);
    if (a->isCheckable()) a->setChecked(s.checked);
    a->setText(QString::fromStdString(s.text.empty() ? CommandText(id, kind_) : s.text));
  }
}

}  // namespace app
