// The progress window 実行の状況 (offscreen): the newest 5000 lines of a job, 実行中断 between items, a
// question asked from the worker answered on the window's thread, no closing while the job runs.
#include <QListWidget>
#include <QTest>
#include <atomic>
#include <thread>

#include "app/progress_window.h"
#include "platform/message_sink.h"

using namespace app;

class ProgressWindowTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void KeepsTheNewestLinesAndAsksOnTheWindowThread() {
    platform::RecordingMessageSink sink;
    sink.default_answer = platform::Answer::kYes;
    bool confirmed = false;
    ProgressWindow window([&](const shogidb::DbJob& job) {
      for (int i = 1; i <= 6000; ++i) job.Line("line " + std::to_string(i));
      confirmed = job.Confirm("go on?");
    }, nullptr, &sink);
    window.Start();
    QVERIFY(window.running());
    window.close();  // refused while the job runs
    QTRY_VERIFY_WITH_TIMEOUT(!window.running(), 10000);
    QVERIFY(confirmed);
    QCOMPARE(sink.questions.size(), size_t(1));
    QCOMPARE(window.list()->count(), ProgressWindow::kMaxLines);
    QCOMPARE(window.list()->item(0)->text(), QStringLiteral("line 1001"));
    QCOMPARE(window.list()->item(4999)->text(), QStringLiteral("line 6000"));
  }

  void StopEndsTheJobBetweenItems() {
    std::atomic<int> items{0};
    platform::RecordingMessageSink sink;
    ProgressWindow window([&](const shogidb::DbJob& job) {
      while (!job.Stopped()) {
        ++items;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
      job.Line("stopped");
    }, nullptr, &sink);
    window.Start();
    QTRY_VERIFY(items > 3);
    window.Stop();
    QTRY_VERIFY_WITH_TIMEOUT(!window.running(), 5000);
    QCOMPARE(window.list()->item(window.list()->count() - 1)->text(), QStringLiteral("stopped"));
  }
};

QTEST_MAIN(ProgressWindowTest)
#include "progress_window_test.moc"
