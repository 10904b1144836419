#include "avatar.h"
#include "scene.h"

#include <QtTest>

#include <cmath>

Q_DECLARE_METATYPE(Avatar)
Q_DECLARE_METATYPE(Detail)

namespace {

Avatar avatar(float yaw, float pitch, float fov, point3 position = point3())
{
    Avatar a;
    a.yaw = yaw;
    a.pitch = pitch;
    a.fov = fov;
    a.position = position;
    return a;
}

// A detail on a wall heading along `direction`, with the box from min to max.
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

// Angles that differ by whole turns point the same way.
bool same(const Avatar& a, const Avatar& b, float tolerance = 1e-4f)
{
    return std::fabs(std::remainder(a.yaw - b.yaw, 360.0f)) <= tolerance
           && std::fabs(a.pitch - b.pitch) <= tolerance && std::fabs(a.fov - b.fov) <= tolerance
           && (a.position - b.position).length() <= tolerance;
}

QByteArray describe(const Avatar& a)
{
    return QString("yaw %1 pitch %2 fov %3 at (%4, %5, %6)")
        .arg(double(a.yaw)).arg(double(a.pitch)).arg(double(a.fov))
        .arg(double(a.position.x)).arg(double(a.position.y)).arg(double(a.position.z)).toUtf8();
}

} // namespace

class TestAvatar : public QObject
{
    Q_OBJECT

private slots:
    void startView();
    void moves_data();
    void moves();
    void placing_data();
    void placing();
    void distance_data();
    void distance();
    void interpolate_data();
    void interpolate();
};

void TestAvatar::startView()
{
    QVERIFY(same(Avatar(), avatar(0, 0, 85)));
    Scene scene;
    scene.bounds.add(0, 0, 0);
    scene.bounds.add(8, 0, 6);
    Avatar a = avatar(30, 20, 40, point3(1, 1, 1));
    a.resetToStart(scene);
    QVERIFY2(same(a, avatar(0, 0, 85, point3(4, 1.7f, 3)), 0), describe(a));
}

void TestAvatar::moves_data()
{
    QTest::addColumn<Avatar>("start");
    QTest::addColumn<QPoint>("drag");
    QTest::addColumn<int>("wheel"); // 1 zooms in, -1 out
    QTest::addColumn<Avatar>("expected");

    QTest::newRow("drag right turns left") << avatar(0, 0, 85) << QPoint(-10, 0) << 0 << avatar(1, 0, 85);
    QTest::newRow("drag down tilts up") << avatar(0, 0, 85) << QPoint(0, -50) << 0 << avatar(0, 5, 85);
    QTest::newRow("yaw past 360 folds once") << avatar(359.5f, 0, 85) << QPoint(-10, 0) << 0 << avatar(0.5f, 0, 85);
    QTest::newRow("yaw past -360 folds once") << avatar(-359.5f, 0, 85) << QPoint(10, 0) << 0 << avatar(-0.5f, 0, 85);
    QTest::newRow("pitch stops at 35") << avatar(0, 30, 85) << QPoint(0, -100) << 0 << avatar(0, 35, 85);
    QTest::newRow("pitch stops at -70") << avatar(0, -60, 85) << QPoint(0, 200) << 0 << avatar(0, -70, 85);
    QTest::newRow("zoom in at 11 stops at 10") << avatar(0, 0, 11) << QPoint() << 1 << avatar(0, 0, 10);
    QTest::newRow("zoom in at 10 stays") << avatar(0, 0, 10) << QPoint() << 1 << avatar(0, 0, 10);
    QTest::newRow("zoom out at 88 reaches 90 in place") << avatar(0, 0, 88) << QPoint() << -1 << avatar(0, 0, 90);
    QTest::newRow("zoom out at 89 backs off toward +z")
        << avatar(0, 0, 89) << QPoint() << -1 << avatar(0, 0, 90, point3(0, 0, 0.066f));
    QTest::newRow("zoom out at 90 facing -x backs off toward +x")
        << avatar(90, 0, 90) << QPoint() << -1 << avatar(90, 0, 90, point3(0.066f, 0, 0));
}

