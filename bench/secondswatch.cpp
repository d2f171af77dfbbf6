// Watches the seconds of the real main window for a while and tells whether the clock text ever
// skipped a second or showed one twice. Every paint of the clock label is looked at; whenever the
// text on screen has changed, the wall time is noted.
//
//   secondswatch [SECONDS]      (default 60)
//
// Prints one "change WALLMS LATEMS TEXT" line per text shown (the first one included), then
//   summary changes=N skipped=N repeated=N late_min_ms=N late_median_ms=N late_max_ms=N
//           gap_min_ms=N gap_max_ms=N
// where "changes" counts the changes after the first text, "late" is how long after the full
// second shown the text reached the screen (in the summary from the second text on: the first
// comes a second after the start, wherever in a second that falls), and "gap" the wall time
// between two changes. A skipped second is a step of more than one second; a repeated one is a
// second that stayed on screen for two ticks, seen as a gap of 1.5 s or more, or a step of none
// or backwards.

#include "mainwindow.h"
#include "patterns.h"
#include "startup.h"

#include <QApplication>
#include <QDateTime>
#include <QEvent>
#include <QLabel>
#include <QTimer>
#include <QVector>

#include <algorithm>
#include <cstdio>

namespace {


struct Change
{
    qint64 wallMs;
    QString text;
};

class PaintWatcher : public QObject
{
public:
    explicit PaintWatcher(QLabel *label)
        : label(label)
    {
        label->installEventFilter(this);
    }

    QVector<Change> changes;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == label && event->type() == QEvent::Paint) {
            const QString text = label->text();
            if (!text.isEmpty() && (changes.isEmpty() || changes.constLast().text != text))
                changes.append({ QDateTime::currentMSecsSinceEpoch(), text });
        }
        return false;
    }

private:
    QLabel *label;
};

} // namespace

int main(int argc, char *argv[])
{
    drawPlainlyOnX11();
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 60;
    if (seconds <= 0) {
        std::fprintf(stderr, "usage: secondswatch [SECONDS]\n");
        return 2;
    }

    MainWindow window;
    auto *clock = window.findChild<QLabel *>(QStringLiteral("showNormalTime"));
    if (!clock) {
        std::fprintf(stderr, "secondswatch: the main window has no label showNormalTime\n");
        return 1;
    }
    PaintWatcher watcher(clock);
    window.show();
    // The first text comes with the first tick; the watch starts there and lasts the full time.
    QTimer::singleShot(1000 + seconds * 1000 + 500, &app, &QApplication::quit);
    app.exec();

    int skipped = 0;
    int repeated = 0;
    QVector<qint64> lates;
    qint64 gapMin = 1000000;
    qint64 gapMax = 0;
    QDateTime previous;
    const int changes = int(watcher.changes.size());
    for (int i = 0; i < changes; ++i) {
        const Change &change = watcher.changes.at(i);
        const QDateTime shown = QDateTime::fromString(change.text, QLatin1String(clockPattern));
        const qint64 late = change.wallMs - shown.toMSecsSinceEpoch();
        std::printf("change %lld %lld %s\n", change.wallMs, late, qPrintable(change.text));
        if (i > 0) {
            lates.append(late);
            const qint64 step = previous.secsTo(shown);
            const qint64 gap = change.wallMs - watcher.changes.at(i - 1).wallMs;
            gapMin = std::min(gapMin, gap);
            gapMax = std::max(gapMax, gap);
            if (step > 1)
                ++skipped;
            if (step < 1 || gap >= 1500)
                ++repeated;
        }
        previous = shown;
    }
    std::sort(lates.begin(), lates.end());
    const qint64 lateMedian = lates.isEmpty() ? 0 : lates.at(lates.size() / 2);
    std::printf("summary changes=%d skipped=%d repeated=%d late_min_ms=%lld late_median_ms=%lld "
                "late_max_ms=%lld gap_min_ms=%lld gap_max_ms=%lld\n",
                std::max(0, int(watcher.changes.size()) - 1), skipped, repeated,
                lates.isEmpty() ? 0 : lates.constFirst(), lateMedian, lates.isEmpty() ? 0 : lates.constLast(),
                gapMin, gapMax);
    return 0;
}
