#include "ui/secondary_texts.h"

#include "trelvik/build_info.h"

namespace trelvik {
namespace {

const QString kLineBreak = QStringLiteral("\r\n");

QString Blanks(int count) {
  return QString(count, QLatin1Char(' '));
}

// The author's own words.
const QString kAuthor = QStringLiteral("岚山客");
const QString kIntroduction = QStringLiteral(
    "，一个喜欢折腾操作系统和软件的爱好者，每有新系统、新软件出来，"
    "总要第一时间装上试一试，久而久之便建了一个软件站");
const QString kInstantMessaging = QStringLiteral("10000000");
const QString kEmail = QStringLiteral("lanshanke@qinvo.example");

}  // namespace

QString HelpText() {
  return QStringLiteral(
             "本程序主要是方便那些常常做系统而又不喜欢看到分区大小如:(8.61G)(24.6G)等朋友使用") +
         kLineBreak + QStringLiteral("在左边的文本框里面输入你想要的分区大小如") + Blanks(2) +
         QStringLiteral("\r") +
         QStringLiteral(
             "8  这里是默认为GB,再点击计算按钮,程序会帮你算出结果,结果会在右边的文本框里面显示,"
             "默认为MB") +
         kLineBreak + Blanks(41) + QStringLiteral("8  计算后结果是 8220") + kLineBreak +
         QStringLiteral("分区的时候大小设置成8220的话,你就会得到一个大小为8G的准确分区");
}

QString AboutText() {
  const QString site = QString::fromLatin1(build_info::kSiteAddress);
  return Blanks(44) + kAuthor + kIntroduction + QStringLiteral("（Qinvo ") + site +
         QStringLiteral("）;") + kLineBreak + Blanks(45) + QStringLiteral("Trelvik助手") +
         QString::fromLatin1(build_info::kCaptionVersion) +
         QStringLiteral(
             ",这个小程序无技术可言，只是为了方便,请求大家在传播的过程中不要捆绑病毒和插件。") +
         Blanks(51) + kLineBreak + QStringLiteral("--") + kAuthor + QStringLiteral(" QQ:") +
         kInstantMessaging + QStringLiteral(" Email:") + kEmail;
}

}  // namespace trelvik
