#include <QtTest>

class TestStardate : public QObject
{
    Q_OBJECT
};

QTEST_APPLESS_MAIN(TestStardate)
#include "tst_stardate.moc"
