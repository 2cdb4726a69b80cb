// Generates every texture and image that nprtable's default configuration names, plus the files the
// configuration record falls back on, into the folder given on the command line (normally data/).
// Everything is drawn here from fixed seeds, so two runs write the same pictures.
//
//   nprtable_assetgen OUTPUT_DIR
//
// Writes OUTPUT_DIR/generated-assets.txt last, listing every file written, one path per line.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <random>

namespace {

constexpr double kPi = 3.14159265358979323846;

double clamp01(double v)
{
    return std::min(1.0, std::max(0.0, v));
}

double smoothstep(double e0, double e1, double x)
{
    const double t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3.0 - 2.0 * t);
}

// Deterministic lattice hash in [0, 1).
double hash2(int x, int y, uint32_t seed)
{
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
                 seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFFFF) / 16777216.0;
}

// Smooth value noise in [0, 1).
double valueNoise(double x, double y, uint32_t seed)
{
    const int xi = static_cast<int>(std::floor(x));
    const int yi = static_cast<int>(std::floor(y));
    const double fx = smoothstep(0.0, 1.0, x - xi);
    const double fy = smoothstep(0.0, 1.0, y - yi);
    const double a = hash2(xi, yi, seed), b = hash2(xi + 1, yi, seed);
    const double c = hash2(xi, yi + 1, seed), d = hash2(xi + 1, yi + 1, seed);
    return (a + (b - a) * fx) + ((c + (d - c) * fx) - (a + (b - a) * fx)) * fy;
}

double fractalNoise(double x, double y, uint32_t seed, int octaves)
{
    double sum = 0.0, amplitude = 0.5, total = 0.0;
    for (int o = 0; o < octaves; ++o) {
        sum += amplitude * valueNoise(x, y, seed + o * 101u);
        total += amplitude;
        x *= 2.0;
        y *= 2.0;
        amplitude *= 0.5;
    }
    return sum / total;
}

class AssetWriter {
public:
    explicit AssetWriter(const QString& root) : root_(root) {}

    void save(const QImage& image, const QString& relativePath)
    {
        const QString path = root_.filePath(relativePath);
        QDir().mkpath(QFileInfo(path).absolutePath());
        const bool jpeg = relativePath.endsWith(QLatin1String(".jpg"));
        if (!image.save(path, jpeg ? "JPG" : "PNG", jpeg ? 92 : -1)) {
            std::fprintf(stderr, "assetgen: cannot write %s\n", qPrintable(path));
            ok_ = false;
            return;
        }
        written_ << relativePath;
    }

