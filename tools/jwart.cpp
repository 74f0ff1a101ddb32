// Draws every picture of the bundled sample directory: template backgrounds (705 x 460, the
// viewer's client area), navigation button pictures and the firms' logos. Everything is painted
// here so the sample ships without third-party artwork. Usage: jwart OUTDIR [--png]
#include <QColor>
#include <QDir>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QString>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>

namespace {

constexpr int kWidth = 705;
constexpr int kHeight = 460;
const char* const kFontFamily = "Liberation Sans";

QString gOutDir;
int gWritten = 0;
bool gFailed = false;
bool gPreview = false;  // also write PNG copies, for looking at the art

void Save(const QImage& AImage, const QString& AName) {
  // 24-bit bitmaps: every reader handles them and they carry no alpha that could surprise one.
  const QImage img = AImage.convertToFormat(QImage::Format_RGB888);
  const QString path = gOutDir + "/" + AName;
  if (!img.save(path, "BMP")) {
    std::fprintf(stderr, "jwart: cannot write %s\n", qPrintable(path));
    gFailed = true;
    return;
  }
  ++gWritten;
  if (gPreview) img.save(gOutDir + "/" + AName.chopped(4) + ".png", "PNG");
}

QFont Font(int APixelSize, bool ABold = true, bool AItalic = false) {
  QFont f(kFontFamily);
  f.setPixelSize(APixelSize);
  f.setBold(ABold);
  f.setItalic(AItalic);
  return f;
}

// ---------------------------------------------------------------------------------------------
// Templates

struct TPalette {
  QColor Dark;   // header band, frame lines
  QColor Mid;    // accents
  QColor Light;  // page colour behind the text frames
  QColor Paper;  // the content card
};

using TMotif = std::function<void(QPainter&, const TPalette&)>;

void DrawBackground(const QString& AName, const TPalette& APal, const QString& ATitle,
                    const TMotif& AMotif) {
  QImage img(kWidth, kHeight, QImage::Format_RGB32);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);

  QLinearGradient page(0, 0, 0, kHeight);
  page.setColorAt(0, APal.Light.lighter(104));
  page.setColorAt(1, APal.Light.darker(106));
  p.fillRect(img.rect(), page);

  // Header band with the directory's title; the viewer puts nothing here but the navigation bar.
  QLinearGradient band(0, 0, kWidth, 0);
  band.setColorAt(0, APal.Dark);
  band.setColorAt(1, APal.Mid);
  p.fillRect(QRect(0, 0, kWidth, 62), band);
  p.fillRect(QRect(0, 62, kWidth, 3), APal.Mid.lighter(140));

  AMotif(p, APal);

  p.setPen(QColor(255, 255, 255, 235));
  p.setFont(Font(22));
  p.drawText(QRect(24, 8, 520, 30), Qt::AlignLeft | Qt::AlignVCenter,
             QString::fromUtf8("Branchenbuch Rhein-Ruhr"));
  p.setFont(Font(12, false, true));
  p.setPen(QColor(255, 255, 255, 200));
  p.drawText(QRect(26, 36, 520, 20), Qt::AlignLeft | Qt::AlignVCenter, ATitle);

  // One card under the headline, address, page and logo frames, joined to the column of the
  // navigation bar. The template's colour is the card's, so the frames blend into it.
  QPainterPath card;
  card.addRoundedRect(QRectF(86, 88, 540, 360), 10, 10);
  QPainterPath nav;
  nav.addRoundedRect(QRectF(556, 44, 147, 160), 8, 8);
  card = card.united(nav);
  p.fillPath(card.translated(3, 3), QColor(0, 0, 0, 40));
  p.fillPath(card, APal.Paper);
  p.setBrush(Qt::NoBrush);  // the motif may have left one
  p.setPen(QPen(APal.Mid, 1.5));
  p.drawPath(card);
  // A light frame where the logo sits.
  p.setPen(QPen(APal.Mid.lighter(150), 1, Qt::DashLine));
  p.drawRoundedRect(QRectF(394, 340, 141, 65), 4, 4);

  p.end();
  Save(img, "tpl-" + AName + ".bmp");
}

