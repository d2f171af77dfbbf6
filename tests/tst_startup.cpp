#include <QtTest>

class TestStartup : public QObject
{
    Q_OBJECT
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
