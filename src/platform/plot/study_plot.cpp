#include "platform/plot/study_plot.h"

#include <QBuffer>
#include <QFont>
#include <QGuiApplication>
#include <QPainter>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>

#include "core/util/replace_file.h"

namespace voxloom {

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr QRectF kPlotArea(80, 50, 540, 360);
constexpr double kJitter = 45.0;  // half the spread of an arm's points, pixels

// The same small sideways shift for the same point every time, so that the plot of a
// study is the same file every time.
double jitterOf(std::size_t index) {
  std::uint64_t z = (index + 1) * 0x9E3779B97F4A7C15ull;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z ^= z >> 27;
  return (static_cast<double>(z % 2001) / 1000.0 - 1.0) * kJitter;
}

// The top of the axis: 1, 2 or 5 times a power of ten, above every value.
double axisTop(double largest) {
  if (!(largest > 0)) return 1.0;
  const double power = std::pow(10.0, std::floor(std::log10(largest)));
  for (const double step : {1.0, 2.0, 5.0, 10.0})
    if (step * power >= largest * 1.05) return step * power;
  return 10.0 * power;
}

double medianOf(std::vector<double> values) {
  if (values.empty()) return 0.0;
  std::sort(values.begin(), values.end());
  const std::size_t half = values.size() / 2;
  return values.size() % 2 ? values[half] : (values[half - 1] + values[half]) / 2.0;
}

void drawArm(QPainter& painter, const std::vector<double>& values, double centre, double top,
             const QColor& colour, const QString& name) {
  const auto y = [top](double v) { return kPlotArea.bottom() - v / top * kPlotArea.height(); };
  QColor fill = colour;
  fill.setAlphaF(0.55);
  painter.setPen(QPen(colour, 1.0));
  painter.setBrush(fill);
  for (std::size_t i = 0; i < values.size(); ++i)
    painter.drawEllipse(QPointF(centre + jitterOf(i), y(values[i])), 4.0, 4.0);
  painter.setPen(QPen(Qt::black, 3.0, Qt::SolidLine, Qt::FlatCap));
  const double median = y(medianOf(values));
  painter.drawLine(QPointF(centre - 1.4 * kJitter, median),
                   QPointF(centre + 1.4 * kJitter, median));
  painter.setPen(Qt::black);
  painter.drawText(QRectF(centre - 120, kPlotArea.bottom() + 8, 240, 40),
                   Qt::AlignHCenter | Qt::AlignTop,
                   QStringLiteral("%1\n%2 runs").arg(name).arg(values.size()));
}

}  // namespace

bool writeStudyPlot(const std::string& path, const std::vector<double>& evpWpm,
                    const std::vector<double>& controlWpm, const std::string& controlName,
                    std::string& error) {
  // Text needs a font database, which needs an application; the command line has none,
  // and often no display either.
  std::unique_ptr<QGuiApplication> app;
  if (QGuiApplication::instance() == nullptr) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
      qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "voxloom-cli";
    static char* argv[] = {name, nullptr};
    // Qt's notes about the session (no runtime folder, say) are no concern of a plot.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
      if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    });
    app = std::make_unique<QGuiApplication>(argc, argv);
  }

  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  QSvgGenerator svg;
  svg.setOutputDevice(&buffer);
  svg.setSize(QSize(kWidth, kHeight));
  svg.setViewBox(QRect(0, 0, kWidth, kHeight));
  svg.setTitle(QStringLiteral("Words heard per minute"));
  svg.setDescription(QStringLiteral("Each run a point, each arm's median a bar."));
  {
    QPainter painter(&svg);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(QRect(0, 0, kWidth, kHeight), Qt::white);
    QFont font = painter.font();
    font.setPixelSize(13);
    painter.setFont(font);

    double largest = 0.0;
    for (const double v : evpWpm) largest = std::max(largest, v);
    for (const double v : controlWpm) largest = std::max(largest, v);
    const double top = axisTop(largest);

    painter.setPen(QPen(Qt::black, 1.0));
    painter.drawLine(kPlotArea.bottomLeft(), kPlotArea.topLeft());
    painter.drawLine(kPlotArea.bottomLeft(), kPlotArea.bottomRight());
    constexpr int kTicks = 5;
    for (int i = 0; i <= kTicks; ++i) {
      const double value = top * i / kTicks;
      const double y = kPlotArea.bottom() - kPlotArea.height() * i / kTicks;
      painter.setPen(QPen(QColor(220, 220, 220), 1.0));
      if (i > 0) painter.drawLine(QPointF(kPlotArea.left() + 1, y), QPointF(kPlotArea.right(), y));
      painter.setPen(Qt::black);
      painter.drawLine(QPointF(kPlotArea.left() - 5, y), QPointF(kPlotArea.left(), y));
      painter.drawText(QRectF(0, y - 10, kPlotArea.left() - 9, 20),
                       Qt::AlignRight | Qt::AlignVCenter, QString::number(value, 'g', 4));
    }
    painter.save();
    painter.translate(18, kPlotArea.center().y());
    painter.rotate(-90);
    painter.drawText(QRectF(-150, -10, 300, 20), Qt::AlignCenter,
                     QStringLiteral("words per minute"));
    painter.restore();
    font.setPixelSize(16);
    painter.setFont(font);
    painter.drawText(QRectF(0, 10, kWidth, 30), Qt::AlignCenter,
                     QStringLiteral("Words heard per minute"));
    font.setPixelSize(13);
    painter.setFont(font);

    const double third = kPlotArea.width() / 3.0;
    drawArm(painter, evpWpm, kPlotArea.left() + third, top, QColor(200, 70, 40),
            QStringLiteral("EVP"));
    drawArm(painter, controlWpm, kPlotArea.left() + 2 * third, top, QColor(40, 100, 190),
            QStringLiteral("control: %1").arg(QString::fromStdString(controlName)));
  }
  const QByteArray bytes = buffer.data();
  if (!writeFileAtomically(
          path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())))) {
    error = "Can't write the plot '" + path + "'.";
    return false;
  }
  return true;
}

}  // namespace voxloom
