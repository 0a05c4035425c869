// Draws the icons and the launcher banner of the resource library.
//
//   draw_art <resources folder>
//
// writes icons/<id>.png (32 x 32), icons/<id>_16.png (16 x 16), bitmaps/21110.bmp (311 x 175,
// 24 bits per pixel) and for screens at 200 % the same drawings at twice the size:
// icons/<id>@2x.png (64 x 64) and bitmaps/21110@2x.bmp (622 x 350); the 16-pixel icon's double
// is the 32-pixel one. Run by hand after a change; the pictures are committed.
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>

#include <functional>

namespace {

// Every drawing works in a 32-unit square; the painter scales it to the icon size.
using Drawing = std::function<void(QPainter&)>;

const QColor kCaseDark(0x34, 0x4a, 0x5e);
const QColor kCaseLight(0x5d, 0x7a, 0x94);
const QColor kScreen(0x3d, 0x8b, 0xd8);
const QColor kAccent(0xf0, 0x8c, 0x1e);
const QColor kArrowGreen(0x2e, 0x9e, 0x4f);
const QColor kArrowOrange(0xe0, 0x6c, 0x12);
const QColor kOutline(0x1e, 0x2b, 0x38);

void drawController(QPainter& p, const QRectF& r) {
    QLinearGradient body(r.topLeft(), r.topRight());
    body.setColorAt(0, kCaseLight);
    body.setColorAt(1, kCaseDark);
    p.setPen(QPen(kOutline, 1));
    p.setBrush(body);
    p.drawRoundedRect(r, 1.5, 1.5);
    // Display window and status lamp.
    const QRectF display(r.left() + r.width() * 0.2, r.top() + r.height() * 0.12, r.width() * 0.6,
                         r.height() * 0.22);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x9c, 0xe0, 0x8c));
    p.drawRect(display);
    p.setBrush(kAccent);
    const qreal lamp = r.width() * 0.22;
    p.drawEllipse(QRectF(r.center().x() - lamp / 2, r.top() + r.height() * 0.48, lamp, lamp));
    // Connector row at the foot.
    p.setBrush(QColor(0xcf, 0xd8, 0xe0));
    p.drawRect(QRectF(r.left() + r.width() * 0.2, r.bottom() - r.height() * 0.2, r.width() * 0.6,
                      r.height() * 0.08));
}

void drawComputer(QPainter& p, const QRectF& screenRect) {
    p.setPen(QPen(kOutline, 1));
    p.setBrush(QColor(0xd9, 0xde, 0xe3));
    p.drawRoundedRect(screenRect, 1.5, 1.5);
    QLinearGradient glass(screenRect.topLeft(), screenRect.bottomRight());
    glass.setColorAt(0, kScreen.lighter(140));
    glass.setColorAt(1, kScreen);
    p.setPen(Qt::NoPen);
    p.setBrush(glass);
    p.drawRect(screenRect.adjusted(1.5, 1.5, -1.5, -1.5));
    const qreal cx = screenRect.center().x();
    p.setBrush(QColor(0x8a, 0x96, 0xa2));
    p.drawRect(QRectF(cx - 1.5, screenRect.bottom(), 3, 2.5));
    p.setPen(QPen(kOutline, 1));
    p.setBrush(QColor(0xb8, 0xc1, 0xca));
    p.drawRoundedRect(QRectF(cx - screenRect.width() * 0.35, screenRect.bottom() + 2.5,
                             screenRect.width() * 0.7, 2.5),
                      1, 1);
}

// A bold arrow from `from` to `to` (horizontal or vertical).
void drawArrow(QPainter& p, QPointF from, QPointF to, const QColor& colour, qreal width = 4) {
    const QLineF line(from, to);
    const qreal length = line.length();
    const QPointF unit = (to - from) / length;
    const QPointF normal(-unit.y(), unit.x());
    const qreal head = width * 1.6;
    const QPointF neck = to - unit * head;
    QPainterPath path;
    path.moveTo(from + normal * (width / 2));
    path.lineTo(neck + normal * (width / 2));
    path.lineTo(neck + normal * head);
    path.lineTo(to);
    path.lineTo(neck - normal * head);
    path.lineTo(neck - normal * (width / 2));
    path.lineTo(from - normal * (width / 2));
    path.closeSubpath();
    p.setPen(QPen(colour.darker(150), 0.8));
    p.setBrush(colour);
    p.drawPath(path);
}

