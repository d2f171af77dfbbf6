#include <QtTest>

class TestCompute : public QObject
{
    Q_OBJECT
};

QTEST_MAIN(TestCompute)
#include "tst_compute.moc"
