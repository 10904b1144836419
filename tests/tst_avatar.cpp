#include "avatar.h"
#include "detail.h"
#include "scene.h"

#include <QtTest>

#include <algorithm>
#include <cmath>
#include <functional>

// One operation on the camera; false where it does not go as the row expects.
using Move = std::function<bool(Avatar&)>;
Q_DECLARE_METATYPE(Avatar)
Q_DECLARE_METATYPE(Move)

inline bool operator==(const Avatar& a, const Avatar& b)
{
    return std::fabs(a.yaw - b.yaw) <= 1e-4f && std::fabs(a.pitch - b.pitch) <= 1e-4f
           && std::fabs(a.fov - b.fov) <= 1e-4f && (a.position - b.position).length() <= 1e-4f;
}

template <>
char* QTest::toString(const Avatar& a)
{
    return qstrdup(QString::asprintf("yaw %g pitch %g fov %g at (%g, %g, %g)", double(a.yaw), double(a.pitch),
                                     double(a.fov), double(a.position.x), double(a.position.y),
                                     double(a.position.z)).toUtf8());
}

namespace {

Avatar avatar(float yaw, float pitch = 0, float fov = 85, point3 at = {}) { return {yaw, pitch, fov, at}; }

// A camera swinging the long way round by yaw: 20 degrees apart, not 340.
const Avatar from = avatar(350, -10, 85, {0, 1, 2}), to = avatar(10, 10, 60, {4, 1, 0});

// A detail on a wall heading along `direction`, with the box from min to max.
Detail wall(point3 direction, point3 min, point3 max)
{
    Detail detail(106, 12, 200, 7, "pannello.png", "Lupo");
    detail.direction = direction;
    detail.box = {min, max, false};
    detail.maxCorner = max;
    detail.panel = 2;
    return detail;
}

const QRegularExpression detailLine("^Detail: Lupo \\(panel 2\\) Norm =( -?\\d\\.\\d{6}){3}$");
Move drag(int dx, int dy) { return [=](Avatar& a) { a.rotateBy(dx, dy); return true; }; }
Move zoom(bool in) { return [=](Avatar& a) { in ? a.zoomIn() : a.zoomOut(); return true; }; }
Move look(const Detail& d) { return [=](Avatar& a) { return a.lookAt(d); }; }
Move step(Avatar b, float t) { return [=](Avatar& a) { a = interpolateAvatars(a, b, t); return true; }; }
Move front(const Detail& d, float aspect)
{
    return [=](Avatar& a) { QTest::ignoreMessage(QtDebugMsg, detailLine); return a.setInFrontOf(d, aspect); };
}
// A move the camera refuses with a warning, staying where it was.
Move refused(const Move& move, const QString& warning)
{
    return [=](Avatar& a) { QTest::ignoreMessage(QtWarningMsg, QRegularExpression(warning)); return !move(a); };
}

} // namespace

class TestAvatar : public QObject
{
    Q_OBJECT

private slots:
    void moves_data();
    void moves();
    void distance();
    void demoRoomSharpInFrontOfEveryDetail();
};