void DrawButtons(const QString& AName, const TPalette& APal) {
  // Ordinary button: 140 x 16, the caption starts at about x = 36.
  QImage b1(140, 16, QImage::Format_RGB32);
  b1.fill(APal.Paper);
  {
    QPainter p(&b1);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, 16);
    g.setColorAt(0, APal.Paper);
    g.setColorAt(1, APal.Light.darker(108));
    QPainterPath body;
    body.addRoundedRect(QRectF(2.5, 0.5, 135, 15), 7, 7);
    p.fillPath(body, g);
    p.setPen(QPen(APal.Mid, 1));
    p.drawPath(body);
    p.setBrush(APal.Dark);
    p.setPen(Qt::NoPen);
    QPolygonF arrow;
    arrow << QPointF(14, 4) << QPointF(22, 8) << QPointF(14, 12);
    p.drawPolygon(arrow);
  }
  Save(b1, "btn-" + AName + ".bmp");

  // Closing button: 140 x 20, with a cross.
  QImage b2(140, 20, QImage::Format_RGB32);
  b2.fill(APal.Paper);
  {
    QPainter p(&b2);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, 20);
    g.setColorAt(0, APal.Mid.lighter(120));
    g.setColorAt(1, APal.Dark);
    QPainterPath body;
    body.addRoundedRect(QRectF(2.5, 1.5, 135, 17), 8, 8);
    p.fillPath(body, g);
    p.setPen(QPen(APal.Paper, 2.2));
    p.drawLine(QPointF(13, 6), QPointF(21, 14));
    p.drawLine(QPointF(21, 6), QPointF(13, 14));
  }
  Save(b2, "btnend-" + AName + ".bmp");
}

void MotifWheat(QPainter& p, const TPalette& APal) {
  p.setPen(QPen(QColor(255, 255, 255, 70), 2));
  for (int i = 0; i < 7; ++i) {
    const double x = 430 + i * 38;
    p.drawLine(QPointF(x, 60), QPointF(x + 12, 12));
    for (int k = 0; k < 4; ++k) {
      const double y = 20 + k * 9;
      const double cx = x + 12 * (60 - y) / 48.0;
      p.drawEllipse(QPointF(cx - 4, y), 3, 6);
      p.drawEllipse(QPointF(cx + 4, y + 3), 3, 6);
    }
  }
  p.setPen(Qt::NoPen);
  p.setBrush(APal.Mid.lighter(160));
  for (int i = 0; i < 12; ++i) p.drawEllipse(QPointF(20 + i * 5.5, 300 + (i % 3) * 40), 2, 2);
}

void MotifWaves(QPainter& p, const TPalette&) {
  for (int row = 0; row < 4; ++row) {
    QPainterPath wave;
    const double base = 20 + row * 12;
    wave.moveTo(330, base);
    for (int x = 330; x <= kWidth; x += 4)
      wave.lineTo(x, base + 5 * std::sin((x + row * 25) / 18.0));
    p.setPen(QPen(QColor(255, 255, 255, 50 + row * 25), 2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(wave);
  }
  // A low sea at the bottom edge of the page.
  QPainterPath sea;
  sea.moveTo(0, kHeight);
  for (int x = 0; x <= kWidth; x += 5) sea.lineTo(x, 448 + 4 * std::sin(x / 22.0));
  sea.lineTo(kWidth, kHeight);
  sea.closeSubpath();
  p.fillPath(sea, QColor(40, 110, 170, 90));
}

void MotifLeaves(QPainter& p, const TPalette&) {
  for (int i = 0; i < 9; ++i) {
    const double x = 360 + i * 38;
    const double h = 28 + (i * 7) % 20;
    QPolygonF tree;
    tree << QPointF(x, 60 - h) << QPointF(x + 13, 60) << QPointF(x - 13, 60);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 40 + (i % 3) * 20));
    p.drawPolygon(tree);
  }
  p.setBrush(QColor(60, 120, 60, 60));
  for (int i = 0; i < 6; ++i) {
    p.save();
    p.translate(40, 120 + i * 55);
    p.rotate(30 + i * 20);
    p.drawEllipse(QPointF(0, 0), 16, 7);
    p.restore();
  }
}

void MotifBricks(QPainter& p, const TPalette&) {
  p.setPen(QPen(QColor(255, 255, 255, 60), 1));
  p.setBrush(Qt::NoBrush);
  for (int row = 0; row < 5; ++row)
    for (int col = 0; col < 9; ++col) {
      const int x = 420 + col * 32 + (row % 2) * 16;
      p.drawRect(x, 4 + row * 11, 30, 9);
    }
  p.setPen(QPen(QColor(150, 60, 30, 70), 3));
  for (int i = 0; i < 5; ++i) p.drawLine(12, 110 + i * 70, 60, 80 + i * 70);
}

// ---------------------------------------------------------------------------------------------
// Logos

enum class TShape { Circle, Rounded, Shield, Diamond, Banner, Sun };

struct TLogo {
  const char* Name;   // file: logo-<Name>.bmp
  int Width, Height;  // at most 133 x 57 (the viewer's logo frame cuts the rest)
  TShape Shape;
  QRgb Fore, Back;
  const char* Mark;   // one or two letters in the emblem (UTF-8)
  const char* Line1;  // text beside the emblem (UTF-8)
  const char* Line2;
};

