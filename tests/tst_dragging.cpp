#include <QtTest>

class TestDragging : public QObject
{
    Q_OBJECT
};

QTEST_MAIN(TestDragging)
#include "tst_dragging.moc"
