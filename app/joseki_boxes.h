// The joseki browser's two modeless boxes: 定跡手の特性 (222: the evaluations of the positions before and
// after the selected move and the move's value) and 形勢評価値の設定 (223: the evaluation of the selected
// item's position). Each shows the browser's selection (107, 108) and writes with 更新; the database lock
// is taken without waiting and a held lock is answered with "データベースは使用中です".
#pragma once
#include <QDialog>

#include "app/core/joseki_tree.h"

class QLabel;
class QSpinBox;
class QVBoxLayout;

namespace app {

class JosekiBox : public QDialog {
  Q_OBJECT

 public:
  // 107 / 108: the box shows the item now selected (its values read when the database is free).
  virtual void ShowItem(const JosekiCell& cell) = 0;
  // 更新: false when nothing was written (database busy, update failed, no move).
  virtual bool Update() = 0;

 protected:
  explicit JosekiBox(QWidget* owner);
  // The 更新 and 閉じる row at the foot of the box.
  void AddButtons(QVBoxLayout* layout);
  static QSpinBox* EvaluationSpin(QWidget* parent);
  shogidb::DbJob Job() const;
  std::string Directory() const;

  JosekiCell cell_;
};

class JosekiPropertiesBox final : public JosekiBox {
  Q_OBJECT

 public:
  explicit JosekiPropertiesBox(QWidget* owner);
  void ShowItem(const JosekiCell& cell) override;
  bool Update() override;

  QSpinBox* before() const { return before_; }
  QSpinBox* after() const { return after_; }
  QSpinBox* value() const { return value_; }

 private:
  QLabel* move_;
  QSpinBox* before_;
  QSpinBox* after_;
  QSpinBox* value_;
};

class JosekiEvaluationBox final : public JosekiBox {
  Q_OBJECT

 public:
  explicit JosekiEvaluationBox(QWidget* owner);
  void ShowItem(const JosekiCell& cell) override;
  bool Update() override;

  QSpinBox* evaluation() const { return evaluation_; }

 private:
  QLabel* move_;
  QSpinBox* evaluation_;
};

}  // namespace app