    bool finish()
    {
        QFile manifest(root_.filePath(QStringLiteral("generated-assets.txt")));
        if (!manifest.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
            return false;
        QTextStream out(&manifest);
        for (const QString& file : written_)
            out << file << '\n';
        return ok_;
    }

    int count() const { return written_.size(); }

private:
    QDir root_;
    QStringList written_;
    bool ok_ = true;
};

QImage transparentImage(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// ---- Brush strokes: white with alpha, one texture group of nine variants per style ----

struct StrokeStyle {
    double length;      // of the centre line, fraction of the texture side
    double width;       // half width, fraction of the side
    double curve;       // bend of the centre line
    double headWeight;  // > 0 makes the start heavier than the tail (comma)
    double bristles;    // contrast of the bristle streaks, 0..1
    double dryness;     // how much the tail breaks up, 0..1
    double softness;    // edge blur in pixels
    double opacity;     // overall alpha
    bool stipple;       // dotted instead of continuous
};

const StrokeStyle kStrokeStyles[] = {
    {0.78, 0.13, 0.10, 0.0, 0.35, 0.25, 2.0, 1.00, false}, // round brush
    {0.72, 0.20, 0.06, 0.0, 0.55, 0.20, 1.2, 1.00, false}, // flat brush
    {0.80, 0.15, 0.12, 0.0, 0.85, 0.65, 1.0, 0.95, false}, // dry brush
    {0.30, 0.22, 0.05, 0.0, 0.30, 0.10, 2.5, 1.00, false}, // dab
    {0.70, 0.17, 0.30, 1.0, 0.40, 0.30, 1.8, 1.00, false}, // comma
    {0.86, 0.05, 0.16, 0.0, 0.20, 0.15, 1.0, 1.00, false}, // fine line
    {0.74, 0.18, 0.10, 0.0, 0.00, 0.00, 1.0, 1.00, true},  // stipple
    {0.80, 0.26, 0.08, 0.0, 0.20, 0.05, 6.0, 0.70, false}, // wash
};
constexpr int kStrokeGroups = sizeof(kStrokeStyles) / sizeof(kStrokeStyles[0]);
constexpr int kStrokeVariants = 9;

QImage brushStroke(const StrokeStyle& style, uint32_t seed)
{
    const int size = 128;
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> uni(-1.0, 1.0);

    const double length = style.length * size * (1.0 + 0.08 * uni(rng));
    const double halfWidth = style.width * size * (1.0 + 0.1 * uni(rng));
    const double bend = style.curve * size * uni(rng);
    const double tilt = 0.12 * uni(rng);

    // Centre line: a quadratic Bezier from left to right, sampled.
    const int samples = 96;
    std::vector<QPointF> line(samples);
    std::vector<QPointF> tangent(samples);
    const QPointF p0(-length / 2, 0), p1(0, bend), p2(length / 2, 0);
    for (int i = 0; i < samples; ++i) {
        const double t = i / double(samples - 1);
        QPointF p = (1 - t) * (1 - t) * p0 + 2 * (1 - t) * t * p1 + t * t * p2;
        QPointF d = 2 * (1 - t) * (p1 - p0) + 2 * t * (p2 - p1);
        const double c = std::cos(tilt), s = std::sin(tilt);
        line[i] = QPointF(size / 2.0 + c * p.x() - s * p.y(), size / 2.0 + s * p.x() + c * p.y());
        const QPointF dr(c * d.x() - s * d.y(), s * d.x() + c * d.y());
        const double n = std::hypot(dr.x(), dr.y());
        tangent[i] = n > 0 ? dr / n : QPointF(1, 0);
    }

    // Dab radius along the line: a blunt start where the brush lands, a taper where it lifts.
    std::vector<double> radius(samples);
    for (int i = 0; i < samples; ++i) {
        const double t = i / double(samples - 1);
        double profile = (0.6 + 0.4 * smoothstep(0.0, 0.2, t)) * (0.3 + 0.7 * smoothstep(1.0, 0.7, t));
        if (style.headWeight > 0)
            profile = (0.7 + 0.3 * smoothstep(0.0, 0.1, t)) * std::pow(1.0 - 0.9 * t, 1.3);
        radius[i] = halfWidth * profile;
    }

    // Bristle streaks across the stroke.
    double phase[5], frequency[5];
    for (int k = 0; k < 5; ++k) {
        phase[k] = kPi * uni(rng);
        frequency[k] = 6.0 + 9.0 * (k + 1) * (0.8 + 0.2 * uni(rng));
    }

    QImage image(size, size, QImage::Format_ARGB32);
    for (int y = 0; y < size; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size; ++x) {
            // The stroke is the union of round dabs along the centre line; the dab that covers
            // the pixel most deeply gives its place along (t) and across (lateral) the stroke.
            const QPointF p(x + 0.5, y + 0.5);
            int nearest = 0;
            double depth = -1e30;
            for (int i = 0; i < samples; ++i) {
                const double d = std::hypot(p.x() - line[i].x(), p.y() - line[i].y());
                if (radius[i] - d > depth) {
                    depth = radius[i] - d;
                    nearest = i;
                }
            }
            const double t = nearest / double(samples - 1);
            const double w = radius[nearest];
            const QPointF rel = p - line[nearest];
            const double lateral = tangent[nearest].x() * rel.y() - tangent[nearest].y() * rel.x();
            double alpha = clamp01(depth / style.softness + 0.5);
            if (alpha <= 0.0) {
                row[x] = qRgba(255, 255, 255, 0);
                continue;
            }

            const double s = std::max(-1.0, std::min(1.0, lateral / std::max(w, 1.0)));
            if (style.stipple) {
                const int cell = 7;
                const int cx = x / cell, cy = y / cell;
                const double ox = (cx + 0.5 + 0.35 * (hash2(cx, cy, seed) - 0.5)) * cell;
                const double oy = (cy + 0.5 + 0.35 * (hash2(cy, cx, seed + 7) - 0.5)) * cell;
                const double r = 1.6 + 1.6 * hash2(cx, cy, seed + 13);
                alpha *= clamp01(r - std::hypot(x + 0.5 - ox, y + 0.5 - oy) + 0.5);
            } else {
                double b = 0.0;
                for (int k = 0; k < 5; ++k)
                    b += std::sin(frequency[k] * s + phase[k]) / 5.0;
                b = 0.5 + 0.5 * b + 0.25 * (hash2(x, y, seed + 3) - 0.5);
                alpha *= 1.0 - style.bristles * (1.0 - clamp01(b * 1.4));
                const double dry = style.dryness * smoothstep(0.35, 1.0, t);
                alpha *= smoothstep(dry - 0.08, dry + 0.08, b);
                alpha *= 0.82 + 0.18 * (1.0 - t);
            }
            alpha *= style.opacity;
            row[x] = qRgba(255, 255, 255, static_cast<int>(std::lround(255.0 * clamp01(alpha))));
        }
    }
    return image;
}

// ---- Pictograms: white shapes in a box from (-1, -1) to (1, 1), y down ----

void arrow(QPainter& p, QPointF from, QPointF to, double head = 0.32)
{
    const QPointF d = to - from;
    const double n = std::hypot(d.x(), d.y());
    if (n <= 0)
        return;
    const QPointF u = d / n, v(-u.y(), u.x());
    p.drawLine(from, to - u * head * 0.6);
    QPolygonF tip;
    tip << to << to - u * head + v * head * 0.55 << to - u * head - v * head * 0.55;
    p.save();
    p.setPen(Qt::NoPen);
    p.drawPolygon(tip);
    p.restore();
}

void arcArrow(QPainter& p, double radius, double startDeg, double spanDeg)
{
    const QRectF box(-radius, -radius, 2 * radius, 2 * radius);
    p.save();
    p.setBrush(Qt::NoBrush);
    p.drawArc(box, static_cast<int>(startDeg * 16), static_cast<int>(spanDeg * 16));
    p.restore();
    const double end = (startDeg + spanDeg) * kPi / 180.0;
    const QPointF tip(radius * std::cos(end), -radius * std::sin(end));
    const double dir = spanDeg > 0 ? 1.0 : -1.0;
    const QPointF tangent(-std::sin(end) * dir, -std::cos(end) * dir);
    arrow(p, tip - tangent * 0.2, tip + tangent * 0.12, 0.3);
}

void dot(QPainter& p, QPointF c, double r)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.drawEllipse(c, r, r);
    p.restore();
}

void strokeShape(QPainter& p, QPointF a, QPointF b, double bend, double width)
{
    const QPointF mid = (a + b) / 2 + QPointF(0, bend);
    QPainterPath path(a);
    path.quadTo(mid + QPointF(0, -width), b);
    path.quadTo(mid + QPointF(0, width), a);
    p.save();
    p.setPen(Qt::NoPen);
    p.drawPath(path);
    p.restore();
}

void sheet(QPainter& p)
{
    QPainterPath s;
    s.moveTo(-0.55, -0.75);
    s.lineTo(0.25, -0.75);
    s.lineTo(0.55, -0.45);
    s.lineTo(0.55, 0.75);
    s.lineTo(-0.55, 0.75);
    s.closeSubpath();
    p.save();
    p.setBrush(Qt::NoBrush);
    p.drawPath(s);
    p.drawPolyline(QPolygonF() << QPointF(0.25, -0.75) << QPointF(0.25, -0.45) << QPointF(0.55, -0.45));
    p.restore();
}

void check(QPainter& p, double scale = 1.0, QPointF at = QPointF())
{
    p.drawPolyline(QPolygonF() << at + QPointF(-0.55, 0.0) * scale << at + QPointF(-0.15, 0.4) * scale
                               << at + QPointF(0.6, -0.45) * scale);
}

void cross(QPainter& p, double r)
{
    p.drawLine(QPointF(-r, -r), QPointF(r, r));
    p.drawLine(QPointF(-r, r), QPointF(r, -r));
}

using Pictogram = std::function<void(QPainter&)>;

