// The Windows version record and icon, compiled with windres and read back
// from the compiled .res: what Explorer's Properties page will show.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <map>
#include <stdexcept>
#include <vector>

#include "tests/support/expected.h"
#include "trelvik/build_info.h"

namespace {

// Resource types, from the Windows SDK.
constexpr quint16 kIcon = 3;
constexpr quint16 kGroupIcon = 14;
constexpr quint16 kVersion = 16;
constexpr quint16 kChineseSimplified = 0x0804;

// Little-endian reads that fail the test, rather than read past the end.
quint16 U16(const QByteArray& bytes, qsizetype at) {
  if (at < 0 || at + 2 > bytes.size()) throw std::out_of_range("read past the end");
  return static_cast<quint16>(static_cast<quint8>(bytes[at]) | static_cast<quint8>(bytes[at + 1])
                                                                   << 8);
}
quint32 U32(const QByteArray& bytes, qsizetype at) {
  return U16(bytes, at) | static_cast<quint32>(U16(bytes, at + 2)) << 16;
}
qsizetype Align4(qsizetype at) {
  return (at + 3) & ~qsizetype{3};
}

// A zero-terminated UTF-16 string at `at`; `end` receives the offset past it.
QString Utf16z(const QByteArray& bytes, qsizetype at, qsizetype* end) {
  QString text;
  for (quint16 unit; (unit = U16(bytes, at)) != 0; at += 2) text.append(QChar(unit));
  *end = at + 2;
  return text;
}

struct Resource {
  quint16 type = 0;
  quint16 id = 0;
  quint16 language = 0;
  QByteArray data;
};

// The entries of a .res file. The script names every resource by number, so
// a name given as text is a fault.
std::vector<Resource> ReadRes(const QByteArray& res) {
  std::vector<Resource> entries;
  for (qsizetype at = 0; at < res.size();) {
    const quint32 dataSize = U32(res, at);
    const quint32 headerSize = U32(res, at + 4);
    if (U16(res, at + 8) != 0xFFFF || U16(res, at + 12) != 0xFFFF) {
      throw std::runtime_error("resource named by text");
    }
    Resource entry{U16(res, at + 10), U16(res, at + 14), U16(res, at + 22),
                   res.mid(at + headerSize, dataSize)};
    if (entry.data.size() != static_cast<qsizetype>(dataSize)) {
      throw std::out_of_range("resource data cut short");
    }
    // The file opens with an empty entry of type 0.
    if (entry.type != 0) entries.push_back(entry);
    at = Align4(at + headerSize + dataSize);
  }
  return entries;
}

// One node of VS_VERSIONINFO: a key, a value and child nodes.
struct VersionNode {
  QString key;
  bool isText = false;
  QByteArray value;
  std::vector<VersionNode> children;

  const VersionNode& child(const QString& childKey) const {
    for (const VersionNode& node : children) {
      if (node.key == childKey) return node;
    }
    throw std::runtime_error("no node " + childKey.toStdString() + " under " + key.toStdString());
  }
  QString text() const {
    qsizetype end = 0;
    return Utf16z(value + QByteArray(2, '\0'), 0, &end);
  }
};

VersionNode ReadVersionNode(const QByteArray& bytes, qsizetype at, qsizetype* end) {
  const quint16 length = U16(bytes, at);
  const quint16 valueLength = U16(bytes, at + 2);
  VersionNode node;
  node.isText = U16(bytes, at + 4) == 1;
  qsizetype p = 0;
  node.key = Utf16z(bytes, at + 6, &p);
  p = Align4(p);
  // Text values count UTF-16 units, binary ones bytes.
  const qsizetype valueBytes = node.isText ? 2 * valueLength : valueLength;
  node.value = bytes.mid(p, valueBytes);
  p = Align4(p + valueBytes);
  while (p < at + length) {
    qsizetype childEnd = 0;
    node.children.push_back(ReadVersionNode(bytes, p, &childEnd));
    p = Align4(childEnd);
  }
  *end = at + length;
  return node;
}

class VersionRecord : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString out = dir.filePath(QStringLiteral("trelvik.res"));
    QProcess windres;
    windres.setProcessChannelMode(QProcess::MergedChannels);
    // The host's cpp: the script needs no Windows headers, so no cross
    // compiler either.
    windres.start(QStringLiteral(TRELVIK_WINDRES),
                  {QStringLiteral("--preprocessor=cpp"), QStringLiteral("-i"),
                   QStringLiteral(TRELVIK_VERSION_RECORD), QStringLiteral("-o"), out,
                   QStringLiteral("-O"), QStringLiteral("res")});
    ASSERT_TRUE(windres.waitForFinished(60000))
        << "cannot run " TRELVIK_WINDRES " (package binutils-mingw-w64-x86-64)";
    ASSERT_EQ(windres.exitCode(), 0) << windres.readAll().toStdString();
    QFile file(out);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    resources_ = new std::vector<Resource>(ReadRes(file.readAll()));
  }
  static void TearDownTestSuite() {
    delete resources_;
    resources_ = nullptr;
  }
  void SetUp() override { ASSERT_NE(resources_, nullptr) << "the script did not compile"; }

  static std::vector<const Resource*> OfType(quint16 type) {
    std::vector<const Resource*> found;
    for (const Resource& r : *resources_) {
      if (r.type == type) found.push_back(&r);
    }
    return found;
  }
  static VersionNode Root() {
    const auto versions = OfType(kVersion);
    if (versions.size() != 1) throw std::runtime_error("not one version resource");
    qsizetype end = 0;
    return ReadVersionNode(versions[0]->data, 0, &end);
  }

  static inline std::vector<Resource>* resources_ = nullptr;
};

