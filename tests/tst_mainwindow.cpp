#include <QtTest>

class TestMainwindow : public QObject
{
    Q_OBJECT
};

QTEST_MAIN(TestMainwindow)
#include "tst_mainwindow.moc"