const std::map<QString, Pictogram>& pictograms()
{
    static const std::map<QString, Pictogram> table = {
        {"create", [](QPainter& p) {
             p.drawLine(QPointF(0, -0.65), QPointF(0, 0.65));
             p.drawLine(QPointF(-0.65, 0), QPointF(0.65, 0));
         }},
        {"erase", [](QPainter& p) {
             p.save();
             p.rotate(-35);
             p.setBrush(Qt::NoBrush);
             p.drawRoundedRect(QRectF(-0.7, -0.32, 1.4, 0.64), 0.12, 0.12);
             p.setPen(Qt::NoPen);
             p.drawRect(QRectF(-0.7, -0.32, 0.6, 0.64));
             p.restore();
         }},
        {"create_erase", [](QPainter& p) {
             p.drawLine(QPointF(-0.45, -0.75), QPointF(-0.45, -0.05));
             p.drawLine(QPointF(-0.8, -0.4), QPointF(-0.1, -0.4));
             p.drawLine(QPointF(0.1, 0.45), QPointF(0.8, 0.45));
             p.drawLine(QPointF(0.7, -0.7), QPointF(-0.7, 0.7));
         }},
        {"orient-follow", [](QPainter& p) {
             QPainterPath c(QPointF(-0.75, 0.55));
             c.cubicTo(QPointF(-0.3, -0.5), QPointF(0.2, 0.6), QPointF(0.55, -0.45));
             p.save();
             p.setBrush(Qt::NoBrush);
             p.drawPath(c);
             p.restore();
             arrow(p, QPointF(0.45, -0.2), QPointF(0.62, -0.7));
         }},
        {"orient-circular", [](QPainter& p) {
             arcArrow(p, 0.6, 100, 250);
             dot(p, QPointF(0, 0), 0.12);
         }},
        {"orient-radial", [](QPainter& p) {
             for (int i = 0; i < 8; ++i) {
                 const double a = i * kPi / 4;
                 p.drawLine(QPointF(0.25 * std::cos(a), 0.25 * std::sin(a)),
                            QPointF(0.75 * std::cos(a), 0.75 * std::sin(a)));
             }
         }},
        {"move-follow", [](QPainter& p) {
             p.save();
             QPen pen = p.pen();
             pen.setStyle(Qt::DotLine);
             p.setPen(pen);
             p.drawLine(QPointF(-0.75, 0.6), QPointF(0.1, -0.1));
             p.restore();
             arrow(p, QPointF(0.0, 0.0), QPointF(0.7, -0.6));
             dot(p, QPointF(-0.75, 0.6), 0.15);
         }},
        {"move-attraction", [](QPainter& p) {
             dot(p, QPointF(0, 0), 0.18);
             for (int i = 0; i < 4; ++i) {
                 const double a = i * kPi / 2 + kPi / 4;
                 arrow(p, QPointF(0.85 * std::cos(a), 0.85 * std::sin(a)),
                       QPointF(0.38 * std::cos(a), 0.38 * std::sin(a)), 0.28);
             }
         }},
        {"move-repulsion", [](QPainter& p) {
             dot(p, QPointF(0, 0), 0.18);
             for (int i = 0; i < 4; ++i) {
                 const double a = i * kPi / 2 + kPi / 4;
                 arrow(p, QPointF(0.32 * std::cos(a), 0.32 * std::sin(a)),
                       QPointF(0.85 * std::cos(a), 0.85 * std::sin(a)), 0.28);
             }
         }},
        {"resize-bigger", [](QPainter& p) {
             p.save();
             p.setBrush(Qt::NoBrush);
             p.drawRect(QRectF(-0.25, -0.25, 0.5, 0.5));
             p.restore();
             arrow(p, QPointF(0.3, -0.3), QPointF(0.8, -0.8), 0.3);
             arrow(p, QPointF(-0.3, 0.3), QPointF(-0.8, 0.8), 0.3);
         }},
        {"resize-smaller", [](QPainter& p) {
             p.save();
             p.setBrush(Qt::NoBrush);
             p.drawRect(QRectF(-0.2, -0.2, 0.4, 0.4));
             p.restore();
             arrow(p, QPointF(0.85, -0.85), QPointF(0.3, -0.3), 0.3);
             arrow(p, QPointF(-0.85, 0.85), QPointF(-0.3, 0.3), 0.3);
         }},
        {"change-diameter", [](QPainter& p) {
             p.save();
             p.setBrush(Qt::NoBrush);
             p.drawEllipse(QPointF(0, 0), 0.7, 0.7);
             p.restore();
             arrow(p, QPointF(0, 0), QPointF(0.62, 0), 0.25);
             arrow(p, QPointF(0, 0), QPointF(-0.62, 0), 0.25);
         }},
        {"change-primitive", [](QPainter& p) {
             strokeShape(p, QPointF(-0.8, -0.45), QPointF(0.1, -0.5), -0.1, 0.2);
             p.save();
             p.setPen(Qt::NoPen);
             p.drawRect(QRectF(-0.7, 0.1, 0.5, 0.5));
             p.restore();
             dot(p, QPointF(0.5, 0.35), 0.22);
         }},
        {"size_tool", [](QPainter& p) {
             dot(p, QPointF(-0.42, 0.3), 0.2);
             dot(p, QPointF(0.3, -0.1), 0.45);
         }},
        {"orientation_tool", [](QPainter& p) {
             QPolygonF needle;
             needle << QPointF(0, -0.85) << QPointF(0.22, 0) << QPointF(0, 0.85) << QPointF(-0.22, 0);
             p.save();
             p.setBrush(Qt::NoBrush);
             p.drawPolygon(needle);
             p.setPen(Qt::NoPen);
             p.drawPolygon(QPolygonF() << QPointF(0, -0.85) << QPointF(0.22, 0) << QPointF(-0.22, 0));
             p.restore();
         }},
        {"orientation_style", [](QPainter& p) {
             for (int i = -1; i <= 1; ++i)
                 strokeShape(p, QPointF(-0.6 + 0.1 * i, 0.5 * i + 0.25), QPointF(0.5 + 0.1 * i, 0.5 * i - 0.25),
                             0.0, 0.12);
         }},
        {"direction_style", [](QPainter& p) {
             for (int i = -1; i <= 1; ++i)
                 arrow(p, QPointF(-0.7, 0.5 * i), QPointF(0.7, 0.5 * i), 0.28);
         }},
        {"direction_follow", [](QPainter& p) {
             QPainterPath c(QPointF(-0.8, 0.4));
             c.quadTo(QPointF(-0.1, -0.8), QPointF(0.4, 0.1));
             p.save();
             p.setBrush(Qt::NoBrush);
             p.drawPath(c);
             p.restore();
             arrow(p, QPointF(0.2, -0.15), QPointF(0.75, 0.6));
         }},
        {"direction_random", [](QPainter& p) {
             arrow(p, QPointF(-0.8, 0.6), QPointF(-0.2, 0.1), 0.26);
             arrow(p, QPointF(0.1, 0.75), QPointF(0.7, 0.45), 0.26);
             arrow(p, QPointF(0.5, -0.2), QPointF(-0.1, -0.75), 0.26);
         }},
        {"gravitate", [](QPainter& p) {
             dot(p, QPointF(0, 0.45), 0.3);
             for (double x : {-0.6, 0.0, 0.6})
                 arrow(p, QPointF(x, -0.8), QPointF(x * 0.4, 0.05), 0.24);
         }},
        {"orbit", [](QPainter& p) {
             dot(p, QPointF(0, 0), 0.2);
             p.save();
             p.setBrush(Qt::NoBrush);
             p.drawEllipse(QPointF(0, 0), 0.75, 0.45);
             p.restore();
             dot(p, QPointF(0.53, -0.32), 0.13);
         }},
        {"random", [](QPainter& p) {
             p.save();
             p.setBrush(Qt::NoBrush);
             p.drawRoundedRect(QRectF(-0.7, -0.7, 1.4, 1.4), 0.25, 0.25);
             p.restore();
             for (QPointF c : {QPointF(-0.35, -0.35), QPointF(0.35, -0.35), QPointF(0, 0),
                               QPointF(-0.35, 0.35), QPointF(0.35, 0.35)})
                 dot(p, c, 0.12);
         }},
        {"attraction", [](QPainter& p) { pictograms().at("move-attraction")(p); }},
        {"repulsion", [](QPainter& p) { pictograms().at("move-repulsion")(p); }},
        {"diameter", [](QPainter& p) { pictograms().at("change-diameter")(p); }},
        {"primitive_type", [](QPainter& p) { pictograms().at("change-primitive")(p); }},
        {"primitive_stroke", [](QPainter& p) {
             strokeShape(p, QPointF(-0.8, 0.3), QPointF(0.8, -0.2), -0.3, 0.3);
         }},
        {"primitive_tile", [](QPainter& p) {
             p.save();
             p.setPen(Qt::NoPen);
             for (int i = 0; i < 2; ++i)
                 for (int j = 0; j < 2; ++j)
                     p.drawRect(QRectF(-0.7 + 0.75 * i, -0.7 + 0.75 * j, 0.65, 0.65));
             p.restore();
         }},
        {"primitive_point", [](QPainter& p) {
             dot(p, QPointF(-0.45, 0.35), 0.2);
             dot(p, QPointF(0.45, 0.3), 0.2);
             dot(p, QPointF(0.0, -0.4), 0.2);
         }},
        {"save", [](QPainter& p) {
             p.save();
             p.setBrush(Qt::NoBrush);
             p.drawRoundedRect(QRectF(-0.7, -0.7, 1.4, 1.4), 0.12, 0.12);
             p.setPen(Qt::NoPen);
             p.drawRect(QRectF(-0.4, -0.7, 0.8, 0.45));
             p.drawRect(QRectF(-0.45, 0.15, 0.9, 0.5));
             p.restore();
         }},
        {"empty_canvas", [](QPainter& p) { sheet(p); }},
        {"empty_canvas_apply", [](QPainter& p) {
             sheet(p);
             check(p, 0.5, QPointF(0.0, 0.15));
         }},
        {"layer", [](QPainter& p) {
             p.save();
             p.setBrush(Qt::NoBrush);
             for (int i = 0; i < 3; ++i) {
                 const double y = -0.45 + 0.42 * i;
                 p.drawPolygon(QPolygonF() << QPointF(0, y - 0.3) << QPointF(0.75, y) << QPointF(0, y + 0.3)
                                           << QPointF(-0.75, y));
             }
             p.restore();
         }},
        {"clear_mixing_area", [](QPainter& p) {
             dot(p, QPointF(-0.35, 0.25), 0.35);
             dot(p, QPointF(0.25, 0.35), 0.25);
             p.save();
             QPen pen = p.pen();
             pen.setColor(QColor(255, 255, 255));
             p.setPen(pen);
             p.translate(0.35, -0.4);
             cross(p, 0.3);
             p.restore();
         }},
        {"mode", [](QPainter& p) {
             p.save();
             p.setBrush(Qt::NoBrush);
             p.drawRoundedRect(QRectF(-0.75, -0.35, 1.5, 0.7), 0.35, 0.35);
             p.restore();
             dot(p, QPointF(0.38, 0), 0.24);
         }},
        {"stroke_mode", [](QPainter& p) {
             QPainterPath c(QPointF(-0.8, 0.55));
             c.cubicTo(QPointF(-0.4, -0.3), QPointF(0.0, 0.8), QPointF(0.3, 0.0));
             p.save();
             p.setBrush(Qt::NoBrush);
             p.drawPath(c);
             p.restore();
             p.save();
             p.translate(0.45, -0.35);
             p.rotate(45);
             p.setPen(Qt::NoPen);
             p.drawRect(QRectF(-0.12, -0.55, 0.24, 0.6));
             p.drawPolygon(QPolygonF() << QPointF(-0.12, 0.1) << QPointF(0.12, 0.1) << QPointF(0, 0.3));
             p.restore();
         }},
        {"accept", [](QPainter& p) { check(p); }},
        {"cancel", [](QPainter& p) { cross(p, 0.55); }},
        {"sketch", [](QPainter& p) { pictograms().at("stroke_mode")(p); }},
        {"dummy", [](QPainter& p) {
             p.save();
             p.setBrush(Qt::NoBrush);
             p.drawEllipse(QPointF(0, 0), 0.55, 0.55);
             p.restore();
         }},
        {"texture0", [](QPainter& p) {
             for (int i = 0; i < 4; ++i) {
                 const double a = i * kPi / 2 - kPi / 2;
                 dot(p, QPointF(0.6 * std::cos(a), 0.6 * std::sin(a)), 0.16);
             }
             dot(p, QPointF(0, 0), 0.1);
         }},
        {"brush", [](QPainter& p) {
             p.save();
             p.rotate(-45);
             p.setPen(Qt::NoPen);
             p.drawRoundedRect(QRectF(-0.1, -0.95, 0.2, 0.9), 0.08, 0.08);
             p.drawRect(QRectF(-0.16, -0.08, 0.32, 0.22));
             QPainterPath tip(QPointF(-0.16, 0.16));
             tip.quadTo(QPointF(-0.2, 0.6), QPointF(0, 0.9));
             tip.quadTo(QPointF(0.2, 0.6), QPointF(0.16, 0.16));
             tip.closeSubpath();
             p.drawPath(tip);
             p.restore();
         }},
        {"unknown", [](QPainter& p) {
             QPainterPath q(QPointF(-0.4, -0.3));
             q.cubicTo(QPointF(-0.4, -0.9), QPointF(0.45, -0.9), QPointF(0.4, -0.35));
             q.cubicTo(QPointF(0.35, 0.0), QPointF(0.0, 0.0), QPointF(0.0, 0.3));
             p.save();
             p.setBrush(Qt::NoBrush);
             p.drawPath(q);
             p.restore();
             dot(p, QPointF(0, 0.65), 0.12);
         }},
    };
    return table;
}