void TestAvatar::moves()
{
    QFETCH(Avatar, start);
    QFETCH(QPoint, drag);
    QFETCH(int, wheel);
    QFETCH(Avatar, expected);
    if (!drag.isNull())
        start.rotateBy(drag.x(), drag.y());
    if (wheel > 0)
        start.zoomIn();
    else if (wheel < 0)
        start.zoomOut();
    QVERIFY2(same(start, expected, 1e-5f), describe(start));
}

void TestAvatar::placing_data()
{
    QTest::addColumn<bool>("inFront"); // setInFrontOf, or else lookAt
    QTest::addColumn<Detail>("detail");
    QTest::addColumn<float>("aspect");
    QTest::addColumn<Avatar>("expected");
    QTest::addColumn<QString>("warning");

    // Box centre (2, 1.982, 0), top edge 3.464 high: tan 60 = 1.732, so a
    // wide window stands 1.0 in front of it (3.464 / 3.4641 to four places).
    const Detail onX = wallDetail(point3(1, 0, 0), point3(1, 0.5f, 0), point3(3, 3.464f, 0));
    const Detail onZ = wallDetail(point3(0, 0, 1), point3(2, 0.5f, -1), point3(2, 3.464f, 1));
    const Avatar camera = avatar(33, 12, 70, point3(2, 1.982f, 2));
    QTest::newRow("in front, wide window") << true << onX << 1.6f << avatar(0, 0, 60, point3(2, 1.982f, 1)) << "";
    QTest::newRow("in front, square window") << true << onX << 1.0f << avatar(0, 0, 60, point3(2, 1.982f, 1)) << "";
    QTest::newRow("in front, tall window backs off") << true << onX << 0.5f << avatar(0, 0, 60, point3(2, 1.982f, 2)) << "";
    QTest::newRow("in front, wall along +z faces -x")
        << true << onZ << 1.6f << avatar(-90, 0, 60, point3(1, 1.982f, 0)) << "";
    QTest::newRow("in front of a detail on no section")
        << true << wallDetail(point3(), point3(), point3(1, 2, 0)) << 1.6f << camera << "lies on no wall section";
    QTest::newRow("in front of a top edge on the floor")
        << true << wallDetail(point3(1, 0, 0), point3(1, -1, 0), point3(2, 0, 0)) << 1.6f << camera
        << "not above the floor";
    QTest::newRow("in front, window without width") << true << onX << 0.0f << camera << "no finite camera";
    QTest::newRow("look straight ahead") << false << onX << 1.0f << avatar(0, 0, 70, camera.position) << "";
    QTest::newRow("look up at 45 degrees")
        << false << wallDetail(point3(1, 0, 0), point3(2, 3.982f, 0), point3(2, 3.982f, 0)) << 1.0f
        << avatar(0, 45, 70, camera.position) << "";
    QTest::newRow("look to the left, behind")
        << false << wallDetail(point3(1, 0, 0), point3(0, 1.982f, 4), point3(0, 1.982f, 4)) << 1.0f
        << avatar(135, 0, 70, camera.position) << "";
    QTest::newRow("look from the detail's centre")
        << false << wallDetail(point3(1, 0, 0), camera.position, camera.position) << 1.0f << camera
        << "stands at the centre of detail 106";
    QTest::newRow("look at a detail on no section")
        << false << wallDetail(point3(), point3(), point3()) << 1.0f << camera << "lies on no wall section";
}

