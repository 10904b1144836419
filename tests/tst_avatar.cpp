#include "avatar.h"
#include "scene.h"

#include <QtTest>

#include <cmath>

Q_DECLARE_METATYPE(point3)
Q_DECLARE_METATYPE(Avatar)

namespace {

// A detail on a wall heading along `direction`, spanning the given box.
Detail wallDetail(point3 direction, point3 min, point3 max)
{
    Detail detail(106, 12, 200, 7, "pannello.png", "Lupo");
    detail.direction = direction;
    detail.box.add(min);
    detail.box.add(max);
    detail.maxCorner = max;
    detail.panel = 2;
    return detail;
}

Avatar avatarAt(point3 position, float yaw = 0, float pitch = 0, float fov = 85)
{
    Avatar avatar;
    avatar.position = position;
    avatar.yaw = yaw;
    avatar.pitch = pitch;
    avatar.fov = fov;
    return avatar;
}

bool fuzzyEqual(point3 a, point3 b, float tolerance = 1e-5f)
{
    return std::fabs(a.x - b.x) < tolerance && std::fabs(a.y - b.y) < tolerance
           && std::fabs(a.z - b.z) < tolerance;
}

// Angles that differ by whole turns point the same way.
bool sameAngle(float a, float b)
{
    return std::fabs(std::remainder(a - b, 360.0f)) < 1e-3f;
}

QString describe(point3 p)
{
    return QString("(%1, %2, %3)").arg(double(p.x)).arg(double(p.y)).arg(double(p.z));
}

} // namespace

class TestAvatar : public QObject
{
    Q_OBJECT

private slots:
    void defaultsAndStartView();
    void rotateBy_data();
    void rotateBy();
    void zoom_data();
    void zoom();
    void setInFrontOf_data();
    void setInFrontOf();
    void setInFrontOfRefusesUnplaceableDetails_data();
    void setInFrontOfRefusesUnplaceableDetails();
    void lookAt_data();
    void lookAt();
    void lookAtFromTheCentreKeepsAngles();
    void distance_data();
    void distance();
    void interpolate_data();
    void interpolate();
};

void TestAvatar::defaultsAndStartView()
{
    Avatar avatar;
    QCOMPARE(avatar.fov, 85.0f);
    QCOMPARE(avatar.position, point3(0, 0, 0));

    Scene scene;
    scene.bounds.add(0, 0, 0);
    scene.bounds.add(8, 0, 6);
    avatar = avatarAt(point3(1, 1, 1), 30, 20, 40);
    avatar.resetToStart(scene);
    QCOMPARE(avatar.yaw, 0.0f);
    QCOMPARE(avatar.pitch, 0.0f);
    QCOMPARE(avatar.fov, 85.0f);
    QCOMPARE(avatar.position, point3(4, 1.7f, 3));
}

void TestAvatar::rotateBy_data()
{
    QTest::addColumn<float>("yaw");
    QTest::addColumn<float>("pitch");
    QTest::addColumn<int>("dx");
    QTest::addColumn<int>("dy");
    QTest::addColumn<float>("expectedYaw");
    QTest::addColumn<float>("expectedPitch");

    QTest::newRow("drag right turns left") << 0.0f << 0.0f << -10 << 0 << 1.0f << 0.0f;
    QTest::newRow("drag down tilts up") << 0.0f << 0.0f << 0 << -50 << 0.0f << 5.0f;
    QTest::newRow("yaw past 360 folds once") << 359.5f << 0.0f << -10 << 0 << 0.5f << 0.0f;
    QTest::newRow("yaw past -360 folds once") << -359.5f << 0.0f << 10 << 0 << -0.5f << 0.0f;
    QTest::newRow("pitch stops at 35") << 0.0f << 30.0f << 0 << -100 << 0.0f << 35.0f;
    QTest::newRow("pitch stops at -70") << 0.0f << -60.0f << 0 << 200 << 0.0f << -70.0f;
}