// Prepares the painter so that the box from (-1, -1) to (1, 1) fills `extent` around `centre`.
void drawPictogram(QPainter& p, const QString& name, QPointF centre, double extent, const QColor& colour)
{
    p.save();
    p.translate(centre);
    p.scale(extent, extent);
    QPen pen(colour, 0.14, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(colour);
    pictograms().at(name)(p);
    p.restore();
}

struct ButtonLook {
    QColor face;
    QColor rim;
};

const ButtonLook kPaletteButton{QColor(46, 52, 64, 225), QColor(216, 222, 233)};
const ButtonLook kPaletteButtonActive{QColor(230, 126, 34, 240), QColor(255, 236, 200)};
const ButtonLook kMenuIcon{QColor(41, 98, 155, 230), QColor(220, 235, 250)};
const ButtonLook kRingIcon{QColor(22, 130, 120, 230), QColor(210, 245, 240)};

QImage roundButton(const QString& pictogram, const ButtonLook& look, int size = 128)
{
    QImage image = transparentImage(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(size / 2.0, size / 2.0);
    const double r = size * 0.46;
    QRadialGradient shade(c - QPointF(r * 0.3, r * 0.3), r * 1.4);
    shade.setColorAt(0.0, look.face.lighter(135));
    shade.setColorAt(1.0, look.face);
    p.setBrush(shade);
    p.setPen(QPen(look.rim, size * 0.03));
    p.drawEllipse(c, r, r);
    drawPictogram(p, pictogram, c, r * 0.62, Qt::white);
    return image;
}

// ---- Backgrounds, the waste basket, the reference image ----

QImage paper(int size, uint32_t seed)
{
    QImage image(size, size, QImage::Format_RGB32);
    for (int y = 0; y < size; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size; ++x) {
            // Tileable enough for a background: low-frequency mottling plus fine grain and fibres.
            const double mottle = fractalNoise(x / 64.0, y / 64.0, seed, 4) - 0.5;
            const double grain = hash2(x, y, seed + 1) - 0.5;
            const double fibre = std::pow(valueNoise(x / 3.0, y / 40.0, seed + 2), 8.0);
            const double v = 14.0 * mottle + 6.0 * grain - 10.0 * fibre;
            row[x] = qRgb(std::clamp(int(247 + v), 0, 255), std::clamp(int(242 + v), 0, 255),
                          std::clamp(int(230 + v * 1.1), 0, 255));
        }
    }
    return image;
}

QImage canvasWeave(int size, uint32_t seed)
{
    QImage image(size, size, QImage::Format_RGB32);
    for (int y = 0; y < size; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size; ++x) {
            const double warp = std::sin((x + 0.8 * valueNoise(x / 9.0, y / 9.0, seed)) * kPi / 2.0);
            const double weft = std::sin((y + 0.8 * valueNoise(y / 9.0, x / 9.0, seed + 1)) * kPi / 2.0);
            const double over = ((x / 4 + y / 4) % 2 == 0) ? warp : weft;
            const double v = 10.0 * over + 8.0 * (fractalNoise(x / 48.0, y / 48.0, seed + 2, 3) - 0.5) +
                             4.0 * (hash2(x, y, seed + 3) - 0.5);
            row[x] = qRgb(std::clamp(int(232 + v), 0, 255), std::clamp(int(222 + v), 0, 255),
                          std::clamp(int(200 + v), 0, 255));
        }
    }
    return image;
}