void TestAvatar::placing()
{
    QFETCH(bool, inFront);
    QFETCH(Detail, detail);
    QFETCH(float, aspect);
    QFETCH(Avatar, expected);
    QFETCH(QString, warning);
    Avatar a = avatar(33, 12, 70, point3(2, 1.982f, 2));
    if (inFront)
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^Detail: Lupo \\(panel 2\\) Norm = -?\\d\\.\\d{6} "
                                                            "-?\\d\\.\\d{6} -?\\d\\.\\d{6}$"));
    if (!warning.isEmpty())
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(warning));
    const bool placed = inFront ? a.setInFrontOf(detail, aspect) : a.lookAt(detail);
    QCOMPARE(placed, warning.isEmpty());
    QVERIFY2(same(a, expected), describe(a));
}

void TestAvatar::distance_data()
{
    QTest::addColumn<Avatar>("a");
    QTest::addColumn<Avatar>("b");
    QTest::addColumn<float>("expected");

    const Avatar origin = avatar(0, 0, 60);
    QTest::newRow("same avatar") << origin << origin << 0.0f;
    QTest::newRow("position weighs 80") << avatar(0, 0, 60, point3(0.1f, 0, 0)) << origin << std::sqrt(0.8f);
    QTest::newRow("yaw 350 to 10 is 20 degrees") << avatar(350, 0, 60) << avatar(10, 0, 60) << std::sqrt(400.0f / 6);
    QTest::newRow("pitch weighs a sixth") << avatar(0, 30, 60) << origin << std::sqrt(900.0f / 6);
    QTest::newRow("field of view weighs 1") << avatar(0, 0, 63) << origin << 3.0f;
    QTest::newRow("0.4 away arrives in one tick") << avatar(0, 0, 60.4f) << origin << 0.4f;
}

void TestAvatar::distance()
{
    QFETCH(Avatar, a);
    QFETCH(Avatar, b);
    QFETCH(float, expected);
    QVERIFY(qFuzzyCompare(avatarDistance(a, b) + 1, expected + 1));
    QVERIFY(qFuzzyCompare(avatarDistance(b, a) + 1, expected + 1));
    // The animation step: t = 1.5 / d / 3 reaches 1 once d is 0.5 or less.
    if (expected > 0 && expected <= 0.5f)
        QVERIFY(same(interpolateAvatars(a, b, 1.5f / avatarDistance(a, b) / 3), b, 0));
}

void TestAvatar::interpolate_data()
{
    QTest::addColumn<Avatar>("a");
    QTest::addColumn<Avatar>("b");
    QTest::addColumn<float>("t");
    QTest::addColumn<Avatar>("expected");

    const Avatar from = avatar(350, -10, 85, point3(0, 1, 2));
    const Avatar to = avatar(10, 10, 60, point3(4, 1, 0));
    QTest::newRow("t 0 gives the start") << from << to << 0.0f << from;
    QTest::newRow("t below 0 gives the start") << from << to << -0.5f << from;
    QTest::newRow("t 1 gives the target") << from << to << 1.0f << to;
    QTest::newRow("t above 1 gives the target") << from << to << 1.25f << to;
    QTest::newRow("yaw 350 to 10 passes 360") << from << to << 0.5f << avatar(360, 0, 72.5f, point3(2, 1, 1));
    QTest::newRow("yaw 10 to 350 passes 0") << to << from << 0.5f << avatar(0, 0, 72.5f, point3(2, 1, 1));
    QTest::newRow("yaw -170 to 170 passes -180") << avatar(-170, 0, 60) << avatar(170, 0, 60) << 0.5f
                                                 << avatar(-180, 0, 60);
}

void TestAvatar::interpolate()
{
    QFETCH(Avatar, a);
    QFETCH(Avatar, b);
    QFETCH(float, t);
    QFETCH(Avatar, expected);
    const Avatar r = interpolateAvatars(a, b, t);
    // Exact at the ends; the short way round never wraps the yaw itself.
    QVERIFY2(same(r, expected, t <= 0 || t >= 1 ? 0 : 1e-4f), describe(r));
    QVERIFY(std::fabs(r.yaw - expected.yaw) < 1e-3f);
}

QTEST_GUILESS_MAIN(TestAvatar)
#include "tst_avatar.moc"