void TestAvatar::rotateBy()
{
    QFETCH(float, yaw);
    QFETCH(float, pitch);
    QFETCH(int, dx);
    QFETCH(int, dy);
    Avatar avatar = avatarAt(point3(), yaw, pitch);
    avatar.rotateBy(dx, dy);
    QFETCH(float, expectedYaw);
    QFETCH(float, expectedPitch);
    QVERIFY(qFuzzyCompare(avatar.yaw + 1000, expectedYaw + 1000));
    QCOMPARE(avatar.pitch, expectedPitch);
}

void TestAvatar::zoom_data()
{
    QTest::addColumn<float>("fov");
    QTest::addColumn<float>("yaw");
    QTest::addColumn<bool>("zoomIn");
    QTest::addColumn<float>("expectedFov");
    QTest::addColumn<point3>("expectedPosition");

    QTest::newRow("in at 11 stops at 10") << 11.0f << 0.0f << true << 10.0f << point3();
    QTest::newRow("in at 10 stays") << 10.0f << 0.0f << true << 10.0f << point3();
    QTest::newRow("in at 85") << 85.0f << 0.0f << true << 83.0f << point3();
    QTest::newRow("out at 88 reaches 90 in place") << 88.0f << 0.0f << false << 90.0f << point3();
    QTest::newRow("out at 89 backs off toward +z") << 89.0f << 0.0f << false << 90.0f << point3(0, 0, 0.066f);
    QTest::newRow("out at 90 backs off toward +z") << 90.0f << 0.0f << false << 90.0f << point3(0, 0, 0.066f);
    QTest::newRow("out at 90 facing -x backs off toward +x")
        << 90.0f << 90.0f << false << 90.0f << point3(0.066f, 0, 0);
}

void TestAvatar::zoom()
{
    QFETCH(float, fov);
    QFETCH(float, yaw);
    QFETCH(bool, zoomIn);
    QFETCH(float, expectedFov);
    QFETCH(point3, expectedPosition);
    Avatar avatar = avatarAt(point3(), yaw, 0, fov);
    if (zoomIn)
        avatar.zoomIn();
    else
        avatar.zoomOut();
    QCOMPARE(avatar.fov, expectedFov);
    QVERIFY2(fuzzyEqual(avatar.position, expectedPosition), qPrintable(describe(avatar.position)));
}

void TestAvatar::setInFrontOf_data()
{
    QTest::addColumn<point3>("direction");
    QTest::addColumn<point3>("boxMin");
    QTest::addColumn<point3>("boxMax");
    QTest::addColumn<float>("aspect");
    QTest::addColumn<float>("expectedYaw");
    QTest::addColumn<point3>("expectedPosition");
    QTest::addColumn<QString>("loggedNormal");

    // Box centre (2, 1.982, 0), top edge 3.464 high: tan 60 = 1.732, so a
    // wide window stands 1.0 in front of it.
    const point3 alongX(1, 0, 0), alongZ(0, 0, 1);
    const point3 minX(1, 0.5f, 0), maxX(3, 3.464f, 0), minZ(2, 0.5f, -1), maxZ(2, 3.464f, 1);
    const QString facingMinusZ = "0.000000 0.000000 -1.000000";
    QTest::newRow("wall along +x, wide window")
        << alongX << minX << maxX << 1.6f << 0.0f << point3(2, 1.982f, 1) << facingMinusZ;
    QTest::newRow("wall along +x, square window")
        << alongX << minX << maxX << 1.0f << 0.0f << point3(2, 1.982f, 1) << facingMinusZ;
    QTest::newRow("wall along +x, window twice as high as wide")
        << alongX << minX << maxX << 0.5f << 0.0f << point3(2, 1.982f, 2) << facingMinusZ;
    QTest::newRow("wall along +z faces -x")
        << alongZ << minZ << maxZ << 1.6f << -90.0f << point3(1, 1.982f, 0)
        << "1.000000 0.000000 -?0.000000";
}