QImage woodenPalette(int size, uint32_t seed)
{
    QImage image(size, size, QImage::Format_RGB32);
    for (int y = 0; y < size; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size; ++x) {
            const double n = fractalNoise(x / 120.0, y / 30.0, seed, 4);
            const double grain = 0.5 + 0.5 * std::sin(x * 0.045 + n * 14.0);
            const double fine = hash2(x, y, seed + 1) - 0.5;
            const double v = 36.0 * grain + 6.0 * fine;
            row[x] = qRgb(std::clamp(int(150 + v), 0, 255), std::clamp(int(104 + v * 0.75), 0, 255),
                          std::clamp(int(62 + v * 0.45), 0, 255));
        }
    }
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // A few dried blobs of paint round the edge, as on a palette in use.
    const QColor blobs[] = {QColor(200, 30, 40), QColor(240, 200, 30), QColor(30, 80, 180),
                            QColor(40, 140, 60), QColor(245, 245, 240), QColor(120, 40, 120)};
    for (int i = 0; i < 6; ++i) {
        const double a = kPi * (0.15 + 0.22 * i);
        const QPointF c(size * (0.5 + 0.38 * std::cos(a)), size * (0.5 - 0.38 * std::sin(a)));
        QColor col = blobs[i];
        col.setAlpha(210);
        p.setPen(Qt::NoPen);
        p.setBrush(col);
        p.drawEllipse(c, size * 0.05, size * 0.042);
    }
    return image;
}

