// The header dialog as a user types into it (offscreen): digit fields switch between bare digits and the
// display form with the focus, a name cannot grow past its bytes, 設定終了 takes the values and remembers
// a new opening type.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include "app/header_dialog.h"
#include "platform/text_codec.h"
#include "record/header_fields.h"

using namespace app;

class HeaderDialogTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void DigitFieldsShowTheirDisplayFormWithoutFocus() {
    record::GameHeader h;
    h.SetField(record::GameHeader::kDate, "20261206");
    QStringList remembered;
    HeaderDialog dialog(true, GameFormValues(h), &remembered, nullptr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* date = qobject_cast<QLineEdit*>(dialog.field(4));
    auto* name = qobject_cast<QLineEdit*>(dialog.field(0));
    QVERIFY(date && name);
    QCOMPARE(date->text(), QStringLiteral("2026/12/06"));
    date->setFocus();
    QTRY_COMPARE(date->text(), QStringLiteral("20261206"));
    date->selectAll();
    QTest::keyClicks(date, "20270315");
    name->setFocus();
    QTRY_COMPARE(date->text(), QStringLiteral("2027/03/15"));

    for (QChar c : QStringLiteral("一二三四五六七八")) name->insert(c);  // 16 bytes: the eighth does not fit
    QCOMPARE(name->text(), QStringLiteral("一二三四五六七"));
    dialog.opening_box()->setCurrentText(QStringLiteral("雁木"));
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.values()[4], std::string("2027/03/15"));
    QCOMPARE(remembered, QStringList{QStringLiteral("雁木")});

    record::GameHeader stored;
    StoreGameValues(dialog.values(), stored);
    QCOMPARE(stored.Field(record::GameHeader::kDate), std::string("20270315"));
    QCOMPARE(QString::fromStdString(platform::Cp932ToUtf8(stored.Players())),
             QStringLiteral("一二三四五六七-対局者不詳"));
  }

  void TheRememberedTypesFollowTheStandardOnes() {
    QStringList remembered{QStringLiteral("雁木")};
    HeaderDialog dialog(true, GameFormValues(record::GameHeader()), &remembered, nullptr);
    QComboBox* box = dialog.opening_box();
    QCOMPARE(box->count(), 44);
    QCOMPARE(box->itemText(0), QStringLiteral("相矢倉"));
    QCOMPARE(box->itemText(43), QStringLiteral("雁木"));
    HeaderDialog tsume(false, ProblemFormValues(record::ProblemHeader()), &remembered, nullptr);
    QVERIFY(tsume.opening_box() == nullptr);
  }
};

QTEST_MAIN(HeaderDialogTest)
#include "header_dialog_test.moc"
