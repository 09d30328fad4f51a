#include "gui/window_settings.h"

#include <QGuiApplication>
#include <QPalette>
#include <QPlainTextEdit>
#include <QScreen>
#include <QWidget>
#include <algorithm>

#include "core/settings/settings.h"
#include "gui/form_main.h"

namespace voxloom {

namespace {

// Colours are stored as 0x00BBGGRR, the value 0 being black.
int storedColour(const QColor& c) {
  return c.red() | (c.green() << 8) | (c.blue() << 16);
}
QColor colourFromStored(int v) {
  return QColor(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF);
}

template <typename Get, typename Set>
void bindFontFlag(Settings& s, const char* key, QWidget* w, Get get, Set set) {
  s.bindBool(
      key, [w, get] { return (w->font().*get)(); },
      [w, set](bool on) {
        QFont f = w->font();
        (f.*set)(on);
        w->setFont(f);
      });
}

}  // namespace

WindowSettings::WindowSettings(TFormMain* mainWindow, QWidget* levelWindow)
    : main_(mainWindow), level_(levelWindow), memo_(mainWindow->cueLabelsMemo()) {}

void WindowSettings::bind(Settings& s) {
  QWidget* main = main_;
  s.bindInt(
      "WindowPosLeft", [main] { return main->x(); },
      [main](int x) {
        main->move(x, main->y());
        keepOnScreen(main);
      });
  s.bindInt(
      "WindowPosTop", [main] { return main->y(); },
      [main](int y) {
        main->move(main->x(), y);
        keepOnScreen(main);
      });

  if (memo_ != nullptr) {
    QWidget* memo = memo_;
    s.bindText(
        "CueLabelFontName", [memo] { return memo->font().family().toStdString(); },
        [memo](const std::string& name) {
          QFont f = memo->font();
          f.setFamily(QString::fromStdString(name));
          memo->setFont(f);
        });
    bindFontFlag(s, "CueLabelFontStyleBold", memo, &QFont::bold, &QFont::setBold);
    bindFontFlag(s, "CueLabelFontStyleItalic", memo, &QFont::italic, &QFont::setItalic);
    bindFontFlag(s, "CueLabelFontStyleUnderline", memo, &QFont::underline, &QFont::setUnderline);
    bindFontFlag(s, "CueLabelFontStyleStrikeOut", memo, &QFont::strikeOut, &QFont::setStrikeOut);
    s.bindInt(
        "CueLabelFontSize", [memo] { return memo->font().pointSize(); },
        [memo](int size) {
          QFont f = memo->font();
          f.setPointSize(std::clamp(size, 1, 1638));  // what a font dialog offers
          memo->setFont(f);
        });
    s.bindInt(
        "CueLabelFontColor", [memo] { return storedColour(memo->palette().color(QPalette::Text)); },
        [memo](int v) {
          QPalette p = memo->palette();
          p.setColor(QPalette::Text, colourFromStored(v));
          memo->setPalette(p);
        });
    s.bindInt("CueLabelFontCharset", cueLabelCharset_, -2147483647 - 1, 2147483647);
  }

  if (level_ != nullptr) {
    // Until it is placed, the level window sits beside the main window. Its left is
    // read before its top, so the move waits for the top.
    auto besideMain = [this, main] {
      return levelPlaced_ ? level_->pos() : QPoint(main->x() + main->width() + 8, main->y());
    };
    s.bindInt(
        "LevelWindowLeftPosition", [besideMain] { return besideMain().x(); },
        [this](int x) { levelLeft_ = x; });
    s.bindInt(
        "LevelWindowTopPosition", [besideMain] { return besideMain().y(); },
        [this](int y) {
          level_->move(levelLeft_, y);
          keepOnScreen(level_);
          levelPlaced_ = true;
        });
  }
}

void WindowSettings::bindManualWindow(Settings& s, QWidget* manual) {
  static constexpr int kLargest = 100000;
  s.bindInt(
      "ManualRandomWindowLeftPosition", [manual] { return manual->x(); },
      [manual](int x) { manual->move(x, manual->y()); });
  s.bindInt(
      "ManualRandomWindowTopPosition", [manual] { return manual->y(); },
      [manual](int y) {
        manual->move(manual->x(), y);
        keepOnScreen(manual);
      });
  s.bindInt(
      "ManualRandomWindowWidth", [manual] { return manual->width(); },
      [manual](int w) { manual->resize(std::clamp(w, 100, kLargest), manual->height()); });
  s.bindInt(
      "ManualRandomWindowHeight", [manual] { return manual->height(); },
      [manual](int h) { manual->resize(manual->width(), std::clamp(h, 40, kLargest)); });
}

void WindowSettings::keepOnScreen(QWidget* window) {
  const QRect frame(window->pos(), window->frameGeometry().size().expandedTo(QSize(1, 1)));
  QScreen* nearest = nullptr;
  int bestDistance = 0;
  for (QScreen* screen : QGuiApplication::screens()) {
    const QRect area = screen->availableGeometry();
    // A strip of the window's top (its title) must be reachable on some screen.
    const QRect title(frame.topLeft(), QSize(frame.width(), std::min(frame.height(), 30)));
    if (area.intersected(title).width() >= std::min(50, frame.width()) &&
        area.intersected(title).height() > 0)
      return;
    const QPoint centre = area.center();
    const int distance = (centre - frame.topLeft()).manhattanLength();
    if (nearest == nullptr || distance < bestDistance) {
      nearest = screen;
      bestDistance = distance;
    }
  }
  if (nearest == nullptr) return;
  const QRect area = nearest->availableGeometry();
  const int x =
      std::clamp(frame.x(), area.left(), std::max(area.left(), area.right() - frame.width() + 1));
  const int y =
      std::clamp(frame.y(), area.top(), std::max(area.top(), area.bottom() - frame.height() + 1));
  window->move(x, y);
}

}  // namespace voxloom