QImage wasteBasket(int size)
{
    QImage image = transparentImage(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    QLinearGradient metal(10, 0, 54, 0);
    metal.setColorAt(0.0, QColor(120, 128, 138));
    metal.setColorAt(0.5, QColor(200, 206, 214));
    metal.setColorAt(1.0, QColor(110, 118, 128));
    p.setPen(QPen(QColor(50, 55, 62), 2));
    p.setBrush(metal);
    p.drawPolygon(QPolygonF() << QPointF(14, 18) << QPointF(50, 18) << QPointF(46, 58) << QPointF(18, 58));
    p.drawRoundedRect(QRectF(9, 11, 46, 7), 2, 2);
    p.drawRoundedRect(QRectF(26, 5, 12, 6), 2, 2);
    p.setPen(QPen(QColor(70, 76, 84), 2.4, Qt::SolidLine, Qt::RoundCap));
    for (double x : {24.0, 32.0, 40.0})
        p.drawLine(QPointF(x, 24), QPointF(x + (x - 32.0) * 0.1, 52));
    return image;
}

// The icon of a creator: a rounded tile showing what it makes, with a "+" badge.
QImage creatorIcon(const QString& kind, int size = 128)
{
    QImage image = transparentImage(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 128.0, size / 128.0);
    p.setPen(QPen(QColor(220, 226, 235), 4));
    p.setBrush(QColor(38, 50, 72, 235));
    p.drawRoundedRect(QRectF(4, 4, 120, 120), 22, 22);
    const QColor ink(235, 240, 248);
    p.setPen(QPen(ink, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    if (kind == "storage_bin") {
        p.drawRoundedRect(QRectF(24, 30, 72, 66), 16, 16);
        p.setBrush(QColor(230, 126, 34));
        p.setPen(Qt::NoPen);
        p.drawRect(QRectF(36, 44, 22, 18));
        p.drawRect(QRectF(60, 60, 22, 18));
    } else if (kind == "pool") {
        p.drawEllipse(QPointF(60, 64), 38, 34);
        p.drawArc(QRectF(38, 44, 44, 40), 30 * 16, 280 * 16);
    } else if (kind == "belt") {
        p.drawRoundedRect(QRectF(18, 38, 84, 50), 25, 25);
        p.drawLine(QPointF(44, 52), QPointF(70, 52));
        p.drawLine(QPointF(62, 45), QPointF(70, 52));
        p.drawLine(QPointF(76, 74), QPointF(50, 74));
        p.drawLine(QPointF(58, 81), QPointF(50, 74));
    } else if (kind == "sticky_board") {
        p.setBrush(QColor(176, 132, 84));
        p.drawRect(QRectF(20, 28, 80, 66));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 102));
        p.drawRect(QRectF(30, 38, 26, 24));
        p.drawRect(QRectF(62, 56, 26, 24));
    } else if (kind == "sticky_note") {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 102));
        p.drawPolygon(QPolygonF() << QPointF(28, 26) << QPointF(94, 26) << QPointF(94, 78)
                                  << QPointF(76, 96) << QPointF(28, 96));
        p.setPen(QPen(QColor(90, 90, 60), 3));
        for (double y : {44.0, 58.0, 72.0}) p.drawLine(QPointF(38, y), QPointF(84, y));
    } else { // lenses
        p.drawEllipse(QPointF(54, 56), 28, 28);
        p.setPen(QPen(ink, 10, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(75, 77), QPointF(98, 100));
        p.setPen(QPen(ink, 4, Qt::SolidLine, Qt::RoundCap));
        if (kind == "lens_size") {
            p.drawLine(QPointF(42, 56), QPointF(66, 56));
            p.drawLine(QPointF(54, 44), QPointF(54, 68));
        } else if (kind == "lens_direction") {
            p.drawLine(QPointF(40, 56), QPointF(68, 56));
            p.drawLine(QPointF(60, 48), QPointF(68, 56));
            p.drawLine(QPointF(60, 64), QPointF(68, 56));
        } else {
            p.drawLine(QPointF(54, 68), QPointF(54, 42));
            p.drawLine(QPointF(46, 50), QPointF(54, 42));
            p.drawLine(QPointF(62, 50), QPointF(54, 42));
        }
    }
    // The "+" badge: this icon makes new things.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(46, 139, 87));
    p.drawEllipse(QPointF(100, 28), 18, 18);
    p.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(91, 28), QPointF(109, 28));
    p.drawLine(QPointF(100, 19), QPointF(100, 37));
    return image;
}

QImage colourScale(int size)
{
    QImage image = transparentImage(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, size, 0, 0);
    g.setColorAt(0.0, QColor(20, 40, 160));
    g.setColorAt(0.5, QColor(40, 190, 170));
    g.setColorAt(1.0, QColor(250, 220, 40));
    p.setPen(QPen(Qt::white, size * 0.05));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(size * 0.3, size * 0.08, size * 0.4, size * 0.84), size * 0.08, size * 0.08);
    return image;
}

QImage taskCard(int size, bool additional)
{
    QImage image = transparentImage(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 70), size * 0.02));
    p.setBrush(QColor(250, 250, 245));
    p.drawRoundedRect(QRectF(size * 0.1, size * 0.08, size * 0.8, size * 0.84), size * 0.05, size * 0.05);
    drawPictogram(p, additional ? "direction_follow" : "brush", QPointF(size * 0.5, size * 0.35),
                  size * 0.18, QColor(60, 60, 70));
    p.setPen(QPen(QColor(150, 150, 160), size * 0.03, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 3; ++i)
        p.drawLine(QPointF(size * 0.25, size * (0.62 + 0.09 * i)), QPointF(size * 0.75, size * (0.62 + 0.09 * i)));
    return image;
}

// A ridge line by midpoint displacement, from x = 0 to x = width.
QPolygonF ridge(double width, double baseY, double roughness, std::mt19937& rng)
{
    std::uniform_real_distribution<double> uni(-1.0, 1.0);
    std::vector<double> h(65, 0.0);
    double amplitude = roughness;
    for (int step = 64; step > 1; step /= 2) {
        for (int i = step / 2; i < 64; i += step)
            h[i] = (h[i - step / 2] + h[i + step / 2]) / 2.0 + amplitude * uni(rng);
        amplitude *= 0.55;
    }
    QPolygonF line;
    for (int i = 0; i <= 64; ++i)
        line << QPointF(width * i / 64.0, baseY - std::abs(h[i]));
    return line;
}