void TestAvatar::setInFrontOf()
{
    QFETCH(point3, direction);
    QFETCH(point3, boxMin);
    QFETCH(point3, boxMax);
    QFETCH(float, aspect);
    QFETCH(float, expectedYaw);
    QFETCH(point3, expectedPosition);
    QFETCH(QString, loggedNormal);
    Avatar avatar = avatarAt(point3(5, 5, 5), 33, 12, 85);
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^Detail: Lupo \\(panel 2\\) Norm = " + loggedNormal + "$"));
    QVERIFY(avatar.setInFrontOf(wallDetail(direction, boxMin, boxMax), aspect));
    QCOMPARE(avatar.fov, 60.0f);
    QCOMPARE(avatar.pitch, 0.0f);
    QVERIFY(sameAngle(avatar.yaw, expectedYaw));
    // tan 60 is 1.7320508, so 3.464 / (2 tan 60) is 1.0 to four places.
    QVERIFY2(fuzzyEqual(avatar.position, expectedPosition, 1e-4f), qPrintable(describe(avatar.position)));
}

void TestAvatar::setInFrontOfRefusesUnplaceableDetails_data()
{
    QTest::addColumn<point3>("direction");
    QTest::addColumn<float>("top");
    QTest::addColumn<float>("aspect");
    QTest::addColumn<QString>("warning");

    QTest::newRow("detail on no section") << point3() << 2.0f << 1.6f << "lies on no wall section";
    QTest::newRow("top edge on the floor") << point3(1, 0, 0) << 0.0f << 1.6f << "not above the floor";
    QTest::newRow("top edge below the floor") << point3(1, 0, 0) << -1.0f << 1.6f << "not above the floor";
    QTest::newRow("window without width") << point3(1, 0, 0) << 2.0f << 0.0f << "no finite camera";
}

void TestAvatar::setInFrontOfRefusesUnplaceableDetails()
{
    QFETCH(point3, direction);
    QFETCH(float, top);
    QFETCH(float, aspect);
    QFETCH(QString, warning);
    const Detail detail = wallDetail(direction, point3(1, top - 1, 0), point3(3, top, 0));
    const Avatar before = avatarAt(point3(5, 1.7f, 5), 33, 12, 85);
    Avatar avatar = before;
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^Detail: Lupo \\(panel 2\\)"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(warning));
    QVERIFY(!avatar.setInFrontOf(detail, aspect));
    QCOMPARE(avatar.position, before.position);
    QCOMPARE(avatar.yaw, before.yaw);
    QCOMPARE(avatar.pitch, before.pitch);
    QCOMPARE(avatar.fov, before.fov);
}

void TestAvatar::lookAt_data()
{
    QTest::addColumn<point3>("centre");
    QTest::addColumn<float>("expectedYaw");
    QTest::addColumn<float>("expectedPitch");

    QTest::newRow("straight ahead") << point3(0, 1.7f, -2) << 0.0f << 0.0f;
    QTest::newRow("to the left") << point3(-2, 1.7f, 0) << 90.0f << 0.0f;
    QTest::newRow("behind") << point3(0, 1.7f, 2) << 180.0f << 0.0f;
    QTest::newRow("up at 45 degrees") << point3(0, 3.7f, -2) << 0.0f << 45.0f;
    QTest::newRow("down at 45 degrees behind") << point3(0, -0.3f, 2) << 180.0f << -45.0f;
}

void TestAvatar::lookAt()
{
    QFETCH(point3, centre);
    QFETCH(float, expectedYaw);
    QFETCH(float, expectedPitch);
    const Detail detail = wallDetail(point3(1, 0, 0), centre, centre);
    Avatar avatar = avatarAt(point3(0, 1.7f, 0), 10, 10, 70);
    QVERIFY(avatar.lookAt(detail));
    QVERIFY(std::isfinite(avatar.pitch));
    QVERIFY(sameAngle(avatar.yaw, expectedYaw));
    QVERIFY(qFuzzyCompare(avatar.pitch + 360, expectedPitch + 360));
    QCOMPARE(avatar.fov, 70.0f);
    QCOMPARE(avatar.position, point3(0, 1.7f, 0));
}

