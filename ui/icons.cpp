#include "ui/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

namespace tablift {
namespace {

template <typename Draw>
QIcon Painted(int size, Draw draw) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  draw(painter, static_cast<qreal>(size));
  painter.end();
  return QIcon(pixmap);
}

void Cylinder(QPainter& p, QRectF r, QColor colour) {
  const qreal cap = r.height() / 4;
  p.setPen(QPen(colour.darker(160), 1));
  p.setBrush(colour);
  p.drawRect(QRectF(r.left(), r.top() + cap / 2, r.width(), r.height() - cap));
  p.drawEllipse(QRectF(r.left(), r.bottom() - cap, r.width(), cap));
  p.setPen(Qt::NoPen);
  p.drawRect(QRectF(r.left() + 0.5, r.top() + cap / 2, r.width() - 1, r.height() - cap));
  p.setPen(QPen(colour.darker(160), 1));
  p.setBrush(colour.lighter(130));
  p.drawEllipse(QRectF(r.left(), r.top(), r.width(), cap));
}

void Grid(QPainter& p, QRectF r, QColor header) {
  p.setPen(QPen(QColor(70, 70, 70), 1));
  p.setBrush(Qt::white);
  p.drawRect(r);
  p.fillRect(QRectF(r.left(), r.top(), r.width(), r.height() / 4), header);
  for (int i = 1; i < 4; ++i) {
    const qreal y = r.top() + r.height() * i / 4;
    p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
  }
  p.drawLine(QPointF(r.center().x(), r.top()), QPointF(r.center().x(), r.bottom()));
}

void Folder(QPainter& p, qreal s, QColor colour) {
  p.setPen(QPen(colour.darker(150), 1));
  p.setBrush(colour);
  QPainterPath path;
  path.moveTo(1, 3);
  path.lineTo(s * 0.4, 3);
  path.lineTo(s * 0.5, 5);
  path.lineTo(s - 1, 5);
  path.lineTo(s - 1, s - 2);
  path.lineTo(1, s - 2);
  path.closeSubpath();
  p.drawPath(path);
}

void Arrow(QPainter& p, qreal s, bool up, QColor colour) {
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  QPolygonF arrow;
  if (up)
    arrow << QPointF(s / 2, 2) << QPointF(s - 2, s / 2) << QPointF(s * 0.65, s / 2)
          << QPointF(s * 0.65, s - 2) << QPointF(s * 0.35, s - 2) << QPointF(s * 0.35, s / 2)
          << QPointF(2, s / 2);
  else
    arrow << QPointF(s / 2, s - 2) << QPointF(s - 2, s / 2) << QPointF(s * 0.65, s / 2)
          << QPointF(s * 0.65, 2) << QPointF(s * 0.35, 2) << QPointF(s * 0.35, s / 2)
          << QPointF(2, s / 2);
  p.drawPolygon(arrow);
}

void Cross(QPainter& p, qreal s, QColor colour) {
  p.setPen(QPen(colour, s / 6, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(s * 0.25, s * 0.25), QPointF(s * 0.75, s * 0.75));
  p.drawLine(QPointF(s * 0.75, s * 0.25), QPointF(s * 0.25, s * 0.75));
}

}  // namespace

QIcon NodeIcon(NodeKind kind) {
  return Painted(16, [kind](QPainter& p, qreal s) {
    switch (static_cast<int>(kind)) {
      case 0:  // root: a server
        p.setPen(QPen(QColor(60, 60, 60), 1));
        p.setBrush(QColor(200, 200, 210));
        p.drawRect(QRectF(3, 1, 10, 14));
        p.setBrush(QColor(40, 180, 40));
        p.drawEllipse(QRectF(6, 11, 3, 3));
        p.drawLine(QPointF(5, 4), QPointF(11, 4));
        p.drawLine(QPointF(5, 7), QPointF(11, 7));
        break;
      case 1:  // database
        Cylinder(p, QRectF(2, 1, 12, 14), QColor(230, 180, 60));
        break;
      case 2:  // table
        Grid(p, QRectF(1.5, 2.5, 13, 11), QColor(80, 130, 210));
        break;
      case 3:  // "Tables" folder
        Folder(p, s, QColor(240, 210, 100));
        Grid(p, QRectF(5.5, 7.5, 8, 6), QColor(80, 130, 210));
        break;
      case 4:  // field
        p.setPen(QPen(QColor(70, 70, 70), 1));
        p.setBrush(QColor(120, 200, 120));
        p.drawRect(QRectF(2.5, 5.5, 11, 5));
        break;
      case 5:  // "Fields" folder
        Folder(p, s, QColor(240, 210, 100));
        p.setPen(QPen(QColor(70, 70, 70), 1));
        p.setBrush(QColor(120, 200, 120));
        p.drawRect(QRectF(5.5, 9.5, 8, 3));
        break;
      case 6:  // index
        p.setPen(QPen(QColor(150, 110, 20), 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(2, 3, 6, 6));
        p.drawLine(QPointF(7, 8), QPointF(13, 14));
        p.drawLine(QPointF(11, 12), QPointF(13, 10));
        break;
      case 7:  // "Indexes" folder
        Folder(p, s, QColor(240, 210, 100));
        p.setPen(QPen(QColor(150, 110, 20), 1.5));
        p.drawEllipse(QRectF(6, 7.5, 4, 4));
        p.drawLine(QPointF(9.5, 11), QPointF(13, 13.5));
        break;
      case 8:  // view
        p.setPen(QPen(QColor(70, 70, 70), 1));
        p.setBrush(QColor(220, 240, 255));
        p.drawRect(QRectF(1.5, 2.5, 13, 11));
        p.setBrush(QColor(120, 60, 170));
        p.drawEllipse(QRectF(5, 5, 6, 6));
        break;
      default:  // "Views" folder
        Folder(p, s, QColor(240, 210, 100));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(120, 60, 170));
        p.drawEllipse(QRectF(7, 8, 5, 5));
        break;
    }
  });
}

QIcon ToolIcon(int index) {
  return Painted(24, [index](QPainter& p, qreal s) {
    switch (index) {
      case 0: {  // Configure: a gear-like wheel
        p.setPen(QPen(QColor(90, 90, 100), 4, Qt::SolidLine, Qt::RoundCap));
        for (int i = 0; i < 4; ++i) {
          p.save();
          p.translate(s / 2, s / 2);
          p.rotate(45.0 * i);
          p.drawLine(QPointF(-s * 0.4, 0), QPointF(s * 0.4, 0));
          p.restore();
        }
        p.setPen(QPen(QColor(60, 60, 70), 1));
        p.setBrush(QColor(160, 160, 175));
        p.drawEllipse(QRectF(s * 0.22, s * 0.22, s * 0.56, s * 0.56));
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(s * 0.4, s * 0.4, s * 0.2, s * 0.2));
        break;
      }
      case 1:  // Connect: two linked databases
        Cylinder(p, QRectF(1, 4, 9, 16), QColor(230, 180, 60));
        Cylinder(p, QRectF(14, 4, 9, 16), QColor(80, 150, 220));
        p.setPen(QPen(QColor(40, 40, 40), 2));
        p.drawLine(QPointF(10, 12), QPointF(14, 12));
        break;
      case 2: {  // Migrate: an arrow into a database
        Cylinder(p, QRectF(13, 4, 10, 16), QColor(80, 150, 220));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(30, 160, 60));
        QPolygonF arrow;
        arrow << QPointF(1, 9) << QPointF(8, 9) << QPointF(8, 5) << QPointF(14, 12)
              << QPointF(8, 19) << QPointF(8, 15) << QPointF(1, 15);
        p.drawPolygon(arrow);
        break;
      }
      case 3:  // Delete
        Cross(p, s, QColor(210, 40, 40));
        break;
      default:  // Backup: a disk
        p.setPen(QPen(QColor(30, 50, 90), 1));
        p.setBrush(QColor(60, 100, 170));
        p.drawRoundedRect(QRectF(3, 3, 18, 18), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7, 3.5, 10, 6));
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(QRectF(6, 13, 12, 8));
        break;
    }
  });
}

