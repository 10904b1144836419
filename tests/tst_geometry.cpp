#include "geometry.h"

#include <QtTest>

class TestGeometry : public QObject
{
    Q_OBJECT

private slots:
    void boxStartsEmptyAtOrigin();
    void resetKeepsCoordinates();
    void boxGrowsAndCentres();
    void vectorArithmetic();
};

void TestGeometry::boxStartsEmptyAtOrigin()
{
    BoundingBox box;
    QVERIFY(box.empty);
    QCOMPARE(box.min, point3(0, 0, 0));
    QCOMPARE(box.max, point3(0, 0, 0));
}

void TestGeometry::resetKeepsCoordinates()
{
    BoundingBox box;
    box.add(1, 2, 3);
    box.add(-1, 5, 0);
    box.reset();
    QVERIFY(box.empty);
    QCOMPARE(box.min, point3(-1, 2, 0));
    QCOMPARE(box.max, point3(1, 5, 3));
    // The first point after a reset replaces both corners.
    box.add(7, 7, 7);
    QCOMPARE(box.min, point3(7, 7, 7));
    QCOMPARE(box.max, point3(7, 7, 7));
}

void TestGeometry::boxGrowsAndCentres()
{
    BoundingBox box;
    box.add(0, 0, 0);
    box.add(8, 1, 6);
    box.add(4, -1, 3);
    QVERIFY(!box.empty);
    QCOMPARE(box.min, point3(0, -1, 0));
    QCOMPARE(box.max, point3(8, 1, 6));
    QCOMPARE(box.center(), point3(4, 0, 3));
}

void TestGeometry::vectorArithmetic()
{
    const point3 x(1, 0, 0), y(0, 1, 0);
    QCOMPARE(x.cross(y), point3(0, 0, 1));
    QCOMPARE(point3(3, 0, 4).length(), 5.0f);
    QCOMPARE(point3(0, 0, -2).normalized(), point3(0, 0, -1));
    QCOMPARE(point3().normalized(), point3(0, 0, 0));
    QCOMPARE(point3(1, 2, 3) - point3(1, 1, 1), point3(0, 1, 2));
    QCOMPARE(point3(1, 2, 3) * 2.0f, point3(2, 4, 6));
}

QTEST_GUILESS_MAIN(TestGeometry)
#include "tst_geometry.moc"
