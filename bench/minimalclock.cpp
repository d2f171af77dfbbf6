// The yardstick of the performance record: what the user of Sternzeit sees, done with nothing
// else. The splash picture for 1.1 s, from 0.95 s on the black clock window with the same
// pictures, captions and buttons, whose three texts a 1000 ms timer writes. No form, no theme
// library, no dialogs, no dragging; one style sheet for the whole window.

#include "stardate.h"

#include <QApplication>
#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSplashScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const char windowSheet[] =
    "QWidget#clock { background-color: black; }\n"
    "QLabel { color: white; font-family: 'Arial'; font-size: 24px; }\n"
    "QLabel#line { background-color: #EA8500; }\n"
    "QPushButton { color: black; font-family: 'Arial'; font-size: 12px; font-weight: bold; border: 2px solid #000000;"
    " border-radius: 11px; padding: 5px; min-width: 80px;"
    " background: qradialgradient(cx: 0.3, cy: -0.4, fx: 0.3, fy: -0.4, radius: 1.35,"
    " stop: 0 #fff, stop: 1 #EA8500); }\n";

QLabel *picture(const char *path)
{
    auto *label = new QLabel;
    label->setPixmap(QPixmap(QLatin1String(path)));
    return label;
}

QLabel *orangeLine()
{
    auto *line = new QLabel;
    line->setObjectName(QStringLiteral("line"));
    line->setFixedHeight(2);
    return line;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);

    auto *splash = new QSplashScreen(QPixmap(QStringLiteral(":/Bilder/Splashscreen.png")),
                                     Qt::WindowStaysOnTopHint | Qt::FramelessWindowHint);
    splash->setAttribute(Qt::WA_DeleteOnClose);
    splash->show();

    QWidget window(nullptr, Qt::FramelessWindowHint);
    window.setObjectName(QStringLiteral("clock"));
    window.setStyleSheet(QLatin1String(windowSheet));
    window.resize(820, 313);

    auto *now = new QLabel;
    auto *own = new QLabel;
    auto *formula = new QLabel;
    auto *texts = new QVBoxLayout;
    texts->addWidget(new QLabel(QStringLiteral("Aktuelle Zeit:")));
    texts->addWidget(now);
    texts->addWidget(orangeLine());
    texts->addWidget(new QLabel(QStringLiteral("Mein Sternzeitformat:")));
    texts->addWidget(own);
    texts->addWidget(orangeLine());
    texts->addWidget(new QLabel(QStringLiteral("Anderes Sternzeitformat:")));
    texts->addWidget(formula);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(new QPushButton(QStringLiteral("Berechnen")), 0, Qt::AlignHCenter);
    buttons->addWidget(new QPushButton(QStringLiteral("Info")), 0, Qt::AlignHCenter);
    auto *quit = new QPushButton(QStringLiteral("Schließen"));
    buttons->addWidget(quit, 0, Qt::AlignHCenter);
    QObject::connect(quit, &QPushButton::clicked, &window, &QWidget::close);

    auto *middle = new QHBoxLayout;
    middle->addWidget(picture(":/Bilder/logo.png"), 0, Qt::AlignCenter);
    middle->addLayout(texts);
    middle->addLayout(buttons);

    auto *column = new QVBoxLayout(&window);
    column->addWidget(picture(":/Bilder/lcarssternezeit.png"));
    column->addLayout(middle);
    column->addWidget(picture(":/Bilder/lcarssternezeit.png"));

    QTimer clock;
    clock.setTimerType(Qt::PreciseTimer);
    QObject::connect(&clock, &QTimer::timeout, [=] {
        const QDateTime dateTime = QDateTime::currentDateTime();
        const QDate date = dateTime.date();
        const QTime time = dateTime.time();
        now->setText(dateTime.toString(QStringLiteral("dd.MM.yyyy - hh:mm:ss")));
        own->setText(ownStardateText(dateTime));
        formula->setText(formulaStardateText(date.year(), date.dayOfYear(), time.hour(), time.minute()));
    });
    clock.start(1000);

    QTimer::singleShot(950, &window, &QWidget::show);
    QTimer::singleShot(1100, splash, &QWidget::close);
    return app.exec();
}
