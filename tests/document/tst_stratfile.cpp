#include <QtTest>
class TestStratFile : public QObject { Q_OBJECT };
QTEST_GUILESS_MAIN(TestStratFile)
#include "tst_stratfile.moc"
