#pragma once

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRect>
#include <QString>

namespace trelvik::test {

// What the tests expect of the program: tests/support/expected.json, which
// the Python tests read as well. Read once; a file that does not read ends
// the tests at once.
inline const QJsonObject& Expected() {
  static const QJsonObject expected = [] {
    QFile file(QStringLiteral(TRELVIK_EXPECTED_JSON));
    if (!file.open(QIODevice::ReadOnly)) qFatal("cannot read %s", TRELVIK_EXPECTED_JSON);
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (!document.isObject())
      qFatal("%s: %s", TRELVIK_EXPECTED_JSON, qPrintable(error.errorString()));
    return document.object();
  }();
  return expected;
}

// An expected text, with `site` in place of {site}.
inline QString ExpectedText(const char* key, const QString& site = QString()) {
  return Expected()[QLatin1String(key)].toString().replace(QStringLiteral("{site}"), site);
}

// A place given in twips, in pixels.
inline QRect PixelsOf(const QJsonValue& twips) {
  const QJsonArray a = twips.toArray();
  return QRect(a[0].toInt() / 15, a[1].toInt() / 15, a[2].toInt() / 15, a[3].toInt() / 15);
}

}  // namespace trelvik::test
