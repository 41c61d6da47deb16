// The program icon: its two hand-drawn sizes, the .ico made from them, and
// the title bars that show it.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <algorithm>

#include "ui/form1.h"

namespace trelvik {
namespace {

const int kSizes[] = {16, 32};

QString SourcePng(int size) {
  return QStringLiteral(TRELVIK_ICON_DIR "/trelvik-%1.png").arg(size);
}

QImage Argb(const QImage& image) {
  return image.convertToFormat(QImage::Format_ARGB32);
}

TEST(ProgramIcon, SourcesAre256ColourPalettesWithHardEdges) {
  for (int size : kSizes) {
    SCOPED_TRACE(size);
    QImageReader reader(SourcePng(size));
    const QImage image = reader.read();
    ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();
    EXPECT_EQ(image.size(), QSize(size, size));
    EXPECT_EQ(image.format(), QImage::Format_Indexed8);
    EXPECT_EQ(image.colorCount(), 256);
    // A 256-colour .ico image keeps a one-bit mask: partial transparency
    // would be lost in it.
    const QImage argb = Argb(image);
    for (int y = 0; y < size; ++y) {
      for (int x = 0; x < size; ++x) {
        const int alpha = qAlpha(argb.pixel(x, y));
        EXPECT_TRUE(alpha == 0 || alpha == 255) << "at " << x << "," << y;
      }
    }
  }
}

TEST(ProgramIcon, IcoHoldsExactlyTheTwoSourceImages) {
  QImageReader reader(QStringLiteral(TRELVIK_ICON_FILE));
  ASSERT_TRUE(reader.canRead()) << reader.errorString().toStdString();
  ASSERT_EQ(reader.imageCount(), 2);
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    ASSERT_TRUE(reader.jumpToImage(i));
    const QImage fromIco = reader.read();
    ASSERT_EQ(fromIco.size(), QSize(kSizes[i], kSizes[i]));
    // Different pixels mean the .ico is stale: run scripts/make-icons.
    EXPECT_EQ(Argb(fromIco), Argb(QImage(SourcePng(kSizes[i]))));
  }
}

// Help and About are dialogs made later, once the program runs; a plain
// QDialog stands for them.
TEST(ProgramIcon, EveryWindowGetsBothDrawnSizes) {
  Form1 form;
  QDialog dialog(&form);
  for (const QWidget* window :
       {static_cast<const QWidget*>(&form), static_cast<const QWidget*>(&dialog)}) {
    SCOPED_TRACE(window->metaObject()->className());
    const QIcon icon = window->windowIcon();
    const QList<QSize> sizes = icon.availableSizes();
    for (int size : kSizes) {
      EXPECT_TRUE(sizes.contains(QSize(size, size))) << size;
      // The drawn image itself, not the other one scaled.
      EXPECT_EQ(Argb(icon.pixmap(QSize(size, size), 1.0).toImage()), Argb(QImage(SourcePng(size))))
          << size;
    }
  }
}

TEST(ProgramIcon, TitleBarReceivesBothSizes) {
  if (QGuiApplication::platformName() != QStringLiteral("xcb") ||
      QStandardPaths::findExecutable(QStringLiteral("xprop")).isEmpty()) {
    GTEST_SKIP() << "needs an X display and xprop";
  }
  Form1 form;
  form.load();
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  QApplication::sync();
  // The window manager draws the title bar from this property.
  QProcess xprop;
  xprop.start(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(form.winId()),
                                        QStringLiteral("_NET_WM_ICON")});
  ASSERT_TRUE(xprop.waitForFinished(10000));
  const QString out = QString::fromLocal8Bit(xprop.readAllStandardOutput());
  EXPECT_TRUE(out.contains(QStringLiteral("Icon (16 x 16)"))) << out.left(200).toStdString();
  EXPECT_TRUE(out.contains(QStringLiteral("Icon (32 x 32)"))) << out.left(200).toStdString();
}

}  // namespace
}  // namespace trelvik