void DrawEmblem(QPainter& p, const TLogo& L, const QRectF& R) {
  const QColor fore(L.Fore);
  p.setPen(Qt::NoPen);
  p.setBrush(fore);
  switch (L.Shape) {
    case TShape::Circle:
      p.drawEllipse(R);
      break;
    case TShape::Rounded:
      p.drawRoundedRect(R, 6, 6);
      break;
    case TShape::Shield: {
      QPainterPath s;
      s.moveTo(R.left(), R.top());
      s.lineTo(R.right(), R.top());
      s.lineTo(R.right(), R.center().y());
      s.quadTo(R.right(), R.bottom(), R.center().x(), R.bottom());
      s.quadTo(R.left(), R.bottom(), R.left(), R.center().y());
      s.closeSubpath();
      p.drawPath(s);
      break;
    }
    case TShape::Diamond: {
      QPolygonF d;
      d << QPointF(R.center().x(), R.top()) << QPointF(R.right(), R.center().y())
        << QPointF(R.center().x(), R.bottom()) << QPointF(R.left(), R.center().y());
      p.drawPolygon(d);
      break;
    }
    case TShape::Banner:
      p.drawRect(R.adjusted(0, R.height() * 0.15, 0, -R.height() * 0.15));
      break;
    case TShape::Sun: {
      p.setPen(QPen(fore, 2));
      for (int i = 0; i < 12; ++i) {
        const double a = i * M_PI / 6;
        const QPointF c = R.center();
        const double r = R.width() / 2;
        p.drawLine(QPointF(c.x() + std::cos(a) * r * 0.62, c.y() + std::sin(a) * r * 0.62),
                   QPointF(c.x() + std::cos(a) * r, c.y() + std::sin(a) * r));
      }
      p.setPen(Qt::NoPen);
      p.drawEllipse(R.center(), R.width() * 0.36, R.height() * 0.36);
      break;
    }
  }
  p.setPen(QColor(L.Back));
  const QString mark = QString::fromUtf8(L.Mark);
  p.setFont(Font(mark.size() > 1 ? int(R.height() * 0.42) : int(R.height() * 0.55)));
  p.drawText(R, Qt::AlignCenter, mark);
}

void DrawLogo(const TLogo& L) {
  QImage img(L.Width, L.Height, QImage::Format_RGB32);
  img.fill(QColor(L.Back));
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  const double e = L.Height - 8;
  DrawEmblem(p, L, QRectF(4, 4, e, e));
  const QRectF text(e + 10, 2, L.Width - e - 12, L.Height - 4);
  p.setPen(QColor(L.Fore));
  const QString l1 = QString::fromUtf8(L.Line1), l2 = QString::fromUtf8(L.Line2);
  // Shrink each line until it fits beside the emblem.
  auto fitted = [&](const QString& AText, int ASize, bool ABold, bool AItalic) {
    QFont f = Font(ASize, ABold, AItalic);
    while (f.pixelSize() > 7 && QFontMetrics(f).horizontalAdvance(AText) > text.width())
      f.setPixelSize(f.pixelSize() - 1);
    return f;
  };
  if (l2.isEmpty()) {
    p.setFont(fitted(l1, 15, true, false));
    p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, l1);
  } else {
    p.setFont(fitted(l1, 14, true, false));
    p.drawText(text.adjusted(0, 0, 0, -text.height() / 2), Qt::AlignLeft | Qt::AlignBottom, l1);
    p.setFont(fitted(l2, 11, false, true));
    p.drawText(text.adjusted(0, text.height() / 2 + 1, 0, 0), Qt::AlignLeft | Qt::AlignTop, l2);
  }
  p.setPen(QPen(QColor(L.Fore), 1));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(0.5, 0.5, L.Width - 1, L.Height - 1));
  p.end();
  Save(img, QString("logo-") + L.Name + ".bmp");
}

