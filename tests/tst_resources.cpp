#include <QtTest>

class TestResources : public QObject
{
    Q_OBJECT
};

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