QImage landscape(int width, int height, uint32_t seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> uni(0.0, 1.0);
    QImage image(width, height, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, height * 0.6);
    sky.setColorAt(0.0, QColor(30, 70, 160));
    sky.setColorAt(0.55, QColor(110, 150, 220));
    sky.setColorAt(1.0, QColor(250, 185, 120));
    p.fillRect(image.rect(), sky);

    const QPointF sun(width * 0.74, height * 0.28);
    QRadialGradient glow(sun, height * 0.3);
    glow.setColorAt(0.0, QColor(255, 250, 210, 255));
    glow.setColorAt(0.15, QColor(255, 230, 120, 230));
    glow.setColorAt(1.0, QColor(255, 200, 120, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(sun, height * 0.3, height * 0.3);

    const QColor mountains[] = {QColor(110, 90, 150), QColor(80, 100, 150), QColor(60, 110, 110)};
    for (int layer = 0; layer < 3; ++layer) {
        QPolygonF shape = ridge(width, height * (0.48 + 0.06 * layer), height * (0.25 - 0.05 * layer), rng);
        shape << QPointF(width, height) << QPointF(0, height);
        p.setBrush(mountains[layer]);
        p.drawPolygon(shape);
    }

    // Rolling hills in two greens.
    for (int layer = 0; layer < 2; ++layer) {
        QPainterPath hill(QPointF(0, height));
        const double base = height * (0.66 + 0.08 * layer);
        hill.lineTo(0, base);
        for (int x = 0; x <= width; x += 16)
            hill.lineTo(x, base - height * 0.05 * std::sin(x * (0.006 + 0.003 * layer) + layer * 2.0));
        hill.lineTo(width, height);
        hill.closeSubpath();
        p.setBrush(layer == 0 ? QColor(110, 170, 70) : QColor(50, 130, 50));
        p.drawPath(hill);
    }

    // A lake with the sky's colours and a few ripples.
    const QRectF lake(width * 0.05, height * 0.78, width * 0.42, height * 0.14);
    QLinearGradient water(0, lake.top(), 0, lake.bottom());
    water.setColorAt(0.0, QColor(240, 180, 130));
    water.setColorAt(1.0, QColor(40, 90, 170));
    p.setBrush(water);
    p.drawEllipse(lake);
    p.setPen(QPen(QColor(255, 255, 255, 120), 2));
    for (int i = 0; i < 8; ++i) {
        const double y = lake.top() + lake.height() * (0.25 + 0.08 * i);
        const double x = lake.left() + lake.width() * (0.2 + 0.5 * uni(rng));
        p.drawLine(QPointF(x, y), QPointF(x + 40 + 40 * uni(rng), y));
    }

    // Trees: trunks and round crowns.
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 7; ++i) {
        const double x = width * (0.55 + 0.4 * uni(rng));
        const double y = height * (0.7 + 0.08 * uni(rng));
        const double s = height * (0.05 + 0.04 * uni(rng));
        p.setBrush(QColor(90, 60, 30));
        p.drawRect(QRectF(x - s * 0.12, y - s * 0.2, s * 0.24, s * 1.2));
        for (int k = 0; k < 4; ++k) {
            p.setBrush(QColor(30 + 20 * k, 100 + 25 * k, 40 + 5 * k));
            p.drawEllipse(QPointF(x + s * 0.3 * (uni(rng) - 0.5), y - s * (0.6 + 0.2 * k)), s * (0.8 - 0.12 * k),
                          s * (0.7 - 0.1 * k));
        }
    }

    // A meadow of flowers in the foreground.
    const QColor flowers[] = {QColor(230, 40, 60), QColor(250, 210, 40), QColor(200, 60, 200),
                              QColor(255, 255, 255), QColor(250, 130, 30)};
    for (int i = 0; i < 700; ++i) {
        const double y = height * (0.84 + 0.16 * uni(rng));
        const double x = width * uni(rng);
        const double s = 2.0 + 6.0 * (y - height * 0.84) / (height * 0.16);
        p.setBrush(flowers[i % 5]);
        p.drawEllipse(QPointF(x, y), s, s * 0.8);
    }
    return image;
}

// A picture of a few large flat colour regions for the colour reference image: sky, sun,
// mountain, field and a lake, each one colour, so primitives painted over it show clear areas.
QImage colourRegions(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.fillRect(QRectF(0, 0, width, height * 0.55), QColor(40, 110, 220));    // sky
    p.fillRect(QRectF(0, height * 0.55, width, height * 0.45), QColor(40, 170, 60)); // field
    p.setBrush(QColor(250, 210, 30));                                           // sun
    p.drawEllipse(QPointF(width * 0.78, height * 0.22), height * 0.14, height * 0.14);
    p.setBrush(QColor(130, 60, 140));                                           // mountain
    p.drawPolygon(QPolygonF({QPointF(width * 0.05, height * 0.55), QPointF(width * 0.3, height * 0.18),
                             QPointF(width * 0.55, height * 0.55)}));
    p.setBrush(QColor(220, 40, 40));                                            // poppy field
    p.drawRect(QRectF(0, height * 0.8, width * 0.45, height * 0.2));
    p.setBrush(QColor(20, 60, 140));                                            // lake
    p.drawEllipse(QRectF(width * 0.58, height * 0.66, width * 0.34, height * 0.22));
    return image;
}

// ---- The catalogue ----

const char* const kPaletteButtons[] = {
    "stroke_mode", "save", "empty_canvas", "layer", "diameter", "create_erase", "size_tool", "orientation_tool",
    "gravitate", "orbit", "random", "attraction", "repulsion", "direction_follow", "direction_random",
    "clear_mixing_area",
};
const char* const kPaletteSingles[] = {
    "orientation_style", "direction_style", "mode", "empty_canvas_apply", "primitive_type", "primitive_stroke",
    "primitive_tile", "primitive_point",
};
const char* const kMenuTools[] = {
    "create", "erase", "orient-follow", "orient-circular", "orient-radial", "move-follow", "move-attraction",
    "move-repulsion", "resize-bigger", "resize-smaller",
};

// The context menu: a light disc with four pads where its choices lie (one third of the side
// from the centre, as wide as a sixth of it either way) and a close mark in the middle. The
// menu writes the labels on the pads.
QImage contextMenuCross(int size)
{
    QImage image = transparentImage(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(size / 2.0, size / 2.0);
    p.setPen(QPen(QColor(90, 100, 110), size * 0.016));
    p.setBrush(QColor(226, 230, 236, 240));
    p.drawEllipse(c, size * 0.48, size * 0.48);
    const double arm = size / 3.0, half = size / 6.0 - size * 0.012;
    const QColor pads[4] = {QColor(200, 235, 205), QColor(255, 236, 200), QColor(250, 215, 210),
                            QColor(215, 225, 250)};
    const QPointF offsets[4] = {QPointF(0, -arm), QPointF(arm, 0), QPointF(0, arm), QPointF(-arm, 0)};
    p.setPen(QPen(QColor(120, 130, 140), size * 0.01));
    for (int i = 0; i < 4; ++i) {
        p.setBrush(pads[i]);
        p.drawRoundedRect(QRectF(c + offsets[i] - QPointF(half, half), QSizeF(2 * half, 2 * half)),
                          size * 0.03, size * 0.03);
    }
    p.setBrush(QColor(90, 100, 110));
    p.setPen(Qt::NoPen);
    p.drawEllipse(c, half * 0.75, half * 0.75);
    drawPictogram(p, "cancel", c, half * 0.6, Qt::white);
    return image;
}

void generate(AssetWriter& out)
{
    // Texture table: the brush icon first (image texture 0), then the stroke groups of nine.
    out.save(roundButton("brush", kPaletteButton), "textures/brush_icon.png");
    for (int g = 0; g < kStrokeGroups; ++g)
        for (int v = 1; v <= kStrokeVariants; ++v)
            out.save(brushStroke(kStrokeStyles[g], 1000u * (g + 1) + v),
                     QStringLiteral("textures/strokes/stroke-%1-%2.png").arg(g).arg(v));

    out.save(paper(512, 7), "textures/canvas/paper.jpg");
    out.save(canvasWeave(512, 11), "textures/test.jpg");
    out.save(woodenPalette(512, 5), "textures/palette.jpg");
    out.save(wasteBasket(64), "textures/waste_basket_small.png");
    for (const char* kind : {"storage_bin", "pool", "belt", "sticky_board", "sticky_note",
                             "lens_size", "lens_direction", "lens_orientation"})
        out.save(creatorIcon(kind), QStringLiteral("textures/creators/%1.png").arg(kind));
    out.save(colourScale(64), "textures/bty.png");
    out.save(roundButton("unknown", kMenuIcon, 64), "textures/unknownDC.png");

    for (const char* name : kPaletteButtons) {
        out.save(roundButton(name, kPaletteButton), QStringLiteral("textures/%1.png").arg(name));
        out.save(roundButton(name, kPaletteButtonActive), QStringLiteral("textures/%1_active.png").arg(name));
    }
    for (const char* name : kPaletteSingles)
        out.save(roundButton(name, kPaletteButton), QStringLiteral("textures/%1.png").arg(name));

    // Corner menu (the context menu's cross is texture0).
    QImage disc = transparentImage(256);
    {
        QPainter p(&disc);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(90, 100, 110), 4));
        p.setBrush(QColor(236, 236, 230, 235));
        p.drawEllipse(QPointF(128, 128), 122, 122);
        // The corner menu's face: the tool icon above, the band that names the primitive
        // below the line.
        p.setPen(QPen(QColor(150, 155, 160), 2));
        p.drawLine(QPointF(40, 166), QPointF(216, 166));
    }
    out.save(disc, "textures/contextmenu/background.png");
    out.save(roundButton("dummy", kMenuIcon), "textures/contextmenu/dummy.png");
    out.save(contextMenuCross(256), "textures/contextmenu/texture0.png");
    for (const char* name : kMenuTools) {
        out.save(roundButton(name, kMenuIcon), QStringLiteral("textures/contextmenu/%1.png").arg(name));
        out.save(roundButton(name, kRingIcon), QStringLiteral("textures/ringmenu/ring-menu-%1.png").arg(name));
    }
    out.save(roundButton("change-diameter", kRingIcon), "textures/ringmenu/ring-menu-change-diameter.png");
    out.save(roundButton("change-primitive", kRingIcon), "textures/ringmenu/ring-menu-change-primitive.png");

    // Stroke menu.
    QImage panel = transparentImage(256);
    {
        QPainter p(&panel);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(90, 100, 110), 4));
        p.setBrush(QColor(240, 238, 230, 235));
        p.drawRoundedRect(QRectF(6, 6, 244, 244), 28, 28);
    }
    out.save(panel, "textures/strokemenu/background.png");
    out.save(roundButton("accept", ButtonLook{QColor(46, 139, 87, 235), QColor(220, 245, 225)}),
             "textures/strokemenu/accept.png");
    out.save(roundButton("cancel", ButtonLook{QColor(192, 57, 43, 235), QColor(250, 220, 215)}),
             "textures/strokemenu/cancel.png");
    out.save(roundButton("sketch", kMenuIcon), "textures/strokemenu/sketch.png");

    out.save(taskCard(256, false), "textures/tasks/defaultTask.png");
    out.save(taskCard(256, true), "textures/tasks/defaultTaskAdditional.png");

    // For "Load an image to color primitives": the file dialog opens in the working folder.
    out.save(landscape(1280, 800, 2024), "images/landscape.jpg");

    // Pictures for the table items example (data/examples/items.xml) and for images in containers.
    const uint32_t pictureSeeds[4] = {11, 23, 37, 58};
    for (int i = 0; i < 4; ++i)
        out.save(landscape(512, 384, pictureSeeds[i]),
                 QStringLiteral("images/picture%1.png").arg(i + 1));
    // Flat colour regions: the sample to start with (startup reference_image).
    out.save(colourRegions(1280, 800), "images/colour_regions.png");
}

