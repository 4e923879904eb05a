#include "app/qt_message_sink.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "app/qt_text.h"
#include "platform/text_codec.h"

namespace app {

namespace {

const char kProduct[] = "駒楽工房";

}  // namespace

void QtMessageSink::Show(std::string_view text) {
  QMessageBox box(QMessageBox::Warning, QString::fromUtf8(kProduct), FromCore(text), QMessageBox::Ok,
                  QApplication::activeWindow());
  box.exec();
}

platform::Answer QtMessageSink::Ask(std::string_view question, platform::Buttons buttons) {
  QMessageBox box(QMessageBox::Question, QString::fromUtf8(kProduct), FromCore(question), QMessageBox::NoButton,
                  QApplication::activeWindow());
  QPushButton* yes = nullptr;
  QPushButton* no = nullptr;
  QPushButton* cancel = nullptr;
  if (buttons == platform::Buttons::kOkCancel) {
    yes = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    cancel = box.addButton(QString::fromUtf8("キャンセル"), QMessageBox::RejectRole);
  } else {
    yes = box.addButton(QString::fromUtf8("はい"), QMessageBox::YesRole);
    no = box.addButton(QString::fromUtf8("いいえ"), QMessageBox::NoRole);
    if (buttons == platform::Buttons::kYesNoCancel) {
      cancel = box.addButton(QString::fromUtf8("キャンセル"), QMessageBox::RejectRole);
    }
  }
  box.setDefaultButton(yes);
  box.exec();
  if (box.clickedButton() == yes) return platform::Answer::kYes;
  if (no && box.clickedButton() == no) return platform::Answer::kNo;
  return cancel ? platform::Answer::kCancel : platform::Answer::kNo;
}

bool AskToSaveChanges(platform::MessageSink& messages, const QString& name, const std::function<bool()>& save) {
  switch (messages.Ask(ToCore(name) + platform::Utf8ToCp932(" への変更を保存しますか?"), platform::Buttons::kYesNoCancel)) {
    case platform::Answer::kYes:
      return save();
    case platform::Answer::kNo:
      return true;
    case platform::Answer::kCancel:
      break;
  }
  return false;
}

}  // namespace app