void TestAvatar::lookAtFromTheCentreKeepsAngles()
{
    const Detail detail = wallDetail(point3(1, 0, 0), point3(0, 1.7f, 0), point3(0, 1.7f, 0));
    Avatar avatar = avatarAt(point3(0, 1.7f, 0), 10, 20, 70);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("centre of detail 106"));
    QVERIFY(!avatar.lookAt(detail));
    QCOMPARE(avatar.yaw, 10.0f);
    QCOMPARE(avatar.pitch, 20.0f);
}

void TestAvatar::distance_data()
{
    QTest::addColumn<Avatar>("a");
    QTest::addColumn<Avatar>("b");
    QTest::addColumn<float>("expected");

    const Avatar origin = avatarAt(point3(), 0, 0, 60);
    QTest::newRow("same avatar") << origin << origin << 0.0f;
    QTest::newRow("position weighs 80") << avatarAt(point3(0.1f, 0, 0), 0, 0, 60) << origin
                                         << std::sqrt(0.8f);
    QTest::newRow("yaw 350 to 10 is 20 degrees") << avatarAt(point3(), 350, 0, 60)
                                                 << avatarAt(point3(), 10, 0, 60)
                                                 << std::sqrt(400.0f / 6.0f);
    QTest::newRow("pitch weighs a sixth") << avatarAt(point3(), 0, 30, 60) << origin
                                          << std::sqrt(900.0f / 6.0f);
    QTest::newRow("field of view weighs 1") << avatarAt(point3(), 0, 0, 63) << origin << 3.0f;
}

void TestAvatar::distance()
{
    QFETCH(Avatar, a);
    QFETCH(Avatar, b);
    QFETCH(float, expected);
    QVERIFY(qFuzzyCompare(avatarDistance(a, b) + 1, expected + 1));
    QVERIFY(qFuzzyCompare(avatarDistance(b, a) + 1, expected + 1));
}

void TestAvatar::interpolate_data()
{
    QTest::addColumn<Avatar>("a");
    QTest::addColumn<Avatar>("b");
    QTest::addColumn<float>("t");
    QTest::addColumn<Avatar>("expected");

    const Avatar from = avatarAt(point3(0, 1, 2), 350, -10, 85);
    const Avatar to = avatarAt(point3(4, 1, 0), 10, 10, 60);
    QTest::newRow("t 0 gives the start") << from << to << 0.0f << from;
    QTest::newRow("t below 0 gives the start") << from << to << -0.5f << from;
    QTest::newRow("t 1 gives the target") << from << to << 1.0f << to;
    QTest::newRow("t above 1 gives the target") << from << to << 1.25f << to;
    QTest::newRow("yaw 350 to 10 passes 360")
        << from << to << 0.5f << avatarAt(point3(2, 1, 1), 360, 0, 72.5f);
    QTest::newRow("yaw 10 to 350 passes 0")
        << to << from << 0.5f << avatarAt(point3(2, 1, 1), 0, 0, 72.5f);
    QTest::newRow("yaw -170 to 170 passes -180")
        << avatarAt(point3(), -170, 0, 60) << avatarAt(point3(), 170, 0, 60) << 0.5f
        << avatarAt(point3(), -180, 0, 60);
}

void TestAvatar::interpolate()
{
    QFETCH(Avatar, a);
    QFETCH(Avatar, b);
    QFETCH(float, t);
    QFETCH(Avatar, expected);
    const Avatar r = interpolateAvatars(a, b, t);
    QVERIFY(qFuzzyCompare(r.yaw + 1000, expected.yaw + 1000));
    QVERIFY(qFuzzyCompare(r.pitch + 1000, expected.pitch + 1000));
    QVERIFY(qFuzzyCompare(r.fov, expected.fov));
    QVERIFY(fuzzyEqual(r.position, expected.position));
    if (t >= 1)
        QCOMPARE(r.position, b.position); // exactly the target
}

QTEST_GUILESS_MAIN(TestAvatar)
#include "tst_avatar.moc"
