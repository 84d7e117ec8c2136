// Draws the main window's background picture. Not part of the build; run once and commit
// its output:
//   g++ -std=c++20 -fPIC make_backdrop.cpp $(pkg-config --cflags --libs Qt6Gui) -o make_backdrop
//   QT_QPA_PLATFORM=offscreen ./make_backdrop backdrop.png icon.png ../../../dist/gravewind-128.png
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <numbers>

namespace {

constexpr int kWidth = 1600;
constexpr int kHeight = 1000;

void drawGrid(QPainter& p) {
    QPen fine(QColor(150, 180, 210, 14), 1);
    QPen major(QColor(150, 180, 210, 28), 1);
    for (int x = 0; x <= kWidth; x += 40) {
        p.setPen(x % 200 == 0 ? major : fine);
        p.drawLine(x, 0, x, kHeight);
    }
    for (int y = 0; y <= kHeight; y += 40) {
        p.setPen(y % 200 == 0 ? major : fine);
        p.drawLine(0, y, kWidth, y);
    }
}

QPointF polar(QPointF centre, double radius, double degrees) {
    const double a = (degrees - 90.0) * std::numbers::pi / 180.0;
    return centre + QPointF(radius * std::cos(a), radius * std::sin(a));
}

void drawRose(QPainter& p, QPointF c, double r) {
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(200, 170, 110, 60), 2));
    p.drawEllipse(c, r * 1.02, r * 1.02);
    p.setPen(QPen(QColor(200, 170, 110, 40), 1));
    p.drawEllipse(c, r * 0.94, r * 0.94);
    p.drawEllipse(c, r * 0.35, r * 0.35);
    for (int deg = 0; deg < 360; deg += 5) {
        const double inner = deg % 45 == 0 ? 0.86 : (deg % 15 == 0 ? 0.9 : 0.92);
        p.drawLine(polar(c, r * inner, deg), polar(c, r * 0.94, deg));
    }
    // Eight points: the four long ones lit on one side, shaded on the other.
    for (int i = 0; i < 8; ++i) {
        const double deg = i * 45.0;
        const double length = i % 2 == 0 ? r * 0.84 : r * 0.5;
        const double half = i % 2 == 0 ? 11.0 : 9.0;
        const QPointF tip = polar(c, length, deg);
        const QPointF left = polar(c, r * 0.12, deg - half * 2);
        const QPointF right = polar(c, r * 0.12, deg + half * 2);
        QPainterPath lit, shade;
        lit.moveTo(c);
        lit.lineTo(left);
        lit.lineTo(tip);
        lit.closeSubpath();
        shade.moveTo(c);
        shade.lineTo(right);
        shade.lineTo(tip);
        shade.closeSubpath();
        const int alpha = i % 2 == 0 ? 70 : 45;
        p.setPen(QPen(QColor(210, 180, 120, alpha), 1));
        p.setBrush(QColor(210, 180, 120, alpha));
        p.drawPath(lit);
        p.setBrush(QColor(90, 75, 50, alpha));
        p.drawPath(shade);
    }
    p.setBrush(QColor(210, 180, 120, 80));
    p.setPen(Qt::NoPen);
    p.drawEllipse(c, 5, 5);
    // North marker.
    QFont f(QStringLiteral("serif"));
    f.setPixelSize(static_cast<int>(r * 0.16));
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(210, 180, 120, 90));
    const QPointF n = polar(c, r * 1.14, 0);
    p.drawText(QRectF(n.x() - 40, n.y() - 30, 80, 60), Qt::AlignCenter, QStringLiteral("N"));
}

void drawCoastline(QPainter& p) {
    // A loose, invented shoreline: a few smooth strokes suggesting a map without being one.
    QPainterPath coast;
    coast.moveTo(-20, 640);
    coast.cubicTo(180, 600, 260, 700, 420, 660);
    coast.cubicTo(560, 620, 600, 520, 760, 540);
    coast.cubicTo(900, 560, 940, 690, 1080, 720);
    coast.cubicTo(1200, 745, 1260, 880, 1300, 1020);
    p.setBrush(Qt::NoBrush);
    for (int k = 0; k < 4; ++k) {
        p.setPen(QPen(QColor(140, 190, 220, 26 - k * 5), 2.0 + k * 3));
        p.drawPath(coast.translated(0, k * 9));
    }
}

// The window icon: the same rose, bright on a dark disc, drawn at 64 pixels and scaled.
QImage drawIcon(int size) {
    QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter q(&icon);
    q.setRenderHint(QPainter::Antialiasing);
    q.scale(size / 64.0, size / 64.0);
    q.setPen(Qt::NoPen);
    q.setBrush(QColor(0x1b, 0x24, 0x33));
    q.drawEllipse(QPointF(32, 32), 31, 31);
    for (int pass = 0; pass < 3; ++pass) drawRose(q, QPointF(32, 34), 26);
    return icon;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, kWidth * 0.3, kHeight);
    sky.setColorAt(0.0, QColor(0x24, 0x30, 0x42));
    sky.setColorAt(0.55, QColor(0x18, 0x20, 0x2d));
    sky.setColorAt(1.0, QColor(0x0e, 0x12, 0x1a));
    p.fillRect(image.rect(), sky);

    drawGrid(p);
    drawCoastline(p);
    drawRose(p, QPointF(kWidth * 0.74, kHeight * 0.42), kHeight * 0.3);

    QRadialGradient vignette(QPointF(kWidth / 2.0, kHeight / 2.0), kWidth * 0.65);
    vignette.setColorAt(0.55, QColor(0, 0, 0, 0));
    vignette.setColorAt(1.0, QColor(0, 0, 0, 140));
    p.fillRect(image.rect(), vignette);
    p.end();

    const bool saved =
        image.save(QString::fromLocal8Bit(argc > 1 ? argv[1] : "backdrop.png")) &&
        drawIcon(64).save(QString::fromLocal8Bit(argc > 2 ? argv[2] : "icon.png")) &&
        drawIcon(128).save(QString::fromLocal8Bit(argc > 3 ? argv[3] : "gravewind-128.png"));
    return saved ? 0 : 1;
}