// Small real images in the formats the texture loader accepts (PNG, JPEG, BMP), with and without
// alpha, grey and indexed: the seeds of the texture image fuzzer (tests/fuzz/corpus/images,
// written by `nprtable_assetgen --fuzz-seeds tests/fuzz/corpus/images`).
bool writeFuzzSeeds(const QString& folder)
{
    QDir().mkpath(folder);
    const QImage basket = wasteBasket(24);
    const QImage scale = colourScale(16);
    const QImage sky = landscape(40, 24, 7);
    const struct {
        QImage image;
        const char* name;
        const char* format;
    } seeds[] = {
        {basket.convertToFormat(QImage::Format_ARGB32), "basket-rgba.png", "PNG"},
        {sky.convertToFormat(QImage::Format_RGB888), "landscape-rgb.png", "PNG"},
        {paper(16, 3).convertToFormat(QImage::Format_Grayscale8), "paper-grey.png", "PNG"},
        {scale.convertToFormat(QImage::Format_Indexed8), "scale-indexed.png", "PNG"},
        {sky, "landscape.jpg", "JPG"},
        {paper(16, 5).convertToFormat(QImage::Format_Grayscale8), "paper-grey.jpg", "JPG"},
        {sky.convertToFormat(QImage::Format_RGB888), "landscape-24.bmp", "BMP"},
        {basket.convertToFormat(QImage::Format_ARGB32), "basket-32.bmp", "BMP"},
        {scale.convertToFormat(QImage::Format_Indexed8), "scale-8.bmp", "BMP"},
    };
    bool ok = true;
    for (const auto& seed : seeds) {
        if (!seed.image.save(QDir(folder).filePath(QString::fromLatin1(seed.name)), seed.format)) {
            std::fprintf(stderr, "assetgen: cannot write %s\n", seed.name);
            ok = false;
        }
    }
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--fuzz-seeds")
        return writeFuzzSeeds(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR | --fuzz-seeds FOLDER\n", argv[0]);
        return 2;
    }
    AssetWriter out(QString::fromLocal8Bit(argv[1]));
    generate(out);
    if (!out.finish())
        return 1;
    std::printf("assetgen: %d files written to %s\n", out.count(), argv[1]);
    return 0;
}