void TestAvatar::moves_data()
{
    QTest::addColumn<Avatar>("start");
    QTest::addColumn<Move>("move");
    QTest::addColumn<Avatar>("expected");
    QTest::newRow("drag right and down turns left and up") << Avatar() << drag(-10, -50) << avatar(1, 5);
    QTest::newRow("yaw past 360 folds") << avatar(359.5f) << drag(-10, 0) << avatar(0.5f);
    QTest::newRow("pitch stops at 35") << avatar(0, 30) << drag(0, -100) << avatar(0, 35);
    QTest::newRow("pitch stops at -70") << avatar(0, -60) << drag(0, 200) << avatar(0, -70);
    QTest::newRow("zoom in at 11 stops at 10") << avatar(0, 0, 11) << zoom(true) << avatar(0, 0, 10);
    QTest::newRow("zoom out at 88 reaches 90 in place") << avatar(0, 0, 88) << zoom(false) << avatar(0, 0, 90);
    // 0.066 back, along +x by the sine of the yaw and along +z by its cosine.
    QTest::newRow("zoom out at 89 backs off")
        << avatar(30, 0, 89) << zoom(false) << avatar(30, 0, 90, {0.033f, 0, 0.05716f});

    // Box centre (2, 1.982, 0), top edge 3.464 high: tan 60 = 1.732, so a
    // wide window stands 1.0 in front of it (3.464 / 3.4641 to four places).
    const Detail onX = wall({1, 0, 0}, {1, 0.5f, 0}, {3, 3.464f, 0}), onNone = wall({}, {}, {1, 2, 0});
    const Detail onZ = wall({0, 0, 1}, {2, 0.5f, -1}, {2, 3.464f, 1});
    const Detail onFloor = wall({1, 0, 0}, {1, -1, 0}, {2, 0, 0});
    const Avatar camera = avatar(33, 12, 70, {2, 1.982f, 2});
    QTest::newRow("in front, wide window") << camera << front(onX, 1.6f) << avatar(0, 0, 60, {2, 1.982f, 1});
    QTest::newRow("in front, tall window backs off")
        << camera << front(onX, 0.5f) << avatar(0, 0, 60, {2, 1.982f, 2});
    QTest::newRow("in front, wall along +z") << camera << front(onZ, 1.6f) << avatar(-90, 0, 60, {1, 1.982f, 0});
    QTest::newRow("in front of a detail on no section")
        << camera << refused(front(onNone, 1.6f), "no wall section") << camera;
    QTest::newRow("in front of a top edge on the floor")
        << camera << refused(front(onFloor, 1.6f), "not above the floor") << camera;
    QTest::newRow("in front, window without width")
        << camera << refused(front(onX, 0), "no finite camera") << camera;
    // 2 left, 2 behind and 2.828 up: 45 degrees up, turned 135 degrees.
    const point3 upLeftBehind(0, 4.810427f, 4);
    QTest::newRow("look up to the left, behind")
        << camera << look(wall({1, 0, 0}, upLeftBehind, upLeftBehind)) << avatar(135, 45, 70, camera.position);
    QTest::newRow("look from the detail's centre")
        << camera << refused(look(wall({1, 0, 0}, camera.position, camera.position)), "at the centre") << camera;
    QTest::newRow("look at a detail on no section")
        << camera << refused(look(onNone), "no wall section") << camera;

    QTest::newRow("yaw 350 to 10 passes 360") << from << step(to, 0.5f) << avatar(360, 0, 72.5f, {2, 1, 1});
    QTest::newRow("yaw 10 to 350 passes 0") << to << step(from, 0.5f) << avatar(0, 0, 72.5f, {2, 1, 1});
    QTest::newRow("t 1 gives the target exactly") << from << step(to, 1) << to;
    // The animation step t = 1.5 / d / 3 reaches 1 once d is 0.5 or less.
    QTest::newRow("0.4 away arrives in one step")
        << avatar(0, 0, 60.4f) << step(avatar(0, 0, 60), 1.25f) << avatar(0, 0, 60);
}

void TestAvatar::moves()
{
    QFETCH(Avatar, start);
    QFETCH(Move, move);
    QVERIFY(move(start));
    QTEST(start, "expected");
}

void TestAvatar::distance()
{
    // Position weighs 80, angles a sixth and the field of view 1.
    QCOMPARE(avatarDistance(from, to), std::sqrt(80 * 20 + 800.0f / 6 + 625));
    QCOMPARE(avatarDistance(to, from), std::sqrt(80 * 20 + 800.0f / 6 + 625));
    QCOMPARE(avatarDistance(avatar(0, 0, 60.4f), avatar(0, 0, 60)), 0.4f);
}

// Flown to on a kiosk screen of 1280 x 800, every painted detail of the demo
// room shows at least one texel of its panel to each pixel, across (where the
// view widens the room 1.3 times) and down.
void TestAvatar::demoRoomSharpInFrontOfEveryDetail()
{
    Scene scene;
    QVERIFY(scene.readXML("Stanza.xml"));
    QVERIFY(scene.details.size() >= 40);
    for (const Detail& detail : scene.details) {
        Avatar camera;
        QVERIFY(camera.setInFrontOf(detail, 1280.0f / 800.0f));
        const float distance = (detail.box.center() - camera.position).length();
        const float pixelsPerMetre = 800 / 2 / (distance * std::tan(camera.fov * float(M_PI) / 360));
        const auto& pictures = scene.sections.at(detail.panel).pictures;
        const auto itsMap = [&](const Picture& p) { return p.mapPath.endsWith("/" + detail.name); };
        QCOMPARE(int(std::count_if(pictures.begin(), pictures.end(), itsMap)), 1);
        const Picture& picture = *std::find_if(pictures.begin(), pictures.end(), itsMap);
        const float across = picture.image.width() / picture.size.x;
        const float down = picture.image.height() / picture.size.y;
        QVERIFY2(across >= 1.3f * pixelsPerMetre && down >= pixelsPerMetre,
                 qPrintable(QString("%1 at %2 m: %3 x %4 texels a metre for %5 pixels").arg(detail.name)
                                .arg(distance).arg(across).arg(down).arg(pixelsPerMetre)));
    }
}

QTEST_GUILESS_MAIN(TestAvatar)
#include "tst_avatar.moc"