TEST_F(VersionRecord, HoldsOneIconGroupNumberedOneAndEverythingInSimplifiedChinese) {
  const auto groups = OfType(kGroupIcon);
  ASSERT_EQ(groups.size(), 1u);
  EXPECT_EQ(groups[0]->id, 1);
  EXPECT_EQ(OfType(kIcon).size(), 2u);
  EXPECT_EQ(OfType(kVersion).size(), 1u);
  for (const Resource& r : *resources_) {
    EXPECT_EQ(r.language, kChineseSimplified) << "type " << r.type << " id " << r.id;
  }
}

TEST_F(VersionRecord, NumericVersionOfAProgram) {
  const VersionNode root = Root();
  EXPECT_EQ(root.key, QStringLiteral("VS_VERSION_INFO"));
  const QByteArray& fixed = root.value;
  ASSERT_EQ(fixed.size(), 52);
  EXPECT_EQ(U32(fixed, 0), 0xFEEF04BDu);  // signature
  const QJsonArray version = trelvik::test::Expected()[QLatin1String("numericVersion")].toArray();
  const quint32 high = static_cast<quint32>(version[0].toInt() << 16 | version[1].toInt());
  const quint32 low = static_cast<quint32>(version[2].toInt() << 16 | version[3].toInt());
  EXPECT_EQ(U32(fixed, 8), high) << "file version, first two parts";
  EXPECT_EQ(U32(fixed, 12), low) << "file version, last two parts";
  EXPECT_EQ(U32(fixed, 16), high) << "product version, first two parts";
  EXPECT_EQ(U32(fixed, 20), low) << "product version, last two parts";
  EXPECT_EQ(U32(fixed, 28), 0u) << "flags: not debug, not pre-release";
  EXPECT_EQ(U32(fixed, 32), 0x00040004u) << "Windows NT, 32-bit";
  EXPECT_EQ(U32(fixed, 36), 1u) << "an application";
}

TEST_F(VersionRecord, StringTableHoldsExactlyTheProgramsFields) {
  const VersionNode table =
      Root().child(QStringLiteral("StringFileInfo")).child(QStringLiteral("080404B0"));
  std::map<QString, QString> expected;
  const QJsonObject fields = trelvik::test::Expected()[QLatin1String("versionStrings")].toObject();
  for (auto field = fields.begin(); field != fields.end(); ++field) {
    expected[field.key()] = field.value().toString().replace(
        QStringLiteral("{site}"), QString::fromUtf8(trelvik::build_info::kSiteAddress));
  }
  ASSERT_EQ(expected.size(), 10u) << "the ten fields of the program";
  std::map<QString, QString> actual;
  for (const VersionNode& field : table.children) {
    EXPECT_TRUE(field.isText) << field.key.toStdString();
    EXPECT_TRUE(actual.emplace(field.key, field.text()).second)
        << "twice: " << field.key.toStdString();
  }
  for (const auto& [key, value] : expected) {
    const auto found = actual.find(key);
    if (found == actual.end()) {
      ADD_FAILURE() << "missing " << key.toStdString();
    } else {
      EXPECT_EQ(found->second.toStdString(), value.toStdString()) << key.toStdString();
    }
  }
  EXPECT_EQ(actual.size(), expected.size()) << "fields beyond the table";
}

TEST_F(VersionRecord, TranslationIsSimplifiedChineseInUnicode) {
  const VersionNode translation =
      Root().child(QStringLiteral("VarFileInfo")).child(QStringLiteral("Translation"));
  ASSERT_EQ(translation.value.size(), 4);
  EXPECT_EQ(U16(translation.value, 0), 0x0804);
  EXPECT_EQ(U16(translation.value, 2), 1200);
}

TEST_F(VersionRecord, IconImagesAreTheIcoFilesSixteenAndThirtyTwo) {
  QFile file(QStringLiteral(TRELVIK_ICON_FILE));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray ico = file.readAll();
  ASSERT_EQ(U16(ico, 2), 1) << "an icon, not a cursor";
  ASSERT_EQ(U16(ico, 4), 2) << "images in the .ico";

  const QByteArray group = OfType(kGroupIcon).at(0)->data;
  ASSERT_EQ(U16(group, 4), 2) << "images in the group";
  const int expectedSizes[] = {16, 32};
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    const qsizetype entry = 6 + 14 * i;     // GRPICONDIRENTRY
    const qsizetype icoEntry = 6 + 16 * i;  // ICONDIRENTRY
    EXPECT_EQ(static_cast<quint8>(group[entry]), expectedSizes[i]) << "width";
    EXPECT_EQ(static_cast<quint8>(group[entry + 1]), expectedSizes[i]) << "height";
    EXPECT_EQ(U16(group, entry + 6), 8) << "bits per pixel";
    const quint16 id = U16(group, entry + 12);
    const QByteArray image = ico.mid(U32(ico, icoEntry + 12), U32(ico, icoEntry + 8));
    bool found = false;
    for (const Resource* icon : OfType(kIcon)) {
      if (icon->id == id) {
        found = true;
        EXPECT_TRUE(icon->data == image) << "icon " << id << " differs from the .ico";
      }
    }
    EXPECT_TRUE(found) << "no icon numbered " << id;
  }
}

}  // namespace