void drawActuator(QPainter& p, const QRectF& r) {
    // Rail, motor at the left end, slider on the rail.
    const qreal railTop = r.top() + r.height() * 0.45;
    QRectF rail(r.left() + r.width() * 0.22, railTop, r.width() * 0.78, r.height() * 0.38);
    QLinearGradient steel(rail.topLeft(), rail.bottomLeft());
    steel.setColorAt(0, QColor(0xe8, 0xec, 0xf0));
    steel.setColorAt(0.5, QColor(0xa9, 0xb4, 0xbf));
    steel.setColorAt(1, QColor(0x74, 0x82, 0x90));
    p.setPen(QPen(kOutline, 1));
    p.setBrush(steel);
    p.drawRect(rail);
    QRectF motor(r.left(), r.top() + r.height() * 0.3, r.width() * 0.24, r.height() * 0.6);
    QLinearGradient dark(motor.topLeft(), motor.bottomLeft());
    dark.setColorAt(0, kCaseLight);
    dark.setColorAt(1, kCaseDark);
    p.setBrush(dark);
    p.drawRoundedRect(motor, 1.5, 1.5);
    QRectF slider(r.left() + r.width() * 0.52, r.top() + r.height() * 0.2, r.width() * 0.3,
                  r.height() * 0.32);
    QLinearGradient orange(slider.topLeft(), slider.bottomLeft());
    orange.setColorAt(0, kAccent.lighter(130));
    orange.setColorAt(1, kAccent.darker(120));
    p.setBrush(orange);
    p.drawRoundedRect(slider, 1.2, 1.2);
}

void drawPage(QPainter& p, const QRectF& r) {
    QPainterPath page;
    const qreal fold = r.width() * 0.3;
    page.moveTo(r.topLeft());
    page.lineTo(r.right() - fold, r.top());
    page.lineTo(r.right(), r.top() + fold);
    page.lineTo(r.bottomRight());
    page.lineTo(r.bottomLeft());
    page.closeSubpath();
    p.setPen(QPen(kOutline, 1));
    p.setBrush(Qt::white);
    p.drawPath(page);
    p.setPen(QPen(QColor(0x8a, 0x9a, 0xaa), 1.4));
    for (qreal y = r.top() + r.height() * 0.35; y < r.bottom() - 2; y += r.height() * 0.16)
        p.drawLine(QPointF(r.left() + 3, y), QPointF(r.right() - 3, y));
}

void drawWarning(QPainter& p, const QRectF& r) {
    QPainterPath triangle;
    triangle.moveTo(r.center().x(), r.top());
    triangle.lineTo(r.bottomRight());
    triangle.lineTo(r.bottomLeft());
    triangle.closeSubpath();
    p.setPen(QPen(QColor(0x8a, 0x4b, 0x00), 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(0xff, 0xc8, 0x1e));
    p.drawPath(triangle);
    p.setPen(QPen(QColor(0x30, 0x20, 0x00), r.width() * 0.12, Qt::SolidLine, Qt::RoundCap));
    const qreal cx = r.center().x();
    p.drawLine(QPointF(cx, r.top() + r.height() * 0.35), QPointF(cx, r.top() + r.height() * 0.65));
    p.drawPoint(QPointF(cx, r.top() + r.height() * 0.83));
}

void drawBadge(QPainter& p, const QPointF& centre, qreal radius, const QColor& colour,
               const QString& text) {
    p.setPen(QPen(colour.darker(150), 1));
    p.setBrush(colour);
    p.drawEllipse(centre, radius, radius);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(qRound(radius * 1.4));
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(centre.x() - radius, centre.y() - radius, radius * 2, radius * 2),
               Qt::AlignCenter, text);
}