const TLogo kLogos[] = {
    {"sonnenkorn", 133, 57, TShape::Sun, 0xC8811A, 0xFFF8E6, "S", "Sonnenkorn",
     "Backstube seit 1952"},
    {"mueller", 120, 50, TShape::Circle, 0x7A4A21, 0xFFF3DF, "BM", "Müller", "Bäckerei"},
    {"schaefer", 126, 52, TShape::Shield, 0xA0232B, 0xFFFFFF, "S", "Schäfer", "Metzgerei"},
    {"suessesglueck", 133, 57, TShape::Rounded, 0xC2487B, 0xFFF0F6, "♥", "Süßes Glück",
     "Café & Konditorei"},
    {"weiss", 110, 46, TShape::Rounded, 0x2A7AB8, 0xFFFFFF, "W", "Dr. Weiß", "Zahnarztpraxis"},
    {"gruenfeld", 128, 54, TShape::Circle, 0x3C8C3C, 0xF1FAEE, "G", "Grünfeld",
     "Blumen & Floristik"},
    {"groesser", 133, 57, TShape::Banner, 0x1F2F5F, 0xE8ECF5, "AG", "Autohaus", "Größer GmbH"},
    {"lesezeichen", 124, 50, TShape::Rounded, 0x5B3A8C, 0xF6F1FC, "L", "Lesezeichen",
     "Buchhandlung"},
    {"muehle", 133, 57, TShape::Diamond, 0x6B4E2E, 0xFBF6EC, "M", "Zur Alten Mühle",
     "Hotel · Restaurant"},
    {"holzwurm", 118, 48, TShape::Shield, 0x8A5A2B, 0xFFF8EE, "H", "Holzwurm", "Tischlerei"},
    {"amdom", 112, 50, TShape::Rounded, 0xC4161C, 0xFFFFFF, "A", "Apotheke", "am Dom"},
    {"scharfblick", 130, 44, TShape::Circle, 0x20474F, 0xEEF7F8, "◎", "Scharfblick", "Augenoptik"},
    {"rebstoeckle", 133, 57, TShape::Circle, 0x6E1E4A, 0xFAF0F5, "R", "Rebstöckle",
     "Weine aus aller Welt"},
    {"rheinland", 133, 57, TShape::Shield, 0x0E4C92, 0xFFFFFF, "RV", "Rheinland", "Versicherung"},
    {"grossmann", 133, 52, TShape::Banner, 0xD35400, 0xFFF5EC, "G", "Großmann",
     "Spedition & Logistik"},
    {"radwerk", 126, 50, TShape::Diamond, 0x2E7D32, 0xF2FBF2, "R", "Radwerk", "Partnernetz"},
    {"fernweh", 120, 52, TShape::Sun, 0x00838F, 0xEFFBFC, "F", "Fernweh", "Reisebüro"},
    {"flink", 100, 40, TShape::Rounded, 0x37474F, 0xFFEB3B, "F", "Flink", ""},
};

}  // namespace

int main(int argc, char** argv) {
  gPreview = argc == 3 && std::string(argv[2]) == "--png";
  if (argc != 2 && !gPreview) {
    std::fprintf(stderr, "usage: jwart OUTDIR [--png]\n");
    return 2;
  }
  // Painting text needs a GUI application, but never a screen.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int qargc = 1;
  QGuiApplication app(qargc, argv);
  gOutDir = QString::fromLocal8Bit(argv[1]);
  if (!QDir().mkpath(gOutDir)) {
    std::fprintf(stderr, "jwart: cannot create %s\n", argv[1]);
    return 1;
  }

  const TPalette klassik{QColor(0x7A, 0x4A, 0x21), QColor(0xC0, 0x8A, 0x4A),
                         QColor(0xFF, 0xF6, 0xED), QColor(0xFF, 0xFC, 0xF7)};
  const TPalette meer{QColor(0x0E, 0x3D, 0x6B), QColor(0x2F, 0x80, 0xC0), QColor(0xEA, 0xF3, 0xFB),
                      QColor(0xFB, 0xFD, 0xFF)};
  const TPalette wald{QColor(0x23, 0x4F, 0x26), QColor(0x5E, 0x9A, 0x4F), QColor(0xEE, 0xF6, 0xEA),
                      QColor(0xFB, 0xFE, 0xF9)};
  const TPalette handwerk{QColor(0x8C, 0x2F, 0x14), QColor(0xD0, 0x6A, 0x3A),
                          QColor(0xFB, 0xEF, 0xE8), QColor(0xFF, 0xFA, 0xF6)};

  DrawBackground("klassik", klassik, QString::fromUtf8("Firmen, Geschäfte und Dienstleister"),
                 MotifWheat);
  DrawBackground("meer", meer, QString::fromUtf8("Firmen am Wasser und überall"), MotifWaves);
  DrawBackground("wald", wald, QString::fromUtf8("Grüne Adressen der Region"), MotifLeaves);
  DrawBackground("handwerk", handwerk, QString::fromUtf8("Handwerk und Gewerbe"), MotifBricks);
  DrawButtons("klassik", klassik);
  DrawButtons("meer", meer);
  DrawButtons("wald", wald);
  DrawButtons("handwerk", handwerk);
  for (const TLogo& logo : kLogos) DrawLogo(logo);

  if (gFailed) return 1;
  std::printf("jwart: %d pictures written to %s\n", gWritten, argv[1]);
  return 0;
}