QIcon TaskToolIcon(int index) {
  return Painted(16, [index](QPainter& p, qreal s) {
    switch (index) {
      case 1:
        Arrow(p, s, true, QColor(40, 110, 200));
        break;
      case 2:
        Arrow(p, s, false, QColor(40, 110, 200));
        break;
      case 3:
        Cross(p, s, QColor(210, 40, 40));
        break;
      default:  // Clear All Tasks: a broom-like stack of crossed rows
        p.setPen(QPen(QColor(90, 90, 90), 1));
        for (int i = 0; i < 3; ++i)
          p.drawLine(QPointF(2, 4 + 4 * i), QPointF(14, 4 + 4 * i));
        p.setPen(QPen(QColor(210, 40, 40), 2));
        p.drawLine(QPointF(3, 14), QPointF(13, 2));
        break;
    }
  });
}

QIcon StartStopIcon(int image) {
  return Painted(16, [image](QPainter& p, qreal s) {
    p.setPen(Qt::NoPen);
    switch (image) {
      case 3: {  // running: a green circle with a pause mark
        p.setBrush(QColor(30, 160, 60));
        p.drawEllipse(QRectF(1, 1, s - 2, s - 2));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(5, 4, 2, 8));
        p.drawRect(QRectF(9, 4, 2, 8));
        break;
      }
      case 4:  // finished: a grey square
        p.setBrush(QColor(130, 130, 130));
        p.drawRect(QRectF(3, 3, 10, 10));
        break;
      case 5:  // stop requested: a red square
        p.setBrush(QColor(210, 40, 40));
        p.drawRect(QRectF(3, 3, 10, 10));
        break;
      default: {  // start requested: a green triangle
        p.setBrush(QColor(30, 160, 60));
        QPolygonF play;
        play << QPointF(4, 2) << QPointF(14, 8) << QPointF(4, 14);
        p.drawPolygon(play);
        break;
      }
    }
  });
}

QIcon TabIcon(int index) {
  return Painted(16, [index](QPainter& p, qreal s) {
    if (index == 8) {  // Log: lines of text
      p.setPen(QPen(QColor(70, 70, 70), 1));
      p.setBrush(Qt::white);
      p.drawRect(QRectF(2.5, 1.5, 11, 13));
      for (int i = 0; i < 4; ++i)
        p.drawLine(QPointF(4.5, 4.5 + 2.5 * i), QPointF(11.5, 4.5 + 2.5 * i));
    } else if (index == 2) {  // Task List: a list with a bar
      p.setPen(QPen(QColor(70, 70, 70), 1));
      p.setBrush(Qt::white);
      p.drawRect(QRectF(1.5, 2.5, 13, 11));
      p.fillRect(QRectF(3, 5, 7, 2), QColor(0x1B, 0x9C, 0xD5));
      p.fillRect(QRectF(3, 9, 10, 2), QColor(0x1B, 0x9C, 0xD5));
    } else {  // Tips: a light bulb
      p.setPen(QPen(QColor(150, 120, 0), 1));
      p.setBrush(QColor(255, 220, 60));
      p.drawEllipse(QRectF(3, 1, 10, 10));
      p.setBrush(QColor(150, 150, 150));
      p.drawRect(QRectF(6, 11, 4, 3));
      (void)s;
    }
  });
}

}  // namespace tablift
