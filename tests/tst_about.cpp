#include <QtTest>

class TestAbout : public QObject
{
    Q_OBJECT
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