// A circular arrow around `centre`, ending in a head (clockwise).
void drawCircularArrow(QPainter& p, const QPointF& centre, qreal radius, const QColor& colour) {
    const QRectF box(centre.x() - radius, centre.y() - radius, radius * 2, radius * 2);
    p.setPen(QPen(colour, radius * 0.42, Qt::SolidLine, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(box, 100 * 16, 280 * 16);
    // Head at the arc's start (angle 100 degrees), pointing clockwise.
    const QPointF tip(centre.x() + radius * 0.35, centre.y() - radius);
    QPainterPath head;
    head.moveTo(tip + QPointF(radius * 0.55, 0));
    head.lineTo(tip + QPointF(-radius * 0.35, -radius * 0.6));
    head.lineTo(tip + QPointF(-radius * 0.35, radius * 0.6));
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(head);
}

// Backup: controller to PC.
void backup(QPainter& p) {
    drawController(p, QRectF(1.5, 9.5, 10, 20));
    drawComputer(p, QRectF(15.5, 13.5, 15, 11));
    drawArrow(p, QPointF(4, 5), QPointF(29, 5), kArrowGreen, 4);
}

// Restore: PC to controller.
void restore(QPainter& p) {
    drawComputer(p, QRectF(1.5, 13.5, 15, 11));
    drawController(p, QRectF(20.5, 9.5, 10, 20));
    drawArrow(p, QPointF(3, 5), QPointF(28, 5), kArrowOrange, 4);
}

void alarmHistory(QPainter& p) {
    drawPage(p, QRectF(3.5, 1.5, 19, 25));
    drawWarning(p, QRectF(13, 13, 18, 17));
}

void initialise(QPainter& p) {
    drawActuator(p, QRectF(1, 14, 30, 17));
    drawCircularArrow(p, QPointF(16, 8), 6.2, kArrowGreen);
}

void application(QPainter& p) {
    drawActuator(p, QRectF(1, 6, 30, 22));
}

void newData(QPainter& p) {
    drawPage(p, QRectF(4.5, 1.5, 20, 28));
    drawBadge(p, QPointF(22, 22), 8, kArrowGreen, QStringLiteral("+"));
}

void nodeSelect(QPainter& p) {
    drawController(p, QRectF(3.5, 4.5, 13, 25));
    drawBadge(p, QPointF(22.5, 21), 8.5, kScreen.darker(120), QStringLiteral("#"));
}

void switchController(QPainter& p) {
    drawController(p, QRectF(1.5, 6.5, 10, 20));
    drawController(p, QRectF(20.5, 6.5, 10, 20));
    drawArrow(p, QPointF(12, 12), QPointF(20, 12), kArrowGreen, 3);
    drawArrow(p, QPointF(20, 21), QPointF(12, 21), kArrowOrange, 3);
}

void panelComputer(QPainter& p) {
    drawComputer(p, QRectF(2.5, 4.5, 27, 19));
}

void panelController(QPainter& p) {
    drawController(p, QRectF(8.5, 2.5, 15, 27));
}

bool writeIcon(const QDir& dir, int id, const Drawing& draw) {
    for (int size : {32, 16, 64}) {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 32.0, size / 32.0);
        draw(p);
        p.end();
        const QString name = size == 32   ? QStringLiteral("%1.png").arg(id)
                             : size == 64 ? QStringLiteral("%1@2x.png").arg(id)
                                          : QStringLiteral("%1_%2.png").arg(id).arg(size);
        if (!image.save(dir.filePath(name), "PNG"))
            return false;
    }
    return true;
}

// `scale` 2 draws the same banner with twice the pixels each way.
bool writeBanner(const QDir& dir, int scale) {
    const int w = 311;
    const int h = 175;
    const int foot = 24; // the database version line is drawn over the lowest 20 pixels
    QImage image(w * scale, h * scale, QImage::Format_RGB888);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    QLinearGradient sky(0, 0, 0, h - foot);
    sky.setColorAt(0, QColor(0x2c, 0x3e, 0x50));
    sky.setColorAt(1, QColor(0x4a, 0x69, 0x85));
    p.fillRect(0, 0, w, h - foot, sky);
    // Faint engineering grid.
    p.setPen(QPen(QColor(255, 255, 255, 18), 1));
    for (int x = 0; x < w; x += 16)
        p.drawLine(x, 0, x, h - foot);
    for (int y = 0; y < h - foot; y += 16)
        p.drawLine(0, y, w, y);
    // Quiet light band for the version line, with an accent rule above it.
    p.fillRect(0, h - foot, w, foot, QColor(0xee, 0xf1, 0xf4));
    p.fillRect(0, h - foot - 3, w, 3, QColor(0xf0, 0x8c, 0x1e));

    QFont title(QStringLiteral("DejaVu Sans"));
    title.setBold(true);
    title.setPixelSize(30);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRect(18, 16, w - 36, 40), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("VelmoraFree"));
    QFont subtitle(QStringLiteral("DejaVu Sans"));
    subtitle.setPixelSize(12);
    p.setFont(subtitle);
    p.setPen(QColor(0xc9, 0xd6, 0xe2));
    p.drawText(QRect(20, 54, w - 40, 18), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Single-axis robot data tool"));

    // An actuator across the lower half, drawn in the icon style at a larger scale.
    p.save();
    p.translate(28, 84);
    p.scale(8.0, 2.2);
    drawActuator(p, QRectF(0, 0, 32, 28));
    p.restore();
    p.end();
    const QString name = scale == 1 ? QStringLiteral("21110.bmp") : QStringLiteral("21110@2x.bmp");
    return image.save(dir.filePath(name), "BMP");
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    if (argc != 2) {
        err << "usage: draw_art <resources folder>\n";
        return 2;
    }
    QDir root(QString::fromLocal8Bit(argv[1]));
    if (!root.mkpath(QStringLiteral("icons")) || !root.mkpath(QStringLiteral("bitmaps"))) {
        err << "cannot create the output folders\n";
        return 1;
    }
    const QDir icons(root.filePath(QStringLiteral("icons")));
    const std::pair<int, Drawing> all[] = {
        {128, application},     {21003, nodeSelect},      {21004, newData},
        {21008, panelComputer}, {21030, panelController}, {21045, switchController},
        {21046, alarmHistory},  {21113, initialise},      {21114, restore},
        {21115, backup},
    };
    for (const auto& [id, draw] : all) {
        if (!writeIcon(icons, id, draw)) {
            err << "cannot write icon " << id << "\n";
            return 1;
        }
    }
    for (int scale : {1, 2}) {
        if (!writeBanner(QDir(root.filePath(QStringLiteral("bitmaps"))), scale)) {
            err << "cannot write the banner\n";
            return 1;
        }
    }
    return 0;
}
